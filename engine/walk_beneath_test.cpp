// A directory of the trees swapped for a link (or another directory) while a run works in it:
// every kind of step stops at it, and nothing outside the roots changes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "engine/walk.h"
#include "testing/record_kit.h"
#include "testing/run_test_kit.h"
#include "testing/swapping_fs.h"

namespace zarnoft {
namespace {

using testing::Abbild;
using testing::HookLauf;
using testing::TauschendesFs;
using testing::VerzeichnisTauschen;

FileTime Jetzt() {
  return Clock::System()->Now();
}

// A last run an hour ago (what exists on one side only is new) or an hour ahead (it was deleted
// on the other side).
LetzterLauf Letzter(bool voraus) {
  const int64_t t = Jetzt().sec + (voraus ? 3600 : -7200);
  return LetzterLauf::AusUtc(FileTime{t, 0}, FileTime{t + 1800, 0});
}

struct Fall {
  const char* name;
  const char* aufruf;  // the call right before which z/sub is swapped
  bool geloescht;      // target-only entries count as deleted in the source
  LoeschModus modus;
  std::function<void(testing::TempTree&)> anlegen;
};

void BeideSub(testing::TempTree& t) {
  t.Mkdir("h/sub");
  t.Write("z/sub/a", "ziel a");
  t.Write("z/sub/b", "ziel b");
}

void NeueQuellen(testing::TempTree& t) {
  t.Write("h/sub/a", "quelle a");
  t.Write("h/sub/b", "quelle b");
  t.Mkdir("z/sub");
}

void NeuesVerzeichnis(testing::TempTree& t) {
  t.Write("h/sub/neu/x", "x");
  ::chmod(t.Path("h/sub/neu").c_str(), 0700);
  if (ProcessUid() == 0) ::chown(t.Path("h/sub/neu").c_str(), 65534, 65534);
  t.Mkdir("z/sub");
}

class LinkTausch : public ::testing::TestWithParam<Fall> {};

TEST_P(LinkTausch, StopsTheStepAndLeavesEverythingOutsideTheRootsAsItWas) {
  const Fall& f = GetParam();
  testing::TempTree draussen;
  draussen.Write("a", "fremd a");
  draussen.Write("b", "fremd b");
  draussen.Write("neu/x", "fremd x");
  ::chmod(draussen.Path("neu").c_str(), 0755);
  const std::string vorher = Abbild(draussen.root());

  TauschendesFs tausch(FileSystem::Default(), "", draussen.root(), f.aufruf);
  HookLauf lauf(&tausch);
  tausch.VerzeichnisSetzen(lauf.baum.Path("z/sub"));
  lauf.k.Unterverzeichnisse = true;
  lauf.k.Loeschen = f.modus;
  lauf.k.Letzter = Letzter(f.geloescht);
  f.anlegen(lauf.baum);
  // What is to be deleted was in step at the last run.
  StandLeser stand;
  if (f.geloescht) {
    testing::StandMit(&stand, lauf.baum.Path("stand"), lauf.k.Herkunft, lauf.k.Ziel,
                      {"sub/a", "sub/b"});
    lauf.k.stand_alt = &stand;
  }
  {
    Verzeichnisvergleich walk(lauf.k);
    walk.VerzeichnisVergleichen("");
    walk.Entfernen();
  }
  EXPECT_TRUE(tausch.getauscht()) << f.name;
  EXPECT_EQ(Abbild(draussen.root()), vorher) << f.name;
  EXPECT_GT(lauf.k.Fehler + lauf.kopierer.Fehlschlaege(), 0) << f.name;
  bool genannt = false;
  for (const std::string& z : lauf.log.Texts())
    genannt = genannt || z.find(kVerzeichnisErsetzt) != std::string::npos;
  EXPECT_TRUE(genannt) << f.name;
}

INSTANTIATE_TEST_SUITE_P(
    JedeArtVonSchritt, LinkTausch,
    ::testing::Values(Fall{"Loeschen", "DeleteFile", true, LoeschModus::kNormal, BeideSub},
                      Fall{"Auslagern", "OpenForReading", true, LoeschModus::kAuslagern, BeideSub},
                      Fall{"VerzeichnisLoeschen", "DeleteFile", true, LoeschModus::kNormal,
                           [](testing::TempTree& t) {
                             t.Write("z/sub/a", "ziel a");
                             t.Write("z/sub/b", "ziel b");
                           }},
                      Fall{"Kopieren", "CreateExclusive", false, LoeschModus::kNormal, NeueQuellen},
                      Fall{"DatumSetzen", "SetTimes", false, LoeschModus::kNormal,
                           NeueQuellen},
                      Fall{"Einsetzen", "RenameReplace", false, LoeschModus::kNormal, NeueQuellen},
                      Fall{"VerzeichnisAnlegen", "CreateDirectory", false, LoeschModus::kNormal,
                           NeuesVerzeichnis},
                      Fall{"Rechte", "SetMode", false, LoeschModus::kNormal, NeuesVerzeichnis},
                      Fall{"Besitzer", ProcessUid() == 0 ? "SetOwner" : "SetMode", false,
                           LoeschModus::kNormal, NeuesVerzeichnis}),
    [](const ::testing::TestParamInfo<Fall>& i) { return std::string(i.param.name); });

// The same on real trees, with another thread doing the swap while the run deletes or copies
// thousands of files in the directory: whatever the timing, the files outside stay as they were.
class WettlaufTausch : public ::testing::TestWithParam<bool> {};

TEST_P(WettlaufTausch, NothingOutsideTheRootsChanges) {
  const bool loeschen = GetParam();
  constexpr int kDateien = 1000;
  testing::TempTree draussen;
  HookLauf lauf;
  auto name = [](int i) {
    char n[16];
    std::snprintf(n, sizeof n, "f%05d", i);
    return std::string(n);
  };
  lauf.baum.Mkdir("h/sub");
  lauf.baum.Mkdir("z/sub");
  for (int i = 0; i < kDateien; ++i) {
    lauf.baum.Write((loeschen ? "z/sub/" : "h/sub/") + name(i), "lauf");
    draussen.Write(name(i), "fremd");
  }
  const std::string vorher = Abbild(draussen.root());
  lauf.k.Unterverzeichnisse = true;
  lauf.k.Letzter = Letzter(loeschen);
  StandLeser stand;
  if (loeschen) {
    std::vector<std::string> namen;
    for (int i = 0; i < kDateien; ++i) namen.push_back("sub/" + name(i));
    testing::StandMit(&stand, lauf.baum.Path("stand"), lauf.k.Herkunft, lauf.k.Ziel, namen);
    lauf.k.stand_alt = &stand;
  }
  const std::string sub = lauf.baum.Path("z/sub");
  const std::string erste = sub + "/" + name(0);

  std::atomic<bool> fertig{false};
  std::thread taeter([&] {
    // Waits for the run's first step in the directory, then swaps it.
    auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fertig && std::chrono::steady_clock::now() < ende) {
      struct stat st;
      const bool da = ::lstat(erste.c_str(), &st) == 0;
      if (da != loeschen) {
        VerzeichnisTauschen(sub, draussen.root());
        return;
      }
    }
  });
  {
    Verzeichnisvergleich walk(lauf.k);
    walk.VerzeichnisVergleichen("");
    walk.Entfernen();
  }
  fertig = true;
  taeter.join();
  EXPECT_EQ(Abbild(draussen.root()), vorher);
}

INSTANTIATE_TEST_SUITE_P(LoeschenUndKopieren, WettlaufTausch, ::testing::Bool());

// The store named through a link or "/./" is still the store, by device and inode: the walk
// leaves it out, instead of moving it into itself one level deeper on every run.
TEST(LagerImBaum, IsRecognisedWhateverPathNamesIt) {
  for (const bool ueber_link : {false, true}) {
    HookLauf lauf;
    lauf.baum.Write("z/lager/alt", "beiseite");
    lauf.baum.Mkdir("h");
    if (ueber_link) {
      ASSERT_EQ(::symlink(lauf.baum.Path("z/lager").c_str(), lauf.baum.Path("lagerlink").c_str()),
                0);
      lauf.k.LoeschenWohin = lauf.baum.Path("lagerlink") + "/";
    } else {
      lauf.k.LoeschenWohin = lauf.baum.Path("z/./lager") + "/";
    }
    lauf.k.Unterverzeichnisse = true;
    lauf.k.Letzter = Letzter(false);
    {
      Verzeichnisvergleich walk(lauf.k);
      walk.VerzeichnisVergleichen("");
      walk.Entfernen();
    }
    EXPECT_FALSE(lauf.baum.Exists("h/lager")) << ueber_link;
    EXPECT_EQ(lauf.Zeilen("Vergl: Übersprungen, Auslagerungsverzeichnis: ").size(), 1u)
        << ueber_link;
  }
}

// A file on one side and a link on the other is a change of kind, reported and left alone in
// every deletion mode: the link replacing the file it points to would leave no content anywhere.
TEST(DateiUndLink, AreLeftAsTheyAreInEveryDeletionMode) {
  for (const LoeschModus modus :
       {LoeschModus::kNormal, LoeschModus::kNie, LoeschModus::kAuslagern}) {
    for (const bool link_im_ziel : {true, false}) {
      HookLauf lauf;
      const std::string datei = link_im_ziel ? "h/x" : "z/x";
      const std::string link = link_im_ziel ? "z/x" : "h/x";
      lauf.baum.Write(datei, "inhalt");
      ASSERT_EQ(::symlink(lauf.baum.Path(datei).c_str(), lauf.baum.Path(link).c_str()), 0);
      // The link is the newer entry, as when a user just made it.
      const FileTime spaeter{Jetzt().sec + 60, 0};
      testing::SetTimes(lauf.baum.Path(link), spaeter, spaeter);
      lauf.k.Loeschen = modus;
      lauf.k.Letzter = Letzter(false);
      {
        Verzeichnisvergleich walk(lauf.k);
        walk.VerzeichnisVergleichen("");
        walk.Entfernen();
      }
      SCOPED_TRACE(static_cast<int>(modus));
      EXPECT_EQ(lauf.baum.Read(datei), "inhalt");
      EXPECT_EQ(lauf.Info(datei).kind, EntryKind::kFile);
      EXPECT_EQ(lauf.Info(link).kind, EntryKind::kSymlink);
      EXPECT_EQ(lauf.Zeilen("Vergl: Übersprungen, Datei und Link gleichen Namens: ").size(), 1u);
      EXPECT_GT(lauf.k.Fehler, 0);
    }
  }
}

}  // namespace
}  // namespace zarnoft
