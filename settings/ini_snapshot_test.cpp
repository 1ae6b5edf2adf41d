#include "settings/ini_snapshot.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "settings/ini_file.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::TempTree;

// The snapshot must answer exactly as the accessor does, or a collection would read differently
// in the editor than in any other reader of the file.
TEST(IniSnapshotTest, ReadsLikeTheAccessor) {
  TempTree tree;
  const std::string text =
      "\xEF\xBB\xBF[Allgemein]\r\nkey=1\r\n; [Vorgang 1]\r\n"
      "  [ vorgang 1 ]  \r\nHerkunft =  \" a b \" \r\nArt=0x10\r\nDoppelt=$ff\r\n"
      "[broken\r\nArt=5\r\n"
      "[Ölbild]\r\nSchlüssel=ja\r\n"
      "[Vorgang 1]\r\nArt=9\r\nZiel=/z\r\n"
      "[Leer]\r\n=x\r\nwert\r\n[VORGANG 2]\r\nZaehler=-12\r\nBool=abc\r\nLang=" +
      std::string(1500, 'y') + "\r\n";
  const std::string pfad = tree.Write("x.ini", text);
  IniFile file(pfad);
  IniSnapshot snap = IniSnapshot::Load(pfad);
  const std::vector<std::pair<std::string, std::string>> lookups = {{"Allgemein", "key"},
                                                                    {"allgemein", "KEY"},
                                                                    {"Vorgang 1", "Herkunft"},
                                                                    {"Vorgang 1", "Art"},
                                                                    {"Vorgang 1", "Ziel"},
                                                                    {"Vorgang 1", "Doppelt"},
                                                                    {"ölbild", "SCHLÜSSEL"},
                                                                    {"Leer", ""},
                                                                    {"Vorgang 2", "Zaehler"},
                                                                    {"Vorgang 2", "Bool"},
                                                                    {"Vorgang 2", "Lang"},
                                                                    {"broken", "Art"},
                                                                    {"fehlt", "x"},
                                                                    {"", "key"}};
  for (const auto& [sec, key] : lookups) {
    EXPECT_EQ(snap.ReadString(sec, key, "DEF"), file.ReadString(sec, key, "DEF"))
        << sec << "/" << key;
    EXPECT_EQ(snap.ReadInteger(sec, key, -99), file.ReadInteger(sec, key, -99))
        << sec << "/" << key;
    EXPECT_EQ(snap.ReadBool(sec, key, true), file.ReadBool(sec, key, true)) << sec << "/" << key;
    EXPECT_EQ(snap.HasSection(sec), file.HasSection(sec)) << sec;
  }
  EXPECT_EQ(snap.ReadString("Vorgang 1", "Herkunft", ""), " a b ");
  EXPECT_EQ(snap.ReadInteger("Vorgang 1", "Art", 0), 16);
  EXPECT_EQ(snap.SectionNames(), (std::vector<std::string>{"Allgemein", "vorgang 1", "Ölbild",
                                                           "Vorgang 1", "Leer", "VORGANG 2"}));
  EXPECT_TRUE(IniSnapshot::Load(tree.Path("fehlt.ini")).SectionNames().empty());
  // A link is read as the file it names, as the accessor reads it.
  ASSERT_TRUE(FileSystem::Default()->CreateSymlink("x.ini", tree.Path("link.ini")));
  const IniSnapshot link = IniSnapshot::Load(tree.Path("link.ini"));
  EXPECT_EQ(link.SectionNames(), snap.SectionNames());
  EXPECT_EQ(link.ReadString("Vorgang 1", "Herkunft", ""), " a b ");
}

}  // namespace
}  // namespace zarnoft
