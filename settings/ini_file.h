// The settings accessor: INI files read and written key by key, used for Main.sda, the job
// collections (.syc) and Sync.dat.
//
// There is no cache: every read reads the file, every write rewrites it at once (through a
// temporary file in the same directory and a rename, keeping the file's owner, group and
// permission bits, so a crash or a full disk never leaves a half-written file). Section and key names match without
// regard to letter case (ASCII and UTF-8 letters). Lines that the accessor does not own -
// comments, unknown keys, blank lines - stay as they are. Reads accept LF and CR LF.
//
// Encodings: integers in decimal (a text of more than two characters beginning "0x"/"0X", or
// one beginning "$", is hexadecimal; anything else that is no number yields the default);
// booleans are written "1"/"0" and read as integers, any value but 0 being true; strings are
// read up to 1023 characters, cut without splitting a UTF-8 character. A value that begins or
// ends with a blank or a double quote is written in double quotes, which the reader removes.
//
// Many changes at once go through IniBatch (ini_batch.h), many reads of one file through
// IniSnapshot (ini_snapshot.h); both follow the same rules.
//
// An IniFile is a light handle: opening reads and creates nothing. One handle is used by one
// thread at a time; files are shared between handles only through the disk.
//
// Reads never fail: a missing, unreadable or binary file yields the defaults, and a read
// creates no file. Only the first 16 MB of a file are read; a write to a larger file is refused
// (IniWriteError) rather than cutting it. Text is UTF-8; a file's line ends (LF or CR LF) are
// kept when it is rewritten, a new file gets LF. A symbolic link is followed: the file it
// names is rewritten and the link stays.
//
// Writing: the new text goes to a hidden temporary file in the same directory, created
// exclusively and forced to the disk, which then replaces the file by a rename; the directory is
// forced to the disk after it (platform/file_replace.h). The file keeps its owner, group and
// permission bits; a file with several names is updated in place. A file whose owner-write bit
// is clear counts as read-only also for root. A new file is put in place with a rename that
// never replaces, so a file that appeared meanwhile is not overwritten. Many changes at once
// belong in an IniBatch: each write here costs two flushes to the disk.
#ifndef ZARNOFT_SETTINGS_INI_FILE_H_
#define ZARNOFT_SETTINGS_INI_FILE_H_

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/file_system.h"

namespace zarnoft {

// A write or erase that the platform refused. what() is "Kann nicht nach <path> schreiben".
// The operation stops at the key that failed; keys written before it stay written.
class IniWriteError : public std::runtime_error {
 public:
  explicit IniWriteError(const std::string& path);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class IniFile {
 public:
  // fs must outlive the handle; nullptr means FileSystem::Default().
  explicit IniFile(std::string path, FileSystem* fs = nullptr);

  const std::string& path() const { return path_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  int64_t ReadInteger(const std::string& section, const std::string& key, int64_t def) const;
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  bool HasSection(const std::string& section) const;

  // Each throws IniWriteError when the file cannot be written, and for a value holding a line
  // break or a name that would not read back as itself (see ini_text.h), which the layout
  // cannot store. Names are taken without blanks at their ends.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int64_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  // Removes the section line and all its keys. A missing section is no error.
  void EraseSection(const std::string& section);

 private:
  std::string path_;
  FileSystem* fs_;
};

// Parses an integer by the encoding rules above; false when the text is no number. Hexadecimal
// takes up to 16 significant digits as a 64-bit pattern ("0xFFFFFFFFFFFFFFFF" is -1); decimal
// takes an optional sign and must fit into 64 bits.
bool ParseIniInteger(const std::string& text, int64_t* out);

// The longest string a read returns, in UTF-8 characters.
inline constexpr size_t kIniMaxStringChars = 1023;

}  // namespace zarnoft

#endif  // ZARNOFT_SETTINGS_INI_FILE_H_
