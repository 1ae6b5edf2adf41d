// End-to-end tests of zarnoft-sync: options, exit statuses, the lock, the terminal.
#include <sys/file.h>

#include <filesystem>

#include "testing/sync_test_kit.h"

namespace zarnoft {
namespace {

using testing::Ergebnis;
using testing::Local;
using testing::SetTimes;
using testing::SyncTest;
using testing::TerminalLauf;

TEST_F(SyncTest, TwoWayJobTwiceCopiesNothingTheSecondTime) {
  t_.Write("A/brief.txt", "aus A");
  t_.Write("A/unter/tief.txt", "tief");
  t_.Write("B/nur_b.txt", "aus B");
  Sammlung({Job("A", "B", 1)});
  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_EQ(t_.Read("B/brief.txt"), "aus A");
  EXPECT_EQ(t_.Read("B/unter/tief.txt"), "tief");
  EXPECT_EQ(t_.Read("A/nur_b.txt"), "aus B");
  EXPECT_GT(AufrufT(1), 40000);
  EXPECT_EQ(Zaehlen(Log(), "Vergl: Kopiert: "), 3);
  ::sleep(2);  // the next run's last-run date must lie after the copies' dates
  e = Starten({sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_EQ(Zaehlen(Log(), "Vergl: Kopiert: "), 3);
  EXPECT_EQ(Zaehlen(Log(), "Sync startet am "), 2);
}

TEST_F(SyncTest, CopyJobAndChosenJobsOnly) {
  t_.Write("Q/neu.txt", "neu");
  t_.Write("Z/alt.txt", "bleibt");
  t_.Write("X/x.txt", "x");
  Sammlung({Job("X", "Y", 2, 2), Job("Q", "Z", 2, 0)});
  t_.Mkdir("Y");
  Ergebnis e = Starten({"--job", "2", sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_EQ(t_.Read("Z/neu.txt"), "neu");
  EXPECT_EQ(t_.Read("Z/alt.txt"), "bleibt");
  EXPECT_FALSE(t_.Exists("Q/alt.txt"));  // a copy job never copies back
  EXPECT_FALSE(t_.Exists("Y/x.txt"));    // job 1 was not chosen
  EXPECT_EQ(AufrufT(1), 0);
  EXPECT_GT(AufrufT(2), 0);
}

TEST_F(SyncTest, ExitCodesForBadCallsAndFailedJobs) {
  EXPECT_EQ(Starten({}).status, 2);
  EXPECT_EQ(Starten({"--unbekannt", sammlung_}).status, 2);
  Ergebnis e = Starten({t_.Path("fehlt.syc")});
  EXPECT_EQ(e.status, 2);
  EXPECT_NE(e.fehler.find("kann nicht gelesen werden"), std::string::npos) << e.fehler;
  t_.Write("s.syc", std::string("\0\1\2binär\xff\n[", 12));
  EXPECT_EQ(Starten({sammlung_}).status, 2);
  EXPECT_EQ(Starten({"--help"}).status, 0);

  // A missing source, a job of an unknown kind and one without a target: each is reported, and
  // the good job after them still runs.
  t_.Write("A/a.txt", "a");
  Sammlung({Job("fehlt", "B", 1), "Herkunft=/x\nZiel=/y\nArt=7\n", "Herkunft=/x\nArt=1\n",
            Job("A", "C", 2, 0)});
  t_.Mkdir("B");
  t_.Mkdir("C");
  e = Starten({sammlung_});
  EXPECT_EQ(e.status, 1);
  EXPECT_NE(e.fehler.find("unbekannte Art 7"), std::string::npos) << e.fehler;
  EXPECT_NE(e.fehler.find("Verzeichnis nicht gefunden"), std::string::npos) << e.fehler;
  EXPECT_EQ(t_.Read("C/a.txt"), "a");
  EXPECT_EQ(AufrufT(1), 0);
  EXPECT_GT(AufrufT(4), 0);
  EXPECT_EQ(Starten({"--job", "9", sammlung_}).status, 2);
}

TEST_F(SyncTest, WithoutMainSdaTheDefaultsApply) {
  ::unlink(t_.Path("bin/Main.sda").c_str());
  t_.Write("A/a.txt", "a");
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1)});
  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_EQ(t_.Read("B/a.txt"), "a");
  EXPECT_FALSE(t_.Exists("bin/Main.sda"));  // reading settings never creates the file
  EXPECT_FALSE(t_.Exists("bin/Main.log"));  // the log is off by default
}

TEST_F(SyncTest, ADamagedMainSdaStopsEveryRunWithExitTwo) {
  // A job that ran before, a file deleted in A since: with the default deletion mode the run
  // would delete B's copy, which the user's "move aside" should have kept.
  t_.Write("B/b.txt", "b");
  t_.Mkdir("A");
  Sammlung({Job("A", "B", 1) + "AufrufT=45000\nAufrufS=0\n"});
  const std::string kaputt[] = {"", std::string("[Data]\nLoeschen=3\n\0\0", 20),
                                "[Data]\nLoeschen=3\nLoeschenWohin=/tm", "Müll ohne Abschnitt\n"};
  for (const std::string& text : kaputt) {
    t_.Write("bin/Main.sda", text);
    Ergebnis e = Starten({"--leer-erlaubt", sammlung_});
    EXPECT_EQ(e.status, 2) << e.fehler;
    EXPECT_NE(e.fehler.find("Main.sda ist beschädigt"), std::string::npos) << e.fehler;
    EXPECT_EQ(t_.Read("B/b.txt"), "b");
    EXPECT_EQ(t_.Read("bin/Main.sda"), text);
    EXPECT_EQ(Starten({"--ausloeser", "ende", sammlung_}).status, 2);
  }
}

TEST_F(SyncTest, ACutOffCollectionIsRefused) {
  t_.Write("A/a.txt", "a");
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1), Job("A", "B", 2)});
  const std::string ganz = t_.Read("s.syc");
  t_.Write("s.syc", ganz.substr(0, ganz.find("[Vorgang 2]")));  // cut off by a crash
  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 2) << e.fehler;
  EXPECT_NE(e.fehler.find("Die Sammlung nennt 2 Aufträge, enthält 1"), std::string::npos)
      << e.fehler;
  EXPECT_FALSE(t_.Exists("B/a.txt"));
  t_.Write("s.syc", "[Allgemein]\nVersion=2\nAnzahl=-1\n");
  e = Starten({sammlung_});  // a nonsense count
  EXPECT_EQ(e.status, 2) << e.fehler;
  EXPECT_NE(e.fehler.find("Die Sammlung nennt -1 Aufträge, enthält 0"), std::string::npos);
}

