#include "platform/number_format.h"

namespace zarnoft {

std::string FormatDottedNumber(int64_t millions, int64_t units) {
  if (units > 999999) millions += units / 1000000;
  std::string m = std::to_string(millions);
  std::string u = std::to_string(units);
  if (millions > 0) {
    std::string padded = "000000" + u;
    u = padded.substr(padded.size() - 6);
  }
  // Inserts "." before the last n characters (built anew: GCC 12 at -O3 warns falsely,
  // -Wrestrict, on std::string::insert here).
  auto dot = [](std::string& s, size_t n) {
    if (s.size() > n) s = s.substr(0, s.size() - n) + "." + s.substr(s.size() - n);
  };
  auto group = [&](std::string& s) {
    dot(s, 3);
    dot(s, 7);
    dot(s, 11);
  };
  group(u);
  group(m);
  return millions > 0 ? m + "." + u : u;
}

std::string FormatDottedNumber(int64_t count) {
  return FormatDottedNumber(count / 1000000, count % 1000000);
}

}  // namespace zarnoft
