// A file written under a temporary name beside its real name and put in place by a rename: the
// one scheme of the run's fail-safe copy (copy/file_copy.cpp), of the rewrite of a stored file
// (platform/file_replace.h) and of a root's identity (engine/root_identity.cpp). Until the
// rename nothing stands under the real name that is not complete, and whatever fails, the
// temporary file goes again.
//
// The temporary name is KopierTempName's (platform/temp_name.h), so that the walk of a run skips
// such a file and removes the leftover of a writer that was killed; AlteTempDateienEntfernen
// removes those of one stored file. Every call goes through the FileSystem seam, so the copy
// keeps working beneath its held roots and a test can fail any step.
//
// One object per file being written, used by one thread.
#ifndef ZARNOFT_PLATFORM_TEMP_FILE_H_
#define ZARNOFT_PLATFORM_TEMP_FILE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/status.h"

namespace zarnoft {

class TempDatei {
 public:
  // `ziel`: the real name the file is written for. fs must outlive the object.
  TempDatei(FileSystem* fs, std::string ziel);
  // Removes the temporary file unless it was put in place.
  ~TempDatei();
  TempDatei(const TempDatei&) = delete;
  TempDatei& operator=(const TempDatei&) = delete;

  // Creates the temporary file through `anlegen(name)`, which must create exactly that name and
  // fail where something stands there. A name that was taken is followed by another (a few
  // times); any other failure (a missing or refused directory) is returned at once.
  Status Anlegen(const std::function<Status(const std::string& name)>& anlegen);
  // The same for a regular file, created exclusively with `mode` and opened for writing;
  // nullptr with *s set when it could not be created.
  std::unique_ptr<WritableFile> DateiAnlegen(uint32_t mode, Status* s);

  // The temporary file's path while it exists, else empty.
  const std::string& name() const { return name_; }

  // Puts the temporary file in place of the real name, replacing what stands there.
  Status Ersetzen();
  // Puts it under `wohin` (the real name or a name beside it) only where nothing stands yet;
  // a taken name fails with EEXIST and leaves the temporary file as it was.
  Status Einsetzen(const std::string& wohin);
  // Forces the directory to the disk after a rename, so that the rename survives a power cut on
  // file systems that do not order it after the file's data by themselves.
  Status VerzeichnisSichern();
  // Removes the temporary file now; nothing when there is none.
  void Entfernen();

 private:
  FileSystem* fs_;
  std::string ziel_;
  std::string name_;
};

// Removes the temporary files of `path` that no living writer holds: those of this scheme's
// names, and those of the older name ".<name>.<hex>.tmp", when they are older than a minute (a
// writer closes its file before the rename). Failures are ignored.
void AlteTempDateienEntfernen(FileSystem* fs, const std::string& path);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_TEMP_FILE_H_
