// A read-only picture of an INI file, read once. Reading a whole job collection key by key
// through IniFile would read and parse the file again for every key (1,500 times for 100 jobs);
// this reads it once and answers every lookup from memory, by the same rules (ini_text.h): the
// same line classification, case-insensitive names, a section that occurs more than once read
// as one, quotes removed, strings cut at 1023 characters.
//
// Writes made to the file after the snapshot was taken are not seen. Any thread may use its own
// snapshot; a snapshot is not changed after it was made, so it may be shared for reading.
#ifndef ZARNOFT_SETTINGS_INI_SNAPSHOT_H_
#define ZARNOFT_SETTINGS_INI_SNAPSHOT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"

namespace zarnoft {

class IniSnapshot {
 public:
  // The text of the file as IniFile reads it (the first 16 MB, a link followed). A missing or
  // unreadable file gives an empty snapshot, in which every read yields its default.
  static IniSnapshot Load(const std::string& path, FileSystem* fs = nullptr);
  explicit IniSnapshot(std::string text);

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  int64_t ReadInteger(const std::string& section, const std::string& key, int64_t def) const;
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  bool HasSection(const std::string& section) const;
  bool HasKey(const std::string& section, const std::string& key) const {
    std::string v;
    return Find(section, key, &v);
  }

  // The name of every section line, in file order, as written there (trimmed).
  std::vector<std::string> SectionNames() const;

 private:
  struct Span {
    size_t begin = 0;  // the section line
    size_t end = 0;    // the next section line, or the end of the text
    std::string name;
  };
  // The spans of every occurrence of `section`, first one first.
  std::vector<const Span*> Occurrences(const std::string& section) const;
  bool Find(const std::string& section, const std::string& key, std::string* value) const;

  std::string text_;
  std::vector<Span> spans_;
  // Spans by ASCII-lowercased name, for names of ASCII characters only. Case folding never maps
  // a non-ASCII letter onto an ASCII one, so an ASCII name can only match these.
  std::unordered_map<std::string, std::vector<size_t>> ascii_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_SETTINGS_INI_SNAPSHOT_H_
