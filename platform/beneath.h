// Paths resolved beneath held roots, for the POSIX file system (FileSystem::HoldRoot).
//
// A held root is a directory descriptor opened once. A path beneath it is resolved from that
// descriptor, element by element, refusing every link (openat2 with RESOLVE_BENEATH and
// RESOLVE_NO_SYMLINKS where the kernel has it, openat with O_NOFOLLOW | O_DIRECTORY elsewhere),
// up to the parent of its last element; the call then acts on that element through the parent's
// descriptor (unlinkat, renameat2, fchownat, ...). Roots are held per thread, so runs on other
// threads neither see nor pay for them.
//
// A run makes many calls in the same few directories (a copy alone looks at, creates, dates and
// renames in its target's directory), so each root keeps the last parent directories it opened,
// with their device and inode. A later call in one of them reuses the descriptor once a single
// lstat of the path beneath the root still finds that very directory there; a link or another
// directory in its place is resolved anew and so fails as before. Renaming or removing a
// directory through this layer drops what was kept at and below it.
#ifndef ZARNOFT_PLATFORM_BENEATH_H_
#define ZARNOFT_PLATFORM_BENEATH_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/file_system.h"
#include "platform/status.h"

namespace zarnoft {

class GehalteneWurzel;

// Opens `dir` and holds it on the calling thread; see FileSystem::HoldRoot.
std::unique_ptr<RootHold> WurzelHalten(const std::string& dir, Status* status);

// Whether openat2 may be used where the kernel offers it (it is, unless a test turns it off to
// exercise the step-by-step resolution of older kernels). Any thread.
void Openat2Erlauben(bool ja);

// Where one call acts: a directory descriptor and a name in it. A path outside every root held
// on this thread is used as it stands (AT_FDCWD and the whole path), so such calls behave as
// plain path calls. One thread; the descriptor is closed with the object.
class Ort {
 public:
  Ort() = default;
  ~Ort() = default;
  Ort(const Ort&) = delete;
  Ort& operator=(const Ort&) = delete;

  // Resolves the parent of `path`'s last element. Fails with Status::Replaced() when a directory
  // on the way is a link, or not the one a listing or creation saw; missing when one is absent.
  // With `neben`, found just before for the other name of a rename, a path in the same directory
  // takes its parent from there without a second look.
  Status Finden(const std::string& path, const Ort* neben = nullptr);

  int dir() const { return dir_; }
  const char* name() const { return name_; }
  // Whether the path lies beneath a held root.
  bool gehalten() const { return wurzel_ != nullptr; }

  // What a listing (its descriptor `fd`) or a creation (the new directory) saw at this place:
  // remembered, or compared with what was seen before. Only for held paths.
  Status Gesehen(int fd);
  Status Angelegt();
  // Why opening the directory at this place failed with `error`: Status::Replaced() when it is a
  // link now, or no directory although a listing or creation saw one here.
  Status OeffnenFehlgeschlagen(int error) const;
  // The directory at this place and everything below it is gone or elsewhere now.
  void Vergessen();

  // A parent directory opened beneath a root, shared by the root's cache and the calls using it.
  struct Eltern;

 private:
  GehalteneWurzel* wurzel_ = nullptr;
  std::string rel_;     // the path beneath the root, elements joined by "/"; "" for the root
  std::string name_s_;  // the last element, "." for the root itself
  std::shared_ptr<Eltern> eltern_;  // keeps dir_ open while this object uses it
  int dir_ = -1;
  const char* name_ = nullptr;
};

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_BENEATH_H_
