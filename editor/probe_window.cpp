#include "editor/probe_window.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

#include "jobs/job_texts.h"
#include "log/log_escape.h"
#include "platform/date_time.h"
#include "platform/number_format.h"

namespace zarnoft {

namespace {

std::string GroesseText(const Dateistand& d) {
  return d.Da() ? FormatDottedNumber(d.groesse) : std::string();
}

std::string DatumText(const Dateistand& d) {
  return d.Da() ? DateAndTimeText(ToLocal(d.datum)) : std::string();
}

ProbeZeile ZeileFuer(const Aktion& a) {
  ProbeZeile z;
  z.aktion = a;
  z.zellen.resize(kProbeSpalten);
  z.zellen[kProbeAktion] = std::string(AktionsName(a.art)) + " > " + SeitenName(a.seite);
  // Control characters in a name would break the row; they show escaped, as in the runner.
  z.zellen[kProbePfad] = EscapeControls(a.rel);
  z.zellen[kProbeHGroesse] = GroesseText(a.herkunft);
  z.zellen[kProbeHDatum] = DatumText(a.herkunft);
  z.zellen[kProbeZGroesse] = GroesseText(a.ziel);
  z.zellen[kProbeZDatum] = DatumText(a.ziel);
  return z;
}

// The key a column sorts by: a number for sizes and dates, else the cell's text.
std::tuple<int64_t, int64_t, std::string> Schluessel(const ProbeZeile& z, int spalte) {
  const Aktion& a = z.aktion;
  switch (spalte) {
    case kProbeHGroesse:
      return {a.herkunft.groesse, 0, ""};
    case kProbeZGroesse:
      return {a.ziel.groesse, 0, ""};
    case kProbeHDatum:
      return a.herkunft.Da() ? std::make_tuple(a.herkunft.datum.sec, a.herkunft.datum.nsec, "")
                             : std::make_tuple(INT64_MIN, int64_t{0}, std::string());
    case kProbeZDatum:
      return a.ziel.Da() ? std::make_tuple(a.ziel.datum.sec, a.ziel.datum.nsec, "")
                         : std::make_tuple(INT64_MIN, int64_t{0}, std::string());
    default:
      return {0, 0, z.zellen[static_cast<size_t>(spalte)]};
  }
}

}  // namespace

ProbeListe::ProbeListe(const std::string& herkunft, const std::string& ziel, Gesammelt g,
                       ProbeZweck zweck)
    : zweck_(zweck),
      titel_(std::string(zweck == ProbeZweck::kRueckgaengig ? "Rückgängig – " : "Probelauf – ") +
             (herkunft.empty() ? "/" : herkunft) + " → " + (ziel.empty() ? "/" : ziel)),
      warnungen_(std::move(g.hinweise)),
      fehler_(std::move(g.fehler)),
      fehler_anzahl_(g.fehler_anzahl) {
  zeilen_.reserve(g.aktionen.size());
  for (const Aktion& a : g.aktionen) zeilen_.push_back(ZeileFuer(a));
}

const std::vector<std::string>& ProbeListe::Koepfe() {
  static const std::vector<std::string> k = {"Aktion",         "Pfad",       "Größe Herkunft",
                                             "Datum Herkunft", "Größe Ziel", "Datum Ziel"};
  return k;
}

const char* ProbeListe::Knopf() const {
  return zweck_ == ProbeZweck::kRueckgaengig ? "&Jetzt rückgängig machen"
                                             : "&Jetzt synchronisieren";
}

const char* ProbeListe::MeldungsTitel() const {
  return zweck_ == ProbeZweck::kRueckgaengig ? kRueckgaengigTitel : "Probelauf";
}

std::string ProbeListe::Zaehlung() const {
  // In the order of the kinds of action, then of the sides.
  std::map<std::pair<AktionsArt, AktionsSeite>, std::pair<int64_t, int64_t>> n;
  for (const ProbeZeile& z : zeilen_) {
    auto& [anzahl, bytes] = n[{z.aktion.art, z.aktion.seite}];
    ++anzahl;
    if (z.aktion.art == AktionsArt::kKopieren && z.aktion.Groesse() > 0)
      bytes += z.aktion.Groesse();
  }
  std::string s;
  for (const auto& [art_seite, zahl] : n) {
    if (!s.empty()) s += ", ";
    s += std::string(AktionsName(art_seite.first)) + " > " + SeitenName(art_seite.second) + ": " +
         FormatDottedNumber(zahl.first);
    if (art_seite.first == AktionsArt::kKopieren)
      s += " (" + FormatDottedNumber(zahl.second) + " Bytes)";
  }
  const int64_t fehler = std::max<int64_t>(fehler_anzahl_, static_cast<int64_t>(fehler_.size()));
  if (fehler > 0)
    s += (s.empty() ? "" : ", ") + std::string("Fehler: ") + FormatDottedNumber(fehler);
  return s.empty() ? "Nichts zu tun." : s;
}

std::vector<std::string> ProbeListe::Fehler() const {
  return FehlerZeilen(fehler_, fehler_anzahl_, kFehlerImFenster);
}

void ProbeListe::Sortieren(int spalte) {
  if (spalte < 0 || spalte >= kProbeSpalten) return;
  aufsteigend_ = spalte == sort_spalte_ ? !aufsteigend_ : true;
  sort_spalte_ = spalte;
  const bool auf = aufsteigend_;
  std::stable_sort(zeilen_.begin(), zeilen_.end(), [&](const ProbeZeile& a, const ProbeZeile& b) {
    auto ka = Schluessel(a, spalte);
    auto kb = Schluessel(b, spalte);
    if (ka != kb) return auf ? ka < kb : kb < ka;
    return a.aktion.rel < b.aktion.rel;
  });
}

Probefenster::Probefenster(ProbeAnsicht* ansicht, ProbeListe liste, Jetzt jetzt)
    : ansicht_(ansicht), liste_(std::move(liste)), jetzt_(std::move(jetzt)) {}

void Probefenster::Zeigen() {
  ansicht_->KopfSetzen(liste_);
  ansicht_->ZeilenSetzen(liste_.Zeilen(), liste_.SortSpalte(), liste_.Aufsteigend());
}

void Probefenster::SpalteClick(int spalte) {
  liste_.Sortieren(spalte);
  ansicht_->ZeilenSetzen(liste_.Zeilen(), liste_.SortSpalte(), liste_.Aufsteigend());
}

void Probefenster::JetztClick() {
  const std::string warum = jetzt_ ? jetzt_() : "Der Auftrag ist nicht mehr in der Sammlung.";
  if (warum.empty()) {
    ansicht_->Schliessen();
  } else {
    ansicht_->Meldung(warum);
  }
}

}  // namespace zarnoft
