#include "jobs/job_texts.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/number_format.h"

namespace zarnoft {

namespace {

struct ArtText {
  const char* erste;
  std::map<int, const char*> zweite;  // by Doppelt
};

const std::map<VorgangsArt, ArtText>& ArtTexte() {
  using enum DoppelRegel;
  using enum KopierPruefung;
  using enum ArchivUmfang;
  static const std::map<VorgangsArt, ArtText> t = {
      {VorgangsArt::kSynchronisieren,
       {"Neuere Dateien übertragen:",
        {{Zahl(kNachfragen), "(Nachfragen bei doppelter Änderung)"},
         {Zahl(kNeuerenBehalten), "(Neueren behalten bei doppelter Änderung)"},
         {Zahl(kHerkunftBehalten), "(Herkunft behalten bei doppelter Änderung)"},
         {Zahl(kZielBehalten), "(Ziel behalten bei doppelter Änderung)"},
         {Zahl(kBeideBehalten), "(Beide behalten bei doppelter Änderung)"},
         {Zahl(kKeineAktion), "(Keine Aktion bei doppelter Änderung)"}}}},
      {VorgangsArt::kKopieren,
       {"Herkunft auf Ziel schreiben",
        {{Zahl(kNurHerkunft), "(Nur Herkunft prüfen)"},
         {Zahl(kNurZiel), "(Nur Ziel prüfen)"},
         {Zahl(kBeide), "(Herkunft und Ziel prüfen)"}}}},
      {VorgangsArt::kArchivieren,
       {"Herkunft archivieren",
        {{Zahl(kInkrementell), "(Inkrementell)"}, {Zahl(kGesamt), "(Komplett)"}}}},
  };
  return t;
}

}  // namespace

const std::vector<TabellenSpalte>& TabellenSpalten() {
  static const std::vector<TabellenSpalte> s = {
      {"Status", 65, "3:00:00:00",
       [](const TVergleichThread& job, bool sofort_sync, int, const TextMeasure&) {
         return StatusSpalte(job, sofort_sync);
       }},
      {"Herkunft", 0, "",
       [](const TVergleichThread& job, bool, int breite, const TextMeasure& messen) {
         return PfadSpalte(job.Herkunft, job.Unterverzeichnisse, breite, messen);
       }},
      {"Ziel", 0, "",
       [](const TVergleichThread& job, bool, int breite, const TextMeasure& messen) {
         return PfadSpalte(job.Ziel, job.Unterverzeichnisse, breite, messen);
       }},
  };
  return s;
}

std::vector<std::string> SpaltenKoepfe() {
  std::vector<std::string> k;
  for (const TabellenSpalte& s : TabellenSpalten()) k.push_back(s.kopf);
  return k;
}

TabellenZeile LeereZeile() {
  return TabellenZeile(TabellenSpalten().size());
}

std::string StatusSpalte(const TVergleichThread& job, bool sofort_sync) {
  std::string s = std::to_string(Zahl(job.Art)) + ":";
  if (!job.Thread.Leer()) return s + "läuft";
  if (job.LetzterMitFehlern) return s + "Fehler";
  if (job.Aufruf != 0) return s + LongTimeText(LocalFromDayCount(job.Aufruf));
  return s + (sofort_sync ? "Keiner" : "abgbr.");
}

std::string PfadSpalte(const std::string& pfad, bool unterverzeichnisse, int breite,
                       const TextMeasure& messen) {
  return ShortenPathToWidth(unterverzeichnisse ? pfad + " +" : pfad, breite, messen);
}

TabellenZeile ZeileFuer(const TVergleichThread& job, bool sofort_sync,
                        const std::vector<int>& breiten, const TextMeasure& messen) {
  const std::vector<TabellenSpalte>& spalten = TabellenSpalten();
  TabellenZeile z;
  z.reserve(spalten.size());
  for (size_t i = 0; i < spalten.size(); ++i)
    z.push_back(spalten[i].zelle(job, sofort_sync, i < breiten.size() ? breiten[i] : 0, messen));
  return z;
}

void StatusBeschreiben(const TVergleichThread& job, bool sofort_sync, StatusBeschreibung* s) {
  s->ZweiteSichtbar = false;
  auto art = ArtTexte().find(job.Art);
  if (art != ArtTexte().end()) {
    s->ErsteZeile = art->second.erste;
    auto zweite = art->second.zweite.find(job.Doppelt);
    if (zweite != art->second.zweite.end()) s->ZweiteZeile = zweite->second;
    s->ZweiteSichtbar = true;
  }
  if (!job.Thread.Leer()) {
    s->Abgleich = "Erstabgleich läuft.";
  } else if (job.LetzterMitFehlern) {
    s->Abgleich = "Letzter Abgleich mit Fehlern";
  } else if (job.Aufruf != 0) {
    s->Abgleich = "Letzter um " + DateTimeText(LocalFromDayCount(job.Aufruf));
  } else if (sofort_sync) {
    s->Abgleich = "Kein Erstabgleich erbeten.";
  } else {
    s->Abgleich = "Erstabgleich abgebrochen.";
  }
  s->Ausnahmen = AusnahmenZeile(job.Ausnahmen.size());
  s->Fehler.clear();
  if (job.Thread.Leer() && job.LetzterMitFehlern)
    s->Fehler = FehlerZeilen(job.LetzteFehler, job.LetzteFehlerAnzahl, kFehlerImStatus);
}

std::vector<std::string> FehlerZeilen(const std::vector<Fehlerzeile>& fehler, int64_t anzahl,
                                      size_t hoechstens) {
  std::vector<std::string> z;
  for (size_t i = 0; i < fehler.size() && i < hoechstens; ++i) z.push_back(fehler[i].Zeile());
  const int64_t rest = std::max<int64_t>(anzahl, static_cast<int64_t>(fehler.size())) -
                       static_cast<int64_t>(z.size());
  if (rest > 0 && z.empty())
    z.push_back(FormatDottedNumber(rest) + " Fehler");
  else if (rest > 0)
    z.push_back("... und " + FormatDottedNumber(rest) + " weitere");
  return z;
}

std::string AusnahmenKnopfText(size_t muster) {
  if (muster == 0) return "Au&snahmen...";
  return "Au&snahmen (" + FormatDottedNumber(static_cast<int64_t>(muster)) + ")...";
}

std::string AusnahmenZeile(size_t muster) {
  if (muster == 0) return std::string();
  return "Ausnahmen: " + FormatDottedNumber(static_cast<int64_t>(muster)) + " Muster";
}

std::vector<std::string> StatusTexteMuster() {
  std::vector<std::string> t;
  for (const auto& [art, text] : ArtTexte()) {
    t.push_back(text.erste);
    for (const auto& [doppelt, zweite] : text.zweite) t.push_back(zweite);
  }
  // "0" stands for the widest digit; the date-time has a fixed width of digits.
  for (const char* abgleich :
       {"Erstabgleich läuft.", "Letzter Abgleich mit Fehlern", "Kein Erstabgleich erbeten.",
        "Erstabgleich abgebrochen.", "Letzter um 00.00.0000 00:00:00"})
    t.push_back(abgleich);
  return t;
}

std::vector<std::string> ZeitenListe(const TVergleichThread& job) {
  std::vector<std::string> z;
  if (job.Booten) z.push_back("Beim Booten");
  if (job.Herunterfahren) z.push_back("Beim Herunterfahren");
  if (job.Idle) z.push_back("Beim Leerlauf");
  return z;
}

const std::vector<std::string>& ArtEintraege() {
  static const std::vector<std::string> a = {"1: Synchronisieren", "2: Herkunft auf Ziel kopieren",
                                             "3: Herkunft archivieren"};
  return a;
}

const std::vector<std::string>& DoppeltEintraege(VorgangsArt art) {
  // In the order of the sub-modes' numbers.
  static const std::vector<std::string> keine;
  static const std::vector<std::string> regeln = {"Nachfragen",        "Neueren behalten",
                                                  "Herkunft behalten", "Ziel behalten",
                                                  "Beide behalten",    "Keine Aktion"};
  static const std::vector<std::string> pruefungen = {"Herkunft geändert", "Ziel geändert",
                                                      "Egal welches"};
  static const std::vector<std::string> umfaenge = {"Inkrementell", "Gesamt"};
  switch (art) {
    case VorgangsArt::kSynchronisieren:
      return regeln;
    case VorgangsArt::kKopieren:
      return pruefungen;
    case VorgangsArt::kArchivieren:
      return umfaenge;
    default:
      return keine;
  }
}

int DoppeltVorwahl(VorgangsArt art) {
  switch (art) {
    case VorgangsArt::kSynchronisieren:
      return Zahl(DoppelRegel::kNachfragen);
    case VorgangsArt::kKopieren:
      return Zahl(KopierPruefung::kBeide);
    case VorgangsArt::kArchivieren:
      return Zahl(ArchivUmfang::kInkrementell);
    default:
      return -1;
  }
}

std::string LaufendeVergleicheText(int anzahl_vergleiche) {
  return "Anzahl laufender Vergleiche im Hintergrund: " + std::to_string(anzahl_vergleiche);
}

std::string VergleichEndeText(const TVergleichThread& job, const LaufErgebnis& ergebnis) {
  std::string wie = "beendet: ";
  if (ergebnis.abgebrochen) {
    wie = "abgebrochen: ";
  } else if (ergebnis.fehler > 0) {
    wie = "mit Fehlern: ";
  }
  return (ergebnis.probelauf ? "Probelauf " : "Vergleich ") + wie + job.Herkunft + " - " + job.Ziel;
}

}  // namespace zarnoft
