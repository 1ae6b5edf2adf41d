#include "engine/overlap.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/path_helpers.h"

namespace zarnoft {
namespace {

using Kennung = std::pair<uint64_t, uint64_t>;  // device and inode

// Parent levels followed at most: deeper than any path can be.
constexpr int kHoechstensEbenen = 4096;

std::string Pfad(const std::string& wurzel) {
  return wurzel.empty() ? "/" : wurzel;
}

// A path with every link resolved, also when its last levels do not exist yet (a target that a
// copy job will fill): the existing part is resolved, the rest appended.
std::string Aufgeloest(FileSystem* fs, const std::string& path) {
  std::string real;
  if (fs->RealPath(Pfad(path), &real).ok()) return real;
  size_t slash = path.rfind('/');
  if (slash == std::string::npos || path.empty()) return path;
  return WithTrailingSlash(Aufgeloest(fs, path.substr(0, slash))) + path.substr(slash + 1);
}

// Whether one of two absolute paths is the other or lies below it.
bool Enthalten(const std::string& pfad_a, const std::string& pfad_b) {
  const std::string a = WithTrailingSlash(pfad_a);
  const std::string b = WithTrailingSlash(pfad_b);
  return a.rfind(b, 0) == 0 || b.rfind(a, 0) == 0;
}

// The identities of a directory and of every directory above it, as the kernel walks up
// (".." crosses a mount to the directory it is mounted on). Empty when it does not exist (yet).
std::vector<Kennung> Kette(FileSystem* fs, const std::string& pfad) {
  std::vector<Kennung> kette;
  FileInfo i;
  if (!fs->Stat(Pfad(pfad) + "/", &i).ok()) return kette;
  std::string oben = Pfad(pfad);
  for (int ebene = 0; ebene < kHoechstensEbenen; ++ebene) {
    Kennung k{i.device, i.inode};
    if (!kette.empty() && kette.back() == k) break;  // the root is its own parent
    kette.push_back(k);
    oben += "/..";
    if (!fs->Stat(oben + "/", &i).ok()) break;
  }
  return kette;
}

bool InKette(const std::vector<Kennung>& kette, const std::vector<Kennung>& andere) {
  return !andere.empty() && std::find(kette.begin(), kette.end(), andere.front()) != kette.end();
}

// The chains of a directory: as its path reaches it, and from its place without a bind mount.
std::vector<std::vector<Kennung>> Ketten(FileSystem* fs, const std::string& pfad) {
  std::vector<std::vector<Kennung>> ketten{Kette(fs, pfad)};
  FsLocation ort;
  if (fs->Location(Pfad(pfad), &ort).ok()) ketten.push_back(Kette(fs, ort.path));
  return ketten;
}

}  // namespace

bool Ueberschneiden(FileSystem* fs, const std::string& herkunft, const std::string& ziel) {
  if (Enthalten(Aufgeloest(fs, herkunft), Aufgeloest(fs, ziel))) return true;
  // The same directory, or one above the other, by device and inode along the parents: through
  // links, "/./" and another mount of the same file system alike. A bind mount shows a
  // directory somewhere else; its place without the mount is walked up as well.
  const std::vector<std::vector<Kennung>> h = Ketten(fs, herkunft);
  const std::vector<std::vector<Kennung>> z = Ketten(fs, ziel);
  for (const std::vector<Kennung>& hk : h)
    for (const std::vector<Kennung>& zk : z)
      if (InKette(hk, zk) || InKette(zk, hk)) return true;
  return false;
}

}  // namespace zarnoft
