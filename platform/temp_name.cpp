#include "platform/temp_name.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>

#include "platform/path_helpers.h"

namespace zarnoft {
namespace {

constexpr size_t kNameMax = 255;  // bytes of one file name on Linux file systems
constexpr char kMarke[] = ".zarnoft-";
constexpr char kKurzname[] = ".zarnoft-tmp-";
// The 12 hex digits of a temporary name: 8 random ones, then 4 that check the rest of the name,
// so that a user's file that merely looks like a leftover is never taken for one.
constexpr size_t kHexStellen = 12;
constexpr size_t kZufallsStellen = 8;

std::string Hex(uint64_t v, size_t stellen) {
  static const char kZiffern[] = "0123456789abcdef";
  std::string s(stellen, '0');
  for (size_t i = stellen; i-- > 0; v >>= 4) s[i] = kZiffern[v & 15];
  return s;
}

bool IstHex(const std::string& s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The check digits of a temporary name: FNV-1a over everything before them, folded to 16 bits.
std::string Pruefziffern(const std::string& davor) {
  uint32_t h = 2166136261u;
  for (unsigned char c : davor) h = (h ^ c) * 16777619u;
  return Hex((h >> 16) ^ (h & 0xFFFF), kHexStellen - kZufallsStellen);
}

uint64_t StartWert() {
  uint64_t s = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  try {
    std::random_device rd;
    s ^= (uint64_t{rd()} << 32) ^ rd();
  } catch (...) {
    // No entropy source: the clock alone still differs between processes.
  }
  return s;
}

}  // namespace

uint64_t TempZufall() {
  // A counter through a bijective mix.
  static const uint64_t start = StartWert();
  static std::atomic<uint64_t> zaehler{0};
  uint64_t z = start + 0x9E3779B97F4A7C15ull * (zaehler.fetch_add(1) + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::string KopierTempName(const std::string& nach, uint64_t zufall) {
  std::string verzeichnis = DirectoryPart(nach);
  std::string name = NamePart(nach);
  std::string zufaellig = Hex(zufall, kZufallsStellen);
  std::string davor = "." + name + kMarke + zufaellig;
  if (name.empty() || davor.size() + kHexStellen - kZufallsStellen > kNameMax)
    davor = kKurzname + zufaellig;
  return verzeichnis + davor + Pruefziffern(davor);
}

bool IstKopierTempName(const std::string& name) {
  const size_t marke = sizeof(kMarke) - 1;
  if (name.size() < 1 + marke + kHexStellen || name[0] != '.') return false;
  const std::string hex = name.substr(name.size() - kHexStellen);
  const std::string davor = name.substr(0, name.size() - kHexStellen + kZufallsStellen);
  if (!IstHex(hex)) return false;
  const bool form = name.compare(name.size() - kHexStellen - marke, marke, kMarke) == 0 ||
                    name == kKurzname + hex;
  return form && name.substr(davor.size()) == Pruefziffern(davor);
}

bool IstKopierTempNameVon(const std::string& name, const std::string& fuer) {
  const std::string kopf = "." + fuer + kMarke;
  return name.size() == kopf.size() + kHexStellen && name.compare(0, kopf.size(), kopf) == 0 &&
         IstKopierTempName(name);
}

}  // namespace zarnoft
