#include "settings/ini_file.h"

#include <atomic>
#include <charconv>
#include <random>
#include <string_view>

#include "settings/ini_text.h"

namespace zarnoft {
namespace {

constexpr size_t kMaxFileBytes = size_t{16} << 20;

// Temporary names carry a per-process random start so that two processes writing into the
// same directory rarely meet; a clash is resolved by trying the next number.
std::string NextTempSuffix() {
  static std::atomic<uint64_t> counter{[] {
    std::random_device rd;
    return (uint64_t{rd()} << 32) ^ rd();
  }()};
  char buf[17];
  const uint64_t n = counter.fetch_add(1, std::memory_order_relaxed) & 0xFFFFFFFFFFFFull;
  auto r = std::to_chars(buf, buf + sizeof buf, n, 16);
  return std::string(buf, r.ptr);
}

// The text of the file behind path, a link followed; empty when it cannot be read.
std::string LoadForReading(FileSystem* fs, const std::string& path) {
  std::string text;
  if (fs->ReadWholeFile(path, &text, kMaxFileBytes)) return text;
  FileInfo info;
  std::string real;
  if (fs->Stat(path, &info) && info.kind == EntryKind::kSymlink && fs->RealPath(path, &real) &&
      fs->ReadWholeFile(real, &text, kMaxFileBytes)) {
    return text;
  }
  return {};
}

struct Target {
  std::string path;  // the regular file that gets replaced (a link's target)
  bool exists = false;
  uint32_t mode = 0;
  std::string text;
};

// Finds the file to rewrite and reads it whole. False when it must not be rewritten: it is no
// regular file, it is write-protected, a dangling link, unreadable (rewriting would lose what
// could not be read) or too large to be held.
bool LoadForWriting(FileSystem* fs, const std::string& path, Target* t) {
  t->path = path;
  FileInfo info;
  if (!fs->Stat(path, &info)) return true;  // a new file
  if (info.kind == EntryKind::kSymlink) {
    if (!fs->RealPath(path, &t->path) || !fs->Stat(t->path, &info)) return false;
  }
  // Root could replace a write-protected file; the owner-write bit is what the user set.
  if (info.kind != EntryKind::kFile || (info.mode & 0200) == 0) return false;
  t->exists = true;
  t->mode = info.mode;
  return fs->ReadWholeFile(t->path, &t->text, kMaxFileBytes + 1) && t->text.size() <= kMaxFileBytes;
}

// Puts text in place of the target through a temporary file: write, close, rename, every step
// checked; on any failure the temporary file goes and the target is untouched.
void Replace(FileSystem* fs, const std::string& shown_path, const Target& t,
             const std::string& text) {
  const std::string dir = DirectoryPart(t.path);
  const std::string base = NamePart(t.path).substr(0, 200);  // room for the suffix in NAME_MAX
  std::string tmp;
  std::unique_ptr<WritableFile> f;
  for (int attempt = 0; attempt < 16 && !f; ++attempt) {
    tmp = dir + "." + base + "." + NextTempSuffix() + ".tmp";
    // A replaced file gets its own mode below; until then nobody else may read the new text.
    f = fs->CreateExclusive(tmp, t.exists ? 0600 : 0666);
    FileInfo clash;
    if (!f && !fs->Stat(tmp, &clash)) break;  // no name clash: the directory refuses
  }
  if (!f) throw IniWriteError(shown_path);
  bool ok = f->Write(text.data(), text.size());
  ok = f->Close() && ok;
  f.reset();
  if (ok && t.exists) ok = fs->SetMode(tmp, t.mode);
  if (ok) ok = t.exists ? fs->RenameReplace(tmp, t.path) : fs->RenameNoReplace(tmp, t.path);
  if (!ok) {
    fs->DeleteFile(tmp);
    throw IniWriteError(shown_path);
  }
}

bool ParseHex(std::string_view digits, int64_t* out) {
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 16) return false;
  uint64_t v = 0;
  auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v, 16);
  if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return false;
  *out = static_cast<int64_t>(v);
  return true;
}

}  // namespace

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error("Kann nicht nach " + path + " schreiben"), path_(path) {}

IniFile::IniFile(std::string path, FileSystem* fs)
    : path_(std::move(path)), fs_(fs != nullptr ? fs : FileSystem::Default()) {}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
  const std::string text = LoadForReading(fs_, path_);
  std::string_view value;
  if (!ini::FindValue(text, section, key, &value)) return def;
  return std::string(ini::CutToCharacters(value, kIniMaxStringChars));
}

int64_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                             int64_t def) const {
  const std::string text = LoadForReading(fs_, path_);
  std::string_view value;
  int64_t v = 0;
  if (ini::FindValue(text, section, key, &value) && ParseIniInteger(std::string(value), &v)) {
    return v;
  }
  return def;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::HasSection(const std::string& section) const {
  return ini::ContainsSection(LoadForReading(fs_, path_), section);
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  if (!ini::IsStorableSection(ini::Trim(section)) || !ini::IsStorableKey(ini::Trim(key)) ||
      value.find_first_of("\r\n") != std::string::npos) {
    throw IniWriteError(path_);
  }
  Target t;
  if (!LoadForWriting(fs_, path_, &t)) throw IniWriteError(path_);
  std::string text = ini::SetValue(t.text, section, key, value);
  // A file that already holds the value is left alone: saving a collection again rewrites only
  // what changed. It has passed the write checks all the same, so a write-protected file
  // is reported whether or not the value changed.
  if (t.exists && text == t.text) return;
  Replace(fs_, path_, t, text);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::EraseSection(const std::string& section) {
  // A missing section changes nothing, so it needs no write access either.
  if (!HasSection(section)) return;
  Target t;
  if (!LoadForWriting(fs_, path_, &t)) throw IniWriteError(path_);
  bool found = false;
  std::string text = ini::RemoveSection(t.text, section, &found);
  if (found) Replace(fs_, path_, t, text);
}

bool ParseIniInteger(const std::string& text, int64_t* out) {
  std::string_view s = text;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
    return ParseHex(s.substr(2), out);
  if (!s.empty() && s[0] == '$') return ParseHex(s.substr(1), out);
  const bool plus = !s.empty() && s[0] == '+';
  if (plus) s.remove_prefix(1);
  if (s.empty() || (plus && s[0] == '-')) return false;
  int64_t v = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v, 10);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
  *out = v;
  return true;
}

}  // namespace zarnoft
