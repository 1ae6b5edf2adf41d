#include "engine/move_aside.h"

#include <vector>

#include "copy/file_copy.h"
#include "platform/date_time.h"
#include "platform/path_helpers.h"

namespace zarnoft {
namespace {

// The date as the store copy carries it: the copy step rounds to the DOS form, and leaves the
// time of writing on files whose time has none (before 1980); their date is not compared.
bool GleichesDatum(const FileInfo& datei, const FileInfo& kopie) {
  if (!HasDosForm(datei.mtime)) return true;
  return DosFromFileTime(datei.mtime) == DosFromFileTime(kopie.mtime);
}

// The store is never walked, so leftovers of a copy into it that a kill cut short are looked for
// here: in each store directory once per run, before the first copy into it.
void Aufraeumen(LaufKontext& k, const std::string& dir) {
  if (!k.lager_aufgeraeumt.insert(dir).second) return;
  std::vector<FileInfo> eintraege;
  if (!k.fs->ListDirectory(dir, &eintraege).ok()) return;
  for (const FileInfo& e : eintraege)
    if (IstKopierTempName(e.name)) k.UeberbleibselEntfernen(dir, e);
}

}  // namespace

std::string Auslagerungspfad(const std::string& lager, const std::string& pfad) {
  size_t weg = 0;
  if (pfad.compare(0, 2, "//") == 0) {
    weg = 2;
  } else if (pfad.compare(0, 1, "/") == 0) {
    weg = 1;
  }
  return lager + pfad.substr(weg);
}

bool VerzeichnisseAnlegen(FileSystem* fs, Protokoll* log, const std::string& pfad) {
  for (size_t i = 0; i < pfad.size(); ++i) {
    if (pfad[i] != '/') continue;
    std::string stufe = pfad.substr(0, i + 1);
    FileInfo info;
    // With the trailing "/" the query follows a link, so a store reached through a link to a
    // directory counts as present, and a file of that name fails the query and the creation.
    if (fs->Stat(stufe, &info)) continue;
    Status s = fs->CreateDirectory(stufe);
    if (s.ok()) {
      if (log->Will(LogStufe::kDebugAusfuehrlich))
        log->Zeile(LogStufe::kDebugAusfuehrlich, "Vergl: Verzeichnis angelegt:" + stufe);
      continue;
    }
    // Another run may have created it in the meantime.
    if (fs->IsEnterableDirectory(stufe).ok()) continue;
    if (log->Will(LogStufe::kWarnung)) {
      log->Zeile(LogStufe::kWarnung,
                 "Vergl: Verzeichnis nicht angelegt: " + stufe + " (" + s.Reason() + ")");
    }
    return false;
  }
  return true;
}

bool InsLagerKopieren(LaufKontext& k, const std::string& pfad, const FileInfo& vorher,
                      std::string* genommen) {
  if (vorher.kind != EntryKind::kFile && vorher.kind != EntryKind::kSymlink) return false;
  const std::string platz = Auslagerungspfad(k.LoeschenWohin, pfad);
  // The store's own path is the user's choice; below it nothing is reached through a link.
  if (!k.lager_halt) {
    if (!VerzeichnisseAnlegen(k.fs, k.log, k.LoeschenWohin)) return false;
    Status s;
    k.lager_halt = k.fs->HoldRoot(k.LoeschenWohin, &s);
    if (!k.lager_halt) {
      k.Fehlschlag("Vergl: Verzeichnis nicht angelegt: " + k.LoeschenWohin, s);
      return false;
    }
  }
  if (!VerzeichnisseAnlegen(k.fs, k.log, platz)) return false;
  Aufraeumen(k, DirectoryPart(platz));
  // An earlier version of the same path stays: this one goes beside it, numbered.
  std::string ziel;
  if (k.kopierer->KopierenNeu(pfad, platz, vorher.size, &ziel) != KopierErgebnis::kKopiert)
    return false;
  k.Geschrieben(ziel);

  FileInfo kopie;
  if (!k.fs->Stat(ziel, &kopie).ok() || kopie.kind != vorher.kind || kopie.size != vorher.size ||
      !GleichesDatum(vorher, kopie))
    return false;
  // A file written to while it was copied has content the copy may lack.
  FileInfo nachher;
  if (!k.fs->Stat(pfad, &nachher).ok() || nachher.kind != vorher.kind ||
      nachher.size != vorher.size || nachher.mtime != vorher.mtime)
    return false;
  if (vorher.kind == EntryKind::kSymlink) {
    std::string original;
    std::string kopierter;
    if (!k.fs->ReadLink(pfad, &original).ok() || !k.fs->ReadLink(ziel, &kopierter).ok() ||
        original != kopierter)
      return false;
  }
  if (genommen != nullptr) *genommen = ziel;
  return true;
}

}  // namespace zarnoft
