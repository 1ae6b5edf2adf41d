#include "testing/swapping_fs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace zarnoft::testing {

bool VerzeichnisTauschen(const std::string& dir, const std::string& link_ziel) {
  if (std::rename(dir.c_str(), (dir + ".weg").c_str()) != 0) return false;
  if (link_ziel.empty()) return ::mkdir(dir.c_str(), 0777) == 0;
  return ::symlink(link_ziel.c_str(), dir.c_str()) == 0;
}

namespace {

void AbbildVon(const std::string& pfad, const std::string& rel, std::string* out) {
  struct stat st;
  if (::lstat(pfad.c_str(), &st) != 0) return;
  std::ostringstream z;
  z << rel << ' ' << (st.st_mode & S_IFMT) << ' ' << st.st_size << ' ' << (st.st_mode & 07777)
    << ' ' << st.st_uid << ':' << st.st_gid << ' ' << st.st_mtim.tv_sec << '.'
    << st.st_mtim.tv_nsec;
  if (S_ISREG(st.st_mode)) {
    std::ifstream in(pfad, std::ios::binary);
    z << ' ' << in.rdbuf();
  } else if (S_ISLNK(st.st_mode)) {
    char buf[4096];
    ssize_t n = ::readlink(pfad.c_str(), buf, sizeof buf);
    if (n > 0) z << " -> " << std::string(buf, static_cast<size_t>(n));
  }
  *out += z.str() + "\n";
  if (!S_ISDIR(st.st_mode)) return;
  std::vector<std::string> namen;
  if (DIR* d = ::opendir(pfad.c_str())) {
    while (struct dirent* e = ::readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") namen.push_back(n);
    }
    ::closedir(d);
  }
  std::sort(namen.begin(), namen.end());
  for (const std::string& n : namen) AbbildVon(pfad + "/" + n, rel + "/" + n, out);
}

}  // namespace

std::string Abbild(const std::string& dir) {
  std::string out;
  AbbildVon(dir, ".", &out);
  return out;
}

TauschendesFs::TauschendesFs(FileSystem* target, std::string dir, std::string link_ziel,
                             std::string aufruf)
    : FileSystemWrapper(target),
      dir_(std::move(dir)),
      link_ziel_(std::move(link_ziel)),
      aufruf_(std::move(aufruf)) {}

void TauschendesFs::Vorher(const char* aufruf, const std::string& pfad, bool aendert) {
  if (getauscht_ || pfad.size() <= dir_.size() + 1 || pfad.compare(0, dir_.size(), dir_) != 0 ||
      pfad[dir_.size()] != '/')
    return;
  if (aufruf_.empty() ? !aendert : aufruf_ != aufruf) return;
  getauscht_ = VerzeichnisTauschen(dir_, link_ziel_);
}

Status TauschendesFs::SetMode(const std::string& p, uint32_t m) {
  Vorher("SetMode", p);
  return FileSystemWrapper::SetMode(p, m);
}
Status TauschendesFs::SetOwner(const std::string& p, uint32_t u, uint32_t g) {
  Vorher("SetOwner", p);
  return FileSystemWrapper::SetOwner(p, u, g);
}
Status TauschendesFs::SetTimes(const std::string& p, FileTime a, FileTime m) {
  Vorher("SetTimes", p);
  return FileSystemWrapper::SetTimes(p, a, m);
}
Status TauschendesFs::DeleteFile(const std::string& p) {
  Vorher("DeleteFile", p);
  return FileSystemWrapper::DeleteFile(p);
}
Status TauschendesFs::DeleteUnlockedFile(const std::string& p) {
  Vorher("DeleteUnlockedFile", p);
  return FileSystemWrapper::DeleteUnlockedFile(p);
}
Status TauschendesFs::RenameNoReplace(const std::string& f, const std::string& t) {
  Vorher("RenameNoReplace", f);
  Vorher("RenameNoReplace", t);
  return FileSystemWrapper::RenameNoReplace(f, t);
}
Status TauschendesFs::RenameReplace(const std::string& f, const std::string& t) {
  Vorher("RenameReplace", f);
  Vorher("RenameReplace", t);
  return FileSystemWrapper::RenameReplace(f, t);
}
Status TauschendesFs::CreateDirectory(const std::string& p) {
  Vorher("CreateDirectory", p);
  return FileSystemWrapper::CreateDirectory(p);
}
Status TauschendesFs::RemoveDirectory(const std::string& p) {
  Vorher("RemoveDirectory", p);
  return FileSystemWrapper::RemoveDirectory(p);
}
std::unique_ptr<ReadableFile> TauschendesFs::OpenForReading(const std::string& p, Status* s) {
  Vorher("OpenForReading", p, false);
  return FileSystemWrapper::OpenForReading(p, s);
}
std::unique_ptr<WritableFile> TauschendesFs::CreateExclusive(const std::string& p, uint32_t m,
                                                             Status* s) {
  Vorher("CreateExclusive", p);
  return FileSystemWrapper::CreateExclusive(p, m, s);
}
Status TauschendesFs::CreateSymlink(const std::string& t, const std::string& p) {
  Vorher("CreateSymlink", p);
  return FileSystemWrapper::CreateSymlink(t, p);
}

}  // namespace zarnoft::testing
