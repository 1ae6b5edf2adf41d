#include "editor/job_texts.h"

#include <map>
#include <utility>

namespace zarnoft {

namespace {

struct ArtText {
  const char* erste;
  std::map<int, const char*> zweite;  // by Doppelt
};

const std::map<int, ArtText>& ArtTexte() {
  static const std::map<int, ArtText> t = {
      {1,
       {"Neuere Dateien übertragen:",
        {{0, "(Nachfragen bei doppelter Änderung)"},
         {1, "(Neueren behalten bei doppelter Änderung)"},
         {2, "(Herkunft behalten bei doppelter Änderung)"},
         {3, "(Ziel behalten bei doppelter Änderung)"},
         {4, "(Beide behalten bei doppelter Änderung)"},
         {5, "(Keine Aktion bei doppelter Änderung)"}}}},
      {2,
       {"Herkunft auf Ziel schreiben",
        {{0, "(Nur Herkunft prüfen)"},
         {1, "(Nur Ziel prüfen)"},
         {2, "(Herkunft und Ziel prüfen)"}}}},
      {3, {"Herkunft archivieren", {{0, "(Inkrementell)"}, {1, "(Komplett)"}}}},
  };
  return t;
}

}  // namespace

const std::vector<std::string>& SpaltenKoepfe() {
  static const std::vector<std::string> k = {"Status", "Herkunft", "Ziel"};
  return k;
}

std::string StatusSpalte(const TVergleichThread& job, bool sofortSync) {
  std::string s = std::to_string(job.Art) + ":";
  if (job.Thread != nullptr) return s + "läuft";
  if (job.Aufruf != 0) return s + LongTimeText(LocalFromDayCount(job.Aufruf));
  return s + (sofortSync ? "Keiner" : "abgbr.");
}

std::string PfadSpalte(const std::string& pfad, bool unterverzeichnisse, int breite,
                       const TextMeasure& messen) {
  return ShortenPathToWidth(unterverzeichnisse ? pfad + " +" : pfad, breite, messen);
}

TabellenZeile ZeileFuer(const TVergleichThread& job, bool sofortSync, int herkunftBreite,
                        int zielBreite, const TextMeasure& messen) {
  return {StatusSpalte(job, sofortSync),
          PfadSpalte(job.Herkunft, job.Unterverzeichnisse, herkunftBreite, messen),
          PfadSpalte(job.Ziel, job.Unterverzeichnisse, zielBreite, messen)};
}

void StatusBeschreiben(const TVergleichThread& job, bool sofortSync, StatusBeschreibung* s) {
  s->ZweiteSichtbar = false;
  auto art = ArtTexte().find(job.Art);
  if (art != ArtTexte().end()) {
    s->ErsteZeile = art->second.erste;
    auto zweite = art->second.zweite.find(job.Doppelt);
    if (zweite != art->second.zweite.end()) s->ZweiteZeile = zweite->second;
    s->ZweiteSichtbar = true;
  }
  if (job.Thread != nullptr) {
    s->Abgleich = "Erstabgleich läuft.";
  } else if (job.Aufruf != 0) {
    s->Abgleich = "Letzter um " + DateTimeText(LocalFromDayCount(job.Aufruf));
  } else if (sofortSync) {
    s->Abgleich = "Kein Erstabgleich erbeten.";
  } else {
    s->Abgleich = "Erstabgleich abgebrochen.";
  }
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

const std::vector<std::string>& DoppeltEintraege(int art) {
  static const std::vector<std::string> keine;
  static const std::vector<std::string> eintraege[3] = {
      {"Nachfragen", "Neueren behalten", "Herkunft behalten", "Ziel behalten", "Beide behalten",
       "Keine Aktion"},
      {"Herkunft geändert", "Ziel geändert", "Egal welches"},
      {"Inkrementell", "Gesamt"},
  };
  return art >= 1 && art <= 3 ? eintraege[art - 1] : keine;
}

int DoppeltVorwahl(int art) {
  if (art == 1 || art == 3) return 0;
  if (art == 2) return 2;
  return -1;
}

std::string LaufendeVergleicheText(int anzahlVergleiche) {
  return "Anzahl laufender Vergleiche im Hintergrund: " + std::to_string(anzahlVergleiche);
}

std::string VergleichEndeText(const TVergleichThread& job) {
  return std::string("Vergleich ") + (job.Aufruf != 0 ? "beendet" : "abgebrochen") + ": " +
         job.Herkunft + " - " + job.Ziel;
}

}  // namespace zarnoft
