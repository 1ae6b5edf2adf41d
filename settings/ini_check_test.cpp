#include "settings/ini_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "settings/main_settings.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

// What a crash, a full disk or a bad copy leaves of Main.sda, and what a user may have written.
TEST(EinstellungsDateiFehlerTest, DamagedFilesAreToldFromSoundOnes) {
  struct Fall {
    const char* name;
    std::string text;  // "<fehlt>": no file
    std::string fehler;
  };
  const Fall faelle[] = {
      {"fehlt", "<fehlt>", ""},
      {"leer", "", "ist leer"},
      {"nullbytes", std::string("[Data]\nLoeschen=3\n\0\0\0\0", 22), "enthält Nullbytes"},
      {"nur nullbytes", std::string(4096, '\0'), "enthält Nullbytes"},
      {"müll", "asdfjklö qwertz\nnoch mehr\n", "enthält keine Abschnittszeile"},
      {"nur schlüssel", "Loeschen=3\n", "enthält keine Abschnittszeile"},
      {"abgeschnitten", "[Data]\nLoeschen=3\nLoeschenWohin=/home/anna/Lo",
       "endet mitten in einer Zeile"},
      {"abgeschnitten im wert", "[Data]\nLoeschen=", "endet mitten in einer Zeile"},
      {"löschen keine zahl", "[Data]\nLoeschen=drei\n", "Loeschen=drei ist keine Zahl"},
      {"löschen leer", "[Data]\nLoeschen=\n", "Loeschen= ist keine Zahl"},
      {"gut", "[Allgemein]\nVersion=1\n\n[Data]\nLoeschen=3\n", ""},
      {"gut crlf", "[Data]\r\nLoeschen=2\r\n", ""},
      {"gut mit bom", "\xEF\xBB\xBF[Form]\nHoehe=400\n", ""},
      {"gut ohne Data", "[Form]\nHoehe=400\n", ""},
      {"löschen hex", "[Data]\nLoeschen=0x3\n", ""},
  };
  for (const Fall& f : faelle) {
    testing::TempTree t;
    const std::string p = t.Path("Main.sda");
    if (f.text != "<fehlt>") t.Write("Main.sda", f.text);
    EXPECT_EQ(EinstellungsDateiFehler(p), f.fehler) << f.name;
  }
}

TEST(EinstellungsDateiFehlerTest, UnreadableAndLinkedFiles) {
  testing::TempTree t;
  // A link to a sound file is read through; a dangling one is no file (the defaults hold).
  t.Write("echt.sda", "[Data]\nLoeschen=2\n");
  ASSERT_EQ(::symlink("echt.sda", t.Path("Main.sda").c_str()), 0);
  EXPECT_EQ(EinstellungsDateiFehler(t.Path("Main.sda")), "");
  ASSERT_EQ(::symlink("weg.sda", t.Path("tot.sda").c_str()), 0);
  EXPECT_EQ(EinstellungsDateiFehler(t.Path("tot.sda")), "");
  // A directory in its place is no file: the defaults hold, as without one.
  t.Mkdir("verz.sda");
  EXPECT_EQ(EinstellungsDateiFehler(t.Path("verz.sda")), "");
  // A file the program may not read tells nothing about the user's choice.
  if (!testing::IstRoot()) {
    t.Write("zu.sda", "[Data]\nLoeschen=2\n");
    ::chmod(t.Path("zu.sda").c_str(), 0);
    EXPECT_NE(EinstellungsDateiFehler(t.Path("zu.sda")).find("kann nicht gelesen werden"),
              std::string::npos);
  }
}

}  // namespace
}  // namespace zarnoft
