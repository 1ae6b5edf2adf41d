// Several changes to one INI file, put in place together.
//
// Saving a collection of 100 jobs through IniFile means some 1,700 writes, each rewriting and
// renaming the whole file; on ext4 every rename over a file also starts its writeback, so such a
// save takes seconds. An IniBatch records the changes, then makes them with the accessor's own
// text rules (ini_text.h: in place, unknown lines kept, values quoted as the accessor quotes
// them) on one copy of the file and replaces the file once, by the accessor's own replacement
// (ini_replace.h): a temporary file in the same directory, created exclusively and forced to the
// disk, then a rename and the directory forced to the disk (platform/file_replace.h); a
// symbolic link is followed, a write-protected file (owner-write bit clear, also for root), a
// non-regular file and a file beyond the accessor's 16 MB are refused.
//
// All or nothing: when the file cannot be written, Commit throws IniWriteError ("Kann nicht nach
// <path> schreiben") and the file is as it was. A batch is used by one thread.
#ifndef ZARNOFT_SETTINGS_INI_BATCH_H_
#define ZARNOFT_SETTINGS_INI_BATCH_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace zarnoft {

class IniBatch {
 public:
  // fs must outlive the batch; nullptr means FileSystem::Default().
  explicit IniBatch(std::string path, FileSystem* fs = nullptr);

  const std::string& path() const { return path_; }

  // Record a change. Each throws IniWriteError at once, recording nothing, for what the layout
  // cannot store (a value with a line break, a name that would not read back as itself).
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int64_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  void EraseSection(const std::string& section);
  // Removes a key; a key that is not there changes nothing.
  void EraseKey(const std::string& section, const std::string& key);

  // Makes the recorded changes, in order, on the file as it is now, and puts the result in
  // place. A file that the changes leave as it was is not rewritten (but must be writable all
  // the same, so that a write-protected file is reported). Then the batch is empty again.
  void Commit();

 private:
  struct Change {
    bool erase = false;  // with an empty key the whole section
    std::string section;
    std::string key;
    std::string value;
  };
  std::string path_;
  FileSystem* fs_;
  std::vector<Change> changes_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_SETTINGS_INI_BATCH_H_
