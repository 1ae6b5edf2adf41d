#include "settings/settings_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/ini_file.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using namespace main_sda;

TEST(SettingsTableTest, EverySettingHasOneKeyOneControlAndADefaultItsRuleKeeps) {
  std::set<std::string> schluessel;
  std::set<std::string> steuerelemente;
  for (const Einstellung* e : kEinstellungen) {
    EXPECT_TRUE(schluessel.insert(std::string(e->sektion) + "/" + e->schluessel).second)
        << e->schluessel;
    EXPECT_EQ(e->feldart == Feldart::kKeins, e->steuerelement == nullptr) << e->schluessel;
    if (e->steuerelement != nullptr) {
      EXPECT_TRUE(steuerelemente.insert(e->steuerelement).second) << e->steuerelement;
    }
    if (e->regel == Zahlregel::kBereich || e->feldart == Feldart::kZahlfeld) {
      EXPECT_TRUE(e->bereich.Enthaelt(e->vorgabe)) << e->schluessel;
    }
    if (e->art == Wertart::kSchalter) {
      EXPECT_TRUE(e->vorgabe == 0 || e->vorgabe == 1) << e->schluessel;
    }
  }
}

// How each rule takes a stored text; the table of the readers' conversions.
TEST(SettingsTableTest, EachRuleTakesAStoredNumberItsWay) {
  testing::TempTree t;
  const std::string pfad = t.Path("Main.sda");
  const struct {
    const Einstellung& e;
    const char* text;
    int wert;
  } faelle[] = {
      {kHoehe, "0x190", 400},       {kHoehe, "-5", -5},
      {kHoehe, "99999999999", 400}, {kHoehe, "abc", 400},
      {kLoeschGrenze, "100", 100},  {kLoeschGrenze, "101", 50},
      {kLoeschGrenze, "-1", 50},    {kLoeschGrenze, "4294967297", 50},
      {kLoeschen, "3", 3},          {kLoeschen, "259", 3},
      {kLoeschen, "255", -1},       {kLoeschen, "4294967298", 2},
      {kLoeschen, "", 1},           {kRueckgaengigTage, "3651", 30},
  };
  for (const auto& f : faelle) {
    t.Write("Main.sda",
            std::string("[") + f.e.sektion + "]\n" + f.e.schluessel + "=" + f.text + "\n");
    EXPECT_EQ(ZahlLesen(IniFile(pfad), f.e), f.wert) << f.e.schluessel << "=" << f.text;
  }
  t.Write("Main.sda", "[Allgemein]\nHint=2\nLWarn=0\n");
  EXPECT_TRUE(SchalterLesen(IniFile(pfad), kHint));
  EXPECT_FALSE(SchalterLesen(IniFile(pfad), kLWarn));
  EXPECT_EQ(TextLesen(IniFile(pfad), kLDat, "/vorgabe"), "/vorgabe");
}

TEST(SettingsTableTest, ValuesStartAtTheirDefaultsAndTextsAtTheirPlaces) {
  const EinstellungsWerte w;
  EXPECT_EQ(w.Zahl(kLoeschGrenze), kLoeschGrenzeStandard);
  EXPECT_TRUE(w.Schalter(kSofortSync));
  EXPECT_EQ(w.Text(kSyncDir), "");
  constexpr Einstellung kFremd{kData, "Fremd", Wertart::kZahl};
  EXPECT_THROW(w.Zahl(kFremd), std::out_of_range);

  DateiOrte o;
  o.log_verzeichnis = "/l/";
  o.sammlungs_verzeichnis = "/s/";
  o.daten_verzeichnis = "/d/";
  EXPECT_EQ(TextVorgabe(kLDat, o), "/l/zarnoft.log");
  EXPECT_EQ(TextVorgabe(kSyncDir, o), "/s/");
  EXPECT_EQ(TextVorgabe(kLoeschenWohin, o), "/d/Loesch");
}

}  // namespace
}  // namespace zarnoft
