#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner/sync_runner.h"

namespace zarnoft {
namespace {

// Reads a command line given as words after the program name.
bool Lesen(std::vector<std::string> worte, SyncOptionen* o, std::string* fehler) {
  worte.insert(worte.begin(), "zarnoft-sync");
  std::vector<char*> argv;
  for (std::string& w : worte) argv.push_back(w.data());
  argv.push_back(nullptr);
  return SyncOptionenLesen(static_cast<int>(worte.size()), argv.data(), o, fehler);
}

TEST(SyncOptionen, DoubleDashEndsTheOptionsSoACollectionMayLookLikeOne) {
  struct Fall {
    std::vector<std::string> worte;
    std::string sammlung;            // expected collection of a plain run
    std::vector<std::string> auto_;  // expected collections of an automatic run
    bool hilfe = false;
  };
  const Fall faelle[] = {
      {{"--", "--help"}, "--help", {}},
      {{"--job", "2", "--", "-x.syc"}, "-x.syc", {}},
      {{"--", "-"}, "-", {}},
      {{"--ausloeser", "ende", "--", "--job", "-a.syc"}, "", {"--job", "-a.syc"}},
      {{"a.syc", "--", "--version"}, "", {}},  // two collections: refused below
      {{"--help", "--", "a.syc"}, "", {}, true},
  };
  for (const Fall& f : faelle) {
    SyncOptionen o;
    std::string fehler;
    const bool gelesen = Lesen(f.worte, &o, &fehler);
    const std::string name = f.worte.back();
    if (f.worte.front() == "a.syc") {
      EXPECT_FALSE(gelesen) << name;
      EXPECT_EQ(fehler, "Nur eine Auftragssammlung angeben.");
      continue;
    }
    ASSERT_TRUE(gelesen) << name << ": " << fehler;
    EXPECT_EQ(o.hilfe, f.hilfe) << name;
    EXPECT_FALSE(o.version) << name;
    EXPECT_EQ(o.sammlung, f.sammlung) << name;
    EXPECT_EQ(o.sammlungen, f.auto_) << name;
  }
  SyncOptionen o;
  std::string fehler;
  EXPECT_FALSE(Lesen({"--"}, &o, &fehler));
  EXPECT_EQ(fehler, "Keine Auftragssammlung angegeben.");
}

}  // namespace
}  // namespace zarnoft
