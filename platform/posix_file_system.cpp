// The POSIX implementation of FileSystem.
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/beneath.h"
#include "platform/file_system.h"
#include "platform/fs_kind.h"
#include "platform/mount_place.h"
#include "platform/path_helpers.h"

namespace zarnoft {
namespace {

FileTime FromTimespec(const struct timespec& ts) {
  return FileTime{ts.tv_sec, ts.tv_nsec};
}

EntryKind KindOf(mode_t m) {
  if (S_ISREG(m)) return EntryKind::kFile;
  if (S_ISDIR(m)) return EntryKind::kDirectory;
  if (S_ISLNK(m)) return EntryKind::kSymlink;
  return EntryKind::kSpecial;
}

void FillInfo(const struct stat& st, FileInfo* info) {
  info->kind = KindOf(st.st_mode);
  info->uid = st.st_uid;
  info->gid = st.st_gid;
  info->device = static_cast<uint64_t>(st.st_dev);
  info->inode = static_cast<uint64_t>(st.st_ino);
  info->size = static_cast<int64_t>(st.st_size);
  info->mtime = FromTimespec(st.st_mtim);
  info->atime = FromTimespec(st.st_atim);
  info->ctime = FromTimespec(st.st_ctim);
  info->mode = static_cast<uint32_t>(st.st_mode & 07777);
}

Status Fehler() {
  return Status::FromErrno(errno);
}

Status Ergebnis(int rc) {
  return rc == 0 ? Status::Ok() : Fehler();
}

// Puts the reason of a failed open where the caller wants it.
template <typename T>
std::unique_ptr<T> Gescheitert(Status* status, Status s) {
  if (status != nullptr) *status = s;
  return nullptr;
}

class PosixReadableFile : public ReadableFile {
 public:
  PosixReadableFile(int fd, const struct stat& st) : fd_(fd), st_(st) {}
  ~PosixReadableFile() override { ::close(fd_); }
  Status Read(char* buf, size_t n, size_t* got) override {
    for (;;) {
      ssize_t r = ::read(fd_, buf, n);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) {
        *got = 0;
        return Fehler();
      }
      *got = static_cast<size_t>(r);
      return Status::Ok();
    }
  }
  int64_t Size() override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return -1;
    return st.st_size;
  }
  int Descriptor() const override { return fd_; }
  // Fewer blocks than the size needs: the file has holes (a few bytes of slack for files whose
  // tail is kept inline).
  bool MayHaveHoles() const override {
    return st_.st_size > 0 && st_.st_blocks * 512 + 4096 < st_.st_size;
  }
  bool InfoAtOpen(FileInfo* info) const override {
    FillInfo(st_, info);
    return true;
  }

 private:
  int fd_;
  struct stat st_;  // as it was when the file was opened
};

class PosixWritableFile : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  ~PosixWritableFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  Status Write(const char* data, size_t n) override {
    while (n > 0) {
      ssize_t w = ::write(fd_, data, n);
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) return Fehler();
      if (w == 0) return Status::FromErrno(EIO);
      data += w;
      n -= static_cast<size_t>(w);
    }
    return Status::Ok();
  }
  Status Sync() override { return Ergebnis(::fsync(fd_)); }
  Status Close() override {
    int fd = fd_;
    fd_ = -1;
    if (fd < 0) return Status::FromErrno(EBADF);
    return Ergebnis(::close(fd));
  }
  int Descriptor() const override { return fd_; }
  Status SetOwner(uint32_t uid, uint32_t gid) override { return Ergebnis(::fchown(fd_, uid, gid)); }
  Status SetMode(uint32_t mode) override { return Ergebnis(::fchmod(fd_, mode & 07777)); }

 private:
  int fd_;
};

// Copies len bytes at the given offsets, in the kernel where it can, through a buffer otherwise.
Status BereichKopieren(int in, int out, off_t von, off_t nach, uint64_t len) {
  bool kernel = true;
  std::vector<char> puffer;
  while (len > 0) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(len, 1u << 30));
    ssize_t r = -1;
    if (kernel) {
      r = ::copy_file_range(in, &von, out, &nach, want, 0);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                    errno == EBADF)) {
        kernel = false;
        continue;
      }
      if (r < 0) return Fehler();
    } else {
      if (puffer.empty()) puffer.resize(1 << 20);
      want = std::min(want, puffer.size());
      r = ::pread(in, puffer.data(), want, von);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) return Fehler();
      for (ssize_t w = 0, fertig = 0; fertig < r; fertig += w) {
        w = ::pwrite(out, puffer.data() + fertig, static_cast<size_t>(r - fertig), nach + fertig);
        if (w < 0 && errno == EINTR)
          w = 0;
        else if (w <= 0)
          return w < 0 ? Fehler() : Status::FromErrno(EIO);
      }
      von += r;
      nach += r;
    }
    if (r == 0) return Status::Ok();  // the source ended early
    len -= static_cast<uint64_t>(r);
  }
  return Status::Ok();
}

