#include "editor/exclusions_dialog.h"

#include <gtest/gtest.h>

#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

class FakeAnsicht : public AusnahmenAnsicht {
 public:
  void ListeZeigen(const std::vector<std::string>& m, int a) override {
    liste = m;
    auswahl = a;
  }
  void Melden(const std::string& text) override { meldungen.push_back(text); }
  void ZaehlungZeigen(const std::string& text) override { zaehlung = text; }
  void ZaehlungStarten(const std::vector<std::string>& m) override { gezaehlt.push_back(m); }

  std::vector<std::string> liste;
  int auswahl = -2;
  std::vector<std::string> meldungen;
  std::string zaehlung;
  std::vector<std::vector<std::string>> gezaehlt;
};

TEST(AusnahmenDialogTest, EditingTheListRefusesWhatCannotBeUsed) {
  FakeAnsicht v;
  AusnahmenDialog d(&v, {"*.tmp"});
  d.Zeigen();
  EXPECT_EQ(v.liste, std::vector<std::string>{"*.tmp"});
  EXPECT_EQ(v.auswahl, 0);
  EXPECT_EQ(v.zaehlung, "Derzeit ausgenommen: 0 Einträge der Herkunft (wird gezählt ...)");
  EXPECT_FALSE(d.Geaendert());

  EXPECT_FALSE(d.Hinzufuegen("[ab"));
  EXPECT_FALSE(d.Hinzufuegen(""));
  EXPECT_FALSE(d.Hinzufuegen("*.tmp"));
  ASSERT_EQ(v.meldungen.size(), 3u);
  EXPECT_EQ(v.meldungen[0],
            "Das Muster „[ab“ kann nicht verwendet werden: Zu „[“ fehlt die schließende „]“.");
  EXPECT_EQ(v.meldungen[2], "Das Muster „*.tmp“ steht schon in der Liste.");
  EXPECT_FALSE(d.Geaendert());

  EXPECT_TRUE(d.Hinzufuegen("Projekte/build\r\n"));
  EXPECT_EQ(d.Muster(), (std::vector<std::string>{"*.tmp", "Projekte/build"}));
  EXPECT_EQ(v.auswahl, 1);
  EXPECT_TRUE(d.Geaendert());
  EXPECT_EQ(v.gezaehlt.back(), d.Muster());  // each change counts again

  d.Entfernen(1);
  EXPECT_FALSE(d.Geaendert());
  EXPECT_EQ(v.auswahl, 0);
  d.Entfernen(5);
  d.Entfernen(0);
  EXPECT_TRUE(d.Muster().empty());
  EXPECT_EQ(v.auswahl, -1);

  d.Hinzufuegen("*.swp");
  d.UeblicheHinzufuegen();
  EXPECT_EQ(d.Muster().size(), UeblicheAusnahmen().size());  // "*.swp" was there already
  d.ZaehlungErhalten(1234, true);
  EXPECT_EQ(v.zaehlung, "Derzeit ausgenommen: 1.234 Einträge der Herkunft");
}

TEST(AusnahmenDialogTest, CountLeavesExcludedDirectoriesUnreadAndTheProgramsOwnOut) {
  testing::TempTree t;
  t.Write("a.tmp", "x");
  t.Write("b.txt", "x");
  t.Write("node_modules/p/1.js", "x");
  t.Write("node_modules/p/2.js", "x");
  t.Write("sub/c.tmp", "x");
  t.Write("sub/deep/d.tmp", "x");
  t.Write(".zarnoft/e.tmp", "x");
  AusnahmeRegeln a({"*.tmp", "node_modules/", "!sub/deep/d.tmp"});
  FileSystem* fs = FileSystem::Default();
  EXPECT_EQ(AusgenommeneZaehlen(fs, t.root(), a, true, nullptr),
            3);  // a.tmp, node_modules, sub/c.tmp
  EXPECT_EQ(AusgenommeneZaehlen(fs, t.root(), a, false, nullptr), 2);
  EXPECT_EQ(AusgenommeneZaehlen(fs, t.root(), AusnahmeRegeln(), true, nullptr), 0);
  std::atomic<bool> stop{true};
  EXPECT_EQ(AusgenommeneZaehlen(fs, t.root(), a, true, &stop), 0);
}

}  // namespace
}  // namespace zarnoft
