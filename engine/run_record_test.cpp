#include "engine/run_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

const StandPaar kPaar{"a1b2c3d4e5f60718293a4b5c6d7e8f90", "pfad:/media/stick dev 2049 ino 2"};

StandEintrag Datei(const std::string& name, int64_t size, int64_t sec) {
  StandEintrag e;
  e.name = name;
  e.size = size;
  e.h =
      StandSeite{FileTime{sec, 123456789}, FileTime{sec + 5, 1}, 1000 + static_cast<uint64_t>(sec)};
  e.z = StandSeite{FileTime{sec, 0}, FileTime{}, 0};  // a side without lasting inodes (FAT)
  return e;
}

std::string Lesen(const std::string& pfad) {
  std::ifstream f(pfad, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}
void Schreiben(const std::string& pfad, const std::string& inhalt) {
  std::ofstream(pfad, std::ios::binary | std::ios::trunc) << inhalt;
}

// A tree of two levels, written as the walk writes it: the subdirectory's block before its
// parent's, whose entry names the block.
std::vector<StandEintrag> ZweiEbenen(StandSchreiber* w) {
  std::vector<StandEintrag> unten = {Datei("Bild 001.jpg", 4'000'000, 1'600'000'000),
                                     Datei("Bild 002.jpg", 3'000'000, 1'600'000'002),
                                     Datei("ä ö ü\n", 0, -86400)};
  StandEintrag dir;
  dir.name = "Fotos";
  dir.art = EntryKind::kDirectory;
  dir.block = w->BlockSchreiben(unten);
  StandEintrag link = Datei("verweis", 7, 1'700'000'000);
  link.art = EntryKind::kSymlink;
  link.offen = true;
  return {dir, link, Datei("zuletzt", 1, 1'700'000'001)};
}

TEST(StandTest, ReadsBackWhatWasWrittenBlockByBlock) {
  testing::TempTree t;
  const std::string pfad = t.Path("x.stand");
  StandSchreiber w;
  ASSERT_TRUE(w.Beginnen(pfad, kPaar).ok());
  const std::vector<StandEintrag> wurzel = ZweiEbenen(&w);
  ASSERT_TRUE(w.Abschliessen(w.BlockSchreiben(wurzel)).ok());
  EXPECT_FALSE(t.Exists("x.stand.neu"));

  StandLeser r;
  std::string grund;
  ASSERT_TRUE(r.Oeffnen(pfad, kPaar, &grund).ok()) << grund;
  EXPECT_EQ(r.Eintraege(), 6u);
  std::vector<StandEintrag> gelesen;
  ASSERT_TRUE(r.Wurzel(&gelesen, &grund)) << grund;
  EXPECT_EQ(gelesen, wurzel);
  std::vector<StandEintrag> unten;
  ASSERT_TRUE(r.Block(gelesen[0].block, &unten, &grund)) << grund;
  ASSERT_EQ(unten.size(), 3u);
  EXPECT_EQ(unten[2].name, "ä ö ü\n");
  EXPECT_EQ(unten[2].h.mtime.sec, -86400);
  EXPECT_EQ(unten[0], Datei("Bild 001.jpg", 4'000'000, 1'600'000'000));
}

// Blocks of every size, from none to far beyond the write buffer, with names up to the longest
// and numbers at their limits, read back as written wherever they fell in the buffer.
TEST(StandTest, BlocksOfAnySizeAndExtremeValuesReadBack) {
  testing::TempTree t;
  const std::string pfad = t.Path("x.stand");
  std::mt19937_64 zufall(5);
  StandSchreiber w;
  ASSERT_TRUE(w.Beginnen(pfad, kPaar).ok());
  std::vector<std::vector<StandEintrag>> bloecke;
  std::vector<uint64_t> orte;
  for (const size_t anzahl : {0u, 1u, 7u, 3000u, 1u, 40000u, 2u}) {
    std::vector<StandEintrag> block;
    for (size_t i = 0; i < anzahl; ++i) {
      const std::string lang(zufall() % 3 == 0 ? 4000 : zufall() % 40, 'n');
      StandEintrag e = Datei(lang + std::to_string(100000 + i), static_cast<int64_t>(zufall() >> 1),
                             static_cast<int64_t>(zufall()));
      e.h.inode = zufall();
      e.z.ctime = FileTime{INT64_MIN, 999999999};
      if (i % 5 == 0) {
        e.art = EntryKind::kDirectory;
        e.size = 0;
        e.block = UINT64_MAX;
      }
      block.push_back(std::move(e));
    }
    std::sort(block.begin(), block.end(),
              [](const StandEintrag& a, const StandEintrag& b) { return a.name < b.name; });
    orte.push_back(w.BlockSchreiben(block));
    bloecke.push_back(std::move(block));
  }
  ASSERT_TRUE(w.Abschliessen(orte.back()).ok());
  StandLeser r;
  std::string grund;
  ASSERT_TRUE(r.Oeffnen(pfad, kPaar, &grund).ok()) << grund;
  for (size_t b = 0; b < bloecke.size(); ++b) {
    std::vector<StandEintrag> gelesen;
    ASSERT_TRUE(r.Block(orte[b], &gelesen, &grund)) << grund;
    EXPECT_EQ(gelesen, bloecke[b]) << "Block " << b;
  }
}

TEST(StandTest, FailedOrUnfinishedWritingLeavesThePreviousRecord) {
  testing::TempTree t;
  const std::string pfad = t.Path("x.stand");
  {
    StandSchreiber w;
    ASSERT_TRUE(w.Beginnen(pfad, kPaar).ok());
    ASSERT_TRUE(w.Abschliessen(w.BlockSchreiben({Datei("alt", 1, 1)})).ok());
  }
  const std::string vorher = Lesen(pfad);
  {
    StandSchreiber w;  // a run that failed: never finished
    ASSERT_TRUE(w.Beginnen(pfad, kPaar).ok());
    w.BlockSchreiben({Datei("neu", 1, 1)});
  }
  EXPECT_EQ(Lesen(pfad), vorher);
  EXPECT_FALSE(t.Exists("x.stand.neu"));
  // A directory that cannot take the file: the failure is reported, nothing is claimed.
  StandSchreiber w;
  EXPECT_FALSE(w.Beginnen(t.Path("fehlt/x.stand"), kPaar).ok());
  EXPECT_FALSE(w.Abschliessen(w.BlockSchreiben({})).ok());
}

// Every way a record can be unusable is refused with a reason; none is ever half used.
TEST(StandTest, DamagedRecordsAreRefusedWithAReason) {
  testing::TempTree t;
  const std::string pfad = t.Path("x.stand");
  StandSchreiber w;
  ASSERT_TRUE(w.Beginnen(pfad, kPaar).ok());
  ASSERT_TRUE(w.Abschliessen(w.BlockSchreiben(ZweiEbenen(&w))).ok());
  const std::string gut = Lesen(pfad);

  auto grund_fuer = [&](const std::string& inhalt, const StandPaar& paar = kPaar) {
    Schreiben(pfad, inhalt);
    StandLeser r;
    std::string grund;
    Status s = r.Oeffnen(pfad, paar, &grund);
    EXPECT_FALSE(s.ok());
    EXPECT_FALSE(r.offen());
    return grund;
  };
  for (size_t n : {size_t{0}, size_t{5}, size_t{20}, gut.size() / 2, gut.size() - 1})
    EXPECT_EQ(grund_fuer(gut.substr(0, n)), "abgeschnitten") << n;
  std::string zukunft = gut;
  zukunft[14] = 2;  // the version right after the mark
  EXPECT_EQ(grund_fuer(zukunft), "Version 2 unbekannt (diese Version liest 1)");
  EXPECT_EQ(grund_fuer("Hallo Welt, das ist kein Stand, sondern Text.\n"),
            "beschädigt (kein Stand)");
  EXPECT_EQ(grund_fuer(gut, StandPaar{kPaar.herkunft, "anderer Stick"}),
            "gehört zu anderen Verzeichnissen");
  EXPECT_EQ(grund_fuer(gut, StandPaar{kPaar.ziel, kPaar.herkunft}),
            "gehört zu anderen Verzeichnissen");

  // Any single byte changed in the body is found, wherever it lies.
  std::mt19937 zufall(7);
  for (int i = 0; i < 200; ++i) {
    std::string kaputt = gut;
    const size_t wo = 14 + zufall() % (kaputt.size() - 14 - 8);
    kaputt[wo] = static_cast<char>(kaputt[wo] ^ (1 + zufall() % 255));
    const std::string g = grund_fuer(kaputt);
    EXPECT_TRUE(g.rfind("beschädigt", 0) == 0 || g.rfind("Version", 0) == 0 || g == "abgeschnitten")
        << wo << ": " << g;
  }

  Schreiben(pfad, gut);
  StandLeser r;
  std::string grund;
  EXPECT_TRUE(r.Oeffnen(pfad, kPaar, &grund).ok()) << grund;
  EXPECT_TRUE(r.Oeffnen(t.Path("nichts.stand"), kPaar, &grund).missing());
}

TEST(StandTest, AMillionFilesTakeLessThanAHundredMegabytes) {
  // Per entry the record holds a name sharing its start with the one before, the size and both
  // sides' times and inodes; one typical directory of 1000 photos stands for the whole tree.
  testing::TempTree t;
  const std::string pfad = t.Path("x.stand");
  StandSchreiber w;
  ASSERT_TRUE(w.Beginnen(pfad, kPaar).ok());
  std::vector<StandEintrag> dir;
  for (int i = 0; i < 1000; ++i) {
    StandEintrag e;
    e.name = "IMG_2024" + std::to_string(10000 + i) + ".jpg";
    e.size = 3'000'000 + i * 7919;
    e.h = {FileTime{1'700'000'000 + i * 31, 123456789}, FileTime{1'700'000'000 + i * 31, 223456789},
           5'000'000 + static_cast<uint64_t>(i)};
    e.z = {FileTime{1'700'000'000 + i * 31, 123456789}, FileTime{1'710'000'000 + i, 1},
           9'000'000 + static_cast<uint64_t>(i)};
    dir.push_back(e);
  }
  ASSERT_TRUE(w.Abschliessen(w.BlockSchreiben(dir)).ok());
  EXPECT_LT(Lesen(pfad).size() * 1000, 100u * 1000 * 1000);
}

TEST(StandTest, ChangesAreToldFromSizeDatesAndWhereKeptInodeAndStatusChange) {
  StandEintrag war = Datei("a", 10, 1000);
  FileInfo jetzt;
  jetzt.size = 10;
  jetzt.mtime = war.h.mtime;
  jetzt.ctime = war.h.ctime;
  jetzt.inode = war.h.inode;
  jetzt.atime = FileTime{999999, 0};  // reading changes nothing
  EXPECT_TRUE(Unveraendert(war, war.h, jetzt));
  FileInfo f = jetzt;
  f.size = 11;
  EXPECT_FALSE(Unveraendert(war, war.h, f));
  f = jetzt;
  f.ctime.nsec += 1;  // rewritten with its old date kept
  EXPECT_FALSE(Unveraendert(war, war.h, f));
  f = jetzt;
  f.inode += 1;  // replaced by another file of the same size and date
  EXPECT_FALSE(Unveraendert(war, war.h, f));
  f = jetzt;
  f.kind = EntryKind::kSymlink;
  EXPECT_FALSE(Unveraendert(war, war.h, f));
  // The FAT side keeps neither: only size and date count there.
  f = jetzt;
  f.inode = 77;
  f.ctime = FileTime{5, 0};
  f.mtime = war.z.mtime;
  EXPECT_TRUE(Unveraendert(war, war.z, f));
  f.mtime.sec += 2;
  EXPECT_FALSE(Unveraendert(war, war.z, f));
}

TEST(StandTest, FileNameTellsThePairAndIsSafe) {
  const std::string n = StandDateiName("/home/anna/Fotos", "/media/anna/STICK 1/../x\n", kPaar);
  EXPECT_EQ(n.rfind("Fotos--x_--", 0), 0u) << n;
  EXPECT_EQ(n.find('/'), std::string::npos);
  EXPECT_NE(n, StandDateiName("/home/anna/Fotos", "/media/anna/STICK 1/../x\n",
                              StandPaar{kPaar.herkunft, "andere"}));
  EXPECT_EQ(StandDateiName("", ".versteckt", kPaar).rfind("Wurzel--_versteckt--", 0), 0u);
}

}  // namespace
}  // namespace zarnoft
