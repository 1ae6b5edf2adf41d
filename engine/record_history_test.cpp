// Seeded generated histories of a job: several runs, with the user creating, editing, deleting,
// moving and re-dating files on both sides in between, for every kind, policy and deletion mode.
// Whatever happens, a file the user deleted on one side since the last run is deleted on the
// other (unless deletions are off), and nothing else is ever deleted.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include "testing/recording_log.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/comparison.h"
#include "testing/fake_window.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

namespace fs = std::filesystem;

// The disk flushes of a run cost much and prove nothing here.
class OhneFlush : public FileSystemWrapper {
 public:
  OhneFlush() : FileSystemWrapper(FileSystem::Default()) {}
  Status SyncFileSystem(const std::string&) override { return Status(); }
};

// A scratch directory in memory where there is one (the runs flush their record).
struct Platz {
  Platz() {
    char muster[] = "/dev/shm/zarnoft-verlauf-XXXXXX";
    if (::mkdtemp(muster) != nullptr) {
      root = muster;
    } else {
      ersatz = std::make_unique<testing::TempTree>();
      root = ersatz->root();
    }
  }
  ~Platz() {
    if (!ersatz) testing::RemoveTree(root);
  }
  std::string root;
  std::unique_ptr<testing::TempTree> ersatz;
};

// Answers every question with a button the seed picks.
class Antworter : public testing::FakeWindow {
 public:
  explicit Antworter(uint32_t seed) {
    std::mt19937 r(seed);
    for (int i = 0; i < 64; ++i) antworten.push_back(static_cast<int>(r() % 4));
  }
};

using Baum = std::map<std::string, std::string>;  // relative path of each file -> content

Baum Lesen(const std::string& wurzel) {
  Baum b;
  if (!fs::exists(wurzel)) return b;
  for (auto it = fs::recursive_directory_iterator(wurzel); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string rel = fs::relative(it->path(), wurzel).string();
    if (rel == ".zarnoft") {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file()) {
      std::ifstream f(it->path());
      b[rel] = std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    }
  }
  return b;
}

int64_t Mtime2(const std::string& p) {
  struct stat st;
  if (::lstat(p.c_str(), &st) != 0) return -1;
  return st.st_mtim.tv_sec >> 1;
}

// "d1/f2" -> "d1/f2 V1" and so on: the names a double change kept under "Beide behalten".
bool VNameDa(const Baum& b, const std::string& p) {
  return b.count(p + " V1") > 0 || b.count(p + " V2") > 0;
}

class Verlauf {
 public:
  explicit Verlauf(uint32_t seed) : r_(seed), seed_(seed) {
    h_ = platz_.root + "/h";
    z_ = platz_.root + "/z";
    fs::create_directories(h_);
    fs::create_directories(z_);
    art_ = static_cast<VorgangsArt>(1 + r_() % 3);
    const int policies = art_ == VorgangsArt::kSynchronisieren ? 6
                         : art_ == VorgangsArt::kKopieren      ? 3
                                                               : 2;
    doppelt_ = static_cast<int>(r_() % policies);
    loeschen_ = static_cast<LoeschModus>(1 + r_() % 3);
    for (int i = 0; i < 6; ++i) Schaffen(r_() % 2 ? h_ : z_);
  }

  std::string Beschreibung() const {
    return "seed " + std::to_string(seed_) + " Art " + std::to_string(Zahl(art_)) + " Doppelt " +
           std::to_string(doppelt_) + " Loeschen " + std::to_string(Zahl(loeschen_));
  }

