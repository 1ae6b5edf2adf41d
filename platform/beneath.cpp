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

struct Ort::Eltern {
  Eltern(std::string r, int f, Kennung k) : rel(std::move(r)), fd(f), kennung(k) {}
  ~Eltern() { ::close(fd); }
  Eltern(const Eltern&) = delete;
  Eltern& operator=(const Eltern&) = delete;

  std::string rel;  // beneath the root
  int fd;           // O_PATH
  Kennung kennung;  // what it was when it was opened
};

class GehalteneWurzel : public RootHold {
 public:
  GehalteneWurzel(std::string pfad, int fd);
  ~GehalteneWurzel() override;

  const std::string& pfad() const { return pfad_; }
  int fd() const { return fd_; }
  // The directories that a listing or creation saw, by their path beneath the root.
  std::map<std::string, Kennung>& gesehen() { return gesehen_; }

  // The parent directories opened last, the most recent first.
  std::shared_ptr<Ort::Eltern> Nachschlagen(const std::string& rel);
  void Merken(std::shared_ptr<Ort::Eltern> e);
  // Drops what is kept for `rel` and below it ("" drops all); with `ausser`, only an entry of
  // `rel` itself that is another directory than that.
  void Verwerfen(const std::string& rel, const Kennung* ausser = nullptr);

 private:
  std::string pfad_;  // without a trailing "/"; "" for "/"
  int fd_;
  std::map<std::string, Kennung> gesehen_;
  std::vector<std::shared_ptr<Ort::Eltern>> offen_;
};

namespace {

// Parent directories kept open per root: the directory a run works in, its way back up, and the
// move-aside store's, with room to spare. Lookups compare with each, so few is also fast.
constexpr size_t kOffeneEltern = 8;

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
  offen_.clear();
  ::close(fd_);
}

std::shared_ptr<Ort::Eltern> GehalteneWurzel::Nachschlagen(const std::string& rel) {
  for (size_t i = 0; i < offen_.size(); ++i) {
    if (offen_[i]->rel != rel) continue;
    std::rotate(offen_.begin(), offen_.begin() + static_cast<ptrdiff_t>(i),
                offen_.begin() + static_cast<ptrdiff_t>(i) + 1);
    return offen_.front();
  }
  return nullptr;
}

void GehalteneWurzel::Merken(std::shared_ptr<Ort::Eltern> e) {
  if (offen_.size() >= kOffeneEltern) offen_.pop_back();
  offen_.insert(offen_.begin(), std::move(e));
}

void GehalteneWurzel::Verwerfen(const std::string& rel, const Kennung* ausser) {
  auto betroffen = [&](const std::shared_ptr<Ort::Eltern>& e) {
    if (ausser != nullptr) return e->rel == rel && e->kennung != *ausser;
    if (rel.empty()) return true;
    if (e->rel.size() == rel.size()) return e->rel == rel;
    return e->rel.size() > rel.size() && e->rel[rel.size()] == '/' &&
           e->rel.compare(0, rel.size(), rel) == 0;
  };
  offen_.erase(std::remove_if(offen_.begin(), offen_.end(), betroffen), offen_.end());
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

Status Ort::Finden(const std::string& path, const Ort* neben) {
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
  std::string eltern = rel_.substr(0, rel_.size() - name_s_.size() - 1);
  if (neben != nullptr && neben->wurzel_ == wurzel_ && neben->eltern_ &&
      neben->eltern_->rel == eltern) {
    eltern_ = neben->eltern_;
    dir_ = eltern_->fd;
    return Status::Ok();
  }
  if (std::shared_ptr<Eltern> e = wurzel_->Nachschlagen(eltern)) {
    // The kept descriptor is that directory itself, wherever it went meanwhile; a call through
    // it acts there. So it is used only while the path still leads to that same directory (a
    // link in its place is no directory to lstat, another directory has another inode). The
    // look follows a link higher up, which can only lead to that very directory moved out of
    // the root, and a directory moved away between the look and the call takes the call with
    // it, as a descriptor opened just now would: either way the call acts on the directory the
    // run listed and its own entries, never on what someone put at its name or elsewhere.
    struct stat st;
    if (::fstatat(wurzel_->fd(), eltern.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISDIR(st.st_mode) && KennungVon(st) == e->kennung) {
      eltern_ = std::move(e);
      dir_ = eltern_->fd;
      return Status::Ok();
    }
    wurzel_->Verwerfen(eltern);
  }
  int fd = Openat2(wurzel_->fd(), eltern, O_PATH | O_DIRECTORY);
  if (fd < 0 && errno == ENOSYS)
    fd = SchrittweiseOeffnen(wurzel_->fd(), elemente, elemente.size() - 1);
  if (fd < 0)
    return errno == ELOOP || errno == EXDEV ? Status::Replaced() : Status::FromErrno(errno);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    Status s = Status::FromErrno(errno);
    ::close(fd);
    return s;
  }
  eltern_ = std::make_shared<Eltern>(std::move(eltern), fd, KennungVon(st));
  dir_ = fd;
  auto gesehen = wurzel_->gesehen().find(eltern_->rel);
  if (gesehen != wurzel_->gesehen().end() && eltern_->kennung != gesehen->second)
    return Status::Replaced();
  wurzel_->Merken(eltern_);
  return Status::Ok();
}

Status Ort::Gesehen(int fd) {
  if (wurzel_ == nullptr) return Status::Ok();
  struct stat st;
  if (::fstat(fd, &st) != 0) return Status::FromErrno(errno);
  auto [it, neu] = wurzel_->gesehen().try_emplace(rel_, KennungVon(st));
  if (!neu && it->second != KennungVon(st)) return Status::Replaced();
  // A directory kept open under this path since that is not the one listed now is not used.
  wurzel_->Verwerfen(rel_, &it->second);
  return Status::Ok();
}

Status Ort::Angelegt() {
  if (wurzel_ == nullptr) return Status::Ok();
  struct stat st;
  if (::fstatat(dir_, name_, &st, AT_SYMLINK_NOFOLLOW) != 0) return Status::FromErrno(errno);
  if (!S_ISDIR(st.st_mode)) return Status::Replaced();
  const Kennung neu = KennungVon(st);
  wurzel_->gesehen()[rel_] = neu;
  wurzel_->Verwerfen(rel_, &neu);
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
  wurzel_->Verwerfen(rel_);
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
