// Runs over generated tree pairs: whatever the kind, the sub-mode, the deletion mode and the
// dates, nothing the job's exclusions leave out is ever copied, changed, moved aside or deleted,
// on either side.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/comparison.h"
#include "engine/exclusions.h"
#include "platform/date_time.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

namespace fs = std::filesystem;
using testing::SetTimes;
using testing::TempTree;

struct Stand {
  bool verzeichnis = false;
  std::string inhalt;
  int64_t mtime = 0;
  friend bool operator==(const Stand&, const Stand&) = default;
};

std::string Lesen(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Every entry below root, by its path relative to root.
std::map<std::string, Stand> Aufnehmen(const std::string& root) {
  std::map<std::string, Stand> r;
  if (!fs::exists(root)) return r;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    struct stat st;
    ::lstat(it->path().c_str(), &st);
    Stand s;
    s.verzeichnis = S_ISDIR(st.st_mode);
    s.mtime = s.verzeichnis ? 0 : st.st_mtim.tv_sec;
    if (!s.verzeichnis) s.inhalt = Lesen(it->path());
    r[fs::relative(it->path(), root).string()] = s;
  }
  return r;
}

// Whether rel, or a directory above it, is left out.
bool Draussen(const AusnahmeRegeln& a, const std::string& rel, bool verzeichnis) {
  for (size_t p = rel.find('/'); p != std::string::npos; p = rel.find('/', p + 1)) {
    if (a.Ausgenommen(rel.substr(0, p), true)) return true;
  }
  return a.Ausgenommen(rel, verzeichnis);
}

class Erzeuger {
 public:
  explicit Erzeuger(uint32_t seed) : z_(seed) {}

  void Baum(TempTree& t, const std::string& seite, const std::string& rel, int tiefe,
            FileTime jetzt) {
    static const char* kNamen[] = {"a", "b", "c.tmp", "d.log", "x~", "keep.tmp"};
    static const char* kVerzeichnisse[] = {"cache", "build", "src", "node_modules"};
    for (const char* n : kNamen) {
      if (z_() % 3 != 0) continue;
      const std::string p = t.Write(seite + "/" + rel + n, seite + std::to_string(z_() % 3));
      const FileTime m{jetzt.sec - static_cast<int64_t>(z_() % (10 * 86400)), 0};
      const FileTime a{jetzt.sec - static_cast<int64_t>(z_() % (10 * 86400)), 0};
      SetTimes(p, m, a);
    }
    if (tiefe == 0) return;
    for (const char* d : kVerzeichnisse) {
      if (z_() % 3 == 0) Baum(t, seite, rel + d + "/", tiefe - 1, jetzt);
    }
  }

  std::vector<std::string> Muster() {
    static const char* kMuster[] = {"*.tmp",     "cache/",        "src/build", "**/x~",
                                    "!keep.tmp", "node_modules/", "b",         "build/**"};
    std::vector<std::string> m;
    for (size_t n = 1 + z_() % 3; n > 0; --n) m.push_back(kMuster[z_() % std::size(kMuster)]);
    return m;
  }

  uint32_t Zahl(uint32_t bis) { return z_() % bis; }

 private:
  std::mt19937 z_;
};

TEST(AusnahmenLaufTest, NothingLeftOutIsEverTouchedOnEitherSide) {
  constexpr uint32_t kBaumpaare = 120;
  const FileTime jetzt = Clock::System()->Now();
  for (uint32_t seed = 1; seed <= kBaumpaare; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Erzeuger g(seed);
    TempTree t;
    t.Mkdir("h");
    t.Mkdir("z");
    g.Baum(t, "h", "", 2, jetzt);
    g.Baum(t, "z", "", 2, jetzt);

    VergleichsWerte w;
    w.Herkunft = t.Path("h");
    w.Ziel = t.Path("z");
    w.LoeschenWohin = t.Path("lager");
    static const VorgangsArt kArten[] = {VorgangsArt::kSynchronisieren, VorgangsArt::kKopieren,
                                         VorgangsArt::kArchivieren};
    static const LoeschModus kModi[] = {LoeschModus::kNormal, LoeschModus::kNie,
                                        LoeschModus::kAuslagern};
    w.Art = kArten[g.Zahl(3)];
    w.Doppelt = static_cast<int>(g.Zahl(w.Art == VorgangsArt::kArchivieren ? 2 : 3));
    w.Loeschen = kModi[g.Zahl(3)];
    w.Unterverzeichnisse = true;
    if (g.Zahl(2) == 0) {
      w.LaufBeginn = FileTime{jetzt.sec - 5 * 86400, 0};
      w.LaufEnde = FileTime{w.LaufBeginn.sec + 60, 0};
    }
    w.Ausnahmen = g.Muster();
    const AusnahmeRegeln regeln(w.Ausnahmen);
    SCOPED_TRACE("Muster " + AusnahmenSchreiben(w.Ausnahmen) + ", Art " +
                 std::to_string(static_cast<int>(w.Art)) + ", Löschen " +
                 std::to_string(static_cast<int>(w.Loeschen)));

    const auto h_vorher = Aufnehmen(w.Herkunft), z_vorher = Aufnehmen(w.Ziel);
    LaufHandle lauf = Vergleiche::Starten(w, LaufDienste(), {});
    ASSERT_FALSE(lauf.Leer());
    lauf.Warten();

    // An archive names its copies itself, so a copy's name may match a pattern its source's
    // name does not; only what was there is checked in its target.
    const bool archiv = w.Art == VorgangsArt::kArchivieren;
    for (const auto& [vorher, nachher, neu_pruefen] :
         {std::tuple(h_vorher, Aufnehmen(w.Herkunft), true),
          std::tuple(z_vorher, Aufnehmen(w.Ziel), !archiv)}) {
      for (const auto& [rel, s] : vorher) {
        if (!Draussen(regeln, rel, s.verzeichnis)) continue;
        auto it = nachher.find(rel);
        ASSERT_TRUE(it != nachher.end()) << rel << " verschwunden";
        ASSERT_EQ(it->second, s) << rel << " verändert";
      }
      for (const auto& [rel, s] : nachher) {
        if (neu_pruefen && Draussen(regeln, rel, s.verzeichnis)) {
          ASSERT_TRUE(vorher.count(rel)) << rel << " angelegt";
        }
      }
    }
    for (const auto& [rel, s] : Aufnehmen(w.LoeschenWohin)) {
      const std::string name = rel.substr(rel.rfind('/') + 1);
      ASSERT_FALSE(!s.verzeichnis && regeln.Ausgenommen(name, false)) << rel << " ausgelagert";
    }
  }
}

}  // namespace
}  // namespace zarnoft
