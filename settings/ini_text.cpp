#include "settings/ini_text.h"

#include <cstdint>

namespace zarnoft::ini {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Decodes the character at s[*pos] and moves past it. A byte that starts no valid sequence
// (overlong forms and surrogates included) is taken alone and yields a value above the Unicode
// range, so that it only ever equals the same byte.
uint32_t NextChar(std::string_view s, size_t* pos) {
  const auto c = static_cast<unsigned char>(s[*pos]);
  if (c < 0x80) {
    ++*pos;
    return c;
  }
  size_t len = 0;
  uint32_t cp = 0;
  uint32_t min = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2, cp = c & 0x1Fu, min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3, cp = c & 0x0Fu, min = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4, cp = c & 0x07u, min = 0x10000;
  }
  bool valid = len > 0 && *pos + len <= s.size();
  for (size_t i = 1; valid && i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[*pos + i]);
    valid = (b & 0xC0) == 0x80;
    cp = (cp << 6) | (b & 0x3Fu);
  }
  if (valid && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) valid = false;
  if (!valid) {
    ++*pos;
    return 0x110000u + c;
  }
  *pos += len;
  return cp;
}

// Simple lower-case folding for the scripts that names in these files plausibly use.
uint32_t Fold(uint32_t cp) {
  if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
  if (cp >= 0x100 && cp <= 0x17F) {
    if (cp == 0x130 || cp == 0x131 || cp == 0x138 || cp == 0x149 || cp == 0x17F) return cp;
    if (cp == 0x178) return 0xFF;
    // Latin Extended-A pairs capital and small letters; two runs start on an odd code point.
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) {
      return (cp & 1) ? cp + 1 : cp;
    }
    return (cp & 1) ? cp : cp + 1;
  }
  if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) return cp + 32;
  if (cp == 0x386) return 0x3AC;
  if (cp >= 0x388 && cp <= 0x38A) return cp + 37;
  if (cp == 0x38C) return 0x3CC;
  if (cp == 0x38E || cp == 0x38F) return cp + 63;
  if (cp == 0x3C2) return 0x3C3;  // final sigma
  if (cp >= 0x410 && cp <= 0x42F) return cp + 32;
  if (cp >= 0x400 && cp <= 0x40F) return cp + 80;
  if (cp == 0x1E9E) return 0xDF;  // capital sharp s
  return cp;
}

enum class Kind { kOther, kSection, kKey };

struct Line {
  size_t begin = 0;        // first byte of the line
  size_t content_end = 0;  // end of the text without CR LF / LF
  size_t end = 0;          // after the line break
  Kind kind = Kind::kOther;
  bool blank = true;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key lines: the stored value, trimmed
  size_t value_begin = 0;  // key lines: offset of the value in the text
};

// Walks the lines of a text once. Cost is linear in the text, also for one huge line. Key lines
// are recognised only when asked for: outside the section in question a line matters only as
// a possible section line, and most lines of a collection lie outside it.
class LineScanner {
 public:
  explicit LineScanner(std::string_view text) : text_(text) {}

  bool Next(Line* l, bool want_keys) {
    if (pos_ >= text_.size()) return false;
    l->begin = pos_;
    const size_t nl = text_.find('\n', pos_);
    const size_t stop = nl == std::string_view::npos ? text_.size() : nl;
    l->end = nl == std::string_view::npos ? text_.size() : nl + 1;
    l->content_end = (stop > pos_ && text_[stop - 1] == '\r') ? stop - 1 : stop;
    pos_ = l->end;

    size_t b = l->begin;
    if (b == 0 && text_.starts_with(kByteOrderMark)) b = kByteOrderMark.size();
    while (b < l->content_end && IsBlank(text_[b])) ++b;
    l->kind = Kind::kOther;
    l->blank = b == l->content_end;
    l->name = {};
    l->value = {};
    l->value_begin = 0;
    if (l->blank) return true;
    if (text_[b] == '[') {
      const std::string_view rest = text_.substr(b + 1, l->content_end - b - 1);
      const size_t close = rest.find(']');
      if (close != std::string_view::npos) {
        l->kind = Kind::kSection;
        l->name = Trim(rest.substr(0, close));
      }
      return true;
    }
    if (!want_keys || text_[b] == ';' || text_[b] == '#') return true;
    const std::string_view t = Trim(text_.substr(b, l->content_end - b));
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) return true;
    l->kind = Kind::kKey;
    l->name = Trim(t.substr(0, eq));
    std::string_view rest = t.substr(eq + 1);
    size_t lead = 0;
    while (lead < rest.size() && IsBlank(rest[lead])) ++lead;
    l->value = rest.substr(lead);  // t carries no trailing blanks
    l->value_begin = static_cast<size_t>(rest.data() + lead - text_.data());
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

std::string LineEndOf(std::string_view text) {
  const size_t nl = text.find('\n');
  return (nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r') ? "\r\n" : "\n";
}

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (Fold(NextChar(a, &i)) != Fold(NextChar(b, &j))) return false;
  }
  return i == a.size() && j == b.size();
}

