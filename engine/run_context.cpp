#include "engine/run_context.h"

namespace zarnoft {
namespace {

// Whether `pfad` lies below the directory `wurzel` (a root without its trailing "/", or the
// store with it).
bool Unter(const std::string& pfad, const std::string& wurzel) {
  if (pfad.size() <= wurzel.size() || pfad.compare(0, wurzel.size(), wurzel) != 0) return false;
  return wurzel.empty() || wurzel.back() == '/' || pfad[wurzel.size()] == '/';
}

}  // namespace

void LaufKontext::Fehlschlag(const std::string& text, const Status& grund) {
  ++Fehler;
  if (!log->Will(LogStufe::kWarnung)) return;
  log->Zeile(LogStufe::kWarnung, grund.ok() ? text : text + " (" + grund.Reason() + ")");
}

void LaufKontext::FehlschlagMitGrundzeile(const std::string& text, const Status& grund) {
  ++Fehler;
  if (!log->Will(LogStufe::kWarnung)) return;
  log->Zeile(LogStufe::kWarnung, text);
  if (!grund.ok()) log->Zeile(LogStufe::kWarnung, "Vergl:              Grund: " + grund.Reason());
}

void LaufKontext::Hinweis(const std::string& text) {
  Hinweise.push_back(text);
  Log(LogStufe::kWarnung, "Vergl: " + text);
}

void LaufKontext::UeberbleibselEntfernen(const std::string& dir, const FileInfo& e) {
  // A copy writes a temporary file and holds its lock until the file is in place.
  if (e.kind != EntryKind::kFile || !(Benutzt(e) < Laufbeginn)) return;
  const std::string pfad = dir + e.name;
  if (!fs->DeleteUnlockedFile(pfad).ok()) return;
  Geschrieben(pfad);
  Log(LogStufe::kDateiAenderung,
      "Vergl: Überbleibsel eines abgebrochenen Kopierens entfernt: " + pfad);
}

bool LaufKontext::Ausgenommen(const std::string& pfad, bool verzeichnis) const {
  if (ausnahmen.Leer()) return false;
  for (const std::string* wurzel : {&Herkunft, &Ziel}) {
    if (Unter(pfad, *wurzel))
      return ausnahmen.Ausgenommen(pfad.substr(wurzel->size() + 1), verzeichnis);
  }
  return false;
}

void LaufKontext::Geschrieben(const std::string& pfad) {
  // The store may lie inside a tree (it is then left out of the walk); it is flushed either way.
  if (Unter(pfad, LoeschenWohin)) lager_geschrieben = true;
  if (Unter(pfad, Herkunft)) herkunft_geschrieben = true;
  if (Unter(pfad, Ziel)) ziel_geschrieben = true;
}

}  // namespace zarnoft
