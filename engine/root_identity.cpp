#include "engine/root_identity.h"

#include <random>

#include "platform/reserved_dir.h"

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

bool Schreiben(FileSystem* fs, const std::string& pfad, const std::string& kennung) {
  Status s;
  std::unique_ptr<WritableFile> f = fs->CreateExclusive(pfad, kReserviertDateiBits, &s);
  if (!f) return false;
  const std::string inhalt = kennung + "\n";
  if (f->Write(inhalt.data(), inhalt.size()).ok() && f->Sync().ok() && f->Close().ok()) return true;
  f.reset();
  fs->DeleteFile(pfad);
  return false;
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
  FileInfo info;
  s = fs->Stat(pfad, &info);
  if (s.missing()) {
    const std::string neu = Zufallskennung();
    if (!Schreiben(fs, pfad, neu)) return PfadKennung(fs, wurzel, k, fehler);
    k->kennung = neu;
    k->neu = true;
    return true;
  }
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
  while (!inhalt.empty() && (inhalt.back() == '\n' || inhalt.back() == '\r')) inhalt.pop_back();
  if (!Gueltig(inhalt)) {
    *fehler = pfad + " enthält keine gültige Kennung";
    return false;
  }
  k->kennung = inhalt;
  return true;
}

}  // namespace zarnoft
