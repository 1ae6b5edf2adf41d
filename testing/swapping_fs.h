// A file system that replaces a directory behind the caller's back: right before a chosen call on
// a path beneath the directory, the directory is renamed away and a link (or another directory)
// takes its place. What a hostile user can do between a run's listing and its next step.
#ifndef ZARNOFT_TESTING_SWAPPING_FS_H_
#define ZARNOFT_TESTING_SWAPPING_FS_H_

#include <string>
#include <utility>

#include "platform/file_system.h"

namespace zarnoft::testing {

// Replaces `dir` now: renames it to `dir` + ".weg" and puts a link to `link_ziel` in its place,
// or a new empty directory when `link_ziel` is empty. False when that failed.
bool VerzeichnisTauschen(const std::string& dir, const std::string& link_ziel);

// Everything below `dir` as text, one line per entry: path, kind, size, bits, owner, last write
// and a file's content or a link's text. Equal texts: nothing below `dir` changed.
std::string Abbild(const std::string& dir);

class TauschendesFs : public FileSystemWrapper {
 public:
  // Swaps `dir` (see VerzeichnisTauschen) once, right before the first call named `aufruf`
  // ("DeleteFile", "CreateExclusive", ...; "" for any call that changes something) on a path
  // strictly beneath `dir`.
  TauschendesFs(FileSystem* target, std::string dir, std::string link_ziel, std::string aufruf);

  bool getauscht() const { return getauscht_; }
  // For a directory whose path is known only after the wrapper is made.
  void VerzeichnisSetzen(std::string dir) { dir_ = std::move(dir); }

  Status SetMode(const std::string& p, uint32_t m) override;
  Status SetOwner(const std::string& p, uint32_t u, uint32_t g) override;
  Status SetTimes(const std::string& p, FileTime a, FileTime m) override;
  Status DeleteFile(const std::string& p) override;
  Status DeleteUnlockedFile(const std::string& p) override;
  Status RenameNoReplace(const std::string& f, const std::string& t) override;
  Status RenameReplace(const std::string& f, const std::string& t) override;
  Status CreateDirectory(const std::string& p) override;
  Status RemoveDirectory(const std::string& p) override;
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& p, Status* s) override;
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m,
                                                Status* s) override;
  Status CreateSymlink(const std::string& t, const std::string& p) override;

 private:
  void Vorher(const char* aufruf, const std::string& pfad, bool aendert = true);

  std::string dir_;
  std::string link_ziel_;
  std::string aufruf_;
  bool getauscht_ = false;
};

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_SWAPPING_FS_H_
