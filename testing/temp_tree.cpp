#include "testing/temp_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

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

void RemoveTree(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    ::chmod(path.c_str(), 0700);
    if (DIR* d = ::opendir(path.c_str())) {
      while (struct dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        RemoveTree(path + "/" + e->d_name);
      }
      ::closedir(d);
    }
    ::rmdir(path.c_str());
  } else {
    ::unlink(path.c_str());
  }
}

}  // namespace zarnoft::testing
