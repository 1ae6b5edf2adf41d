#include "engine/run_context.h"

#include "engine/run_store.h"
#include "platform/path_helpers.h"
#include "platform/reserved_dir.h"

namespace zarnoft {
namespace {

// Whether `pfad` lies below the directory `wurzel` (a root without its trailing "/", or the
// store with it).
bool Unter(const std::string& pfad, const std::string& wurzel) {
  if (pfad.size() <= wurzel.size() || pfad.compare(0, wurzel.size(), wurzel) != 0) return false;
  return wurzel.empty() || wurzel.back() == '/' || pfad[wurzel.size()] == '/';
}

// The failure as the report gives it: without the log's prefix.
Fehlerzeile Zeile(const std::string& text, const Status& grund) {
  constexpr char kPrefix[] = "Vergl: ";
  const size_t n = sizeof(kPrefix) - 1;
  Fehlerzeile f;
  f.text = text.compare(0, n, kPrefix) == 0 ? text.substr(n) : text;
  if (!grund.ok()) f.grund = grund.Reason();
  return f;
}

}  // namespace

void LaufKontext::Fehlschlag(const std::string& text, const Status& grund) {
  ++Fehler;
  if (bericht != nullptr) bericht->Fehler(Zeile(text, grund));
  if (!log->Will(LogStufe::kWarnung)) return;
  log->Zeile(LogStufe::kWarnung, grund.ok() ? text : text + " (" + grund.Reason() + ")");
}

void LaufKontext::FehlschlagMitGrundzeile(const std::string& text, const Status& grund) {
  ++Fehler;
  if (bericht != nullptr) bericht->Fehler(Zeile(text, grund));
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
  if (Probelauf) return;
  if (e.kind != EntryKind::kFile || !(Benutzt(e) < Laufbeginn)) return;
  const std::string pfad = dir + e.name;
  // Its directory's date is noted, so that taking the run back gives that date back too.
  if (ablage != nullptr) ablage->Aendern(StripTrailingSlash(dir));
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
  const bool h = Unter(pfad, Herkunft);
  const bool z = Unter(pfad, Ziel);
  herkunft_geschrieben |= h;
  ziel_geschrieben |= z;
  // The program's own directory is no change of the user's tree.
  if ((h || z) && !IstReserviert(NamePart(pfad)))
    verzeichnisse_geschrieben.insert(DirectoryPart(pfad));
}

bool LaufKontext::Relativ(const std::string& pfad, AktionsSeite* seite, std::string* rel) const {
  // The longer root first: it may begin with the other's text ("/a/b" and "/a/bc" do not overlap).
  const bool ziel_zuerst = Ziel.size() >= Herkunft.size();
  for (int i = 0; i < 2; ++i) {
    const bool ziel = (i == 0) == ziel_zuerst;
    const std::string& wurzel = ziel ? Ziel : Herkunft;
    if (!Unter(pfad, wurzel)) continue;
    *seite = ziel ? AktionsSeite::kZiel : AktionsSeite::kHerkunft;
    *rel = pfad.substr(wurzel.size() + 1);
    return true;
  }
  return false;
}

void LaufKontext::MeldenFuer(AktionsArt art, const std::string& pfad, const FileInfo* info) const {
  if (bericht == nullptr) return;
  Aktion a;
  a.art = art;
  if (!Relativ(pfad, &a.seite, &a.rel)) return;
  if (info != nullptr) {
    if (info->IsDirectory()) a.rel += '/';
    Dateistand& d = a.seite == AktionsSeite::kZiel ? a.ziel : a.herkunft;
    if (!info->IsDirectory()) d.groesse = info->size;
    d.datum = info->mtime;
  }
  bericht->Getan(a);
}

}  // namespace zarnoft
