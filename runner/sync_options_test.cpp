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

TEST(SyncOptionen, AnlegenTakesACollectionTwoDirectoriesAndTheJobsValues) {
  SyncOptionen o;
  std::string fehler;
  ASSERT_TRUE(
      Lesen({"--anlegen", "a.syc", "/q", "/z", "--art=2", "--doppelt", "1", "--unterverzeichnisse",
             "1", "--ausnahme", "*.tmp", "--ausnahme=node_modules/", "--ausnahme", "-x"},
            &o, &fehler))
      << fehler;
  EXPECT_TRUE(o.anlegen);
  EXPECT_EQ(o.anlegen_werte.sammlung, "a.syc");
  EXPECT_EQ(o.anlegen_werte.herkunft, "/q");
  EXPECT_EQ(o.anlegen_werte.ziel, "/z");
  EXPECT_EQ(o.anlegen_werte.art, 2);
  EXPECT_EQ(o.anlegen_werte.doppelt, 1);
  EXPECT_EQ(o.anlegen_werte.unterverzeichnisse, 1);
  // In the order given; a pattern may begin with "-".
  EXPECT_EQ(o.anlegen_werte.ausnahmen, (std::vector<std::string>{"*.tmp", "node_modules/", "-x"}));

  SyncOptionen d;
  ASSERT_TRUE(Lesen({"--anlegen", "--", "-a.syc", "-q", "-z"}, &d, &fehler)) << fehler;
  EXPECT_EQ(d.anlegen_werte.sammlung, "-a.syc");
  EXPECT_EQ(d.anlegen_werte.art, 1);
  EXPECT_EQ(d.anlegen_werte.doppelt, -1);  // the kind's preselection
  EXPECT_EQ(d.anlegen_werte.unterverzeichnisse, 0);
  EXPECT_TRUE(d.anlegen_werte.ausnahmen.empty());

  const std::vector<std::string> falsch[] = {
      {"--anlegen", "a.syc", "/q"},
      {"--anlegen", "a.syc", "/q", "/z", "/y"},
      {"--anlegen", "a.syc", "/q", "/z", "--job", "1"},
      {"--anlegen", "a.syc", "/q", "/z", "--ausloeser", "ende"},
      {"--anlegen", "a.syc", "/q", "/z", "--art", "zwei"},
      {"--art", "2", "a.syc"},
      {"--ausnahme", "*.tmp", "a.syc"},
      {"--anlegen", "a.syc", "/q", "/z", "--ausnahme"},
  };
  for (const auto& worte : falsch) {
    SyncOptionen f;
    EXPECT_FALSE(Lesen(worte, &f, &fehler)) << worte.back();
  }
}

}  // namespace
}  // namespace zarnoft