  void Runde(int n) {
    if (n > 0) {
      const int schritte = 1 + static_cast<int>(r_() % 6);
      for (int i = 0; i < schritte; ++i) Aendern(r_() % 2 ? h_ : z_);
    }
    const Baum vor_h = Lesen(h_);
    const Baum vor_z = Lesen(z_);
    std::set<std::string> erwartet_h, erwartet_z;  // deletions the user asked for on the other side
    if (art_ == VorgangsArt::kSynchronisieren) {
      for (const std::string& p : synchron_) {
        if (!vor_h.count(p) && vor_z.count(p) && !beruehrt_[z_].count(p)) erwartet_z.insert(p);
        if (!vor_z.count(p) && vor_h.count(p) && !beruehrt_[h_].count(p)) erwartet_h.insert(p);
      }
    }

    Laufen();  // the answers may cancel it: then nothing may be lost, and deleting may stop

    const Baum nach_h = Lesen(h_);
    const Baum nach_z = Lesen(z_);
    const bool loescht = loeschen_ != LoeschModus::kNie;
    auto pruefen = [&](const Baum& vor, const Baum& nach, const std::set<std::string>& erwartet,
                       const char* seite) {
      for (const auto& [p, inhalt] : vor) {
        const bool da = nach.count(p) > 0;
        if (erwartet.count(p) && loescht) {
          EXPECT_TRUE(!da || ergebnis_.abgebrochen) << "not deleted in " << seite << ": " << p;
        } else if (!moeglich_.count(p)) {
          EXPECT_TRUE(da || VNameDa(nach, p)) << "lost in " << seite << ": " << p;
        }
      }
    };
    pruefen(vor_h, nach_h, erwartet_h, "h");
    pruefen(vor_z, nach_z, erwartet_z, "z");

    // What the run left in step is what the next run's record holds.
    if (ergebnis_.Vollstaendig()) {
      std::set<std::string> synchron;
      for (const auto& [p, inhalt] : nach_h) {
        // A version the run itself made of a double change ("name V1") stood on neither side
        // before it: the record learns of it from the next run that finds it on both sides.
        const bool vorher_da = vor_h.count(p) > 0 || vor_z.count(p) > 0;
        if (vorher_da && nach_z.count(p) && Mtime2(h_ + "/" + p) == Mtime2(z_ + "/" + p))
          synchron.insert(p);
      }
      // A name the run left on both sides but not in step (a date in the future, a double change
      // left alone) keeps what the record knew of it from an earlier run: once the other side
      // deletes it, the side that is still as it was in step then may be deleted too.
      std::set<std::string> moeglich;
      for (const std::set<std::string>* alt : {&synchron_, &moeglich_}) {
        for (const std::string& p : *alt) {
          if (nach_h.count(p) && nach_z.count(p) && !synchron.count(p)) moeglich.insert(p);
        }
      }
      synchron_ = std::move(synchron);
      moeglich_ = std::move(moeglich);
      beruehrt_.clear();
      vorher_ = ergebnis_;
    }
  }

 private:
  void Laufen() {
    VergleichsWerte w;
    w.Herkunft = h_;
    w.Ziel = z_;
    w.LoeschenWohin = platz_.root + "/lager";
    w.Art = art_;
    w.Doppelt = doppelt_;
    w.Loeschen = loeschen_;
    w.Unterverzeichnisse = true;
    w.LaufBeginn = vorher_.beginn;
    w.LaufEnde = vorher_.ende;
    LaufDienste d;
    d.fs = &dateisystem_;
    d.stand_verzeichnis = platz_.root + "/stand/";
    const uint32_t antwort_seed = static_cast<uint32_t>(r_());
    d.fenster = [antwort_seed]() -> std::unique_ptr<FortschrittFenster> {
      return std::make_unique<Antworter>(antwort_seed);
    };
    LaufHandle lauf = Vergleiche::Starten(w, d, {});
    lauf.Warten();
    ergebnis_ = lauf.Ergebnis();
  }

  std::string Pfad() {
    static const char* kDirs[] = {"", "d1/", "d2/", "d1/d3/"};
    return std::string(kDirs[r_() % 4]) + "f" + std::to_string(r_() % 5);
  }
  // The files of one side, as relative paths.
  std::vector<std::string> Dateien(const std::string& seite) {
    std::vector<std::string> v;
    for (const auto& [p, inhalt] : Lesen(seite)) v.push_back(p);
    return v;
  }
  void Beruehren(const std::string& seite, const std::string& p) { beruehrt_[seite].insert(p); }

  // Dates far and near, past and future: none of them may make a file look deleted.
  FileTime Datum() {
    const int64_t jetzt = Clock::System()->Now().sec;
    switch (r_() % 4) {
      case 0:
        return FileTime{jetzt - 86400 * static_cast<int64_t>(1 + r_() % 3000), 0};
      case 1:
        return FileTime{jetzt + 86400 * static_cast<int64_t>(1 + r_() % 30), 0};
      case 2:
        return FileTime{jetzt - static_cast<int64_t>(r_() % 120), 0};
      default:
        return FileTime{jetzt + 2 + static_cast<int64_t>(r_() % 5), 0};
    }
  }

