// DateiLoeschen and VerzeichnisLoeschen: the deletions the walk decides on, carried out under the
// run's deletion mode (LoeschModus: delete, never delete, or keep a copy in the move-aside store
// first).
//
// A tree is removed without ever following a symbolic link: a link inside it is deleted (or
// moved aside) as the link itself, and what it points to is never touched. Each entry is looked
// at again right before it goes, so that what was written or used since the tree was judged
// unused stays.
#include <cerrno>
#include <string>
#include <vector>

#include "engine/deletion.h"

#include "engine/move_aside.h"
#include "engine/run_store.h"
#include "platform/path_helpers.h"
#include "platform/reserved_dir.h"

namespace zarnoft {
namespace {

constexpr uint32_t kBesitzerSchreiben = 0200;

// Makes the entry writable by its owner and deletes it; the bits it had are given back when the
// deletion fails, so that a kept file keeps its read-only mark.
Status Entfernen(FileSystem* fs, const std::string& pfad, const FileInfo& info) {
  bool geaendert = false;
  if (info.kind != EntryKind::kSymlink && (info.mode & kBesitzerSchreiben) == 0)
    geaendert = fs->SetMode(pfad, info.mode | kBesitzerSchreiben).ok();
  Status s = fs->DeleteFile(pfad);
  if (!s && geaendert) fs->SetMode(pfad, info.mode);
  return s;
}

bool ImLager(const LaufKontext& k, const std::string& pfad) {
  return !k.LoeschenWohin.empty() && pfad.compare(0, k.LoeschenWohin.size(), k.LoeschenWohin) == 0;
}

// A fresh look at the file to be deleted; false (logged) when there is nothing to delete.
bool Nachsehen(LaufKontext& k, const std::string& pfad, FileInfo* info) {
  Status s = k.fs->Stat(pfad, info);
  if (s.ok()) return true;
  if (s.missing()) {
    k.Log(LogStufe::kWarnung, "Vergl: Zu löschende Datei nicht gefunden: " + pfad);
  } else {
    k.Fehlschlag("Vergl: Nicht gelöscht, nicht abfragbar: " + pfad, s);
  }
  return false;
}

// A file that goes is kept in the run's store when the run keeps one (moved there, so that the
// run can be taken back); a file already moved aside into the user's store is deleted.
bool Weg(LaufKontext& k, const std::string& pfad, const FileInfo& info, AktionsArt art) {
  if (!k.Probelauf) {
    Status s = k.ablage != nullptr && art == AktionsArt::kLoeschen ? k.ablage->Entfernen(pfad, info)
                                                                   : Entfernen(k.fs, pfad, info);
    if (!s) {
      k.Fehlschlag("Vergl: Nicht gelöscht: " + pfad, s);
      return false;
    }
    k.Geschrieben(pfad);
  }
  k.MeldenFuer(art, pfad, &info);
  return true;
}

// Removes an empty directory, noted in the run's journal when it keeps one.
Status VerzeichnisWeg(LaufKontext& k, const std::string& pfad, const FileInfo& info) {
  if (k.ablage == nullptr) return k.fs->RemoveDirectory(pfad);
  std::vector<FileInfo> eintraege;
  // Only an empty directory is noted: the walk tries each directory before it empties it.
  Status s = k.fs->ListDirectory(pfad, &eintraege);
  if (s.ok() && !eintraege.empty()) return Status::FromErrno(ENOTEMPTY);
  if (!s) return s;
  FileInfo jetzt;
  if (k.fs->Stat(StripTrailingSlash(pfad), &jetzt).ok())
    return k.ablage->VerzeichnisEntfernen(StripTrailingSlash(pfad), jetzt);
  return k.ablage->VerzeichnisEntfernen(StripTrailingSlash(pfad), info);
}

// Removes an empty directory; a probe run only looks whether it is empty.
Status LeeresEntfernen(LaufKontext& k, const std::string& pfad, const FileInfo& info) {
  if (!k.Probelauf) return VerzeichnisWeg(k, pfad, info);
  std::vector<FileInfo> eintraege;
  Status s = k.fs->ListDirectory(pfad, &eintraege);
  if (s.ok() && !eintraege.empty()) return Status::FromErrno(ENOTEMPTY);
  return s;
}

// One entry of a directory being removed, looked at right before it goes: what is new or was
// changed since the last run stays.
void EintragLoeschen(LaufKontext& k, const std::string& pfad, const WieZuletzt& wie_zuletzt,
                     bool* behalten) {
  FileInfo jetzt;
  Status s = k.fs->Stat(pfad, &jetzt);
  if (s.missing()) return;
  if (!s) {
    k.Fehlschlag("Vergl: Nicht gelöscht, nicht abfragbar: " + pfad, s);
    *behalten = true;
    return;
  }
  if (!wie_zuletzt(pfad, jetzt)) {
    k.Log(LogStufe::kDateiAenderung,
          "Vergl: Nicht gelöscht, neu oder seit dem letzten Abgleich geändert: " + pfad);
    *behalten = true;
    return;
  }
  if (jetzt.IsDirectory()) {
    if (!VerzeichnisLoeschen(k, pfad, wie_zuletzt)) *behalten = true;
  } else if (!DateiLoeschen(k, pfad)) {
    *behalten = true;
  }
}

}  // namespace

bool DateiLoeschen(LaufKontext& k, const std::string& pfad) {
  FileInfo info;
  switch (k.Loeschen) {
    case LoeschModus::kNormal:
      return Nachsehen(k, pfad, &info) && Weg(k, pfad, info, AktionsArt::kLoeschen);
    case LoeschModus::kNie:
      k.Log(LogStufe::kDebug, "Vergl: Inieinstellung verhindert Delete von " + pfad);
      return false;
    case LoeschModus::kAuslagern:
      k.Log(LogStufe::kDebug, "Vergl: Kopie statt Löschen von " + pfad);
      if (!Nachsehen(k, pfad, &info)) return false;
      // Moving the store's own files aside would copy them into the store again, one level
      // deeper each time the tree is removed.
      if (ImLager(k, pfad)) {
        k.Log(LogStufe::kWarnung,
              "Vergl: Nicht gelöscht, liegt im Auslagerungsverzeichnis: " + pfad);
        return false;
      }
      // The file is deleted only when its copy is really in the store; a failed, refused or
      // cancelled copy, or a store that cannot be created, keeps it.
      {
        std::string lagerpfad;
        if (!k.Probelauf && !InsLagerKopieren(k, pfad, info, &lagerpfad)) {
          k.Fehlschlag("Vergl: Nicht gelöscht, Sicherungskopie fehlt: " + pfad);
          return false;
        }
        if (!k.Probelauf && k.ablage != nullptr) k.ablage->Ausgelagert(pfad, lagerpfad, info);
      }
      return Weg(k, pfad, info, AktionsArt::kAuslagern);
  }
  return false;  // an unknown deletion mode deletes nothing
}

bool VerzeichnisLoeschen(LaufKontext& k, const std::string& pfad, const WieZuletzt& wie_zuletzt) {
  if (k.StopAngefordert()) return false;
  k.Log(LogStufe::kDebugAusfuehrlich, "Vergl: Verzeichnis löschen: " + pfad);

  FileInfo info;
  Status s = k.fs->Stat(StripTrailingSlash(pfad), &info);
  if (s.missing()) {
    k.Log(LogStufe::kWarnung, "Vergl: Zu löschendes Verzeichnis nicht gefunden: " + pfad);
    return true;
  }
  // A link that took the directory's place since the walk saw it is not followed.
  if (!s || info.kind != EntryKind::kDirectory) {
    k.Fehlschlag("Vergl: Verzeichnis nicht gelöscht: " + pfad, s);
    return false;
  }

  std::string weg = pfad;
  if (!LeeresEntfernen(k, weg, info).ok()) {
    k.Log(LogStufe::kDebugAusfuehrlich, "Vergl: Verzeichnis löschen läuft rekursiv.");
    weg = WithTrailingSlash(weg);
    std::vector<FileInfo> eintraege;
    s = k.fs->ListDirectory(weg, &eintraege);
    if (!s) {
      k.Fehlschlag("Vergl: Verzeichnis nicht gelöscht: " + weg, s);
      return false;
    }
    bool behalten = false;
    for (const FileInfo& e : eintraege) {
      // The program's own directory is never offered for deletion, and what the job leaves out
      // is never the run's to delete: either keeps its parent.
      if (IstReserviert(e.name) || k.Ausgenommen(weg + e.name, e.IsDirectory())) {
        behalten = true;
        continue;
      }
      EintragLoeschen(k, weg + e.name, wie_zuletzt, &behalten);
    }
    // Kept entries (never deleting, used since the last run, a failure) keep their directory,
    // and the run goes on: the line below announces only a removal that took place.
    if (!k.Probelauf) {
      s = VerzeichnisWeg(k, weg, info);
    } else {
      s = behalten ? Status::FromErrno(ENOTEMPTY) : Status();
    }
    if (!s) {
      if (behalten || s.error() == ENOTEMPTY) {
        k.Log(LogStufe::kDateiAenderung, "Vergl: Verzeichnis bleibt, nicht alles gelöscht: " + weg);
      } else {
        k.Fehlschlag("Vergl: Verzeichnis nicht gelöscht: " + weg, s);
      }
      return false;
    }
  }
  if (!k.Probelauf) k.Geschrieben(StripTrailingSlash(weg));
  k.MeldenFuer(AktionsArt::kLoeschen, StripTrailingSlash(weg), &info);
  k.Log(LogStufe::kDateiAenderung, "Vergl: Verzeichnis inkl. Unterverzeichnisse gelöscht: " + weg);
  return true;
}

}  // namespace zarnoft