TEST_F(SyncTest, SecondRunnerIsRefusedWhileTheFirstHoldsTheCollection) {
  t_.Write("A/a.txt", "a");
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1)});
  int fd = ::open((sammlung_ + ".lock").c_str(), O_RDWR | O_CREAT, 0666);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 2);
  EXPECT_NE(e.fehler.find("von einem anderen Lauf benutzt"), std::string::npos) << e.fehler;
  EXPECT_FALSE(t_.Exists("B/a.txt"));
  ::close(fd);
  EXPECT_EQ(Starten({sammlung_}).status, 0);
  EXPECT_TRUE(t_.Exists("B/a.txt"));
}

TEST_F(SyncTest, ReadOnlyCollectionRunsButCannotRecordTheDate) {
  t_.Write("A/a.txt", "a");
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1)});
  ::chmod(sammlung_.c_str(), 0444);
  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 1);
  EXPECT_NE(e.fehler.find("Kann nicht nach " + sammlung_ + " schreiben"), std::string::npos)
      << e.fehler;
  EXPECT_TRUE(t_.Exists("B/a.txt"));
  EXPECT_EQ(AufrufT(1), 0);
}

TEST_F(SyncTest, EmptySideOfAJobThatRanBeforeIsRefusedUnlessAllowed) {
  t_.Write("A/a.txt", "a");
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1) + "AufrufT=45000\nAufrufS=0\n"});
  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 1);
  EXPECT_TRUE(t_.Exists("A/a.txt"));
  EXPECT_FALSE(t_.Exists("B/a.txt"));
  EXPECT_EQ(AufrufT(1), 45000);
  e = Starten({"--leer-erlaubt", sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
}

TEST_F(SyncTest, ConflictQuestionOnTheTerminal) {
  t_.Write("A/brief.txt", "neu in A");
  t_.Write("B/brief.txt", "neu in B");
  SetTimes(t_.Path("A/brief.txt"), Local(2026, 1, 5, 10, 0, 0), Local(2026, 1, 5, 10, 0, 0));
  SetTimes(t_.Path("B/brief.txt"), Local(2026, 1, 6, 10, 0, 0), Local(2026, 1, 6, 10, 0, 0));
  Sammlung({Job("A", "B", 1, 0)});
  TerminalLauf lauf(programm_, sammlung_);
  ASSERT_TRUE(lauf.Warten("(j = Ja, n = Nein, i = Ignorieren, a = Alles)")) << lauf.Ausgabe();
  EXPECT_NE(lauf.Ausgabe().find("Die Datei /brief.txt"), std::string::npos);
  lauf.Schreiben("j\n");
  EXPECT_EQ(lauf.Ende(), 0) << lauf.Ausgabe();
  EXPECT_EQ(t_.Read("B/brief.txt"), "neu in A");
  EXPECT_GT(AufrufT(1), 0);
}

TEST_F(SyncTest, StopSignalsCancelAndLeaveTheLastRunDateAlone) {
  // SIGHUP too: a closed terminal or an ended session stops the run as cleanly as Ctrl+C.
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    t_.Write("A/brief.txt", "neu in A");
    t_.Write("B/brief.txt", "neu in B");
    SetTimes(t_.Path("A/brief.txt"), Local(2026, 1, 5, 10, 0, 0), Local(2026, 1, 5, 10, 0, 0));
    SetTimes(t_.Path("B/brief.txt"), Local(2026, 1, 6, 10, 0, 0), Local(2026, 1, 6, 10, 0, 0));
    t_.Write("A/spaeter.txt", "später");
    Sammlung({Job("A", "B", 1, 0)});
    TerminalLauf lauf(programm_, sammlung_);
    ASSERT_TRUE(lauf.Warten("a = Alles)")) << lauf.Ausgabe();
    lauf.Signal(signal);
    EXPECT_EQ(lauf.Ende(), 130) << signal << lauf.Ausgabe();
    EXPECT_EQ(AufrufT(1), 0);
    EXPECT_EQ(t_.Read("B/brief.txt"), "neu in B");
    EXPECT_EQ(t_.Read("A/brief.txt"), "neu in A");
    // No temporary copy is left behind (the program's own directory is no copy).
    for (auto& e : std::filesystem::directory_iterator(t_.Path("B"))) {
      const std::string name = e.path().filename().string();
      if (name == ".zarnoft") continue;
      EXPECT_EQ(name.find(".zarnoft"), std::string::npos) << name;
    }
  }
}

