#include "testing/temp_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace zarnoft::testing {

TempTree::TempTree() {
  const char* base = std::getenv("TMPDIR");
  std::string tmpl = std::string(base && *base ? base : "/tmp") + "/zarnoft-test-XXXXXX";
  if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = tmpl;
}

TempTree::~TempTree() {
  RemoveTree(root_);
}

std::string TempTree::Path(const std::string& rel) const {
  if (rel.empty()) return root_;
  return rel[0] == '/' ? root_ + rel : root_ + "/" + rel;
}

std::string TempTree::Mkdir(const std::string& rel) {
  std::string full = Path(rel);
  for (size_t i = root_.size() + 1; i <= full.size(); ++i) {
    if (i == full.size() || full[i] == '/') ::mkdir(full.substr(0, i).c_str(), 0777);
  }
  return full;
}

std::string TempTree::Write(const std::string& rel, const std::string& content) {
  std::string full = Path(rel);
  size_t slash = full.rfind('/');
  if (slash > root_.size()) Mkdir(full.substr(root_.size() + 1, slash - root_.size() - 1));
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out << content;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + full);
  return full;
}

std::string TempTree::Read(const std::string& rel) const {
  std::ifstream in(Path(rel), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool TempTree::Exists(const std::string& rel) const {
  struct stat st;
  return ::lstat(Path(rel).c_str(), &st) == 0;
}

std::vector<std::string> TempTree::Names(const std::string& rel) const {
  std::vector<std::string> namen;
  DIR* d = ::opendir(rel.empty() ? root_.c_str() : Path(rel).c_str());
  if (d == nullptr) return namen;
  while (const dirent* e = ::readdir(d)) {
    const std::string n = e->d_name;
    if (n != "." && n != "..") namen.push_back(n);
  }
  ::closedir(d);
  std::sort(namen.begin(), namen.end());
  return namen;
}

void SetTimes(const std::string& path, FileTime mtime, FileTime atime) {
  struct timespec ts[2];
  ts[0].tv_sec = atime.sec;
  ts[0].tv_nsec = atime.nsec;
  ts[1].tv_sec = mtime.sec;
  ts[1].tv_nsec = mtime.nsec;
  ::utimensat(AT_FDCWD, path.c_str(), ts, AT_SYMLINK_NOFOLLOW);
}

void SetMtime(const std::string& path, FileTime mtime) {
  struct timespec ts[2];
  ts[0].tv_sec = 0;
  ts[0].tv_nsec = UTIME_OMIT;
  ts[1].tv_sec = mtime.sec;
  ts[1].tv_nsec = mtime.nsec;
  ::utimensat(AT_FDCWD, path.c_str(), ts, AT_SYMLINK_NOFOLLOW);
}

FileTime Local(int year, int month, int day, int hour, int minute, int second) {
  LocalTime lt;
  lt.year = year;
  lt.month = month;
  lt.day = day;
  lt.hour = hour;
  lt.minute = minute;
  lt.second = second;
  return FromLocal(lt);
}

namespace {

// Removes the entry `name` of the directory `dir`, descending through descriptors, so that trees
// deeper than a path may be long are removed too. Mounts left by a failed test are detached
// first, so that nothing outside the tree is ever removed through them.
void Entfernen(int dir, const std::string& name, const std::string& pfad) {
  struct stat st;
  if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  ImmutableSetzen(pfad, false);
  if (!S_ISDIR(st.st_mode)) {
    ::unlinkat(dir, name.c_str(), 0);
    return;
  }
  if (pfad.size() < PATH_MAX) ::umount2(pfad.c_str(), MNT_DETACH);
  ::fchmodat(dir, name.c_str(), 0700, 0);
  int fd = ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0) {
    if (DIR* d = ::fdopendir(fd)) {
      std::vector<std::string> namen;
      while (struct dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
          namen.push_back(e->d_name);
      }
      for (const std::string& n : namen) Entfernen(::dirfd(d), n, pfad + "/" + n);
      ::closedir(d);
    } else {
      ::close(fd);
    }
  }
  ::unlinkat(dir, name.c_str(), AT_REMOVEDIR);
}

}  // namespace

void RemoveTree(const std::string& path) {
  Entfernen(AT_FDCWD, path, path);
}

bool ImmutableSetzen(const std::string& path, bool an) {
  if (path.size() >= PATH_MAX) return false;
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok && ((flags & FS_IMMUTABLE_FL) != 0) != an) {
    flags = an ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return ok;
}

bool IstRoot() {
  return ::geteuid() == 0;
}

Einhaengung::Einhaengung(const std::string& quelle, const std::string& ziel, const char* typ,
                         unsigned long flags, const std::string& optionen)
    : ziel_(ziel) {
  ok_ = ::mount(quelle.c_str(), ziel.c_str(), typ, flags,
                optionen.empty() ? nullptr : optionen.c_str()) == 0;
}

Einhaengung::~Einhaengung() {
  if (ok_) ::umount2(ziel_.c_str(), MNT_DETACH);
}

}  // namespace zarnoft::testing
