#include "platform/mount_place.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace zarnoft {
namespace {

struct Einhaengung {
  unsigned major = 0;
  unsigned minor = 0;
  std::string wurzel;  // the part of its file system it shows
  std::string punkt;   // where this process sees it
};

// Undoes the octal escapes (\040 for a blank) of a path in /proc/self/mountinfo.
std::string Entschluesselt(const std::string& s) {
  auto oktal = [&](size_t i) { return s[i] >= '0' && s[i] <= '7'; };
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() && oktal(i + 1) && oktal(i + 2) && oktal(i + 3)) {
      out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

// Whether `pfad` is `oben` or lies below it (both absolute, without a trailing "/").
bool Unterhalb(const std::string& pfad, const std::string& oben) {
  if (oben == "/") return true;
  return pfad.compare(0, oben.size(), oben) == 0 &&
         (pfad.size() == oben.size() || pfad[oben.size()] == '/');
}

std::string Verbunden(const std::string& oben, const std::string& rest) {
  if (rest.empty() || rest == "/") return oben.empty() ? "/" : oben;
  return oben == "/" ? rest : oben + rest;
}

std::vector<Einhaengung> Einhaengungen() {
  std::vector<Einhaengung> alle;
  std::FILE* f = std::fopen("/proc/self/mountinfo", "re");
  if (f == nullptr) return alle;
  char* zeile = nullptr;
  size_t cap = 0;
  std::vector<char> wurzel, punkt;
  while (::getline(&zeile, &cap, f) > 0) {
    // "36 35 98:0 /mnt1 /mnt/parent rw ..." : id, parent, major:minor, root, mount point.
    wurzel.assign(cap + 1, 0);
    punkt.assign(cap + 1, 0);
    Einhaengung e;
    if (std::sscanf(zeile, "%*d %*d %u:%u %s %s", &e.major, &e.minor, wurzel.data(),
                    punkt.data()) != 4)
      continue;
    e.wurzel = Entschluesselt(wurzel.data());
    e.punkt = Entschluesselt(punkt.data());
    alle.push_back(std::move(e));
  }
  std::free(zeile);
  std::fclose(f);
  return alle;
}

bool GleicheKennung(const std::string& pfad, const struct stat& soll) {
  struct stat st;
  return ::stat(pfad.c_str(), &st) == 0 && st.st_dev == soll.st_dev && st.st_ino == soll.st_ino;
}

}  // namespace

Status MountOrt(const std::string& real, FsLocation* out) {
  struct stat st;
  if (::stat(real.c_str(), &st) != 0) return Status::FromErrno(errno);
  out->device = static_cast<uint64_t>(st.st_dev);
  out->path = real;
  const std::vector<Einhaengung> alle = Einhaengungen();
  // The mount that shows `real`: the one with the longest mount point; a later line for the same
  // point is a mount on top of it, which is what is seen.
  const Einhaengung* sieht = nullptr;
  for (const Einhaengung& e : alle)
    if (Unterhalb(real, e.punkt) && (sieht == nullptr || e.punkt.size() >= sieht->punkt.size()))
      sieht = &e;
  if (sieht == nullptr || sieht->wurzel == "/") return Status::Ok();
  struct stat oben;
  if (::stat(sieht->punkt.c_str(), &oben) != 0) return Status::Ok();
  const std::string rest = sieht->punkt == "/" ? real : real.substr(sieht->punkt.size());

  std::vector<std::string> orte;
  // Another mount of the same file system that shows a part above the mount's root.
  for (const Einhaengung& e : alle) {
    if (&e == sieht || e.major != sieht->major || e.minor != sieht->minor) continue;
    if (!Unterhalb(sieht->wurzel, e.wurzel)) continue;
    orte.push_back(Verbunden(
        e.punkt, e.wurzel == "/" ? sieht->wurzel : sieht->wurzel.substr(e.wurzel.size())));
  }
  // Inside a chroot the file system's own root lies above this process's root: the mount's
  // root path then ends in the path this process knows it by.
  for (size_t i = 1; i < sieht->wurzel.size(); ++i)
    if (sieht->wurzel[i] == '/') orte.push_back(sieht->wurzel.substr(i));
  for (const std::string& ort : orte) {
    if (ort == sieht->punkt || !GleicheKennung(ort, oben)) continue;
    out->path = Verbunden(ort, rest);
    return Status::Ok();
  }
  return Status::Ok();
}

}  // namespace zarnoft
