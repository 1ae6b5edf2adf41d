#include "log/log_escape.h"

#include <cstdint>

namespace zarnoft {
namespace {

// The length of the valid UTF-8 sequence at s[i], or 0 when there is none (or it is a C1
// control, U+0080 to U+009F, which some terminals take as the start of a command).
size_t Utf8Laenge(const std::string& s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  size_t n = 0;
  uint32_t cp = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and values beyond Unicode are no valid UTF-8.
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF) || (cp >= 0x80 && cp <= 0x9F))
    return 0;
  return n;
}

void Hex(std::string* out, unsigned char c) {
  static const char kZiffern[] = "0123456789abcdef";
  *out += "\\x";
  *out += kZiffern[c >> 4];
  *out += kZiffern[c & 15];
}

bool Harmlos(unsigned char c) {
  return c >= 0x20 && c < 0x7F && c != '\\';
}

}  // namespace

std::string EscapeControls(const std::string& text, bool zeilen) {
  size_t i = 0;
  while (i < text.size() && Harmlos(static_cast<unsigned char>(text[i]))) ++i;
  if (i == text.size()) return text;  // the common case: plain text, nothing to do
  std::string out = text.substr(0, i);
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (Harmlos(c) || (zeilen && c == '\r')) {
      out += static_cast<char>(c);
      ++i;
    } else if (c >= 0x80) {
      const size_t n = Utf8Laenge(text, i);
      if (n == 0) {
        Hex(&out, c);
        ++i;
      } else {
        out.append(text, i, n);
        i += n;
      }
    } else {
      switch (c) {
        case '\n':
          out += "\\n";
          break;
        case '\r':
          out += "\\r";
          break;
        case '\t':
          out += "\\t";
          break;
        case '\\':
          out += "\\\\";
          break;
        default:
          Hex(&out, c);
      }
      ++i;
    }
  }
  return out;
}

}  // namespace zarnoft
