// Keeps two headless runners off the same job collection.
//
// The lock is an flock() on "<collection>.lock" beside the collection (the collection itself is
// replaced by a rename on every write, so a lock on its own inode would not hold). The lock file
// is left in place: removing it would let a third runner lock a fresh file while the second still
// holds the old one. When the directory is read-only the collection file itself is locked.
//
// The lock file is never reached through a link and is created only where no entry is; one that
// is no regular file, or does not belong to the collection's owner, is refused (kFremd): it may
// have been put there to make a run of root's create or lock a file elsewhere.
#ifndef ZARNOFT_RUNNER_COLLECTION_LOCK_H_
#define ZARNOFT_RUNNER_COLLECTION_LOCK_H_

#include <string>

namespace zarnoft {

class SammlungsSperre {
 public:
  SammlungsSperre() = default;
  ~SammlungsSperre();
  SammlungsSperre(const SammlungsSperre&) = delete;
  SammlungsSperre& operator=(const SammlungsSperre&) = delete;

  enum class Ergebnis { kGesperrt, kBelegt, kFehler, kFremd };
  // Takes the lock without waiting.
  Ergebnis Sperren(const std::string& sammlung);

 private:
  int fd_ = -1;
};

}  // namespace zarnoft

#endif  // ZARNOFT_RUNNER_COLLECTION_LOCK_H_
