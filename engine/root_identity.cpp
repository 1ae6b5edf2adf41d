#include "engine/root_identity.h"

#include <functional>
#include <random>

#include "platform/reserved_dir.h"
#include "platform/temp_file.h"

namespace zarnoft {
namespace {

constexpr size_t kKennungZeichen = 32;  // 128 random bits in hexadecimal

bool Gueltig(const std::string& s) {
  if (s.size() != kKennungZeichen) return false;
  for (char c : s) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

std::string Zufallskennung() {
  std::random_device zufall;  // the kernel's random source
  static const char kHex[] = "0123456789abcdef";
  std::string s;
  while (s.size() < kKennungZeichen) {
    uint32_t w = zufall();
    for (int i = 0; i < 8; ++i, w >>= 4) s.push_back(kHex[w & 15]);
  }
  return s;
}

// The identity of a root the program cannot write to.
bool PfadKennung(FileSystem* fs, const std::string& wurzel, Wurzelkennung* k, std::string* fehler) {
  FileInfo info;
  Status s = fs->Stat(wurzel.empty() ? "/" : wurzel + "/", &info);
  if (!s) {
    *fehler = (wurzel.empty() ? "/" : wurzel) + " nicht abfragbar (" + s.Reason() + ")";
    return false;
  }
  k->kennung = "pfad:" + (wurzel.empty() ? "/" : wurzel) + " dev " + std::to_string(info.device) +
               " ino " + std::to_string(info.inode);
  return true;
}

// Written under a temporary name and renamed into place, so that a run killed in the middle
// leaves no empty or cut identity that would stop every later run of the root.
bool Schreiben(FileSystem* fs, const std::string& pfad, const std::string& kennung) {
  TempDatei tmp(fs, pfad);
  Status s;
  std::unique_ptr<WritableFile> f = tmp.DateiAnlegen(kReserviertDateiBits, &s);
  if (!f) return false;
  const std::string inhalt = kennung + "\n";
  const bool geschrieben =
      f->Write(inhalt.data(), inhalt.size()).ok() && f->Sync().ok() && f->Close().ok();
  f.reset();
  return geschrieben && tmp.Einsetzen(pfad).ok();
}

// Reads the marker at `pfad`; `anlegen` is called when there is none, or an empty one.
bool MarkeLesen(FileSystem* fs, const std::string& pfad, Wurzelkennung* k, std::string* fehler,
                const std::function<bool()>& anlegen) {
  FileInfo info;
  Status s = fs->Stat(pfad, &info);
  if (s.missing()) return anlegen();
  if (!s) {
    *fehler = pfad + " nicht abfragbar (" + s.Reason() + ")";
    return false;
  }
  if (info.kind == EntryKind::kSymlink) {
    *fehler = pfad + " ist eine Verknüpfung und wird nicht verfolgt";
    return false;
  }
  if (info.kind != EntryKind::kFile) {
    *fehler = pfad + " ist keine normale Datei";
    return false;
  }
  if (info.uid != ProcessUid()) {
    *fehler = pfad + " gehört einem anderen Benutzer";
    return false;
  }
  std::string inhalt;
  s = fs->ReadWholeFile(pfad, &inhalt, 4 * kKennungZeichen);
  if (!s) {
    *fehler = pfad + " nicht lesbar (" + s.Reason() + ")";
    return false;
  }
  // An empty identity is what a run killed while writing it left (before the identity was
  // renamed into place): a new one is made. The record of the old one then no longer fits,
  // so the next run deletes nothing, which is safe.
  if (inhalt.empty()) return anlegen();
  while (!inhalt.empty() && (inhalt.back() == '\n' || inhalt.back() == '\r')) inhalt.pop_back();
  if (!Gueltig(inhalt)) {
    *fehler = pfad + " enthält keine gültige Kennung";
    return false;
  }
  k->kennung = inhalt;
  return true;
}

}  // namespace

bool WurzelkennungBestimmen(FileSystem* fs, const std::string& wurzel, Wurzelkennung* k,
                            std::string* fehler) {
  *k = Wurzelkennung();
  fehler->clear();
  Status s = ReserviertesVerzeichnisBereiten(fs, wurzel, fehler);
  if (!fehler->empty()) return false;
  if (!s) return PfadKennung(fs, wurzel, k, fehler);

  const std::string pfad = ReserviertesVerzeichnis(wurzel) + "/" + kKennungName;
  return MarkeLesen(fs, pfad, k, fehler, [&] {
    // An empty marker (left by a killed run) is removed first; a missing one is simply made.
    FileInfo info;
    if (fs->Stat(pfad, &info).ok() && !fs->DeleteFile(pfad).ok()) {
      *fehler = pfad + " enthält keine gültige Kennung";
      return false;
    }
    const std::string neu = Zufallskennung();
    if (!Schreiben(fs, pfad, neu)) return PfadKennung(fs, wurzel, k, fehler);
    k->kennung = neu;
    k->neu = true;
    return true;
  });
}

bool WurzelkennungLesen(FileSystem* fs, const std::string& wurzel, Wurzelkennung* k,
                        std::string* fehler) {
  *k = Wurzelkennung();
  fehler->clear();
  FileInfo info;
  Status s = fs->Stat(ReserviertesVerzeichnis(wurzel), &info);
  // Without the program's directory a real run makes one, or, on a medium it cannot write,
  // knows the root by its path.
  if (s.missing()) return PfadKennung(fs, wurzel, k, fehler);
  if (!s || info.kind != EntryKind::kDirectory) return true;  // the real run says why it stops
  return MarkeLesen(fs, ReserviertesVerzeichnis(wurzel) + "/" + kKennungName, k, fehler,
                    [] { return true; });
}

}  // namespace zarnoft
