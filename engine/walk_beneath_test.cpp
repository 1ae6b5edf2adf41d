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
  {
    Verzeichnisvergleich walk(lauf.k);
    walk.VerzeichnisVergleichen("");
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
                      Fall{"DatumSetzen", "SetModificationTime", false, LoeschModus::kNormal,
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
  }
  fertig = true;
  taeter.join();
  EXPECT_EQ(Abbild(draussen.root()), vorher);
}

INSTANTIATE_TEST_SUITE_P(LoeschenUndKopieren, WettlaufTausch, ::testing::Bool());

}  // namespace
}  // namespace zarnoft