  void Schaffen(const std::string& seite) {
    const std::string p = Pfad();
    if (fs::exists(seite + "/" + p)) return;
    fs::create_directories(fs::path(seite + "/" + p).parent_path());
    std::ofstream(seite + "/" + p) << "neu " << r_();
    if (r_() % 2) testing::SetMtime(seite + "/" + p, Datum());
    Beruehren(seite, p);
  }

  void Aendern(const std::string& seite) {
    std::vector<std::string> dateien = Dateien(seite);
    if (dateien.empty() || r_() % 6 == 0) return Schaffen(seite);
    const std::string p = dateien[r_() % dateien.size()];
    const std::string voll = seite + "/" + p;
    switch (r_() % 5) {
      case 0:  // edit
        std::ofstream(voll, std::ios::app) << " mehr " << r_();
        testing::SetMtime(voll, Datum());
        Beruehren(seite, p);
        break;
      case 1:  // delete
        fs::remove(voll);
        break;
      case 2: {  // delete a whole directory
        const size_t schnitt = p.find('/');
        if (schnitt == std::string::npos) {
          fs::remove(voll);
        } else {
          fs::remove_all(seite + "/" + p.substr(0, schnitt));
        }
        break;
      }
      case 3: {  // move
        const std::string neu = Pfad();
        if (fs::exists(seite + "/" + neu)) break;
        fs::create_directories(fs::path(seite + "/" + neu).parent_path());
        fs::rename(voll, seite + "/" + neu);
        Beruehren(seite, neu);
        break;
      }
      default:  // only its date
        testing::SetMtime(voll, Datum());
        Beruehren(seite, p);
        break;
    }
  }

  std::mt19937 r_;
  uint32_t seed_;
  Platz platz_;
  OhneFlush dateisystem_;
  std::string h_, z_;
  VorgangsArt art_;
  int doppelt_ = 0;
  LoeschModus loeschen_ = LoeschModus::kNormal;
  std::set<std::string> synchron_;  // in step after the last done run
  std::set<std::string> moeglich_;  // in step at an earlier done run, then left unequal
  std::map<std::string, std::set<std::string>> beruehrt_;  // side -> paths written since
  LaufErgebnis ergebnis_;
  LaufErgebnis vorher_;
};

// A FAT or exFAT stick as the kernel shows it: times to two seconds, no status change of its own
// (it reads as the last write), access dates without a time, inode numbers made up at each mount.
class FatFs : public OhneFlush {
  class OhneAngaben : public ReadableFile {
   public:
    explicit OhneAngaben(std::unique_ptr<ReadableFile> f) : f_(std::move(f)) {}
    Status Read(char* buf, size_t n, size_t* got) override { return f_->Read(buf, n, got); }
    int64_t Size() override { return f_->Size(); }

   private:
    std::unique_ptr<ReadableFile> f_;
  };

 public:
  explicit FatFs(std::string wurzel) : wurzel_(std::move(wurzel)) {}
  Status Stat(const std::string& p, FileInfo* i) override {
    Status s = OhneFlush::Stat(p, i);
    if (s.ok() && Drauf(p)) Fat(i);
    return s;
  }
  Status ListDirectory(const std::string& d, std::vector<FileInfo>* o) override {
    Status s = OhneFlush::ListDirectory(d, o);
    if (Drauf(d)) {
      for (FileInfo& i : *o) Fat(&i);
    }
    return s;
  }
  // A file read from the stick tells what Stat tells of it, so that a copy does not take the
  // made-up inode for a change during the copy.
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& p, Status* s) override {
    std::unique_ptr<ReadableFile> f = OhneFlush::OpenForReading(p, s);
    if (f == nullptr || !Drauf(p)) return f;
    return std::make_unique<OhneAngaben>(std::move(f));
  }
  bool Dauerhaft(const std::string& p) const { return !Drauf(p); }
  void Einstecken() { ++mount_; }  // the next mount numbers the inodes anew

 private:
  bool Drauf(const std::string& p) const { return p.rfind(wurzel_, 0) == 0; }
  void Fat(FileInfo* i) const {
    i->mtime = FileTime{i->mtime.sec / 2 * 2, 0};
    i->ctime = i->mtime;
    i->atime = FileTime{i->mtime.sec / 86400 * 86400, 0};
    i->inode = i->inode * 7919 + mount_;
  }
  std::string wurzel_;
  int mount_ = 0;
};

