// The POSIX implementation of FileSystem.
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/file_system.h"
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
  info->size = static_cast<int64_t>(st.st_size);
  info->mtime = FromTimespec(st.st_mtim);
  info->atime = FromTimespec(st.st_atim);
  info->ctime = FromTimespec(st.st_ctim);
  info->mode = static_cast<uint32_t>(st.st_mode & 07777);
}

class PosixReadableFile : public ReadableFile {
 public:
  explicit PosixReadableFile(int fd) : fd_(fd) {}
  ~PosixReadableFile() override { ::close(fd_); }
  bool Read(char* buf, size_t n, size_t* got) override {
    for (;;) {
      ssize_t r = ::read(fd_, buf, n);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) {
        *got = 0;
        return false;
      }
      *got = static_cast<size_t>(r);
      return true;
    }
  }
  int64_t Size() override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return -1;
    return st.st_size;
  }
  int Descriptor() const override { return fd_; }

 private:
  int fd_;
};

class PosixWritableFile : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  ~PosixWritableFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Write(const char* data, size_t n) override {
    while (n > 0) {
      ssize_t w = ::write(fd_, data, n);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      data += w;
      n -= static_cast<size_t>(w);
    }
    return true;
  }
  bool Sync() override { return ::fsync(fd_) == 0; }
  bool Close() override {
    int fd = fd_;
    fd_ = -1;
    return fd >= 0 && ::close(fd) == 0;
  }
  int Descriptor() const override { return fd_; }

 private:
  int fd_;
};

class PosixFileSystem : public FileSystem {
 public:
  bool ListDirectory(const std::string& dir, std::vector<FileInfo>* out) override {
    int dfd = ::open(dir.empty() ? "/" : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return false;
    DIR* d = ::fdopendir(dfd);
    if (d == nullptr) {
      ::close(dfd);
      return false;
    }
    bool ok = true;
    for (;;) {
      errno = 0;
      struct dirent* e = ::readdir(d);
      if (e == nullptr) {
        ok = errno == 0;
        break;
      }
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      struct stat st;
      // An entry that vanished between readdir and fstatat is simply no longer there.
      if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      FileInfo info;
      info.name = e->d_name;
      FillInfo(st, &info);
      out->push_back(std::move(info));
    }
    ::closedir(d);
    return ok;
  }

  bool Stat(const std::string& path, FileInfo* info) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return false;
    info->name = NamePart(path);
    FillInfo(st, info);
    return true;
  }

  bool IsEnterableDirectory(const std::string& path) override {
    const char* p = path.empty() ? "/" : path.c_str();
    struct stat st;
    return ::stat(p, &st) == 0 && S_ISDIR(st.st_mode) && ::access(p, X_OK) == 0;
  }

  bool GetMode(const std::string& path, uint32_t* mode) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return false;
    *mode = static_cast<uint32_t>(st.st_mode & 07777);
    return true;
  }

  bool SetMode(const std::string& path, uint32_t mode) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode)) return true;  // links carry no permission bits of their own
    return ::chmod(path.c_str(), mode & 07777) == 0;
  }

  bool SetModificationTime(const std::string& path, FileTime t) override {
    struct timespec ts[2];
    ts[0].tv_sec = 0;
    ts[0].tv_nsec = UTIME_OMIT;
    ts[1].tv_sec = static_cast<time_t>(t.sec);
    ts[1].tv_nsec = static_cast<long>(t.nsec);
    return ::utimensat(AT_FDCWD, path.c_str(), ts, AT_SYMLINK_NOFOLLOW) == 0;
  }

  bool DeleteFile(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

  bool RenameNoReplace(const std::string& from, const std::string& to) override {
    if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) ==
        0)
      return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without RENAME_NOREPLACE: link + unlink also refuses an existing name.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    if (::unlink(from.c_str()) != 0) {
      ::unlink(to.c_str());
      return false;
    }
    return true;
  }

  bool RenameReplace(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }

  bool CreateDirectory(const std::string& path) override {
    return ::mkdir(path.c_str(), 0777) == 0;
  }
  bool RemoveDirectory(const std::string& path) override { return ::rmdir(path.c_str()) == 0; }

  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override {
    // O_NONBLOCK keeps a FIFO from blocking the open; such files are refused below.
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return std::make_unique<PosixReadableFile>(fd);
  }

  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path, uint32_t mode) override {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                    static_cast<mode_t>(mode));
    if (fd < 0) return nullptr;
    return std::make_unique<PosixWritableFile>(fd);
  }

  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path, bool create) override {
    int flags = O_WRONLY | O_APPEND | O_CLOEXEC | (create ? O_CREAT : 0);
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixWritableFile>(fd);
  }

  std::unique_ptr<WritableFile> CreateTruncate(const std::string& path) override {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixWritableFile>(fd);
  }

  bool ReadLink(const std::string& path, std::string* target) override {
    std::vector<char> buf(256);
    for (;;) {
      ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
      if (n < 0) return false;
      if (static_cast<size_t>(n) < buf.size()) {
        target->assign(buf.data(), static_cast<size_t>(n));
        return true;
      }
      buf.resize(buf.size() * 2);
    }
  }

  bool CreateSymlink(const std::string& target, const std::string& path) override {
    return ::symlink(target.c_str(), path.c_str()) == 0;
  }

  bool RealPath(const std::string& path, std::string* out) override {
    char* r = ::realpath(path.empty() ? "/" : path.c_str(), nullptr);
    if (r == nullptr) return false;
    *out = r;
    std::free(r);
    return true;
  }

  bool CopyData(ReadableFile* from, WritableFile* to, uint64_t n, uint64_t* copied) override {
    int in = from->Descriptor();
    int out = to->Descriptor();
    *copied = 0;
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
          return false;
        }
        if (r == 0) return true;  // end of the source
        *copied += static_cast<uint64_t>(r);
      }
      if (*copied >= n) return true;
    }
    uint64_t rest = 0;
    bool ok = FileSystem::CopyData(from, to, n - *copied, &rest);
    *copied += rest;
    return ok;
  }
};

}  // namespace

FileSystem* FileSystem::Default() {
  static PosixFileSystem* fs = new PosixFileSystem;
  return fs;
}

bool FileSystem::CopyData(ReadableFile* from, WritableFile* to, uint64_t n, uint64_t* copied) {
  constexpr size_t kBuffer = 1 << 20;
  std::vector<char> buf(static_cast<size_t>(std::min<uint64_t>(n, kBuffer)));
  *copied = 0;
  while (*copied < n) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(n - *copied, buf.size()));
    size_t got = 0;
    if (!from->Read(buf.data(), want, &got)) return false;
    if (got == 0) return true;
    if (!to->Write(buf.data(), got)) return false;
    *copied += got;
  }
  return true;
}

bool FileSystem::ReadWholeFile(const std::string& path, std::string* out, size_t limit) {
  out->clear();
  std::unique_ptr<ReadableFile> f = OpenForReading(path);
  if (!f) return false;
  char buf[65536];
  for (;;) {
    size_t got = 0;
    if (!f->Read(buf, sizeof buf, &got)) return false;
    if (got == 0) return true;
    if (out->size() + got > limit) {
      out->append(buf, limit - out->size());
      return true;
    }
    out->append(buf, got);
  }
}

}  // namespace zarnoft
