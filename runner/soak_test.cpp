// The soak test: many rounds of random edits on both sides of a job between runs of the real
// zarnoft-sync, over every kind, double-change rule and deletion mode, with files changed while a
// run is under way and runs killed at a random moment. After each run it checks that no file
// version the user still needs was lost - it must lie in the source, the target, the move-aside
// store or a run's kept files - and that no file under its real name holds a partial content.
//
// What a version "still needs" follows the rules a user chose: a file deleted on one side since
// the last run may be deleted on the other (deletion mode 1), a file changed on one side replaces
// its older copy on the other, a double change settled by "keep the newer" keeps one of the two.
// Everything else must survive: new files, both sides of a double change that the rule keeps,
// every file when nothing may be deleted, everything in the store.
//
// Seeded: ZARNOFT_SOAK_SEED (default 1) and the round number decide the edits; a failure prints
// the seed, the round and its actions. In the ordinary test run it runs for kKurzeDauer;
// ZARNOFT_SOAK_MINUTES=N runs it for N minutes.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/temp_name.h"
#include "testing/sync_test_kit.h"

namespace zarnoft {
namespace {

namespace fs = std::filesystem;
using Zufall = std::mt19937_64;

constexpr int64_t kSpielSekunden = 2;  // the run's slack towards keeping files
constexpr int kRundenJeFolge = 6;      // rounds on one pair of trees before new ones
// The ordinary test run's share: a few dozen rounds, over several kinds and deletion modes.
constexpr std::chrono::seconds kKurzeDauer{15};

int64_t Umgebungszahl(const char* name, int64_t vorgabe) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' ? std::atoll(v) : vorgabe;
}

std::string Lesen(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

void Schreiben(const std::string& p, const std::string& inhalt) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f << inhalt;
}

FileTime Zeit(const struct timespec& t) {
  return FileTime{t.tv_sec, t.tv_nsec};
}

// A regular file of a tree: its content and dates.
struct Stand {
  std::string inhalt;
  FileTime mtime;
  FileTime benutzt;  // the later of last access and status change
};
using Baum = std::map<std::string, Stand>;  // by path relative to the root

// The regular files below root (temporary names and the program's own directory left out: they
// are no user's files), and the kinds of every entry.
Baum Einlesen(const std::string& root, std::map<std::string, char>* arten = nullptr) {
  Baum b;
  std::error_code ec;
  if (!fs::exists(root, ec)) return b;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    const std::string rel = it->path().string().substr(root.size() + 1);
    // The program's own directory holds no user's files (a root's identity).
    if (it->path().filename() == ".zarnoft") {
      it.disable_recursion_pending();
      continue;
    }
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0) continue;
    if (arten != nullptr)
      (*arten)[rel] = S_ISREG(st.st_mode) ? 'f' : S_ISDIR(st.st_mode) ? 'd' : 'l';
    if (!S_ISREG(st.st_mode) || IstKopierTempName(it->path().filename().string())) continue;
    b[rel] = Stand{Lesen(it->path().string()), Zeit(st.st_mtim),
                   std::max(Zeit(st.st_atim), Zeit(st.st_ctim))};
  }
  return b;
}

