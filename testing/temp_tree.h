// Real temporary directory trees for tests. Each TempTree is a fresh directory below $TMPDIR,
// removed with everything in it when the object goes away.
#ifndef ZARNOFT_TESTING_TEMP_TREE_H_
#define ZARNOFT_TESTING_TEMP_TREE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/date_time.h"

namespace zarnoft::testing {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The tree's root, without a trailing "/".
  const std::string& root() const { return root_; }
  // root + "/" + rel
  std::string Path(const std::string& rel) const;

  // Writes a file (creating missing parent directories) and returns its full path.
  std::string Write(const std::string& rel, const std::string& content);
  std::string Mkdir(const std::string& rel);
  std::string Read(const std::string& rel) const;
  bool Exists(const std::string& rel) const;
  // The names in a directory of the tree ("" for the root), sorted.
  std::vector<std::string> Names(const std::string& rel) const;

 private:
  std::string root_;
};

// Sets last-write and last-access time of a path (a link itself, not its target).
void SetTimes(const std::string& path, FileTime mtime, FileTime atime);
void SetMtime(const std::string& path, FileTime mtime);
// A local time as a FileTime, e.g. Local(2024, 3, 1, 14, 5, 9).
FileTime Local(int year, int month, int day, int hour = 12, int minute = 0, int second = 0);
// Removes a tree (rm -rf), making directories writable and files mutable first, detaching mounts
// a failed test left in it; also trees deeper than a path may be long.
void RemoveTree(const std::string& path);

// Sets or clears the immutable flag (chattr +i); false where the file system has none.
bool ImmutableSetzen(const std::string& path, bool an);
// Whether the tests run as root (mounts, owners, immutable files need it).
bool IstRoot();

// A mount for the time of a test (tmpfs of a given size, a bind mount), detached at the end.
class Einhaengung {
 public:
  Einhaengung(const std::string& quelle, const std::string& ziel, const char* typ,
              unsigned long flags, const std::string& optionen = "");
  ~Einhaengung();
  Einhaengung(const Einhaengung&) = delete;
  Einhaengung& operator=(const Einhaengung&) = delete;
  bool ok() const { return ok_; }

 private:
  std::string ziel_;
  bool ok_ = false;
};

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_TEMP_TREE_H_