// CopyData for a source with holes: only its data is copied, at the same places, so that the
// holes stay holes in the copy; a hole at the end is made by setting the copy's length.
Status MitLoecherKopieren(int in, int out, uint64_t n, uint64_t* copied) {
  *copied = 0;
  struct stat st;
  if (::fstat(in, &st) != 0) return Fehler();
  const off_t start = ::lseek(in, 0, SEEK_CUR);
  const off_t ziel_start = ::lseek(out, 0, SEEK_CUR);
  if (start < 0 || ziel_start < 0) return Fehler();
  const uint64_t uebrig = st.st_size > start ? static_cast<uint64_t>(st.st_size - start) : 0;
  const off_t ende = start + static_cast<off_t>(std::min(n, uebrig));
  for (off_t pos = start; pos < ende;) {
    off_t daten = ::lseek(in, pos, SEEK_DATA);
    if (daten < 0 && errno != ENXIO) return Fehler();
    if (daten < 0 || daten >= ende) break;  // a hole up to the end of this piece
    off_t loch = ::lseek(in, daten, SEEK_HOLE);
    if (loch < 0) return Fehler();
    loch = std::min(loch, ende);
    Status s = BereichKopieren(in, out, daten, ziel_start + (daten - start),
                               static_cast<uint64_t>(loch - daten));
    if (!s) return s;
    pos = loch;
  }
  const off_t ziel_ende = ziel_start + (ende - start);
  struct stat zst;
  if (::fstat(out, &zst) != 0) return Fehler();
  if (zst.st_size < ziel_ende && ::ftruncate(out, ziel_ende) != 0) return Fehler();
  if (::lseek(in, ende, SEEK_SET) < 0 || ::lseek(out, ziel_ende, SEEK_SET) < 0) return Fehler();
  *copied = static_cast<uint64_t>(ende - start);
  return Status::Ok();
}

#ifndef SYS_fchmodat2
#define SYS_fchmodat2 452
#endif

