#include "settings/ini_snapshot.h"

#include <string_view>
#include <utility>

#include "settings/ini_file.h"
#include "settings/ini_replace.h"
#include "settings/ini_text.h"

namespace zarnoft {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

}  // namespace

IniSnapshot IniSnapshot::Load(const std::string& path, FileSystem* fs) {
  return IniSnapshot(ini::LoadForReading(fs != nullptr ? fs : FileSystem::Default(), path));
}

IniSnapshot::IniSnapshot(std::string text) : text_(std::move(text)) {
  // Section lines, classified as the accessor classifies them: the line without its line end
  // (and without a byte-order mark at the start of the file), trimmed, beginning with "[" and
  // holding a "]".
  const std::string_view t(text_);
  size_t pos = 0;
  while (pos < t.size()) {
    const size_t nl = t.find('\n', pos);
    const size_t stop = nl == std::string_view::npos ? t.size() : nl;
    const size_t next = nl == std::string_view::npos ? t.size() : nl + 1;
    const size_t content_end = (stop > pos && t[stop - 1] == '\r') ? stop - 1 : stop;
    size_t start = pos;
    if (start == 0 && t.starts_with(kByteOrderMark)) start = kByteOrderMark.size();
    const std::string_view line = ini::Trim(t.substr(start, content_end - start));
    if (!line.empty() && line[0] == '[') {
      const size_t close = line.find(']');
      if (close != std::string_view::npos) {
        if (!spans_.empty()) spans_.back().end = pos;
        spans_.push_back(Span{pos, t.size(), std::string(ini::Trim(line.substr(1, close - 1)))});
      }
    }
    pos = next;
  }
  for (size_t i = 0; i < spans_.size(); ++i) {
    if (IsAscii(spans_[i].name)) ascii_[AsciiLower(spans_[i].name)].push_back(i);
  }
}

std::vector<const IniSnapshot::Span*> IniSnapshot::Occurrences(const std::string& section) const {
  std::vector<const Span*> found;
  const std::string_view name = ini::Trim(section);
  if (IsAscii(name)) {
    auto it = ascii_.find(AsciiLower(name));
    if (it != ascii_.end()) {
      for (size_t i : it->second) found.push_back(&spans_[i]);
    }
    return found;
  }
  for (const Span& s : spans_) {
    if (ini::NamesEqual(s.name, name)) found.push_back(&s);
  }
  return found;
}

bool IniSnapshot::Find(const std::string& section, const std::string& key,
                       std::string* value) const {
  // Each occurrence's text begins with its own section line, so the accessor's lookup on it
  // reads exactly the keys of that occurrence.
  for (const Span* s : Occurrences(section)) {
    std::string_view v;
    const std::string_view part = std::string_view(text_).substr(s->begin, s->end - s->begin);
    if (ini::FindValue(part, section, key, &v)) {
      *value = std::string(v);
      return true;
    }
  }
  return false;
}

std::string IniSnapshot::ReadString(const std::string& section, const std::string& key,
                                    const std::string& def) const {
  std::string v;
  if (!Find(section, key, &v)) return def;
  return std::string(ini::CutToCharacters(v, kIniMaxStringChars));
}

int64_t IniSnapshot::ReadInteger(const std::string& section, const std::string& key,
                                 int64_t def) const {
  std::string v;
  int64_t n = 0;
  if (Find(section, key, &v) && ParseIniInteger(v, &n)) return n;
  return def;
}

bool IniSnapshot::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniSnapshot::HasSection(const std::string& section) const {
  return !Occurrences(section).empty();
}

std::vector<std::string> IniSnapshot::SectionNames() const {
  std::vector<std::string> names;
  names.reserve(spans_.size());
  for (const Span& s : spans_) names.push_back(s.name);
  return names;
}

}  // namespace zarnoft
