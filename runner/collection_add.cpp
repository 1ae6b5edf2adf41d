#include "runner/collection_add.h"

#include <algorithm>
#include <utility>

#include "engine/exclusions.h"
#include "jobs/collection_file.h"
#include "jobs/job_take.h"
#include "jobs/job_texts.h"
#include "runner/collection_lock.h"
#include "runner/sync_runner.h"
#include "settings/ini_file.h"

namespace zarnoft {
namespace {

void Meldung(const std::string& text) {
  std::fprintf(stderr, "zarnoft-sync: %s\n", text.c_str());
}

// The line ends that the editor's boxes use become blanks on a terminal.
std::string Zeile(std::string text) {
  for (char& c : text) {
    if (c == '\r') c = ' ';
  }
  return text;
}

std::string Absolut(const std::string& pfad, const std::string& arbeitsverzeichnis) {
  // Blanks at the ends go as in the editor's field; nothing left stays nothing.
  const size_t anfang = pfad.find_first_not_of(" \t\r\n");
  if (anfang == std::string::npos || pfad[anfang] == '/' || pfad[anfang] == '~') return pfad;
  std::string basis = arbeitsverzeichnis;
  if (!basis.empty() && basis.back() != '/') basis += '/';
  std::string p = pfad.substr(anfang);
  while (p.rfind("./", 0) == 0) p.erase(0, 2);
  return p == "." ? arbeitsverzeichnis : basis + p;
}

// The path of one side, checked as the editor checks its field; false after the message.
bool Verzeichnis(const std::string& angabe, const std::string& arbeitsverzeichnis, FileSystem* fs,
                 std::string* pfad) {
  std::string fehler;
  if (!JobPfadAusFeld(Absolut(angabe, arbeitsverzeichnis), pfad, &fehler)) {
    Meldung(Zeile(fehler));
    return false;
  }
  switch (VerzeichnisPruefen(*pfad, fs)) {
    case VerzeichnisStand::kBereit:
      return true;
    case VerzeichnisStand::kUnzugaenglich:
      Meldung(Zeile(UnzugaenglichText(*pfad)));
      return false;
    case VerzeichnisStand::kFehlt:
      Meldung(FehltText(*pfad) + " Bitte zuerst anlegen (mkdir -p " + *pfad + ").");
      return false;
  }
  return false;
}

}  // namespace

int SammlungAnlegen(const AnlegenWerte& w, const std::string& arbeitsverzeichnis, FileSystem* fs,
                    std::FILE* aus) {
  const VorgangsArt art = ArtAusPosition(w.art - 1);
  if (!Bekannt(art) || art == VorgangsArt::kKeine) {
    Meldung("Ungültige Art: " + std::to_string(w.art) + " (1, 2 oder 3).");
    return kSyncAufruf;
  }
  const int modi = static_cast<int>(DoppeltEintraege(art).size());
  const int doppelt = w.doppelt < 0 ? DoppeltVorwahl(art) : w.doppelt;
  if (doppelt < 0 || doppelt >= modi) {
    Meldung("Ungültiger Wert für --doppelt: " + std::to_string(w.doppelt) + " (bei Art " +
            std::to_string(w.art) + " 0 bis " + std::to_string(modi - 1) + ").");
    return kSyncAufruf;
  }
  if (w.unterverzeichnisse != 0 && w.unterverzeichnisse != 1) {
    Meldung("--unterverzeichnisse braucht 0 oder 1.");
    return kSyncAufruf;
  }
  // Refused as the editor's dialog refuses it; a pattern given twice is kept once.
  std::vector<std::string> ausnahmen;
  for (const std::string& m : w.ausnahmen) {
    if (auto grund = MusterFehler(m)) {
      Meldung("Das Muster „" + m + "“ kann nicht verwendet werden: " + *grund);
      return kSyncAufruf;
    }
    if (std::find(ausnahmen.begin(), ausnahmen.end(), m) == ausnahmen.end()) ausnahmen.push_back(m);
  }

  const std::string sammlung_pfad = Absolut(w.sammlung, arbeitsverzeichnis);
  std::string fehler;
  if (SammlungPruefen(sammlung_pfad, fs, &fehler) == SammlungsPruefung::kUngeeignet) {
    Meldung(fehler);
    return kSyncAufruf;
  }
  UebernahmeWerte u;
  if (!Verzeichnis(w.herkunft, arbeitsverzeichnis, fs, &u.herkunft) ||
      !Verzeichnis(w.ziel, arbeitsverzeichnis, fs, &u.ziel)) {
    return kSyncAufruf;
  }

  // A run of this collection writes its jobs' dates into it; the take waits for no one.
  SammlungsSperre sperre;
  if (sperre.Sperren(sammlung_pfad) != SammlungsSperre::Ergebnis::kGesperrt) {
    Meldung("Die Auftragssammlung " + sammlung_pfad +
            " wird gerade benutzt oder kann nicht gesperrt werden. Bitte später erneut versuchen.");
    return kSyncAufruf;
  }
  Sammlung sammlung;
  SammlungsZustand zustand;
  SammlungsDienste dienste;
  dienste.fs = fs;
  FileInfo info;
  if (fs->Stat(sammlung_pfad, &info) && info.size > 0) {
    const SammlungGeoeffnet geoeffnet = oeffnen(sammlung_pfad, &sammlung, &zustand, dienste);
    // A text file that is no collection would get a collection's keys written into it.
    if (zustand.SammlungsVersion <= 0) {
      Meldung(sammlung_pfad + " ist keine lesbare Auftragssammlung (Abschnitt [Allgemein] mit " +
              "Version und Anzahl fehlt).");
      return kSyncAufruf;
    }
    // Saving would renumber what is left of a cut-off collection as if it were whole.
    if (!geoeffnet.AnzahlStimmt) {
      Meldung(sammlung_pfad + ": " + geoeffnet.AnzahlFehler() + ". Die Sammlung ist unverändert.");
      return kSyncAufruf;
    }
  } else {
    zustand.SammlungsDatei = sammlung_pfad;
  }

  u.unterverzeichnisse = w.unterverzeichnisse == 1;
  u.art_position = w.art - 1;
  u.doppelt_position = doppelt;
  u.ausnahmen = ausnahmen;
  // No size listing has run: the expected file count stays 0, as for a job that the editor
  // takes before its listings have counted both sides; it only scales the progress display.
  sammlung.Vorn(UebernommenerJob(u));
  try {
    SammlungSpeichern(sammlung, &zustand, dienste);
  } catch (const IniWriteError& e) {
    Meldung(std::string(e.what()) + ". Die Sammlung ist unverändert.");
    return kSyncAufruf;
  }
  const size_t n = sammlung.Anzahl();
  const std::string ausnahmen_text =
      ausnahmen.empty() ? std::string() : ", " + AusnahmenZeile(ausnahmen.size());
  std::fprintf(aus, "Auftrag 1 angelegt: %s - %s (%s, %s%s%s); die Sammlung %s hat %zu %s.\n",
               u.herkunft.c_str(), u.ziel.c_str(), ArtEintraege()[w.art - 1].c_str(),
               DoppeltEintraege(art)[doppelt].c_str(),
               u.unterverzeichnisse ? ", mit Unterverzeichnissen" : "", ausnahmen_text.c_str(),
               sammlung_pfad.c_str(), n, n == 1 ? "Auftrag" : "Aufträge");
  return kSyncOk;
}

}  // namespace zarnoft
