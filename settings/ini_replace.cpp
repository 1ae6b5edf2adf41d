#include "settings/ini_replace.h"

#include "platform/file_replace.h"
#include "settings/ini_file.h"
#include "settings/ini_text.h"

namespace zarnoft::ini {
std::string LoadForReading(FileSystem* fs, const std::string& path) {
  std::string text;
  if (fs->ReadWholeFile(path, &text, kMaxFileBytes)) return text;
  // Opening for reading follows no link; the file a link names is read through its real path.
  FileInfo info;
  std::string real;
  if (fs->Stat(path, &info) && info.kind == EntryKind::kSymlink && fs->RealPath(path, &real) &&
      fs->ReadWholeFile(real, &text, kMaxFileBytes)) {
    return text;
  }
  return {};
}

void CheckStorable(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) {
  if (!IsStorableSection(Trim(section)) || !IsStorableKey(Trim(key)) ||
      value.find_first_of("\r\n") != std::string::npos) {
    throw IniWriteError(path);
  }
}

WriteTarget LoadForWriting(FileSystem* fs, const std::string& path) {
  WriteTarget t;
  t.path = path;
  FileInfo info;
  if (!fs->Stat(path, &info)) return t;  // a new file
  if (info.kind == EntryKind::kSymlink) {
    if (!fs->RealPath(path, &t.path) || !fs->Stat(t.path, &info)) throw IniWriteError(path);
  }
  // Root could replace a write-protected file; the owner-write bit is what the user set.
  if (info.kind != EntryKind::kFile || (info.mode & 0200) == 0) throw IniWriteError(path);
  t.exists = true;
  t.info = info;
  if (!fs->ReadWholeFile(t.path, &t.text, kMaxFileBytes + 1) || t.text.size() > kMaxFileBytes) {
    throw IniWriteError(path);
  }
  return t;
}

void Replace(FileSystem* fs, const std::string& shown_path, const WriteTarget& t,
             const std::string& text) {
  if (!TextErsetzen(fs, t.path, t.exists ? &t.info : nullptr, text)) {
    throw IniWriteError(shown_path);
  }
}

}  // namespace zarnoft::ini
