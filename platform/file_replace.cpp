#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <set>

#include "platform/temp_file.h"

namespace zarnoft {
namespace {

// Once per path and process: a stale temporary file stays stale, and a listing of a large
// directory on every key of a settings dialog would cost more than it finds.
bool ErstesMal(const std::string& path) {
  static std::mutex m;
  static std::set<std::string> gesehen;
  std::lock_guard<std::mutex> lock(m);
  return gesehen.insert(path).second;
}

bool FremderBesitz(const FileInfo& alt) {
  return alt.uid != ProcessUid() || alt.gid != ProcessGid();
}

// Gives the new file the old one's owner and group; false when that is impossible.
bool BesitzUebernehmen(FileSystem* fs, WritableFile* f, const std::string& tmp,
                       const FileInfo& alt) {
  if (!FremderBesitz(alt)) return true;
  Status s = f->SetOwner(alt.uid, alt.gid);
  if (s.error() == ENOTSUP) s = fs->SetOwner(tmp, alt.uid, alt.gid);
  if (s) return true;
  // A file system without owners (FAT) refuses, but gives every file the same owner anyway.
  FileInfo neu;
  return fs->Stat(tmp, &neu).ok() && neu.uid == alt.uid && neu.gid == alt.gid;
}

Status ModusSetzen(FileSystem* fs, WritableFile* f, const std::string& tmp, uint32_t mode) {
  Status s = f->SetMode(mode);
  if (s.error() == ENOTSUP) s = fs->SetMode(tmp, mode);
  return s;
}

// The update in place, which the file-system seam has no call for. A test sees its effect on
// the disk.
Status AmOrtAendern(const std::string& path, const std::string& text) {
  // O_NONBLOCK keeps a FIFO put in the file's place from blocking; only a regular file is taken.
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Status::FromErrno(errno);
  struct stat st;
  Status s;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) s = Status::FromErrno(EINVAL);
  for (size_t pos = 0; s && pos < text.size();) {
    const ssize_t n = ::pwrite(fd, text.data() + pos, text.size() - pos, static_cast<off_t>(pos));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) s = Status::FromErrno(n < 0 ? errno : EIO);
    if (n > 0) pos += static_cast<size_t>(n);
  }
  if (s && ::ftruncate(fd, static_cast<off_t>(text.size())) != 0) s = Status::FromErrno(errno);
  if (s && ::fsync(fd) != 0) s = Status::FromErrno(errno);
  if (::close(fd) != 0 && s) s = Status::FromErrno(errno);
  return s;
}

// The number of names of the file; 1 when it cannot be told.
uint64_t Namen(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_nlink) : 1;
}

enum class Ausgang { kFertig, kAmOrt };

// The temporary file: created, written, synced, owned and moded, renamed. *ausgang says whether
// the caller must update in place instead (nothing was changed then).
Status UeberTempDatei(FileSystem* fs, const std::string& path, const FileInfo* alt,
                      const std::string& text, Ausgang* ausgang) {
  *ausgang = Ausgang::kFertig;
  TempDatei tmp(fs, path);
  Status s;
  // A replaced file gets its own mode below; until then nobody else may read the new text.
  std::unique_ptr<WritableFile> f = tmp.DateiAnlegen(alt != nullptr ? 0600 : 0666, &s);
  if (!f) return s;
  s = f->Write(text.data(), text.size());
  if (s) s = f->Sync();
  if (s && alt != nullptr && !BesitzUebernehmen(fs, f.get(), tmp.name(), *alt)) {
    *ausgang = Ausgang::kAmOrt;
  }
  if (s && *ausgang == Ausgang::kFertig && alt != nullptr) {
    s = ModusSetzen(fs, f.get(), tmp.name(), alt->mode);
  }
  Status c = f->Close();
  f.reset();
  if (s) s = c;
  if (!s || *ausgang != Ausgang::kFertig) return s;
  s = alt != nullptr ? tmp.Ersetzen() : tmp.Einsetzen(path);
  // The rename is on the disk only when the directory is. A failure there leaves the new text
  // in place, which is what the caller asked for, so it is not reported.
  if (s) tmp.VerzeichnisSichern();
  return s;
}

}  // namespace

Status TextErsetzen(FileSystem* fs, const std::string& path, const FileInfo* alt,
                    const std::string& text) {
  Status s;
  Ausgang ausgang = Ausgang::kAmOrt;
  if (alt == nullptr || Namen(path) <= 1) s = UeberTempDatei(fs, path, alt, text, &ausgang);
  if (s && ausgang == Ausgang::kAmOrt) s = AmOrtAendern(path, text);
  if (s && ErstesMal(path)) AlteTempDateienEntfernen(fs, path);
  return s;
}

}  // namespace zarnoft