// The logout run over the list beside the program: the marked job runs, the unmarked one does
// not, and a listed collection that is missing is named while the others still run.
TEST_F(SyncTest, TriggerRunsTheMarkedJobsOfTheListedCollections) {
  t_.Write("A/a.txt", "a");
  t_.Write("X/x.txt", "x");
  t_.Mkdir("Y");
  t_.Mkdir("B");
  Sammlung({Job("X", "Y", 2, 2), Job("A", "B", 2, 2) + "Herunterfahren=1\n"});
  t_.Write("bin/automatisch.txt", t_.Path("fehlt.syc") + "\n" + sammlung_ + "\n");
  Ergebnis e = Starten({"--ausloeser", "ende"});
  EXPECT_EQ(e.status, 1) << e.fehler;
  EXPECT_NE(e.fehler.find(t_.Path("fehlt.syc") + " für automatische Läufe fehlt"),
            std::string::npos)
      << e.fehler;
  EXPECT_EQ(t_.Read("B/a.txt"), "a");
  EXPECT_FALSE(t_.Exists("Y/x.txt"));
  EXPECT_EQ(AufrufT(1), 0);
  EXPECT_GT(AufrufT(2), 0);

  EXPECT_EQ(Starten({"--ausloeser", "ende", sammlung_}).status, 0);
  EXPECT_EQ(Starten({"--ausloeser", "mittags"}).status, 2);
  EXPECT_EQ(Starten({"--ausloeser=start", "--job", "1", sammlung_}).status, 2);
}

}  // namespace
}  // namespace zarnoft
