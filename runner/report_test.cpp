// End-to-end tests of what zarnoft-sync reports: the probe run's list, the summary line, a line
// per failure on stderr, and the deletion guard without a terminal.
#include <filesystem>
#include <string>

#include "testing/sync_test_kit.h"

namespace zarnoft {
namespace {

using testing::Ergebnis;
using testing::SyncTest;

TEST_F(SyncTest, ProbeListsTheActionsChangesNothingAndTheRealRunDoesThem) {
  t_.Write("A/d/a.txt", "12345");
  t_.Write("B/b.txt", "abc");
  Sammlung({Job("A", "B", 1)});
  Ergebnis e = Starten({"-n", sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_EQ(e.ausgabe.find("anlegen > Ziel  d/  -\nkopieren > Ziel  d/a.txt  5\n"), 0u)
      << e.ausgabe;
  EXPECT_NE(e.ausgabe.find("kopieren > Herkunft  b.txt  3\n"), std::string::npos);
  EXPECT_NE(e.ausgabe.find("Auftrag 1 (Probelauf): 1 Datei (5 Bytes) > Ziel, 1 Datei (3 Bytes) > "
                           "Herkunft, 0 gelöscht, 0 ausgelagert, 0 doppelt geändert, 0 Fehler, "),
            std::string::npos)
      << e.ausgabe;
  EXPECT_FALSE(t_.Exists("B/d"));
  EXPECT_FALSE(t_.Exists("A/b.txt"));
  EXPECT_FALSE(t_.Exists("s.syc.lock"));
  EXPECT_EQ(AufrufT(1), 0);
  // Without a record of a last run the probe, like the real run, deletes nothing and says so;
  // it makes no identity of either root.
  EXPECT_NE(e.fehler.find("Kein Stand für " + t_.Path("A") + " ↔ " + t_.Path("B") +
                          ": es wird nichts gelöscht"),
            std::string::npos)
      << e.fehler;
  EXPECT_FALSE(t_.Exists("A/.zarnoft"));
  EXPECT_FALSE(t_.Exists("B/.zarnoft"));

  e = Starten({"-v", sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_NE(e.ausgabe.find("kopieren > Ziel  d/a.txt  5\n"), std::string::npos) << e.ausgabe;
  EXPECT_EQ(t_.Read("B/d/a.txt"), "12345");
  EXPECT_GT(AufrufT(1), 40000);
}

// What the job excludes is neither listed by the probe nor touched by the run, on either side,
// also when the other side deletes what stood beside it.
TEST_F(SyncTest, ProbeAndRunLeaveOutWhatTheJobExcludes) {
  t_.Write("A/brief.txt", "brief");
  t_.Write("A/cache/x.bin", "cache");
  t_.Write("A/b.tmp", "tmp");
  t_.Write("B/alt.tmp", "alt");
  Sammlung({Job("A", "B", 1) + "Ausnahmen=*.tmp|cache/\n"});
  Ergebnis probe = Starten({"-n", sammlung_});
  EXPECT_EQ(probe.status, 0) << probe.fehler;
  EXPECT_EQ(probe.ausgabe.find("kopieren > Ziel  brief.txt  5\nAuftrag 1 (Probelauf): 1 Datei"), 0u)
      << probe.ausgabe;
  Ergebnis lauf = Starten({"-v", sammlung_});
  EXPECT_EQ(lauf.status, 0) << lauf.fehler;
  EXPECT_EQ(lauf.ausgabe.find("kopieren > Ziel  brief.txt  5\nAuftrag 1: 1 Datei"), 0u)
      << lauf.ausgabe;
  EXPECT_EQ(t_.Read("B/brief.txt"), "brief");
  EXPECT_FALSE(t_.Exists("B/cache"));
  EXPECT_FALSE(t_.Exists("B/b.tmp"));
  EXPECT_FALSE(t_.Exists("A/alt.tmp"));

  // The next run deletes what the target deleted, and nothing excluded.
  ASSERT_TRUE(std::filesystem::remove(t_.Path("B/brief.txt")));
  probe = Starten({"-n", sammlung_});
  EXPECT_EQ(probe.ausgabe.find("löschen > Herkunft  brief.txt  5\nAuftrag 1 (Probelauf): "), 0u)
      << probe.ausgabe;
  lauf = Starten({sammlung_});
  EXPECT_EQ(lauf.status, 0) << lauf.fehler;
  EXPECT_FALSE(t_.Exists("A/brief.txt"));
  EXPECT_EQ(t_.Read("A/cache/x.bin"), "cache");
  EXPECT_EQ(t_.Read("A/b.tmp"), "tmp");
  EXPECT_EQ(t_.Read("B/alt.tmp"), "alt");
}

TEST_F(SyncTest, EachFailureIsALineOnStderrEvenWithQuiet) {
  t_.Write("A/x", "datei");
  t_.Mkdir("B/x");
  t_.Write("A/gut.txt", "gut");
  Sammlung({Job("A", "B", 1)});
  Ergebnis e = Starten({"-q", sammlung_});
  EXPECT_EQ(e.status, 1);
  EXPECT_NE(e.fehler.find("zarnoft-sync: Übersprungen, Datei und Verzeichnis gleichen Namens: " +
                          t_.Path("A/x") + " / " + t_.Path("B/x") + "\n"),
            std::string::npos)
      << e.fehler;
  EXPECT_EQ(e.ausgabe, "");  // -q: no summary
}

TEST_F(SyncTest, GuardWithoutATerminalKeepsTheFilesUnlessAllowed) {
  // A run of 25 files, then 24 of them deleted in the target: the next run would delete them in
  // the source as well.
  for (int i = 0; i < 25; ++i) t_.Write("A/f" + std::to_string(i), "x");
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1)});
  ::sleep(3);  // written well before the run: afterwards they count as unchanged since
  ASSERT_EQ(Starten({sammlung_}).status, 0);
  ::sleep(2);
  for (int i = 0; i < 24; ++i) std::filesystem::remove(t_.Path("B/f" + std::to_string(i)));
  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 1);
  EXPECT_NE(e.fehler.find("zarnoft-sync: Löschschutz: 24 von 25 Dateien in " + t_.Path("A") +
                          " nicht gelöscht"),
            std::string::npos)
      << e.fehler;
  EXPECT_TRUE(t_.Exists("A/f0"));
  e = Starten({"--loeschen-erlaubt", sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_FALSE(t_.Exists("A/f0"));
  EXPECT_TRUE(t_.Exists("A/f24"));
}

}  // namespace
}  // namespace zarnoft