// chmod of `name` in `dir` itself, never through a link; a link keeps its bits (it has none of its
// own) and the call succeeds. fchmodat2 where the kernel has it (6.6); elsewhere the C library's
// way through /proc, and without /proc (a bare chroot) through the file opened without following.
Status BitsSetzen(int dir, const char* name, uint32_t mode) {
  if (::syscall(SYS_fchmodat2, dir, name, mode, AT_SYMLINK_NOFOLLOW) == 0) return Status::Ok();
  if (errno != ENOSYS && errno != EOPNOTSUPP) return Fehler();
  struct stat st;
  if (::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return Fehler();
  if (S_ISLNK(st.st_mode)) return Status::Ok();
  if (::fchmodat(dir, name, mode, AT_SYMLINK_NOFOLLOW) == 0) return Status::Ok();
  if (errno != EOPNOTSUPP) return Fehler();
  int fd = ::openat(dir, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fehler();
  Status s = Ergebnis(::fchmod(fd, mode));
  ::close(fd);
  return s;
}

// Opens `path` for reading (beneath a held root without following a link) and forces it to the
// disk with `sichern` (fsync, syncfs).
Status Gesichert(const std::string& path, int flags, int (*sichern)(int)) {
  Ort o;
  if (Status s = o.Finden(path); !s) return s;
  int fd =
      ::openat(o.dir(), o.name(), O_RDONLY | O_CLOEXEC | flags | (o.gehalten() ? O_NOFOLLOW : 0));
  if (fd < 0) return o.OeffnenFehlgeschlagen(errno);
  Status s = Ergebnis(sichern(fd));
  ::close(fd);
  return s;
}

// After a rename, what was seen at either name is somewhere else or gone.
Status Umbenannt(Ort* von, Ort* nach) {
  von->Vergessen();
  nach->Vergessen();
  return Status::Ok();
}

// Opens a file for writing; beneath a root never through a link.
std::unique_ptr<WritableFile> Oeffnen(const std::string& path, int flags, Status* status) {
  Ort o;
  if (Status s = o.Finden(path); !s) return Gescheitert<WritableFile>(status, s);
  if (o.gehalten()) flags |= O_NOFOLLOW;
  int fd = ::openat(o.dir(), o.name(), flags | O_CLOEXEC, 0666);
  if (fd < 0) return Gescheitert<WritableFile>(status, Fehler());
  return std::make_unique<PosixWritableFile>(fd);
}

class PosixFileSystem : public FileSystem {
 public:
  std::unique_ptr<RootHold> HoldRoot(const std::string& dir, Status* status) override {
    return WurzelHalten(dir, status);
  }

  Status ListDirectory(const std::string& dir, std::vector<FileInfo>* out) override {
    Ort o;
    if (Status s = o.Finden(dir.empty() ? "/" : dir); !s) return s;
    int dfd = ::openat(o.dir(), o.name(),
                       O_RDONLY | O_DIRECTORY | O_CLOEXEC | (o.gehalten() ? O_NOFOLLOW : 0));
    if (dfd < 0) return o.OeffnenFehlgeschlagen(errno);
    if (Status s = o.Gesehen(dfd); !s) {
      ::close(dfd);
      return s;
    }
    DIR* d = ::fdopendir(dfd);
    if (d == nullptr) {
      Status s = Fehler();
      ::close(dfd);
      return s;
    }
    Status ergebnis;
    for (;;) {
      errno = 0;
      struct dirent* e = ::readdir(d);
      if (e == nullptr) {
        if (errno != 0) ergebnis = Fehler();
        break;
      }
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      struct stat st;
      if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        // An entry that vanished between readdir and fstatat is simply no longer there; one that
        // cannot be queried makes the listing incomplete, which the caller must know.
        if (errno != ENOENT && ergebnis.ok()) ergebnis = Fehler();
        continue;
      }
      FileInfo info;
      info.name = e->d_name;
      FillInfo(st, &info);
      out->push_back(std::move(info));
    }
    ::closedir(d);
    return ergebnis;
  }

  Status Stat(const std::string& path, FileInfo* info) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return s;
    struct stat st;
    if (::fstatat(o.dir(), o.name(), &st, AT_SYMLINK_NOFOLLOW) != 0) return Fehler();
    info->name = NamePart(path);
    FillInfo(st, info);
    return Status::Ok();
  }

  Status IsEnterableDirectory(const std::string& path) override {
    Ort o;
    if (Status s = o.Finden(path.empty() ? "/" : path); !s) return s;
    // Beneath a root a link is never followed, also not to a directory.
    const int folgen = o.gehalten() ? AT_SYMLINK_NOFOLLOW : 0;
    struct stat st;
    if (::fstatat(o.dir(), o.name(), &st, folgen) != 0) return Fehler();
    if (!S_ISDIR(st.st_mode)) return Status::FromErrno(ENOTDIR);
    return Ergebnis(::faccessat(o.dir(), o.name(), X_OK, 0));
  }

  Status GetMode(const std::string& path, uint32_t* mode) override {
    FileInfo info;
    if (Status s = Stat(path, &info); !s) return s;
    *mode = info.mode;
    return Status::Ok();
  }

  Status SetMode(const std::string& path, uint32_t mode) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return s;
    return BitsSetzen(o.dir(), o.name(), mode & 07777);
  }

  Status SetOwner(const std::string& path, uint32_t uid, uint32_t gid) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return s;
    return Ergebnis(::fchownat(o.dir(), o.name(), uid, gid, AT_SYMLINK_NOFOLLOW));
  }

  Status SetTimes(const std::string& path, FileTime zugriff, FileTime aenderung) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return s;
    struct timespec ts[2];
    ts[0].tv_sec = static_cast<time_t>(zugriff.sec);
    ts[0].tv_nsec = static_cast<long>(zugriff.nsec);
    ts[1].tv_sec = static_cast<time_t>(aenderung.sec);
    ts[1].tv_nsec = static_cast<long>(aenderung.nsec);
    return Ergebnis(::utimensat(o.dir(), o.name(), ts, AT_SYMLINK_NOFOLLOW));
  }

  Status DeleteFile(const std::string& path) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return s;
    return Ergebnis(::unlinkat(o.dir(), o.name(), 0));
  }

  Status DeleteUnlockedFile(const std::string& path) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return s;
    int fd = ::openat(o.dir(), o.name(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Fehler();
    struct stat st;
    Status s;
    if (::fstat(fd, &st) != 0) {
      s = Fehler();
    } else if (!S_ISREG(st.st_mode)) {
      s = Status::FromErrno(EINVAL);
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      s = errno == EWOULDBLOCK ? Status::FromErrno(EAGAIN) : Fehler();
    } else {
      // Removed while the lock is held, so no writer can have taken the file meanwhile.
      s = Ergebnis(::unlinkat(o.dir(), o.name(), 0));
    }
    ::close(fd);
    return s;
  }

  Status RenameNoReplace(const std::string& from, const std::string& to) override {
    Ort von, nach;
    if (Status s = von.Finden(from); !s) return s;
    if (Status s = nach.Finden(to, &von); !s) return s;
    if (::syscall(SYS_renameat2, von.dir(), von.name(), nach.dir(), nach.name(),
                  RENAME_NOREPLACE) == 0)
      return Umbenannt(&von, &nach);
    if (errno != EINVAL && errno != ENOSYS) return Fehler();
    // File systems without RENAME_NOREPLACE: link + unlink also refuses an existing name.
    if (::linkat(von.dir(), von.name(), nach.dir(), nach.name(), 0) != 0) return Fehler();
    if (::unlinkat(von.dir(), von.name(), 0) != 0) {
      Status s = Fehler();
      ::unlinkat(nach.dir(), nach.name(), 0);
      return s;
    }
    return Umbenannt(&von, &nach);
  }

  Status RenameReplace(const std::string& from, const std::string& to) override {
    Ort von, nach;
    if (Status s = von.Finden(from); !s) return s;
    if (Status s = nach.Finden(to, &von); !s) return s;
    if (::renameat(von.dir(), von.name(), nach.dir(), nach.name()) != 0) return Fehler();
    return Umbenannt(&von, &nach);
  }

  Status CreateDirectory(const std::string& path) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return s;
    if (::mkdirat(o.dir(), o.name(), 0777) != 0) return Fehler();
    return o.Angelegt();
  }

  Status RemoveDirectory(const std::string& path) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return s;
    if (::unlinkat(o.dir(), o.name(), AT_REMOVEDIR) != 0) return Fehler();
    o.Vergessen();
    return Status::Ok();
  }

  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path, Status* status) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return Gescheitert<ReadableFile>(status, s);
    // O_NONBLOCK keeps a FIFO from blocking the open; such files are refused below.
    int fd = ::openat(o.dir(), o.name(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Gescheitert<ReadableFile>(status, Fehler());
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      Status s = S_ISDIR(st.st_mode) ? Status::FromErrno(EISDIR) : Status::FromErrno(EINVAL);
      ::close(fd);
      return Gescheitert<ReadableFile>(status, s);
    }
    // Reads block as usual from here on. F_SETFL changes only the status flags (O_APPEND,
    // O_NONBLOCK, ...), and none of the others was asked for.
    ::fcntl(fd, F_SETFL, 0);
    return std::make_unique<PosixReadableFile>(fd, st);
  }

  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path, uint32_t mode,
                                                Status* status) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return Gescheitert<WritableFile>(status, s);
    int fd = ::openat(o.dir(), o.name(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                      static_cast<mode_t>(mode));
    if (fd < 0) return Gescheitert<WritableFile>(status, Fehler());
    // The lock tells a file being written from one left by a writer that died. A file system
    // without locks still gets its file; a leftover there is only removed when it is old.
    ::flock(fd, LOCK_EX | LOCK_NB);
    return std::make_unique<PosixWritableFile>(fd);
  }

  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path, bool create,
                                              Status* status) override {
    return Oeffnen(path, O_WRONLY | O_APPEND | (create ? O_CREAT : 0), status);
  }

  std::unique_ptr<WritableFile> CreateTruncate(const std::string& path, Status* status) override {
    return Oeffnen(path, O_WRONLY | O_CREAT | O_TRUNC, status);
  }

  Status ReadLink(const std::string& path, std::string* target) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return s;
    std::vector<char> buf(256);
    for (;;) {
      ssize_t n = ::readlinkat(o.dir(), o.name(), buf.data(), buf.size());
      if (n < 0) return Fehler();
      if (static_cast<size_t>(n) < buf.size()) {
        target->assign(buf.data(), static_cast<size_t>(n));
        return Status::Ok();
      }
      buf.resize(buf.size() * 2);
    }
  }

  Status CreateSymlink(const std::string& target, const std::string& path) override {
    Ort o;
    if (Status s = o.Finden(path); !s) return s;
    return Ergebnis(::symlinkat(target.c_str(), o.dir(), o.name()));
  }

  Status RealPath(const std::string& path, std::string* out) override {
    char* r = ::realpath(path.empty() ? "/" : path.c_str(), nullptr);
    if (r == nullptr) return Fehler();
    *out = r;
    std::free(r);
    return Status::Ok();
  }

  Status Location(const std::string& path, FsLocation* out) override {
    std::string real;
    Status s = RealPath(path, &real);
    if (!s) return s;
    return MountOrt(real, out);
  }

  Status CreateHardLink(const std::string& vorhanden, const std::string& neu) override {
    Ort von, nach;
    if (Status s = von.Finden(vorhanden); !s) return s;
    if (Status s = nach.Finden(neu); !s) return s;
    return Ergebnis(::linkat(von.dir(), von.name(), nach.dir(), nach.name(), 0));
  }

  bool FoldsCase(const std::string& dir) override { return FaltetGrossKlein(dir); }

  Status FreeSpace(const std::string& path, uint64_t* bytes) override {
    struct statvfs sv;
    if (::statvfs(path.empty() ? "/" : path.c_str(), &sv) != 0) return Fehler();
    *bytes = static_cast<uint64_t>(sv.f_bavail) * sv.f_frsize;
    return Status::Ok();
  }

  Status SyncDirectory(const std::string& dir) override {
    return Gesichert(dir, O_DIRECTORY, ::fsync);
  }

  Status SyncFileSystem(const std::string& path) override {
    return Gesichert(path.empty() ? "/" : path, O_NONBLOCK, ::syncfs);
  }

  Status CopyData(ReadableFile* from, WritableFile* to, uint64_t n, uint64_t* copied) override {
    int in = from->Descriptor();
    int out = to->Descriptor();
    *copied = 0;
    if (in >= 0 && out >= 0 && from->MayHaveHoles()) return MitLoecherKopieren(in, out, n, copied);
    if (in >= 0 && out >= 0) {
      while (*copied < n) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(n - *copied, 1u << 30));
        ssize_t r = ::copy_file_range(in, nullptr, out, nullptr, want, 0);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
          // Not offered between these two files: carry on through the buffer.
          if (*copied == 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                               errno == EOPNOTSUPP || errno == EBADF))
            break;
          return Fehler();
        }
        if (r == 0) return Status::Ok();  // end of the source
        *copied += static_cast<uint64_t>(r);
      }
      if (*copied >= n) return Status::Ok();
    }
    uint64_t rest = 0;
    Status s = FileSystem::CopyData(from, to, n - *copied, &rest);
    *copied += rest;
    return s;
  }
};

}  // namespace