bool IsStorableSection(std::string_view name) {
  return name.find_first_of("\r\n]") == std::string_view::npos;
}

bool IsStorableKey(std::string_view name) {
  if (!name.empty() && (name[0] == '[' || name[0] == ';' || name[0] == '#')) return false;
  return name.find_first_of("\r\n=") == std::string_view::npos;
}

std::string_view Trim(std::string_view s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string EncodeValue(std::string_view value) {
  auto guarded = [](char c) { return IsBlank(c) || c == '"'; };
  if (!value.empty() && (guarded(value.front()) || guarded(value.back()))) {
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += '"';
    quoted += value;
    quoted += '"';
    return quoted;
  }
  return std::string(value);
}

std::string_view DecodeValue(std::string_view stored) {
  if (stored.size() >= 2 && stored.front() == '"' && stored.back() == '"') {
    return stored.substr(1, stored.size() - 2);
  }
  return stored;
}

std::string_view CutToCharacters(std::string_view s, size_t max_chars) {
  size_t pos = 0;
  for (size_t n = 0; n < max_chars && pos < s.size(); ++n) NextChar(s, &pos);
  return s.substr(0, pos);
}

bool FindValue(std::string_view text, std::string_view section, std::string_view key,
               std::string_view* value) {
  section = Trim(section);
  key = Trim(key);
  LineScanner lines(text);
  Line l;
  bool in = false;
  while (lines.Next(&l, in)) {
    if (l.kind == Kind::kSection) {
      in = NamesEqual(l.name, section);
    } else if (in && l.kind == Kind::kKey && NamesEqual(l.name, key)) {
      *value = DecodeValue(l.value);
      return true;
    }
  }
  return false;
}

bool ContainsSection(std::string_view text, std::string_view section) {
  section = Trim(section);
  LineScanner lines(text);
  Line l;
  while (lines.Next(&l, false)) {
    if (l.kind == Kind::kSection && NamesEqual(l.name, section)) return true;
  }
  return false;
}

std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  const std::string encoded = EncodeValue(value);
  const std::string eol = LineEndOf(text);

  LineScanner lines(text);
  Line l;
  Line anchor;  // the line after which a missing key goes
  Line last;
  bool have_anchor = false;
  bool in = false;
  int occurrence = 0;
  while (lines.Next(&l, in)) {
    last = l;
    if (l.kind == Kind::kSection) {
      in = NamesEqual(l.name, section);
      if (in && ++occurrence == 1) anchor = l, have_anchor = true;
    } else if (in && l.kind == Kind::kKey) {
      if (NamesEqual(l.name, key)) {
        std::string out;
        out.reserve(text.size() + encoded.size());
        out.append(text.substr(0, l.value_begin));
        out.append(encoded);
        out.append(text.substr(l.content_end));
        return out;
      }
      if (occurrence == 1) anchor = l;
    }
  }

  std::string out;
  out.reserve(text.size() + section.size() + key.size() + encoded.size() + 8);
  if (have_anchor) {
    out.append(text.substr(0, anchor.end));
    if (text[anchor.end - 1] != '\n') out += eol;  // the last line had no line end
    out.append(key).append("=").append(encoded).append(eol);
    out.append(text.substr(anchor.end));
    return out;
  }
  out.append(text);
  if (!text.empty()) {
    if (text.back() != '\n') out += eol;
    if (!last.blank) out += eol;  // a blank line between sections
  }
  out.append("[").append(section).append("]").append(eol);
  out.append(key).append("=").append(encoded).append(eol);
  return out;
}

std::string RemoveSection(std::string_view text, std::string_view section, bool* found) {
  section = Trim(section);
  *found = false;
  std::string out;
  out.reserve(text.size());
  LineScanner lines(text);
  Line l;
  bool skip = false;
  while (lines.Next(&l, false)) {
    if (l.kind == Kind::kSection) {
      skip = NamesEqual(l.name, section);
      if (skip) *found = true;
    }
    if (!skip) {
      out.append(text.substr(l.begin, l.end - l.begin));
    } else if (l.begin == 0 && text.starts_with(kByteOrderMark)) {
      out.append(kByteOrderMark);
    }
  }
  return out;
}

std::string RemoveValue(std::string_view text, std::string_view section, std::string_view key,
                        bool* found) {
  section = Trim(section);
  key = Trim(key);
  *found = false;
  std::string out;
  out.reserve(text.size());
  LineScanner lines(text);
  Line l;
  bool in = false;
  while (lines.Next(&l, in)) {
    if (l.kind == Kind::kSection) in = NamesEqual(l.name, section);
    if (in && l.kind == Kind::kKey && NamesEqual(l.name, key)) {
      *found = true;
      continue;
    }
    out.append(text.substr(l.begin, l.end - l.begin));
  }
  return out;
}

}  // namespace zarnoft::ini
