#include "runner/collection_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zarnoft {

SammlungsSperre::~SammlungsSperre() {
  if (fd_ >= 0) ::close(fd_);
}

SammlungsSperre::Ergebnis SammlungsSperre::Sperren(const std::string& sammlung) {
  struct stat besitzer;
  if (::stat(sammlung.c_str(), &besitzer) != 0) {
    // A collection that is still to be made (zarnoft-sync --anlegen) is its maker's.
    if (errno != ENOENT) return Ergebnis::kFehler;
    besitzer.st_uid = ::geteuid();
  }
  const std::string name = sammlung + ".lock";
  // Never through a link, and created only where nothing is: the lock of a collection that root
  // runs may lie in a directory its owner writes to.
  int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  bool neu = fd >= 0;
  // O_NONBLOCK: a FIFO of that name must not hold the start up.
  if (fd < 0 && errno == EEXIST)
    fd = ::open(name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 && errno == ELOOP) return Ergebnis::kFremd;
  if (fd >= 0) {
    // A lock root makes for someone else's collection belongs to that owner, so that the owner's
    // own runs take it as theirs.
    if (neu && ::geteuid() != besitzer.st_uid) (void)!::fchown(fd, besitzer.st_uid, -1);
    struct stat st;
    const bool regulaer = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    // Another user sharing the collection's directory makes locks of its own; root takes only
    // the owner's, since anybody can make a hard link to a file of root's.
    const bool eigen = st.st_uid == besitzer.st_uid || (st.st_uid == ::geteuid() && st.st_uid != 0);
    if (!regulaer || !eigen) {
      ::close(fd);
      return Ergebnis::kFremd;
    }
  } else {
    // A directory without write permission: the collection itself is locked.
    fd = ::open(sammlung.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  }
  if (fd < 0) return Ergebnis::kFehler;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int e = errno;
    ::close(fd);
    return e == EWOULDBLOCK ? Ergebnis::kBelegt : Ergebnis::kFehler;
  }
  fd_ = fd;
  return Ergebnis::kGesperrt;
}

}  // namespace zarnoft
