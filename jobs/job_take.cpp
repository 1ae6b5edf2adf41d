#include "jobs/job_take.h"

#include <cstdlib>
#include <memory>

#include "jobs/job_texts.h"
#include "platform/path_helpers.h"

namespace zarnoft {

namespace {

// How much of a file is looked at to tell text from binary data.
constexpr size_t kPruefBytes = 64 * 1024;

// Control bytes other than tab, line ends and form feed do not occur in a collection file.
bool SiehtBinaerAus(const std::string& anfang) {
  for (unsigned char c : anfang) {
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') return true;
  }
  return false;
}

}  // namespace

bool JobPfadAusFeld(const std::string& feld, std::string* pfad, std::string* fehler) {
  const char* home = std::getenv("HOME");
  std::string p = TrimmedWithHome(feld, home != nullptr && home[0] == '/' ? home : "");
  if (p.empty()) {
    *fehler = "Bitte geben Sie ein Verzeichnis an.";
    return false;
  }
  if (p[0] != '/') {
    // A window has no meaningful current directory to resolve a relative path against.
    *fehler = "Das Verzeichnis " + p +
              " ist nicht vollständig angegeben.\rBitte geben Sie den ganzen Pfad an, "
              "beginnend mit \"/\".";
    return false;
  }
  // "/" stays itself; every other path loses all of its trailing slashes.
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  *pfad = p;
  return true;
}

VerzeichnisStand VerzeichnisPruefen(const std::string& pfad, FileSystem* fs) {
  if (fs->IsEnterableDirectory(pfad)) return VerzeichnisStand::kBereit;
  FileInfo info;
  return fs->Stat(pfad, &info) ? VerzeichnisStand::kUnzugaenglich : VerzeichnisStand::kFehlt;
}

std::string UnzugaenglichText(const std::string& pfad) {
  return "Auf das Verzeichnis " + pfad +
         " kann nicht zugegriffen werden.\rEs ist kein Verzeichnis, oder die Berechtigung fehlt.";
}

std::string FehltText(const std::string& pfad) {
  return "Das Verzeichnis " + pfad + " existiert nicht.";
}

TVergleichThread UebernommenerJob(const UebernahmeWerte& w) {
  TVergleichThread neu;
  neu.Herkunft = w.herkunft;
  neu.Ziel = w.ziel;
  neu.Unterverzeichnisse = w.unterverzeichnisse;
  neu.Art = ArtAusPosition(w.art_position);
  neu.Doppelt = static_cast<int8_t>(w.doppelt_position);
  neu.Aufruf = 0;
  neu.Kennung = NeueKennung();
  neu.Booten = w.booten;
  neu.Herunterfahren = w.herunterfahren;
  neu.Idle = w.idle;
  neu.Ausnahmen = w.ausnahmen;
  ZaehlerSetzen(&neu, w.herkunft_dateien, w.ziel_dateien);
  return neu;
}

SammlungsPruefung SammlungPruefen(const std::string& pfad, FileSystem* fs, std::string* fehler) {
  std::string echt;
  if (!fs->RealPath(pfad, &echt)) {
    FileInfo info;
    if (!fs->Stat(pfad, &info)) return SammlungsPruefung::kFehlt;
    *fehler = "Die Auftragssammlung " + pfad + " kann nicht gelesen werden.";
    return SammlungsPruefung::kUngeeignet;
  }
  if (fs->IsEnterableDirectory(echt)) {
    *fehler = pfad + " ist ein Verzeichnis und keine Auftragssammlung.";
    return SammlungsPruefung::kUngeeignet;
  }
  FileInfo info;
  if (!fs->Stat(echt, &info) || info.kind != EntryKind::kFile) {
    *fehler = pfad + " ist keine Auftragssammlung.";
    return SammlungsPruefung::kUngeeignet;
  }
  std::unique_ptr<ReadableFile> datei = fs->OpenForReading(echt);
  std::string anfang(kPruefBytes, '\0');
  size_t gelesen = 0;
  if (datei == nullptr || !datei->Read(anfang.data(), anfang.size(), &gelesen)) {
    *fehler = "Die Auftragssammlung " + pfad + " kann nicht gelesen werden.";
    return SammlungsPruefung::kUngeeignet;
  }
  anfang.resize(gelesen);
  if (SiehtBinaerAus(anfang)) {
    *fehler = pfad + " ist keine Auftragssammlung.";
    return SammlungsPruefung::kUngeeignet;
  }
  return SammlungsPruefung::kLesbar;
}

}  // namespace zarnoft
