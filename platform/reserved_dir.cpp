#include "platform/reserved_dir.h"

#include <algorithm>

namespace zarnoft {

void ReservierteWeglassen(std::vector<FileInfo>* eintraege) {
  eintraege->erase(std::remove_if(eintraege->begin(), eintraege->end(),
                                  [](const FileInfo& e) { return IstReserviert(e.name); }),
                   eintraege->end());
}

Status ReserviertesVerzeichnisBereiten(FileSystem* fs, const std::string& wurzel,
                                       std::string* fehler) {
  const std::string pfad = ReserviertesVerzeichnis(wurzel);
  FileInfo info;
  Status s = fs->Stat(pfad, &info);
  if (s.missing()) {
    s = fs->CreateDirectory(pfad);
    if (!s) return s;
    // The umask may have left it open to others.
    return fs->SetMode(pfad, kReserviertVerzeichnisBits);
  }
  if (!s) {
    *fehler = pfad + " nicht abfragbar (" + s.Reason() + ")";
    return s;
  }
  if (info.kind == EntryKind::kSymlink) {
    *fehler = pfad + " ist eine Verknüpfung und wird nicht verfolgt";
  } else if (!info.IsDirectory()) {
    *fehler = pfad + " ist kein Verzeichnis";
  } else if (info.uid != ProcessUid()) {
    *fehler = pfad + " gehört einem anderen Benutzer";
  } else {
    return Status();
  }
  return Status::FromErrno(EPERM);
}

}  // namespace zarnoft
