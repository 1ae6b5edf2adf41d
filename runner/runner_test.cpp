// End-to-end tests of zarnoft-sync: a copy of the program in a temporary directory with its own
// Main.sda (so the tests also show that it works when copied elsewhere), run on real trees.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::Local;
using testing::SetTimes;
using testing::TempTree;

struct Ergebnis {
  int status = -1;
  std::string fehler;  // stderr
};

class SyncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t_.Mkdir("bin");
    programm_ = t_.Path("bin/zarnoft-sync");
    std::filesystem::copy_file(ZARNOFT_SYNC_BINARY, programm_);
    ::chmod(programm_.c_str(), 0755);
    t_.Write("bin/Main.sda",
             "[Allgemein]\nLLev=2\nLDat=" + t_.Path("bin/log.txt") + "\n[Data]\nLoeschen=1\n");
    sammlung_ = t_.Path("s.syc");
  }

  // A collection with the given job sections (text after the "[Vorgang n]" lines).
  void Sammlung(const std::vector<std::string>& jobs) {
    std::string s = "[Allgemein]\nVersion=2\nAnzahl=" + std::to_string(jobs.size()) + "\n";
    for (size_t i = 0; i < jobs.size(); ++i)
      s += "[Vorgang " + std::to_string(i + 1) + "]\n" + jobs[i];
    t_.Write("s.syc", s);
  }
  std::string Job(const std::string& von, const std::string& nach, int art, int doppelt = 1) {
    return "Herkunft=" + t_.Path(von) + "\nZiel=" + t_.Path(nach) +
           "\nUnterverzeichnisse=1\nArt=" + std::to_string(art) +
           "\nDoppelt=" + std::to_string(doppelt) + "\n";
  }

  Ergebnis Starten(std::vector<std::string> args) {
    args.insert(args.begin(), programm_);
    int err[2];
    EXPECT_EQ(::pipe(err), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(err[1], 2);
      int devnull = ::open("/dev/null", O_RDWR);
      ::dup2(devnull, 0);
      ::dup2(devnull, 1);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(err[1]);
    Ergebnis e;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(err[0], buf, sizeof buf)) > 0) e.fehler.append(buf, static_cast<size_t>(n));
    ::close(err[0]);
    int st = 0;
    ::waitpid(pid, &st, 0);
    e.status = WIFEXITED(st) ? WEXITSTATUS(st) : 1000 + WTERMSIG(st);
    return e;
  }

  int64_t AufrufT(int n) {
    return IniFile(sammlung_).ReadInteger("Vorgang " + std::to_string(n), "AufrufT", 0);
  }
  std::string Log() { return t_.Read("bin/log.txt"); }
  static int Zaehlen(const std::string& text, const std::string& was) {
    int n = 0;
    for (size_t p = text.find(was); p != std::string::npos; p = text.find(was, p + 1)) ++n;
    return n;
  }

  TempTree t_;
  std::string programm_;
  std::string sammlung_;
};

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

// Runs the program on a pseudo terminal, as a user at a terminal would.
class TerminalLauf {
 public:
  TerminalLauf(const std::string& programm, const std::string& sammlung) {
    pid_ = ::forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      ::execl(programm.c_str(), programm.c_str(), sammlung.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }
  ~TerminalLauf() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }
  // Reads until `text` has appeared (or 20 s passed).
  bool Warten(const std::string& text) {
    auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ausgabe_.find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() > ende) return false;
      if (!Lesen(200)) return false;
    }
    return true;
  }
  // Reads what the program wrote within ms milliseconds; false when the terminal is closed.
  bool Lesen(int ms) {
    struct pollfd p = {master_, POLLIN, 0};
    if (::poll(&p, 1, ms) <= 0) return true;
    char buf[1024];
    ssize_t n = ::read(master_, buf, sizeof buf);
    if (n <= 0) return false;
    ausgabe_.append(buf, static_cast<size_t>(n));
    return true;
  }
  void Schreiben(const std::string& s) { (void)!::write(master_, s.data(), s.size()); }
  void Signal(int sig) { ::kill(pid_, sig); }
  int Ende() {
    int st = 0;
    // Drain the terminal so that the program never blocks on its output; a program that has not
    // ended after 30 s is killed and reported as such.
    auto ende = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::waitpid(pid_, &st, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > ende) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &st, 0);
        pid_ = -1;
        return -1;
      }
      Lesen(100);
    }
    pid_ = -1;
    return WIFEXITED(st) ? WEXITSTATUS(st) : 1000 + WTERMSIG(st);
  }
  const std::string& Ausgabe() const { return ausgabe_; }

 private:
  int master_ = -1;
  pid_t pid_ = -1;
  std::string ausgabe_;
};

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

TEST_F(SyncTest, SignalCancelsAndLeavesTheLastRunDateAlone) {
  t_.Write("A/brief.txt", "neu in A");
  t_.Write("B/brief.txt", "neu in B");
  SetTimes(t_.Path("A/brief.txt"), Local(2026, 1, 5, 10, 0, 0), Local(2026, 1, 5, 10, 0, 0));
  SetTimes(t_.Path("B/brief.txt"), Local(2026, 1, 6, 10, 0, 0), Local(2026, 1, 6, 10, 0, 0));
  t_.Write("A/spaeter.txt", "später");
  Sammlung({Job("A", "B", 1, 0)});
  TerminalLauf lauf(programm_, sammlung_);
  ASSERT_TRUE(lauf.Warten("a = Alles)")) << lauf.Ausgabe();
  lauf.Signal(SIGINT);
  EXPECT_EQ(lauf.Ende(), 130) << lauf.Ausgabe();
  EXPECT_EQ(AufrufT(1), 0);
  EXPECT_EQ(t_.Read("B/brief.txt"), "neu in B");
  EXPECT_EQ(t_.Read("A/brief.txt"), "neu in A");
  // No temporary copy is left behind.
  for (auto& e : std::filesystem::directory_iterator(t_.Path("B")))
    EXPECT_EQ(e.path().filename().string().find(".zarnoft"), std::string::npos);
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
