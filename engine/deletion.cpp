// DateiLoeschen and VerzeichnisLoeschen: the deletions the walk decides on, carried out under the
// run's deletion mode (LoeschModus: delete, never delete, or keep a copy in the move-aside store
// first).
//
// A tree is removed without ever following a symbolic link: a link inside it is deleted (or
// moved aside) as the link itself, and what it points to is never touched.
#include <string>
#include <vector>

#include "engine/move_aside.h"
#include "engine/run_hooks.h"

namespace zarnoft {
namespace {

constexpr uint32_t kBesitzerSchreiben = 0200;

// Makes the entry writable by its owner and deletes it. A failure is not reported (the file
// then stays); the bits it had are given back so that a kept file keeps its read-only mark.
void Entfernen(FileSystem* fs, const std::string& pfad, const FileInfo& info) {
  bool geaendert = false;
  if (info.kind != EntryKind::kSymlink && (info.mode & kBesitzerSchreiben) == 0)
    geaendert = fs->SetMode(pfad, info.mode | kBesitzerSchreiben);
  if (!fs->DeleteFile(pfad) && geaendert) fs->SetMode(pfad, info.mode);
}

bool ImLager(const LaufKontext& k, const std::string& pfad) {
  return !k.LoeschenWohin.empty() && pfad.compare(0, k.LoeschenWohin.size(), k.LoeschenWohin) == 0;
}

// The directory path without a trailing "/", so that querying it does not follow a link.
std::string OhneSchraegstrich(const std::string& pfad) {
  if (pfad.size() > 1 && pfad.back() == '/') return pfad.substr(0, pfad.size() - 1);
  return pfad;
}

}  // namespace

void DateiLoeschen(LaufKontext& k, const std::string& pfad) {
  switch (k.Loeschen) {
    case LoeschModus::kNormal: {
      FileInfo info;
      if (!k.fs->Stat(pfad, &info)) {
        k.Log(LogStufe::kWarnung, "Vergl: Zu löschende Datei nicht gefunden: " + pfad);
        return;
      }
      Entfernen(k.fs, pfad, info);
      return;
    }
    case LoeschModus::kNie:
      k.Log(LogStufe::kDebug, "Vergl: Inieinstellung verhindert Delete von " + pfad);
      return;
    case LoeschModus::kAuslagern: {
      k.Log(LogStufe::kDebug, "Vergl: Kopie statt Löschen von " + pfad);
      FileInfo info;
      if (!k.fs->Stat(pfad, &info)) {
        k.Log(LogStufe::kWarnung, "Vergl: Zu löschende Datei nicht gefunden: " + pfad);
        return;
      }
      // Moving the store's own files aside would copy them into the store again, one level
      // deeper each time the tree is removed.
      if (ImLager(k, pfad)) {
        k.Log(LogStufe::kWarnung,
              "Vergl: Nicht gelöscht, liegt im Auslagerungsverzeichnis: " + pfad);
        return;
      }
      // The file is deleted only when its copy is really in the store; a failed, refused or
      // cancelled copy, or a store that cannot be created, keeps it.
      if (!InsLagerKopieren(k, pfad, info)) {
        k.Log(LogStufe::kWarnung, "Vergl: Nicht gelöscht, Sicherungskopie fehlt: " + pfad);
        return;
      }
      Entfernen(k.fs, pfad, info);
      return;
    }
    default:
      return;
  }
}

void VerzeichnisLoeschen(LaufKontext& k, const std::string& pfad) {
  if (k.StopAngefordert()) return;
  k.Log(LogStufe::kDebugAusfuehrlich, "Vergl: Verzeichnis löschen: " + pfad);

  FileInfo info;
  if (!k.fs->Stat(OhneSchraegstrich(pfad), &info)) {
    k.Log(LogStufe::kWarnung, "Vergl: Zu löschendes Verzeichnis nicht gefunden: " + pfad);
    return;
  }
  // A link that took the directory's place since the walk saw it is not followed.
  if (info.kind != EntryKind::kDirectory) {
    k.Log(LogStufe::kWarnung, "Vergl: Verzeichnis nicht gelöscht: " + pfad);
    return;
  }

  std::string weg = pfad;
  if (!k.fs->RemoveDirectory(weg)) {
    k.Log(LogStufe::kDebugAusfuehrlich, "Vergl: Verzeichnis löschen läuft rekursiv.");
    if (weg.empty() || weg.back() != '/') weg += '/';
    std::vector<FileInfo> eintraege;
    // A listing that breaks off leaves entries behind; the second removal then fails.
    k.fs->ListDirectory(weg, &eintraege);
    for (const FileInfo& e : eintraege) {
      if (e.kind == EntryKind::kDirectory) {
        VerzeichnisLoeschen(k, weg + e.name);
      } else {
        DateiLoeschen(k, weg + e.name);
      }
    }
    // Kept files (never deleting, a failed copy, a file in use) keep their directory, and the run
    // goes on: the line below announces only a removal that took place.
    if (!k.fs->RemoveDirectory(weg)) {
      k.Log(LogStufe::kWarnung, "Vergl: Verzeichnis nicht gelöscht: " + weg);
      return;
    }
  }
  k.Log(LogStufe::kDateiAenderung, "Vergl: Verzeichnis inkl. Unterverzeichnisse gelöscht: " + weg);
}

}  // namespace zarnoft
