#include "jobs/run_starter.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace zarnoft {

LaufHandle VergleichStarten(TVergleichThread* job, const std::string& loeschen_wohin,
                            LoeschModus loeschen, const LaufDienste& dienste,
                            Vergleiche::EndeMeldung beendet, int loesch_grenze, bool probelauf,
                            int rueckgaengig_tage, int rueckgaengig_anteil) {
  // The handle is recorded before the end notification can run: both happen on the GUI thread,
  // and the notification waits for it.
  VergleichsWerte w = VergleichsWerteFuer(*job, loeschen_wohin, loeschen, loesch_grenze);
  w.Probelauf = probelauf;
  w.RueckgaengigTage = rueckgaengig_tage;
  w.RueckgaengigAnteil = rueckgaengig_anteil;
  job->Thread = Vergleiche::Starten(w, dienste, std::move(beendet));
  return job->Thread;
}

LaufHandle VergleicheStarter::Starten(const VergleichsWerte& werte, Ende ende,
                                      std::shared_ptr<LaufBericht> bericht) {
  LaufDienste dienste = dienste_;
  dienste.bericht = bericht.get();
  // Starten runs on the GUI thread, and the run's end notification needs the GUI thread too,
  // so the handle is in place before the notification can arrive. The report lives in the
  // notification, which the run keeps until it frees itself.
  LaufHandle lauf = Vergleiche::Starten(
      werte, dienste,
      [this, ende = std::move(ende), bericht = std::move(bericht)](const LaufHandle& l,
                                                                   const LaufErgebnis& ergebnis) {
        laufend_.erase(std::remove(laufend_.begin(), laufend_.end(), l), laufend_.end());
        ende(l, ergebnis);
      });
  if (!lauf.Leer()) {
    laufend_.push_back(lauf);
    std::erase_if(gestartet_, [](const LaufHandle& l) { return l.Beendet(); });
    gestartet_.push_back(lauf);
  }
  return lauf;
}

LaufHandle VergleicheStarter::RueckgaengigStarten(const RueckgaengigWerte& werte,
                                                  RueckgaengigEnde ende,
                                                  std::shared_ptr<LaufBericht> bericht) {
  static DirectCaller direkt;
  GuiCaller* gui = dienste_.gui != nullptr ? dienste_.gui : &direkt;
  RueckgaengigDienste d;
  d.fs = dienste_.fs;
  d.uhr = dienste_.uhr;
  d.log = dienste_.log;
  d.bericht = bericht.get();
  d.stand_verzeichnis = dienste_.stand_verzeichnis;
  LaufHandle lauf = LaufHandle::Neu();
  // In the lists before the thread can end; the end notification takes it out on the GUI thread.
  laufend_.push_back(lauf);
  std::erase_if(gestartet_, [](const LaufHandle& l) { return l.Beendet(); });
  gestartet_.push_back(lauf);
  try {
    std::thread([this, werte, d, gui, lauf, ende = std::move(ende), bericht = std::move(bericht)] {
      const RueckgaengigErgebnis e = LetztenLaufRueckgaengig(werte, d);
      gui->Call([&] {
        laufend_.erase(std::remove(laufend_.begin(), laufend_.end(), lauf), laufend_.end());
        ende(lauf, e);
      });
      lauf.Beenden();
    }).detach();
  } catch (const std::system_error& e) {
    laufend_.pop_back();
    gestartet_.pop_back();
    if (dienste_.log != nullptr && dienste_.log->Will(LogStufe::kWarnung))
      dienste_.log->Zeile(LogStufe::kWarnung,
                          std::string("Vergl: Rückgängigmachen nicht gestartet: ") + e.what());
    return LaufHandle();
  }
  return lauf;
}

VergleicheStarter::~VergleicheStarter() {
  if (dienste_.gui != nullptr) dienste_.gui->Einstellen();
  for (const LaufHandle& lauf : gestartet_) lauf.Warten();
}

void VergleicheStarter::StopAnfordern(LaufHandle lauf) {
  lauf.StopAnfordern();
}

void VergleicheStarter::Schliessen() {
  if (dienste_.gui != nullptr) dienste_.gui->SchliessenBeginnen();
  for (const LaufHandle& lauf : laufend_) lauf.Abbrechen();
}

}  // namespace zarnoft