// The cases in which deciding by access times lost files, each run through the whole engine.
class StandFall : public ::testing::Test {
 protected:
  StandFall() : fat(platz.root + "/z") {
    H = platz.root + "/h";
    Z = platz.root + "/z";
    fs::create_directories(H);
    fs::create_directories(Z);
    // A file that stays on both sides, so that no side is ever empty and no run asks first.
    Schreiben(H + "/bleibt.txt", "x");
  }
  std::string Schreiben(const std::string& pfad, const std::string& inhalt, int64_t alter = 0) {
    fs::create_directories(fs::path(pfad).parent_path());
    std::ofstream(pfad) << inhalt;
    if (alter > 0) testing::SetMtime(pfad, FileTime{Clock::System()->Now().sec - alter, 0});
    return pfad;
  }
  bool Da(const std::string& p) const { return fs::exists(p); }
  LaufErgebnis Laufen(VergleichsWerte w = {}) {
    if (w.Herkunft.empty()) w.Herkunft = H;
    if (w.Ziel.empty()) w.Ziel = Z;
    w.LoeschenWohin = platz.root + "/lager";
    w.Art = VorgangsArt::kSynchronisieren;
    w.Doppelt = doppelt;
    w.Loeschen = LoeschModus::kNormal;
    w.Unterverzeichnisse = true;
    if (w.LaufEnde.sec == 0) {
      w.LaufBeginn = letzter.beginn;
      w.LaufEnde = letzter.ende;
    }
    LaufDienste d;
    d.fs = &fat;
    d.dauerhaft = [this](const std::string& p) { return fat.Dauerhaft(p); };
    d.stand_verzeichnis = platz.root + "/stand/";
    LaufHandle lauf = Vergleiche::Starten(w, d, {});
    lauf.Warten();
    LaufErgebnis e = lauf.Ergebnis();
    EXPECT_TRUE(e.Vollstaendig());
    if (e.Vollstaendig()) letzter = e;
    return e;
  }

  Platz platz;
  FatFs fat;  // the target is a FAT stick
  std::string H, Z;
  int doppelt = Zahl(DoppelRegel::kNeuerenBehalten);
  LaufErgebnis letzter;
};

TEST_F(StandFall, FileDeletedAfterItWasCopiedGoesOnTheOtherSideToo) {
  Schreiben(H + "/brief.txt", "b");
  Laufen();
  ASSERT_TRUE(Da(Z + "/brief.txt"));
  fs::remove(H + "/brief.txt");
  fat.Einstecken();  // the stick was out meanwhile
  Laufen();
  EXPECT_FALSE(Da(Z + "/brief.txt"));
}

TEST_F(StandFall, FileBroughtToTheStickWithItsOldDateIsCopiedNotDeleted) {
  Schreiben(H + "/a.txt", "a");
  Laufen();
  Schreiben(Z + "/kamera.jpg", "bild", 400 * 86400);  // a camera import keeps its date
  Laufen();
  EXPECT_TRUE(Da(Z + "/kamera.jpg"));
  EXPECT_TRUE(Da(H + "/kamera.jpg"));
}

TEST_F(StandFall, FolderMovedOnTheStickIsCopiedToItsNewPlaceAndRemovedFromItsOldOne) {
  Schreiben(H + "/alt/x.txt", "x", 86400);
  Schreiben(H + "/alt/y.txt", "y", 86400);
  Laufen();
  fs::rename(Z + "/alt", Z + "/neu");
  Laufen();
  EXPECT_FALSE(Da(H + "/alt") || Da(Z + "/alt"));
  for (const std::string& w : {H, Z}) {
    EXPECT_TRUE(Da(w + "/neu/x.txt") && Da(w + "/neu/y.txt")) << w;
  }
}

