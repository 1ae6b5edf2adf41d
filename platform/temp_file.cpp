#include "platform/temp_file.h"

#include <cerrno>
#include <ctime>
#include <utility>
#include <vector>

#include "platform/path_helpers.h"
#include "platform/temp_name.h"

namespace zarnoft {
namespace {

// Attempts at a free temporary name before the directory counts as not writable.
constexpr int kNamensVersuche = 8;
// A temporary file younger than this may belong to a writer that is about to rename it.
constexpr int64_t kAlterUeberbleibsel = 60;
// The older writer's temporary names: "." + name (at most 200 bytes) + "." + hex + ".tmp".
constexpr size_t kAlteNamensLaenge = 200;

bool IstHexText(const std::string& s) {
  if (s.empty() || s.size() > 16) return false;
  for (char c : s) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

bool IstAlterTempName(const std::string& name, const std::string& fuer) {
  const std::string kopf = "." + fuer.substr(0, kAlteNamensLaenge) + ".";
  const std::string ende = ".tmp";
  if (name.size() <= kopf.size() + ende.size() || name.compare(0, kopf.size(), kopf) != 0 ||
      name.compare(name.size() - ende.size(), ende.size(), ende) != 0) {
    return false;
  }
  return IstHexText(name.substr(kopf.size(), name.size() - kopf.size() - ende.size()));
}

std::string VerzeichnisVon(const std::string& path) {
  const std::string dir = DirectoryPart(path);
  return dir.empty() ? "." : dir;
}

}  // namespace

TempDatei::TempDatei(FileSystem* fs, std::string ziel) : fs_(fs), ziel_(std::move(ziel)) {}

TempDatei::~TempDatei() {
  Entfernen();
}

Status TempDatei::Anlegen(const std::function<Status(const std::string& name)>& anlegen) {
  Entfernen();
  Status s;
  for (int versuch = 0; versuch < kNamensVersuche; ++versuch) {
    std::string name = KopierTempName(ziel_, TempZufall());
    s = anlegen(name);
    if (s.ok()) {
      name_ = std::move(name);
      return s;
    }
    FileInfo belegt;
    if (!fs_->Stat(name, &belegt).ok()) return s;  // no clash: the directory refuses
  }
  return s;
}

std::unique_ptr<WritableFile> TempDatei::DateiAnlegen(uint32_t mode, Status* s) {
  std::unique_ptr<WritableFile> f;
  *s = Anlegen([&](const std::string& name) {
    Status a;
    f = fs_->CreateExclusive(name, mode, &a);
    // A file system that gives no file and no reason.
    if (!f && a.ok()) a = Status::FromErrno(EIO);
    return a;
  });
  return f;
}

Status TempDatei::Ersetzen() {
  Status s = fs_->RenameReplace(name_, ziel_);
  if (s) name_.clear();
  return s;
}

Status TempDatei::Einsetzen(const std::string& wohin) {
  Status s = fs_->RenameNoReplace(name_, wohin);
  if (s) name_.clear();
  return s;
}

Status TempDatei::VerzeichnisSichern() {
  return fs_->SyncDirectory(VerzeichnisVon(ziel_));
}

void TempDatei::Entfernen() {
  if (name_.empty()) return;
  fs_->DeleteFile(name_);
  name_.clear();
}

void AlteTempDateienEntfernen(FileSystem* fs, const std::string& path) {
  const std::string dir = DirectoryPart(path);
  const std::string name = NamePart(path);
  const int64_t jetzt = static_cast<int64_t>(std::time(nullptr));
  std::vector<FileInfo> eintraege;
  fs->ListDirectory(VerzeichnisVon(path), &eintraege);
  for (const FileInfo& e : eintraege) {
    if (e.kind != EntryKind::kFile) continue;
    // A writer's file is locked while it is written; between its closing and its rename only
    // its age tells it from a leftover.
    if ((IstKopierTempNameVon(e.name, name) || IstAlterTempName(e.name, name)) &&
        e.mtime.sec < jetzt - kAlterUeberbleibsel) {
      fs->DeleteUnlockedFile(dir + e.name);
    }
  }
}

}  // namespace zarnoft