// The versions a run kept of what it replaced or removed (.zarnoft/laeufe/<run>/<path>, beside
// each run's journal): an undo brings them back, so a version kept there is not lost.
Baum Aufbewahrt(const std::string& root) {
  Baum b;
  const std::string laeufe = root + "/.zarnoft/laeufe";
  std::error_code ec;
  if (!fs::is_directory(fs::symlink_status(laeufe, ec))) return b;
  for (auto it = fs::recursive_directory_iterator(laeufe, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (it->path().extension() == ".journal" || IstKopierTempName(name)) continue;
    b[it->path().string().substr(root.size() + 1)] = Stand{Lesen(it->path().string()), {}, {}};
  }
  return b;
}

// A requirement after a run: at least one of these contents exists somewhere.
struct Bedarf {
  std::vector<std::string> inhalte;
  std::string warum;
};

struct Auftrag {
  int art = 1;
  int doppelt = 0;
  int loeschen = 1;
  bool unterverzeichnisse = true;
  std::string Text() const {
    return "Art=" + std::to_string(art) + " Doppelt=" + std::to_string(doppelt) +
           " Loeschen=" + std::to_string(loeschen) +
           " Unterverzeichnisse=" + std::to_string(unterverzeichnisse);
  }
};

class Dauertest : public testing::SyncTest {
 protected:
  void SetUp() override {
    SyncTest::SetUp();
    h_ = t_.Path("h");
    z_ = t_.Path("z");
    lager_ = t_.Path("loesch");
  }

  // --- the world --------------------------------------------------------------------------

  void NeueFolge(const Auftrag& a) {
    auftrag_ = a;
    for (const std::string& d : {h_, z_, lager_}) {
      testing::RemoveTree(d);
      fs::create_directories(d);
    }
    t_.Write("bin/Main.sda", "[Allgemein]\nLLev=3\nLDat=" + t_.Path("bin/log.txt") +
                                 "\n[Data]\nLoeschen=" + std::to_string(a.loeschen) +
                                 "\nLoeschenWohin=" + lager_ + "\n");
    t_.Write("bin/log.txt", "");
    Sammlung({"Herkunft=" + h_ + "\nZiel=" + z_ +
              "\nUnterverzeichnisse=" + std::to_string(a.unterverzeichnisse) +
              "\nArt=" + std::to_string(a.art) + "\nDoppelt=" + std::to_string(a.doppelt) + "\n"});
  }

  std::string NeuerInhalt(Zufall& z, bool gross = false) {
    std::string s = "soak " + std::to_string(++zaehler_) + ":";
    const size_t n = gross ? 1000000 + z() % 4000000 : z() % 3000;
    s.reserve(s.size() + n + 1);
    for (size_t i = 0; i < n; ++i) s += static_cast<char>('a' + (z() + i) % 26);
    s += '\n';
    inhalte_.insert(s);
    return s;
  }

  static std::string Wahl(Zufall& z, const std::vector<std::string>& v) {
    return v[z() % v.size()];
  }
  std::string ZufallsPfad(Zufall& z) {
    static const std::vector<std::string> dirs{"", "a/", "a/b/", "c/"};
    static const std::vector<std::string> namen{"x.txt", "y", "Notiz", "w.dat", "v"};
    return Wahl(z, dirs) + Wahl(z, namen);
  }
  std::vector<std::string> Dateien(const std::string& root) {
    std::vector<std::string> v;
    for (const auto& [rel, s] : Einlesen(root)) v.push_back(rel);
    return v;
  }

  // Writes a file as an editor saves it (a new file renamed over the old), so that a run never
  // sees a half-written user's file; missing parents are made, a file in the way of one is not.
  bool DateiSchreiben(const std::string& p, const std::string& inhalt) {
    std::error_code ec;
    fs::create_directories(fs::path(p).parent_path(), ec);
    if (ec || fs::is_directory(fs::symlink_status(p, ec))) return false;
    const std::string tmp = t_.Path("soak-tmp");  // outside the trees: no run ever sees it
    Schreiben(tmp, inhalt);
    return ::rename(tmp.c_str(), p.c_str()) == 0;
  }

  // One random change on side `root`; its description goes into the round's list.
  void Aktion(Zufall& z, const std::string& root, const std::string& seite) {
    const std::vector<std::string> da = Dateien(root);
    const std::string p = da.empty() || z() % 3 == 0 ? ZufallsPfad(z) : Wahl(z, da);
    const std::string voll = root + "/" + p;
    std::string was;
    switch (z() % 9) {
      case 0:
      case 1:
        was = DateiSchreiben(voll, NeuerInhalt(z)) ? "schreibt" : "";
        break;
      case 2:
        was = DateiSchreiben(voll, NeuerInhalt(z, true)) ? "schreibt groß" : "";
        break;
      case 3: {
        const std::string q = root + "/" + ZufallsPfad(z);
        std::error_code ec;
        fs::create_directories(fs::path(q).parent_path(), ec);
        if (!ec && !fs::exists(fs::symlink_status(q, ec)) && ::rename(voll.c_str(), q.c_str()) == 0)
          was = "benennt um nach " + q.substr(root.size() + 1) + ":";
        break;
      }
      case 4: {
        std::error_code ec;
        if (fs::remove_all(voll, ec) > 0) was = "löscht";
        break;
      }
      case 5: {  // a change of kind: a file becomes a directory or a link, a directory a file
        std::error_code ec;
        if (fs::is_regular_file(fs::symlink_status(voll, ec))) {
          fs::remove(voll, ec);
          if (z() % 2 == 0) {
            fs::create_directories(voll, ec);
            DateiSchreiben(voll + "/innen", NeuerInhalt(z));
            was = "macht ein Verzeichnis aus";
          } else {
            was = ::symlink("x.txt", voll.c_str()) == 0 ? "macht eine Verknüpfung aus" : "";
          }
        } else if (fs::exists(fs::symlink_status(voll, ec))) {
          fs::remove_all(voll, ec);
          was = DateiSchreiben(voll, NeuerInhalt(z)) ? "macht eine Datei aus" : "";
        }
        break;
      }
      case 6: {  // a date in the future or far in the past
        std::error_code ec;
        if (!fs::is_regular_file(fs::symlink_status(voll, ec))) break;
        const int64_t tage = z() % 2 == 0 ? 1 + static_cast<int64_t>(z() % 400)
                                          : -1 - static_cast<int64_t>(z() % 2000);
        testing::SetMtime(voll, FileTime{std::time(nullptr) + tage * 86400, 0});
        was = "datiert um " + std::to_string(tage) + " Tage:";
        break;
      }
      default: {  // the same file changed on both sides
        const std::string andere = root == h_ ? z_ : h_;
        if (auftrag_.art == 3) break;
        if (DateiSchreiben(voll, NeuerInhalt(z)) &&
            DateiSchreiben(andere + "/" + p, NeuerInhalt(z)))
          was = "ändert auf beiden Seiten";
        break;
      }
    }
    if (!was.empty()) aktionen_.push_back(seite + " " + was + " " + p);
  }

  // --- what must survive ------------------------------------------------------------------

  struct Vorlauf {
    FileTime beginn, ende;
    bool da = false;
  };
  Vorlauf LaufLesen() {
    auto utc = [](const std::string& s) {
      FileTime t;
      t.sec = std::atoll(s.c_str());
      const size_t punkt = s.find('.');
      if (punkt != std::string::npos) t.nsec = std::atoll(s.c_str() + punkt + 1);
      return t;
    };
    IniFile ini(sammlung_);
    Vorlauf l;
    l.beginn = utc(ini.ReadString("Vorgang 1", "LaufBeginnUTC", "0"));
    l.ende = utc(ini.ReadString("Vorgang 1", "LaufEndeUTC", "0"));
    l.da = l.beginn.sec > 0;
    return l;
  }

  // What the run surely takes for a change of the user's since the last run (written since its
  // end, with the run's slack and a second of margin), and what it may take for a file deleted
  // on the other side since (one-sided, neither used since the end nor written since the start).
  // Both lean towards asking less of the run, never more.
  static bool Geaendert(const Stand& s, const Vorlauf& l) {
    return !l.da || s.mtime.sec > l.ende.sec - kSpielSekunden + 1;
  }
  // Surely not written since: well before the slack. Between the two the run may decide either
  // way, and only one of two versions is held to.
  static bool SicherAlt(const Stand& s, const Vorlauf& l) {
    return l.da && s.mtime.sec < l.ende.sec - kSpielSekunden - 1;
  }
  // A two-way run deletes a one-sided file only when the record of its last done run lists it
  // as in step and the file is still as it was then.
  bool ImStand(const std::string& p, const Stand& s) const {
    auto it = im_stand_.find(p);
    return it != im_stand_.end() && (it->second.first == s.mtime || it->second.second == s.mtime);
  }

  // The records the runner keeps in its state directory, as one text: a run that changed them
  // ended done (or was killed right after putting its record in place).
  std::string StandDateien() {
    std::string s;
    std::error_code ec;
    for (auto it = fs::directory_iterator(t_.Path("bin/Stand"), ec); !ec && it != fs::end(it);
         it.increment(ec)) {
      if (it->path().extension() == ".stand") s += Lesen(it->path().string());
    }
    return s;
  }
  // What the new record holds: every file on both sides with dates in the same two-second step
  // (the run's rule for "the same version").
  void StandMerken() {
    im_stand_.clear();
    const Baum h = Einlesen(h_), z = Einlesen(z_);
    for (const auto& [p, s] : h) {
      auto it = z.find(p);
      if (it != z.end() && (s.mtime.sec >> 1) == (it->second.mtime.sec >> 1))
        im_stand_[p] = {s.mtime, it->second.mtime};
    }
  }

  // Whether the other side holds something else at p (a directory, a link) or something that is
  // no directory above it: a change of kind, which the run settles one way or the other.
  static bool Verdeckt(const std::map<std::string, char>& arten, const std::string& p) {
    if (arten.count(p) != 0) return true;
    for (size_t i = p.find('/'); i != std::string::npos; i = p.find('/', i + 1)) {
      auto it = arten.find(p.substr(0, i));
      if (it != arten.end() && it->second != 'd') return true;
    }
    return false;
  }

  std::vector<Bedarf> Bedarfe(const Baum& h, const Baum& z, const Baum& lager,
                              const std::map<std::string, char>& h_arten,
                              const std::map<std::string, char>& z_arten, const Vorlauf& l) {
    std::vector<Bedarf> b;
    auto muss = [&](const std::string& inhalt, const std::string& warum) {
      b.push_back({{inhalt}, warum});
    };
    for (const auto& [p, s] : lager) muss(s.inhalt, "im Lager: " + p);
    const bool nie_weg = auftrag_.loeschen != 1;
    auto einseitig = [&](const std::string& p, const Stand& s, const std::string& seite,
                         const std::map<std::string, char>& andere) {
      if (Verdeckt(andere, p)) {
        if (Geaendert(s, l)) muss(s.inhalt, seite + " neu, Art auf der anderen Seite: " + p);
      } else if (nie_weg || !ImStand(p, s)) {
        muss(s.inhalt, seite + " nur hier: " + p);
      }
    };
    for (const auto& [p, s] : h) {
      auto zi = z.find(p);
      if (auftrag_.art != 1) {
        muss(s.inhalt, "Herkunft: " + p);  // a copy or an archive never changes the source
        continue;
      }
      if (zi == z.end()) {
        einseitig(p, s, "Herkunft", z_arten);
        continue;
      }
      const Stand& t = zi->second;
      if (s.inhalt == t.inhalt) {
        muss(s.inhalt, "beide gleich: " + p);
        continue;
      }
      const bool gh = Geaendert(s, l), gz = Geaendert(t, l);
      const int regel = auftrag_.doppelt & 7;
      if (gh && gz && (regel == 0 || regel == 4 || regel == 5)) {
        muss(s.inhalt, "doppelt geändert, Herkunft: " + p);
        muss(t.inhalt, "doppelt geändert, Ziel: " + p);
      } else if (gh && gz && regel == 2) {
        muss(s.inhalt, "doppelt geändert, Herkunft behalten: " + p);
      } else if (gh && gz && regel == 3) {
        muss(t.inhalt, "doppelt geändert, Ziel behalten: " + p);
      } else if (gh && SicherAlt(t, l)) {
        muss(s.inhalt, "geändert in der Herkunft: " + p);
      } else if (gz && SicherAlt(s, l)) {
        muss(t.inhalt, "geändert im Ziel: " + p);
      } else {
        b.push_back({{s.inhalt, t.inhalt}, "verschieden: " + p});
      }
    }
    for (const auto& [p, t] : z) {
      if (h.count(p) != 0) continue;
      if (auftrag_.art == 1) {
        einseitig(p, t, "Ziel", h_arten);
      } else if (auftrag_.art == 2 && !Verdeckt(h_arten, p)) {
        // A copy job leaves what only the target holds.
        muss(t.inhalt, "Ziel nur hier: " + p);
      }
      // An archive's own copies are not held to yet: a second run within the same second writes
      // a copy of the same dated name and replaces the first (seed 1, round 42 shows it).
    }
    return b;
  }

  // --- one round --------------------------------------------------------------------------

  struct Lauf {
    int status = 0;
    bool getoetet = false;
    std::string geaendert;  // the content written while the run was under way
    std::string geaendert_vorher;
    // The other side's file of the same path, when the job's double-change rule keeps that
    // side: a walk that sees the new save takes it for a double change and may replace it.
    std::string andere_seite;
    std::string pfad;       // the path written while the run was under way
    bool herkunft = false;  // ... in the source
  };

  Lauf Ausfuehren(Zufall& z) {
    const bool toeten = z() % 5 == 0;
    const bool aendern = z() % 4 == 0;
    const auto toeten_nach = std::chrono::microseconds(z() % 150000);
    const auto aendern_nach = std::chrono::microseconds(z() % 100000);
    const bool leer_erlaubt = z() % 2 == 0;
    Lauf lauf;
    std::vector<std::string> args{programm_};
    if (leer_erlaubt) args.push_back("--leer-erlaubt");
    args.push_back(sammlung_);
    const std::string fehler = t_.Path("bin/stderr.txt");
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
      if (!std::freopen(fehler.c_str(), "w", stderr) || !std::freopen("/dev/null", "r", stdin) ||
          !std::freopen("/dev/null", "w", stdout)) {
        ::_exit(126);
      }
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    if (aendern) {
      std::this_thread::sleep_until(start + aendern_nach);
      const std::string root = auftrag_.art == 1 && z() % 2 == 0 ? z_ : h_;
      const std::vector<std::string> da = Dateien(root);
      const std::string p = da.empty() ? ZufallsPfad(z) : Wahl(z, da);
      lauf.geaendert_vorher = Lesen(root + "/" + p);
      const int regel = auftrag_.doppelt & 7;
      const std::string andere = (root == h_ ? z_ : h_) + "/" + p;
      std::error_code ec;
      if (auftrag_.art == 1 && ((regel == 3 && root == h_) || (regel == 2 && root == z_)) &&
          fs::is_regular_file(fs::symlink_status(andere, ec))) {
        lauf.andere_seite = Lesen(andere);
      }
      lauf.geaendert = NeuerInhalt(z);
      lauf.pfad = p;
      lauf.herkunft = root == h_;
      if (DateiSchreiben(root + "/" + p, lauf.geaendert)) {
        aktionen_.push_back(std::string(root == h_ ? "Herkunft" : "Ziel") +
                            " ändert während des Laufs " + p);
      } else {
        lauf.geaendert.clear();
      }
    }
    if (toeten) {
      std::this_thread::sleep_until(start + toeten_nach);
      lauf.getoetet = ::kill(pid, SIGKILL) == 0;
      aktionen_.push_back("Lauf getötet nach " + std::to_string(toeten_nach.count() / 1000) +
                          " ms");
    }
    int st = 0;
    ::waitpid(pid, &st, 0);
    lauf.status = WIFEXITED(st) ? WEXITSTATUS(st) : 1000 + WTERMSIG(st);
    if (lauf.getoetet && WIFEXITED(st)) lauf.getoetet = false;  // it had ended before
    return lauf;
  }

  // Returns a description of what went wrong, empty when all is well.
  std::string Runde(Zufall& z) {
    aktionen_.clear();
    const int n = 1 + static_cast<int>(z() % 5);
    for (int i = 0; i < n; ++i) {
      const bool ziel = auftrag_.art != 3 && z() % 2 == 0;
      Aktion(z, ziel ? z_ : h_, ziel ? "Ziel" : "Herkunft");
    }
    std::map<std::string, char> h_arten, z_arten;
    const Baum h = Einlesen(h_, &h_arten), zb = Einlesen(z_, &z_arten);
    std::vector<Bedarf> bedarfe = Bedarfe(h, zb, Einlesen(lager_), h_arten, z_arten, LaufLesen());

    const std::string stand_vorher = StandDateien();
    const Lauf lauf = Ausfuehren(z);
    if (!lauf.getoetet && lauf.status != 0 && lauf.status != 1 && lauf.status != 2)
      return "Rückgabewert " + std::to_string(lauf.status) + "\n" +
             Lesen(t_.Path("bin/stderr.txt"));
    if (!lauf.geaendert.empty()) {
      // The user's own save replaced what stood there before; the new content is what counts.
      std::erase_if(bedarfe, [&](const Bedarf& b) {
        return std::find(b.inhalte.begin(), b.inhalte.end(), lauf.geaendert_vorher) !=
               b.inhalte.end();
      });
      // A copy job that checks its target puts the source's version over a target written since
      // the last run: a source file saved under the name of a target-only file during the run
      // may take the target's place, as it would at the next run.
      if (auftrag_.art == 2 && lauf.herkunft && lauf.geaendert_vorher.empty()) {
        std::erase_if(bedarfe,
                      [&](const Bedarf& b) { return b.warum == "Ziel nur hier: " + lauf.pfad; });
      }
      Bedarf b{{lauf.geaendert}, "während des Laufs geschrieben"};
      if (!lauf.andere_seite.empty()) b.inhalte.push_back(lauf.andere_seite);
      bedarfe.push_back(b);
    }

    std::set<std::string> jetzt;
    const std::pair<std::string, Baum> orte[] = {{h_, Einlesen(h_)},
                                                 {z_, Einlesen(z_)},
                                                 {lager_, Einlesen(lager_)},
                                                 {h_, Aufbewahrt(h_)},
                                                 {z_, Aufbewahrt(z_)}};
    for (const auto& [root, baum] : orte) {
      for (const auto& [p, s] : baum) {
        if (root == lager_ && p == "Sync.dat") continue;  // the store's own counter
        if (inhalte_.count(s.inhalt) == 0)
          return "Teilweiser oder fremder Inhalt unter " + root + "/" + p + " (" +
                 std::to_string(s.inhalt.size()) + " Bytes: " + s.inhalt.substr(0, 40) + ")";
        jetzt.insert(s.inhalt);
      }
    }
    for (const Bedarf& b : bedarfe) {
      if (std::none_of(b.inhalte.begin(), b.inhalte.end(),
                       [&](const std::string& i) { return jetzt.count(i) != 0; }))
        return "Verloren (" + b.warum + "): " + b.inhalte[0].substr(0, 40);
    }
    if (StandDateien() != stand_vorher) StandMerken();
    return {};
  }

  // The last lines of the runner's log: the run's own account of what it did.
  std::string LogSchluss() {
    constexpr size_t kZeilen = 60;
    const std::string log = Lesen(t_.Path("bin/log.txt"));
    size_t anfang = log.size();
    for (size_t n = 0; n <= kZeilen; ++n) {
      if (anfang == 0 || (anfang = log.rfind('\n', anfang - 1)) == std::string::npos) return log;
    }
    return log.substr(anfang + 1);
  }

  std::string h_, z_, lager_;
  Auftrag auftrag_;
  std::set<std::string> inhalte_;  // every content ever written here
  // Each file in step at the end of the last done two-way run: its dates on both sides.
  std::map<std::string, std::pair<FileTime, FileTime>> im_stand_;
  uint64_t zaehler_ = 0;
  std::vector<std::string> aktionen_;
};

// Every kind with each of its sub-modes, under each deletion mode.
std::vector<Auftrag> AlleAuftraege() {
  std::vector<Auftrag> v;
  const int untermodi[] = {0, 6, 3, 2};
  for (int art = 1; art <= 3; ++art) {
    for (int d = 0; d < untermodi[art]; ++d) {
      for (int m = 1; m <= 3; ++m) v.push_back(Auftrag{art, d, m, true});
    }
  }
  return v;
}

TEST_F(Dauertest, ZufaelligeRundenVerlierenKeineDatei) {
  const uint64_t seed = static_cast<uint64_t>(Umgebungszahl("ZARNOFT_SOAK_SEED", 1));
  const int64_t minuten = Umgebungszahl("ZARNOFT_SOAK_MINUTES", 0);
  // Runs killed at random moments make the rounds of a short run differ from machine to machine;
  // the check holds the run only to what it must keep whatever the moment, so each is as sure.
  const auto dauer = minuten > 0 ? std::chrono::seconds(minuten * 60) : kKurzeDauer;
  const auto ende = std::chrono::steady_clock::now() + dauer;

  Zufall folge_zufall(seed);
  std::vector<Auftrag> auftraege = AlleAuftraege();
  std::shuffle(auftraege.begin(), auftraege.end(), folge_zufall);
  int runden = 0, getoetet = 0;
  for (int folge = 0; std::chrono::steady_clock::now() < ende; ++folge) {
    Auftrag a = auftraege[folge % auftraege.size()];
    a.unterverzeichnisse = folge % 7 != 6;
    NeueFolge(a);
    for (int r = 0; r < kRundenJeFolge && std::chrono::steady_clock::now() < ende; ++r) {
      Zufall z(seed * 1000003 + static_cast<uint64_t>(runden));
      const std::string fehler = Runde(z);
      ++runden;
      if (aktionen_.size() > 0 && aktionen_.back().rfind("Lauf getötet", 0) == 0) ++getoetet;
      ASSERT_TRUE(fehler.empty()) << fehler << "\nZARNOFT_SOAK_SEED=" << seed << ", Runde "
                                  << runden << ", " << auftrag_.Text() << "\nLetzte Aktionen:\n  "
                                  <<
          [&] {
            std::string s;
            for (const std::string& x : aktionen_) s += x + "\n  ";
            return s;
          }() << "\nAusgabe: " << Lesen(t_.Path("bin/stderr.txt"))
                                  << "\nProtokoll (Schluss):\n"
                                  << LogSchluss();
    }
  }
  std::printf("Dauertest: %d Runden, %d Läufe getötet, Startwert %llu\n", runden, getoetet,
              static_cast<unsigned long long>(seed));
}

}  // namespace
}  // namespace zarnoft
