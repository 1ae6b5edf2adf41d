#include "platform/beneath.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <vector>

namespace zarnoft {

using Kennung = std::pair<uint64_t, uint64_t>;  // device and inode

class GehalteneWurzel : public RootHold {
 public:
  GehalteneWurzel(std::string pfad, int fd);
  ~GehalteneWurzel() override;

  const std::string& pfad() const { return pfad_; }
  int fd() const { return fd_; }
  // The directories that a listing or creation saw, by their path beneath the root.
  std::map<std::string, Kennung>& gesehen() { return gesehen_; }

 private:
  std::string pfad_;  // without a trailing "/"; "" for "/"
  int fd_;
  std::map<std::string, Kennung> gesehen_;
};

namespace {

// The roots held on this thread, the innermost last among those that nest.
thread_local std::vector<GehalteneWurzel*> t_wurzeln;

// A rename or a mount during the resolution makes openat2 ask for another try.
constexpr int kAufloesVersuche = 8;

Kennung KennungVon(const struct stat& st) {
  return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

// Whether `pfad` lies beneath `wurzel` ("" is "/"); *rest is what follows the root's path.
bool Darunter(const std::string& pfad, const std::string& wurzel, size_t* rest) {
  if (pfad.size() < wurzel.size() || pfad.compare(0, wurzel.size(), wurzel) != 0) return false;
  if (pfad.size() == wurzel.size()) {
    *rest = pfad.size();
    return true;
  }
  if (pfad[wurzel.size()] != '/') return false;
  *rest = wurzel.size() + 1;
  return true;
}

// The root that holds `pfad` on this thread: the one with the longest path.
GehalteneWurzel* Zustaendig(const std::string& pfad, size_t* rest) {
  GehalteneWurzel* beste = nullptr;
  for (GehalteneWurzel* w : t_wurzeln) {
    size_t r = 0;
    if ((beste == nullptr || w->pfad().size() > beste->pfad().size()) &&
        Darunter(pfad, w->pfad(), &r)) {
      beste = w;
      *rest = r;
    }
  }
  return beste;
}

// The elements of a relative path, without empty ones and ".". False on "..", which could
// leave the root.
bool Elemente(const std::string& pfad, size_t ab, std::vector<std::string_view>* out) {
  std::string_view rest(pfad);
  rest.remove_prefix(std::min(ab, rest.size()));
  while (!rest.empty()) {
    size_t slash = rest.find('/');
    std::string_view e = rest.substr(0, slash);
    rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
    if (e.empty() || e == ".") continue;
    if (e == "..") return false;
    out->push_back(e);
  }
  return true;
}

std::atomic<int> g_openat2{-1};  // -1 not yet known, 0 absent, 1 present

// openat2 beneath `wurzel`, refusing every link; -1 with errno ENOSYS when the kernel (or a
// container's filter) does not offer it.
int Openat2(int wurzel, const std::string& rel, uint64_t flags) {
  if (g_openat2.load(std::memory_order_relaxed) == 0) {
    errno = ENOSYS;
    return -1;
  }
  struct open_how how = {};
  how.flags = flags | O_CLOEXEC;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
  for (int versuch = 0;; ++versuch) {
    long fd = ::syscall(SYS_openat2, wurzel, rel.c_str(), &how, sizeof how);
    if (fd >= 0) {
      g_openat2.store(1, std::memory_order_relaxed);
      return static_cast<int>(fd);
    }
    if (errno == EAGAIN && versuch < kAufloesVersuche) continue;
    // Older container filters refuse unknown calls with EPERM instead of ENOSYS.
    if (errno == ENOSYS || (errno == EPERM && g_openat2.load() == -1)) {
      g_openat2.store(0, std::memory_order_relaxed);
      errno = ENOSYS;
    }
    return -1;
  }
}

// The directory `rel` beneath `wurzel`, opened O_PATH, element by element; a link on the way
// gives ELOOP.
int SchrittweiseOeffnen(int wurzel, const std::vector<std::string_view>& elemente, size_t n) {
  int fd = wurzel;
  for (size_t i = 0; i < n; ++i) {
    const std::string e(elemente[i]);
    int naechstes = ::openat(fd, e.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    int fehler = errno;
    if (naechstes < 0 && fehler == ENOTDIR) {
      struct stat st;
      if (::fstatat(fd, e.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
        fehler = ELOOP;
    }
    if (fd != wurzel) ::close(fd);
    if (naechstes < 0) {
      errno = fehler;
      return -1;
    }
    fd = naechstes;
  }
  return fd == wurzel ? ::fcntl(wurzel, F_DUPFD_CLOEXEC, 0) : fd;
}

}  // namespace

GehalteneWurzel::GehalteneWurzel(std::string pfad, int fd) : pfad_(std::move(pfad)), fd_(fd) {
  t_wurzeln.push_back(this);
}

GehalteneWurzel::~GehalteneWurzel() {
  auto it = std::find(t_wurzeln.begin(), t_wurzeln.end(), this);
  if (it != t_wurzeln.end()) t_wurzeln.erase(it);
  ::close(fd_);
}

void Openat2Erlauben(bool ja) {
  g_openat2.store(ja ? -1 : 0);
}

std::unique_ptr<RootHold> WurzelHalten(const std::string& dir, Status* status) {
  std::string pfad = dir;
  while (!pfad.empty() && pfad.back() == '/') pfad.pop_back();
  int fd = ::open(pfad.empty() ? "/" : pfad.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    if (status != nullptr) *status = Status::FromErrno(errno);
    return nullptr;
  }
  if (status != nullptr) *status = Status::Ok();
  return std::make_unique<GehalteneWurzel>(std::move(pfad), fd);
}

Ort::~Ort() {
  if (eigen_ >= 0) ::close(eigen_);
}

Status Ort::Finden(const std::string& path) {
  size_t ab = 0;
  wurzel_ = Zustaendig(path, &ab);
  if (wurzel_ == nullptr) {
    dir_ = AT_FDCWD;
    name_s_ = path;
    name_ = name_s_.c_str();
    return Status::Ok();
  }
  std::vector<std::string_view> elemente;
  if (!Elemente(path, ab, &elemente)) return Status::FromErrno(EXDEV);
  for (std::string_view e : elemente) {
    if (!rel_.empty()) rel_.push_back('/');
    rel_.insert(rel_.end(), e.begin(), e.end());
  }
  if (elemente.empty()) {
    dir_ = wurzel_->fd();
    name_s_ = ".";
    name_ = name_s_.c_str();
    return Status::Ok();
  }
  name_s_ = std::string(elemente.back());
  name_ = name_s_.c_str();
  if (elemente.size() == 1) {
    dir_ = wurzel_->fd();
    return Status::Ok();
  }
  const std::string eltern = rel_.substr(0, rel_.size() - name_s_.size() - 1);
  int fd = Openat2(wurzel_->fd(), eltern, O_PATH | O_DIRECTORY);
  if (fd < 0 && errno == ENOSYS)
    fd = SchrittweiseOeffnen(wurzel_->fd(), elemente, elemente.size() - 1);
  if (fd < 0)
    return errno == ELOOP || errno == EXDEV ? Status::Replaced() : Status::FromErrno(errno);
  eigen_ = fd;
  dir_ = fd;
  auto gesehen = wurzel_->gesehen().find(eltern);
  if (gesehen != wurzel_->gesehen().end()) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return Status::FromErrno(errno);
    if (KennungVon(st) != gesehen->second) return Status::Replaced();
  }
  return Status::Ok();
}

Status Ort::Gesehen(int fd) {
  if (wurzel_ == nullptr) return Status::Ok();
  struct stat st;
  if (::fstat(fd, &st) != 0) return Status::FromErrno(errno);
  auto [it, neu] = wurzel_->gesehen().try_emplace(rel_, KennungVon(st));
  if (!neu && it->second != KennungVon(st)) return Status::Replaced();
  return Status::Ok();
}

Status Ort::Angelegt() {
  if (wurzel_ == nullptr) return Status::Ok();
  struct stat st;
  if (::fstatat(dir_, name_, &st, AT_SYMLINK_NOFOLLOW) != 0) return Status::FromErrno(errno);
  if (!S_ISDIR(st.st_mode)) return Status::Replaced();
  wurzel_->gesehen()[rel_] = KennungVon(st);
  return Status::Ok();
}

Status Ort::OeffnenFehlgeschlagen(int error) const {
  if (wurzel_ != nullptr && (error == ELOOP || error == ENOTDIR)) {
    struct stat st;
    const bool link = ::fstatat(dir_, name_, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
    if (link || wurzel_->gesehen().count(rel_) != 0) return Status::Replaced();
  }
  return Status::FromErrno(error);
}

void Ort::Vergessen() {
  if (wurzel_ == nullptr) return;
  auto& gesehen = wurzel_->gesehen();
  if (rel_.empty()) {
    gesehen.clear();
    return;
  }
  // Every path that begins with rel_ sorts together; those of other names ("a-b" after "a")
  // lie among them and stay.
  auto it = gesehen.lower_bound(rel_);
  while (it != gesehen.end() && it->first.compare(0, rel_.size(), rel_) == 0) {
    if (it->first.size() == rel_.size() || it->first[rel_.size()] == '/')
      it = gesehen.erase(it);
    else
      ++it;
  }
}

}  // namespace zarnoft
