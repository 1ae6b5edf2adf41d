#include "engine/exclusions.h"

#include <fnmatch.h>
#include <gtest/gtest.h>

#include <random>

namespace zarnoft {
namespace {

struct Fall {
  std::vector<std::string> muster;
  const char* rel;
  bool verzeichnis;
  bool ausgenommen;
};

TEST(AusnahmenTest, PatternRules) {
  const Fall faelle[] = {
      // A name at any depth.
      {{"*.tmp"}, "a.tmp", false, true},
      {{"*.tmp"}, "x/y/a.tmp", false, true},
      {{"*.tmp"}, "a.tmpx", false, false},
      {{"*.tmp"}, "a.tmp/b", false, false},  // only the entry's own name counts
      {{"node_modules"}, "web/node_modules", true, true},
      {{"node_modules"}, "node_modules", false, true},
      {{"Thumbs.db"}, "thumbs.db", false, false},  // case-sensitive
      // Anchored at the root.
      {{"Projekte/build"}, "Projekte/build", true, true},
      {{"Projekte/build"}, "x/Projekte/build", true, false},
      {{"/build"}, "build", true, true},
      {{"/build"}, "a/build", true, false},
      {{"Pro*/b?ild"}, "Projekte/build", false, true},
      {{"Pro*/b?ild"}, "Pro/x/build", false, false},  // "*" never crosses "/"
      // Directories only.
      {{"cache/"}, "a/cache", true, true},
      {{"cache/"}, "a/cache", false, false},
      {{".Trash-*/"}, ".Trash-1000", true, true},
      // "**".
      {{"**/log"}, "log", false, true},
      {{"**/log"}, "a/b/log", false, true},
      {{"a/**/z"}, "a/z", false, true},
      {{"a/**/z"}, "a/b/c/z", false, true},
      {{"a/**/z"}, "b/a/z", false, false},
      {{"a/**"}, "a", true, false},
      {{"a/**"}, "a/b/c", false, true},
      // Taking back: the last matching pattern decides.
      {{"*.log", "!wichtig.log"}, "x/wichtig.log", false, false},
      {{"*.log", "!wichtig.log"}, "x/anders.log", false, true},
      {{"!wichtig.log", "*.log"}, "wichtig.log", false, true},
      {{"*", "!*.txt"}, "a.txt", false, false},
      {{"\\!x"}, "!x", false, true},
      // Classes and escapes.
      {{"[abc].o"}, "b.o", false, true},
      {{"[abc].o"}, "d.o", false, false},
      {{"[!abc].o"}, "d.o", false, true},
      {{"[a-c]x"}, "bx", false, true},
      {{"[]]x"}, "]x", false, true},
      {{"\\*"}, "*", false, true},
      {{"\\*"}, "a", false, false},
      {{"a[\\\\]"}, "a\\", false, true},
      {{"a|b"}, "a|b", false, true},
      {{".~lock.*#"}, ".~lock.brief.odt#", false, true},
      {{"*~"}, "brief.txt~", false, true},
  };
  for (const Fall& f : faelle) {
    AusnahmeRegeln a(f.muster);
    EXPECT_EQ(a.Ausgenommen(f.rel, f.verzeichnis), f.ausgenommen)
        << "Muster " << AusnahmenSchreiben(f.muster) << ", Pfad " << f.rel
        << (f.verzeichnis ? " (Verzeichnis)" : "");
  }
}

TEST(AusnahmenTest, UnusablePatternsAreNamedAndLeftOut) {
  for (const char* schlecht : {"", "!", "/", "[ab", "ab\\", "!/", "a\\\\"}) {
    EXPECT_TRUE(MusterFehler(schlecht).has_value()) << schlecht;
  }
  std::vector<AusnahmeRegeln::Verworfen> verworfen;
  AusnahmeRegeln a({"[ab", "*.tmp", ""}, &verworfen);
  ASSERT_EQ(verworfen.size(), 2u);
  EXPECT_EQ(verworfen[0].muster, "[ab");
  EXPECT_EQ(verworfen[0].grund, "Zu „[“ fehlt die schließende „]“.");
  EXPECT_EQ(a.Anzahl(), 1u);
  EXPECT_TRUE(a.Ausgenommen("x.tmp", false));
  EXPECT_FALSE(AusnahmeRegeln().Ausgenommen("x.tmp", false));
  for (const std::string& m : UeblicheAusnahmen()) EXPECT_FALSE(MusterFehler(m)) << m;
}

TEST(AusnahmenTest, StoredValueRoundTripsByteForByte) {
  EXPECT_TRUE(AusnahmenLesen("").empty());
  EXPECT_EQ(AusnahmenLesen("*.tmp|a\\|b|c\\d"), (std::vector<std::string>{"*.tmp", "a|b", "c\\d"}));
  const std::string wert = "*.tmp|a\\|b|c\\d|[\\\\]|x|Ordner mit Leerzeichen /";
  EXPECT_EQ(AusnahmenSchreiben(AusnahmenLesen(wert)), wert);
  // Every list of usable patterns survives being stored.
  std::mt19937 zufall(17);
  const std::string zeichen = "ab|\\*/!";
  for (int runde = 0; runde < 2000; ++runde) {
    std::vector<std::string> liste(1 + zufall() % 4);
    for (std::string& m : liste) {
      do {
        m.clear();
        for (size_t n = 1 + zufall() % 6; n > 0; --n)
          m.push_back(zeichen[zufall() % zeichen.size()]);
      } while (MusterFehler(m));
    }
    ASSERT_EQ(AusnahmenLesen(AusnahmenSchreiben(liste)), liste) << AusnahmenSchreiben(liste);
  }
}

// A name is looked up or tried only when it can match; whatever shortcut a pattern's form allows
// (a table, its fixed beginning and end), the answer is the one of a plain glob match of the name.
TEST(AusnahmenTest, ShortcutsAnswerAsAGlobMatchOfTheName) {
  const std::vector<std::string> stuecke = {"a", "b", ".", "*", "?", "[ab]", "[!a]", "\\*", "\\a"};
  const std::string namenszeichen = "ab.*";
  std::mt19937 zufall(23);
  for (int runde = 0; runde < 3000; ++runde) {
    std::string muster;
    for (size_t n = 1 + zufall() % 5; n > 0; --n) muster += stuecke[zufall() % stuecke.size()];
    const AusnahmeRegeln regeln({muster});
    for (int k = 0; k < 20; ++k) {
      std::string name;
      for (size_t n = 1 + zufall() % 6; n > 0; --n)
        name.push_back(namenszeichen[zufall() % namenszeichen.size()]);
      const bool glob = ::fnmatch(muster.c_str(), name.c_str(), 0) == 0;
      ASSERT_EQ(regeln.Ausgenommen("x/" + name, false), glob)
          << "Muster " << muster << ", Name " << name;
    }
  }
  // Anchored patterns check their last component the same way.
  EXPECT_TRUE(AusnahmeRegeln({"a/**/*.l[aeo]g"}).Ausgenommen("a/b/c/x.log", false));
  EXPECT_FALSE(AusnahmeRegeln({"a/**/*.l[aeo]g"}).Ausgenommen("a/b/c/x.lug", false));
  EXPECT_TRUE(AusnahmeRegeln({"**/x\\*"}).Ausgenommen("b/x*", false));
  EXPECT_FALSE(AusnahmeRegeln({"**/x\\*"}).Ausgenommen("b/xy", false));
  EXPECT_TRUE(AusnahmeRegeln({"a/**"}).Ausgenommen("a/irgendwas", false));
}

TEST(AusnahmenTest, ThousandsOfPatternsAreLookedUpNotTried) {
  std::vector<std::string> muster;
  for (int n = 0; n < 5000; ++n) {
    muster.push_back("name" + std::to_string(n));
    muster.push_back("*.e" + std::to_string(n));
    muster.push_back("Pfad/" + std::to_string(n));
  }
  muster.push_back("!name77");
  AusnahmeRegeln a(muster);
  EXPECT_TRUE(a.Ausgenommen("x/name4999", false));
  EXPECT_FALSE(a.Ausgenommen("x/name77", false));
  EXPECT_TRUE(a.Ausgenommen("bild.e123", false));
  EXPECT_TRUE(a.Ausgenommen("Pfad/17", true));
  EXPECT_FALSE(a.Ausgenommen("x/Pfad/17", true));
  EXPECT_FALSE(a.Ausgenommen("bild.jpg", false));
}

}  // namespace
}  // namespace zarnoft