FileSystem* FileSystem::Default() {
  static PosixFileSystem* fs = new PosixFileSystem;
  return fs;
}

std::unique_ptr<RootHold> FileSystem::HoldRoot(const std::string& /*dir*/, Status* status) {
  if (status != nullptr) *status = Status::Ok();
  return std::make_unique<RootHold>();
}

Status FileSystem::CopyData(ReadableFile* from, WritableFile* to, uint64_t n, uint64_t* copied) {
  constexpr size_t kBuffer = 1 << 20;
  std::vector<char> buf(static_cast<size_t>(std::min<uint64_t>(n, kBuffer)));
  *copied = 0;
  while (*copied < n) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(n - *copied, buf.size()));
    size_t got = 0;
    Status s = from->Read(buf.data(), want, &got);
    if (!s) return s;
    if (got == 0) return Status::Ok();
    s = to->Write(buf.data(), got);
    if (!s) return s;
    *copied += got;
  }
  return Status::Ok();
}

Status FileSystem::ReadWholeFile(const std::string& path, std::string* out, size_t limit) {
  out->clear();
  Status s;
  std::unique_ptr<ReadableFile> f = OpenForReading(path, &s);
  // A file system that gives no file must never read as an empty file.
  if (!f) return s.ok() ? Status::FromErrno(EIO) : s;
  char buf[65536];
  for (;;) {
    size_t got = 0;
    s = f->Read(buf, sizeof buf, &got);
    if (!s) return s;
    if (got == 0) return Status::Ok();
    if (out->size() + got > limit) {
      out->append(buf, limit - out->size());
      return Status::Ok();
    }
    out->append(buf, got);
  }
}

// Asked once: the program never changes its identity, and a copy asks for each file.
uint32_t ProcessUid() {
  static const uint32_t uid = static_cast<uint32_t>(::geteuid());
  return uid;
}

uint32_t ProcessGid() {
  static const uint32_t gid = static_cast<uint32_t>(::getegid());
  return gid;
}

}  // namespace zarnoft
