// The directories' dates after a run: a directory the run created or filled takes its
// counterpart's, once its visit is done (engine/walk.cpp, Verzeichnisvergleich::DatumUebertragen).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "engine/comparison.h"
#include "platform/date_time.h"
#include "testing/job_run_kit.h"

namespace zarnoft {
namespace {

FileInfo Info(const std::string& pfad) {
  FileInfo i;
  EXPECT_TRUE(FileSystem::Default()->Stat(pfad, &i).ok()) << pfad;
  return i;
}

class VerzeichnisDatumTest : public ::testing::Test, public testing::AuftragsLauf {};

// Every directory below `wurzel` (the root itself as "") with its last write.
std::map<std::string, FileTime> Verzeichnisse(const std::string& wurzel) {
  std::map<std::string, FileTime> r;
  r[""] = Info(wurzel).mtime;
  for (auto it = std::filesystem::recursive_directory_iterator(wurzel);
       it != std::filesystem::recursive_directory_iterator(); ++it) {
    if (it->path().filename() == ".zarnoft") {
      it.disable_recursion_pending();
      continue;
    }
    if (!it->is_directory() || it->is_symlink()) continue;
    const FileInfo i = Info(it->path().string());
    r[it->path().string().substr(wurzel.size())] = i.mtime;
  }
  return r;
}

TEST_F(VerzeichnisDatumTest, FirstCopyOfGeneratedTreesEndsWithTheSourcesDirectoryDates) {
  // Seeded trees of random depth, with empty directories and odd nanoseconds in every date; a
  // copy job and the first two-way run each leave every directory of the target with the
  // source's last write, the roots included, as cp -a does.
  for (uint32_t seed = 1; seed <= 8; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 zufall(seed);
    auto wahl = [&](int n) { return static_cast<int>(zufall() % static_cast<uint32_t>(n)); };
    std::filesystem::remove_all(w.Herkunft);
    std::filesystem::remove_all(w.Ziel);
    baum.Mkdir("h");
    baum.Mkdir("z");
    std::vector<std::string> verzeichnisse{"h"};
    for (int i = 0; i < 40; ++i) {
      const std::string oben =
          verzeichnisse[static_cast<size_t>(wahl(static_cast<int>(verzeichnisse.size())))];
      const std::string name = oben + "/" + std::to_string(i);
      if (wahl(3) == 0) {
        baum.Mkdir(name);
        verzeichnisse.push_back(name);
      } else {
        Datei(name, std::string(static_cast<size_t>(wahl(500)), 'x'),
              Um(-wahl(900), wahl(1000000000)));
      }
    }
    // The directories' dates last: writing into them changed them.
    for (const std::string& v : verzeichnisse)
      Datum(v, Um(-wahl(900), 1 + wahl(999999999)), Um(-wahl(900), 1 + wahl(999999999)));
    w.Art = seed % 2 == 0 ? VorgangsArt::kKopieren : VorgangsArt::kSynchronisieren;
    w.LaufBeginn = w.LaufEnde = FileTime{};
    Laufen(Um(1));
    EXPECT_EQ(Verzeichnisse(w.Ziel), Verzeichnisse(w.Herkunft));
  }
}

TEST_F(VerzeichnisDatumTest, OnlyADirectoryTheRunAloneChangedTakesItsCounterpartsDates) {
  // The first run brings both sides in step.
  for (const char* d : {"a", "b", "c", "d"}) {
    Datei(std::string("h/") + d + "/f", "f", Um(-10));
  }
  Laufen(Um(-9));
  // Then: a new file in the source's a; new files on both sides of b; nothing in c; a new file
  // in the target's d; and a new directory e with a file in the target only.
  Datei("h/a/neu", "n", Um(-5));
  Datum("h/a", Um(-5, 11), Um(-5, 12));
  Datei("h/b/neu1", "n", Um(-5));
  Datei("z/b/neu2", "n", Um(-5));
  Datum("h/b", Um(-6, 21), Um(-6, 22));
  Datum("z/b", Um(-4, 23), Um(-4, 24));
  Datum("h/c", Um(-8, 31), Um(-8, 32));
  Datum("z/c", Um(-7, 33), Um(-7, 34));
  Datei("z/d/neu", "n", Um(-5));
  Datum("z/d", Um(-3, 41), Um(-3, 42));
  Datei("z/e/f", "f", Um(-5));
  Datum("z/e", Um(-2, 51), Um(-2, 52));
  Laufen(Um(1));
  ASSERT_EQ(baum.Read("z/a/neu"), "n");
  ASSERT_EQ(baum.Read("h/d/neu"), "n");
  ASSERT_EQ(baum.Read("h/e/f"), "f");
  // Filled by the run on one side: the counterpart's dates, to the nanosecond.
  EXPECT_EQ(Info(baum.Path("z/a")).mtime, Um(-5, 11));
  EXPECT_EQ(Info(baum.Path("z/a")).atime, Um(-5, 12));
  EXPECT_EQ(Info(baum.Path("h/d")).mtime, Um(-3, 41));
  EXPECT_EQ(Info(baum.Path("h/e")).mtime, Um(-2, 51));
  // The side the run did not change keeps its own.
  EXPECT_EQ(Info(baum.Path("h/a")).mtime, Um(-5, 11));
  EXPECT_EQ(Info(baum.Path("z/d")).mtime, Um(-3, 41));
  // Changed by the run on both sides: neither takes the other's date.
  EXPECT_NE(Info(baum.Path("h/b")).mtime, Um(-4, 23));
  EXPECT_NE(Info(baum.Path("z/b")).mtime, Um(-6, 21));
  // Not changed by the run: both keep theirs.
  EXPECT_EQ(Info(baum.Path("h/c")).mtime, Um(-8, 31));
  EXPECT_EQ(Info(baum.Path("z/c")).mtime, Um(-7, 33));

  // A probe run and an archive run set no directory's date.
  Datei("h/c/neu", "n", Um(-1));
  Datum("h/c", Um(-1, 61), Um(-1, 62));
  w.Probelauf = true;
  Laufen(Um(2));
  w.Probelauf = false;
  EXPECT_EQ(Info(baum.Path("z/c")).mtime, Um(-7, 33));
  w.Art = VorgangsArt::kArchivieren;
  w.Doppelt = Zahl(ArchivUmfang::kGesamt);
  Laufen(Um(3));
  EXPECT_NE(Info(baum.Path("z/c")).mtime, Um(-1, 61));
  EXPECT_NE(Info(baum.Path("z/c")).mtime, Um(-7, 33));
}

}  // namespace
}  // namespace zarnoft
