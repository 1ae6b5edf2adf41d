// How the settings accessor reads an INI file and puts a new text in its place: the one piece of
// file handling shared by IniFile (key by key), IniBatch (many changes, one replacement) and
// IniSnapshot (one read). Internal to settings/; other folders use those three.
//
// Reading follows a symbolic link and takes the first 16 MB. Rewriting refuses what must not be
// rewritten (see LoadForWriting) and puts the new text in place as every stored file is written
// (platform/file_replace.h), so that the file is always either the old or the new text.
#ifndef ZARNOFT_SETTINGS_INI_REPLACE_H_
#define ZARNOFT_SETTINGS_INI_REPLACE_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace zarnoft::ini {

// The most that is read of a file, and the largest file that is rewritten.
inline constexpr size_t kMaxFileBytes = size_t{16} << 20;

// The text of the file behind path, a link followed; empty when it cannot be read.
std::string LoadForReading(FileSystem* fs, const std::string& path);

// Throws IniWriteError(path) for what the layout cannot store: a value holding a line break, or
// a section or key name (taken without blanks at its ends) that would not read back as itself.
void CheckStorable(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value);

// A file about to be rewritten, read whole.
struct WriteTarget {
  std::string path;  // the regular file that gets replaced (a link's target)
  bool exists = false;
  FileInfo info;     // what the file is now, when it exists
  std::string text;  // empty for a new file
};

// Finds the file to rewrite and reads it whole. Throws IniWriteError(path) when it must not be
// rewritten: it is no regular file, it is write-protected (owner-write bit clear, also for
// root), a dangling link, unreadable (rewriting would lose what could not be read) or larger
// than kMaxFileBytes. A missing file is a new one.
WriteTarget LoadForWriting(FileSystem* fs, const std::string& path);

// Puts text in place of t (TextErsetzen: a temporary file forced to the disk, t's owner, group
// and permission bits, a rename, the directory forced to the disk; in place for a file with
// several names). On any failure t is untouched, no temporary file is left and
// IniWriteError(shown_path) is thrown.
void Replace(FileSystem* fs, const std::string& shown_path, const WriteTarget& t,
             const std::string& text);

}  // namespace zarnoft::ini

#endif  // ZARNOFT_SETTINGS_INI_REPLACE_H_
