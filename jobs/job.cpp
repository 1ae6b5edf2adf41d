#include "jobs/job.h"

#include <limits>
#include <utility>

#include "platform/temp_name.h"

namespace zarnoft {

std::string NeueKennung() {
  static const char kZiffern[] = "0123456789abcdef";
  uint64_t z = TempZufall();
  std::string s(16, '0');
  for (size_t i = s.size(); i-- > 0; z >>= 4) s[i] = kZiffern[z & 15];
  return s;
}

TVergleichThread* Sammlung::Vorn(TVergleichThread job) {
  jobs_.insert(jobs_.begin(), std::make_unique<TVergleichThread>(std::move(job)));
  return jobs_.front().get();
}

TVergleichThread* Sammlung::Anhaengen(TVergleichThread job) {
  jobs_.push_back(std::make_unique<TVergleichThread>(std::move(job)));
  return jobs_.back().get();
}

TVergleichThread* Sammlung::An(size_t index) {
  return index < jobs_.size() ? jobs_[index].get() : nullptr;
}

const TVergleichThread* Sammlung::An(size_t index) const {
  return index < jobs_.size() ? jobs_[index].get() : nullptr;
}

TVergleichThread* Sammlung::InZeile(int zeile) {
  return zeile >= 1 ? An(static_cast<size_t>(zeile) - 1) : nullptr;
}

std::unique_ptr<TVergleichThread> Sammlung::Entfernen(size_t index) {
  if (index >= jobs_.size()) return nullptr;
  std::unique_ptr<TVergleichThread> job = std::move(jobs_[index]);
  jobs_.erase(jobs_.begin() + static_cast<std::ptrdiff_t>(index));
  return job;
}

TVergleichThread* Sammlung::MitThread(const LaufHandle& lauf) {
  if (lauf.Leer()) return nullptr;
  for (auto& job : jobs_) {
    if (job->Thread == lauf) return job.get();
  }
  return nullptr;
}

VergleichsWerte VergleichsWerteFuer(const TVergleichThread& job, const std::string& loeschen_wohin,
                                    LoeschModus loeschen, int loesch_grenze) {
  VergleichsWerte w;
  w.Herkunft = job.Herkunft;
  w.Ziel = job.Ziel;
  w.LoeschenWohin = loeschen_wohin;
  w.Art = job.Art;
  w.Doppelt = job.Doppelt;
  w.Loeschen = loeschen;
  w.Aufruf = job.Aufruf;
  w.Zaehler = job.Zaehler;
  w.ZaehlArt = job.ZaehlArt;
  w.Unterverzeichnisse = job.Unterverzeichnisse;
  w.LaufBeginn = job.LaufBeginn;
  w.LaufEnde = job.LaufEnde;
  w.Ausnahmen = job.Ausnahmen;
  w.LoeschGrenze = loesch_grenze;
  return w;
}

void ZaehlerSetzen(TVergleichThread* job, int64_t herkunft_dateien, int64_t ziel_dateien) {
  auto held = [](int64_t n) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(n < 0 ? 0 : (n > kMax ? kMax : n));
  };
  if (herkunft_dateien > ziel_dateien) {
    job->Zaehler = held(herkunft_dateien);
    job->ZaehlArt = true;
  } else {
    job->Zaehler = held(ziel_dateien);
    job->ZaehlArt = false;
  }
}

bool LaufBeendet(TVergleichThread* job, const LaufErgebnis& ergebnis, Clock* uhr) {
  job->Thread = LaufHandle();
  if (ergebnis.probelauf) return false;
  job->LetzterMitFehlern = !ergebnis.abgebrochen && ergebnis.fehler > 0;
  job->LetzteFehler.clear();
  job->LetzteFehlerAnzahl = 0;
  if (!ergebnis.Vollstaendig()) return false;
  job->Aufruf = DayCountNow(uhr != nullptr ? uhr : Clock::System());
  job->LaufBeginn = ergebnis.beginn;
  job->LaufEnde = ergebnis.ende;
  return true;
}

}  // namespace zarnoft
