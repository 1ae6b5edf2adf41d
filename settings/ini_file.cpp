#include "settings/ini_file.h"

#include <charconv>
#include <string_view>

#include "settings/ini_replace.h"
#include "settings/ini_text.h"

namespace zarnoft {
namespace {

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
  const std::string text = ini::LoadForReading(fs_, path_);
  std::string_view value;
  if (!ini::FindValue(text, section, key, &value)) return def;
  return std::string(ini::CutToCharacters(value, kIniMaxStringChars));
}

int64_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                             int64_t def) const {
  const std::string text = ini::LoadForReading(fs_, path_);
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
  return ini::ContainsSection(ini::LoadForReading(fs_, path_), section);
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  ini::CheckStorable(path_, section, key, value);
  const ini::WriteTarget t = ini::LoadForWriting(fs_, path_);
  const std::string text = ini::SetValue(t.text, section, key, value);
  // A file that already holds the value is left alone: saving a collection again rewrites only
  // what changed. It has passed the write checks all the same, so a write-protected file
  // is reported whether or not the value changed.
  if (t.exists && text == t.text) return;
  ini::Replace(fs_, path_, t, text);
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
  const ini::WriteTarget t = ini::LoadForWriting(fs_, path_);
  bool found = false;
  const std::string text = ini::RemoveSection(t.text, section, &found);
  if (found) ini::Replace(fs_, path_, t, text);
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
