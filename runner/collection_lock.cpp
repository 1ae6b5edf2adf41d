#include "runner/collection_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace zarnoft {

SammlungsSperre::~SammlungsSperre() {
  if (fd_ >= 0) ::close(fd_);
}

SammlungsSperre::Ergebnis SammlungsSperre::Sperren(const std::string& sammlung) {
  int fd = ::open((sammlung + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) fd = ::open(sammlung.c_str(), O_RDONLY | O_CLOEXEC);
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