TEST_F(StandFall, AnotherDirectoryInTheTargetsPlaceDeletesNothing) {
  Schreiben(H + "/a.txt", "a", 3600);
  Schreiben(H + "/b.txt", "b", 3600);
  Laufen();
  // Another stick at the same mount point: the marker tells it from the first.
  fs::remove_all(Z);
  Schreiben(Z + "/fremd.txt", "f", 7200);
  LaufErgebnis e = Laufen();
  EXPECT_EQ(e.kein_stand, "Kein Stand für " + H + " ↔ " + Z + ": es wird nichts gelöscht");
  EXPECT_TRUE(Da(H + "/a.txt") && Da(H + "/b.txt") && Da(H + "/fremd.txt"));
  EXPECT_TRUE(Da(Z + "/a.txt") && Da(Z + "/b.txt"));
  // The target edited to another folder: no record for that pair either.
  const std::string anderer = platz.root + "/anderer";
  Schreiben(anderer + "/c.txt", "c", 7200);
  VergleichsWerte w;
  w.Ziel = anderer;
  Laufen(w);
  EXPECT_TRUE(Da(H + "/a.txt") && Da(H + "/c.txt") && Da(anderer + "/a.txt"));
}

TEST_F(StandFall, AClockThatWasAheadOrAnInheritedLastRunDeletesNothing) {
  Schreiben(H + "/a.txt", "a", 7200);
  Schreiben(Z + "/b.txt", "b", 7200);
  // A last run recorded a day in the future, which this pair never had (a job renumbered
  // under a running runner, a clock that was fast).
  VergleichsWerte w;
  w.LaufBeginn = FileTime{Clock::System()->Now().sec + 86400, 0};
  w.LaufEnde = FileTime{w.LaufBeginn.sec + 60, 0};
  Laufen(w);
  EXPECT_TRUE(Da(H + "/b.txt") && Da(Z + "/a.txt"));
  Schreiben(H + "/c.txt", "c", 7200);
  Laufen(w);
  EXPECT_TRUE(Da(H + "/c.txt") && Da(Z + "/c.txt"));
}

TEST_F(StandFall, ReadingACopyDoesNotStopItsDeletion) {
  Schreiben(H + "/a.txt", "a", 7200);
  Laufen();
  // An indexer reads the copy on the other side.
  testing::SetTimes(Z + "/a.txt", FileTime{Clock::System()->Now().sec - 7200, 0},
                    Clock::System()->Now());
  fs::remove(H + "/a.txt");
  Laufen();
  EXPECT_FALSE(Da(Z + "/a.txt"));
}

TEST_F(StandFall, DoubleChangeLeftAloneStaysOneForTheNextRun) {
  doppelt = Zahl(DoppelRegel::kKeineAktion);
  Schreiben(H + "/a.txt", "a", 7200);
  Laufen();
  Schreiben(H + "/a.txt", "h neu");
  Schreiben(Z + "/a.txt", "z neuer");
  testing::SetMtime(Z + "/a.txt",
                    FileTime{Clock::System()->Now().sec + 2, 0});  // newer, not yet future
  Laufen();
  Laufen();  // its last run now lies after both edits
  std::ifstream h(H + "/a.txt");
  std::string inhalt((std::istreambuf_iterator<char>(h)), std::istreambuf_iterator<char>());
  EXPECT_EQ(inhalt, "h neu");
}

TEST(Verlauf, GeloeschtWirdNurWasDerBenutzerDrubenGeloeschtHat) {
  const char* anzahl = std::getenv("ZARNOFT_VERLAEUFE");
  const int verlaeufe = anzahl != nullptr ? std::atoi(anzahl) : 200;
  for (int i = 0; i < verlaeufe; ++i) {
    const uint32_t seed = 1000 + static_cast<uint32_t>(i);
    Verlauf v(seed);
    SCOPED_TRACE(v.Beschreibung());
    for (int runde = 0; runde < 4 && !::testing::Test::HasFailure(); ++runde) v.Runde(runde);
    if (::testing::Test::HasFailure()) break;  // the first failing history, with its seed
  }
}

}  // namespace
}  // namespace zarnoft
