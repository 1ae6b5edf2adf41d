// End-to-end tests of zarnoft-sync: a run never loses a user's file. Each test plays what a
// careful user would try on real trees - a full disk, an edit right after a run, a bind mount, a
// killed run - and checks the files, the exit status and the recorded last run. Tests that need
// mounts, owners or immutable files run as root only and are skipped otherwise.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <thread>

#include "copy/file_copy.h"
#include "testing/sync_test_kit.h"

namespace zarnoft {
namespace {

using testing::Einhaengung;
using testing::Ergebnis;
using testing::ImmutableSetzen;
using testing::IstRoot;
using testing::Local;
using testing::SetTimes;
using testing::SyncTest;

#define NUR_ALS_ROOT() \
  if (!IstRoot()) GTEST_SKIP() << "braucht root (Einhängen, Besitzer, unveränderliche Dateien)"

struct stat Lstat(const std::string& p) {
  struct stat st {};
  ::lstat(p.c_str(), &st);
  return st;
}

// Waits until a new even second has just begun, so that what follows falls into one two-second
// step of the old date form.
void GeradeSekundeAbwarten() {
  for (;;) {
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    if (ts.tv_sec % 2 == 0 && ts.tv_nsec < 100000000) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

class NichtsVerlorenTest : public SyncTest {
 protected:
  bool Da(const std::string& rel) { return t_.Exists(rel); }
};

TEST_F(NichtsVerlorenTest, FailedCopiesKeepTheLastRunAndTheNextRunDeletesNothing) {
  NUR_ALS_ROOT();
  // A target that is nearly full, and an immutable target subdirectory.
  t_.Mkdir("B");
  Einhaengung voll("tmpfs", t_.Path("B"), "tmpfs", 0, "size=256k");
  ASSERT_TRUE(voll.ok());
  t_.Write("A/klein.txt", "klein");
  t_.Write("A/gross.bin", std::string(1 << 20, 'g'));
  t_.Write("A/fest/neu.txt", "neu");
  t_.Mkdir("B/fest");
  ASSERT_TRUE(ImmutableSetzen(t_.Path("B/fest"), true));
  Sammlung({Job("A", "B", 1)});

  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 1) << e.fehler;
  EXPECT_EQ(AufrufT(1), 0);
  EXPECT_EQ(t_.Read("B/klein.txt"), "klein");
  EXPECT_EQ(Zaehlen(Log(), "Kopiert: gross.bin"), 0) << Log();

  ::sleep(2);
  e = Starten({sammlung_});
  EXPECT_EQ(e.status, 1) << e.fehler;
  EXPECT_TRUE(Da("A/gross.bin"));
  EXPECT_TRUE(Da("A/fest/neu.txt"));
  EXPECT_EQ(AufrufT(1), 0);
  ImmutableSetzen(t_.Path("B/fest"), false);
}

TEST_F(NichtsVerlorenTest, FileSavedRightAfterARunIsNewNotDeleted) {
  t_.Write("A/alt.txt", "alt");
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1)});
  GeradeSekundeAbwarten();
  ASSERT_EQ(Starten({sammlung_}).status, 0);
  t_.Write("B/neu.txt", "gleich nach dem Lauf gespeichert");
  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_EQ(t_.Read("B/neu.txt"), "gleich nach dem Lauf gespeichert");
  EXPECT_EQ(t_.Read("A/neu.txt"), "gleich nach dem Lauf gespeichert");
}

TEST_F(NichtsVerlorenTest, ChangeOfTimeZoneBetweenRunsDeletesNothingNew) {
  t_.Write("A/alt.txt", "alt");
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1)});
  ASSERT_EQ(Starten({sammlung_}, {"TZ=Europe/Berlin"}).status, 0);
  t_.Write("B/neu.txt", "neu");
  t_.Write("A/auch_neu.txt", "auch neu");
  Ergebnis e = Starten({sammlung_}, {"TZ=America/New_York"});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_TRUE(Da("A/neu.txt"));
  EXPECT_TRUE(Da("B/neu.txt"));
  EXPECT_TRUE(Da("B/auch_neu.txt"));
}

TEST_F(NichtsVerlorenTest, DeletionsStillPropagateRightAfterTheRunThatCopied) {
  t_.Write("A/datei.txt", "a");
  t_.Write("A/baum/x/y.txt", "y");
  t_.Write("B/von_b.txt", "b");
  t_.Write("B/b_baum/z.txt", "z");
  // Written an hour ago: a file written in the seconds before a run began counts as written
  // during it, and is kept.
  const FileTime vorhin{Clock::System()->Now().sec - 3600, 0};
  for (const char* p : {"A/datei.txt", "A/baum/x/y.txt", "B/von_b.txt", "B/b_baum/z.txt"})
    SetTimes(t_.Path(p), vorhin, vorhin);
  Sammlung({Job("A", "B", 1)});
  ASSERT_EQ(Starten({sammlung_}).status, 0);
  ASSERT_TRUE(Da("B/datei.txt") && Da("B/baum/x/y.txt") && Da("A/von_b.txt") &&
              Da("A/b_baum/z.txt"));
  // Each deleted on the side it did not come from, and on the side it came from.
  ::unlink(t_.Path("B/datei.txt").c_str());
  testing::RemoveTree(t_.Path("B/baum"));
  ::unlink(t_.Path("B/von_b.txt").c_str());
  testing::RemoveTree(t_.Path("A/b_baum"));
  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_FALSE(Da("A/datei.txt"));
  EXPECT_FALSE(Da("A/baum"));
  EXPECT_FALSE(Da("A/von_b.txt"));
  EXPECT_FALSE(Da("B/b_baum"));
}

TEST_F(NichtsVerlorenTest, EditSavedAsTheRunEndsIsADoubleChangeNotOverwritten) {
  t_.Write("A/brief.txt", "gleich");
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1, 0)});
  GeradeSekundeAbwarten();
  ASSERT_EQ(Starten({sammlung_}).status, 0);
  t_.Write("A/brief.txt", "Änderung in A");
  t_.Write("B/brief.txt", "spätere Änderung in B");
  FileTime spaeter = Clock::System()->Now();
  spaeter.sec += 60;
  SetTimes(t_.Path("B/brief.txt"), spaeter, spaeter);
  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(t_.Read("A/brief.txt"), "Änderung in A");
  EXPECT_EQ(t_.Read("B/brief.txt"), "spätere Änderung in B");
  // Nobody could be asked: the run fails, and the next run meets the conflict again.
  EXPECT_EQ(e.status, 1) << e.fehler;
  EXPECT_EQ(Zaehlen(Log(), "Vergl: Doppelte Änderung nicht entschieden: "), 1) << Log();
}

TEST_F(NichtsVerlorenTest, ConflictNobodyWasAskedAboutFailsTheRunAndKeepsTheDate) {
  t_.Write("A/brief.txt", "neu in A");
  t_.Write("B/brief.txt", "neu in B");
  SetTimes(t_.Path("A/brief.txt"), Local(2026, 1, 5, 10), Local(2026, 1, 5, 10));
  SetTimes(t_.Path("B/brief.txt"), Local(2026, 1, 6, 10), Local(2026, 1, 6, 10));
  Sammlung({Job("A", "B", 1, 0)});
  for (int lauf = 0; lauf < 2; ++lauf) {
    Ergebnis e = Starten({sammlung_});
    EXPECT_EQ(e.status, 1) << e.fehler;
    EXPECT_EQ(AufrufT(1), 0);
    EXPECT_EQ(t_.Read("A/brief.txt"), "neu in A");
    EXPECT_EQ(t_.Read("B/brief.txt"), "neu in B");
  }
  EXPECT_EQ(Zaehlen(Log(), "Vergl: Doppelte Änderung nicht entschieden: "), 2) << Log();
  EXPECT_EQ(Zaehlen(Log(), "(Auswahl durch Benutzer)"), 0);
}

TEST_F(NichtsVerlorenTest, RootsThatOverlapThroughAMountAreRefused) {
  NUR_ALS_ROOT();
  // A subdirectory of the source bind-mounted as the target.
  t_.Write("A/sub/x.txt", "x");
  t_.Write("A/y.txt", "y");
  t_.Mkdir("B");
  Einhaengung bind(t_.Path("A/sub"), t_.Path("B"), nullptr, MS_BIND);
  ASSERT_TRUE(bind.ok());
  // A second mount of one file system, the target inside the source there.
  t_.Mkdir("M1");
  t_.Mkdir("M2");
  Einhaengung tmpfs("tmpfs", t_.Path("M1"), "tmpfs", 0, "size=1m");
  ASSERT_TRUE(tmpfs.ok());
  Einhaengung zweite(t_.Path("M1"), t_.Path("M2"), nullptr, MS_BIND);
  ASSERT_TRUE(zweite.ok());
  t_.Write("M1/daten/a.txt", "a");
  t_.Mkdir("M1/daten/unter");
  Sammlung({Job("A", "B", 1), Job("M1/daten", "M2/daten/unter", 2, 2)});

  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 1) << e.fehler;
  EXPECT_EQ(Zaehlen(Log(), "überschneiden sich"), 2) << Log();
  EXPECT_FALSE(Da("A/sub/y.txt"));
  EXPECT_FALSE(Da("A/x.txt"));
  EXPECT_FALSE(Da("M1/daten/unter/a.txt"));
  EXPECT_EQ(AufrufT(1), 0);
  EXPECT_EQ(AufrufT(2), 0);
}

TEST_F(NichtsVerlorenTest, TemporaryFilesOfAKilledRunAreRemovedTheUsersLookAlikesKept) {
  t_.Write("A/brief.txt", "brief");
  t_.Mkdir("B");
  const std::string stehen = KopierTempName(t_.Path("B/brief.txt"), 0x1234);
  const std::string belegt = KopierTempName(t_.Path("B/brief.txt"), 0x5678);
  const std::string aehnlich = t_.Path("B/.notiz.txt.zarnoft-000000000000");
  for (const std::string& p : {stehen, belegt, aehnlich}) {
    t_.Write(p.substr(t_.root().size() + 1), "halb");
    SetTimes(p, Local(2024, 1, 1), Local(2024, 1, 1));
  }
  // `belegt` is still being written by a run that is alive: it holds the lock.
  int fd = ::open(belegt.c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  Sammlung({Job("A", "B", 1)});
  Ergebnis e = Starten({sammlung_});
  ::close(fd);
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_FALSE(t_.Exists(stehen.substr(t_.root().size() + 1)));
  EXPECT_TRUE(t_.Exists(belegt.substr(t_.root().size() + 1)));
  // The user's own file that merely looks like one is a file like any other.
  EXPECT_EQ(t_.Read("B/.notiz.txt.zarnoft-000000000000"), "halb");
  EXPECT_EQ(t_.Read("A/.notiz.txt.zarnoft-000000000000"), "halb");
}

TEST_F(NichtsVerlorenTest, CopiesKeepHolesModesOwnersAndDatesOutsideTheOldRange) {
  const std::string duenn = t_.Write("A/duenn.img", "");
  ASSERT_EQ(::truncate(duenn.c_str(), 64 << 20), 0);
  {
    int fd = ::open(duenn.c_str(), O_WRONLY);
    ASSERT_EQ(::pwrite(fd, "daten", 5, 32 << 20), 5);
    ::close(fd);
  }
  t_.Write("A/eng/a.txt", "a");
  ::chmod(t_.Path("A/eng").c_str(), 0750);
  t_.Write("A/alt.txt", "1975");
  t_.Write("A/zukunft.txt", "2110");
  const FileTime alt{Local(1975, 5, 1, 10, 0, 1).sec, 123456789};
  const FileTime zukunft{Local(2110, 1, 1, 10, 0, 1).sec, 987654321};
  SetTimes(t_.Path("A/alt.txt"), alt, alt);
  SetTimes(t_.Path("A/zukunft.txt"), zukunft, zukunft);
  if (IstRoot()) {
    t_.Write("A/fremd.txt", "fremd");
    ASSERT_EQ(::chown(t_.Path("A/fremd.txt").c_str(), 1234, 5678), 0);
    ::chmod(t_.Path("A/fremd.txt").c_str(), 06755);
  }
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1)});
  ASSERT_EQ(Starten({sammlung_}).status, 0);

  struct stat d = Lstat(t_.Path("B/duenn.img"));
  EXPECT_EQ(d.st_size, 64 << 20);
  EXPECT_LT(d.st_blocks * 512, 1 << 20);
  EXPECT_EQ(Lstat(t_.Path("B/eng")).st_mode & 07777, 0750u);
  EXPECT_EQ(Lstat(t_.Path("B/alt.txt")).st_mtim.tv_sec, alt.sec);
  EXPECT_EQ(Lstat(t_.Path("B/alt.txt")).st_mtim.tv_nsec, alt.nsec);
  EXPECT_EQ(Lstat(t_.Path("B/zukunft.txt")).st_mtim.tv_sec, zukunft.sec);
  if (IstRoot()) {
    struct stat f = Lstat(t_.Path("B/fremd.txt"));
    EXPECT_EQ(f.st_uid, 1234u);
    EXPECT_EQ(f.st_gid, 5678u);
    EXPECT_EQ(f.st_mode & 07777, 0755u);  // no set-user-ID or set-group-ID on a copy
  }
  const int kopiert = Zaehlen(Log(), "Vergl: Kopiert: ");
  ::sleep(2);
  ASSERT_EQ(Starten({sammlung_}).status, 0);
  EXPECT_EQ(Zaehlen(Log(), "Vergl: Kopiert: "), kopiert) << Log();
}

TEST_F(NichtsVerlorenTest, ControlCharactersInNamesCannotForgeLogLines) {
  t_.Write("A/zeile\nVergl: Gelöscht: alles.txt", "x");
  t_.Write("A/farbe\x1b[31m.txt", "y");
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1)});
  ASSERT_EQ(Starten({sammlung_}).status, 0);
  const std::string log = Log();
  EXPECT_TRUE(Da("B/zeile\nVergl: Gelöscht: alles.txt"));
  EXPECT_EQ(log.find("\nVergl: Gelöscht"), std::string::npos) << log;
  EXPECT_EQ(log.find('\x1b'), std::string::npos);
  EXPECT_NE(log.find("zeile\\nVergl: Gelöscht: alles.txt"), std::string::npos) << log;
  EXPECT_NE(log.find("farbe\\x1b[31m.txt"), std::string::npos) << log;
}

// Creates `tiefe` nested directories of `laenge`-byte names below dir, with a file at the bottom,
// through descriptors (the full path is longer than a path may be).
void TieferBaum(const std::string& dir, int tiefe, size_t laenge) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  const std::string name(laenge, 't');
  for (int i = 0; i < tiefe; ++i) {
    ::mkdirat(fd, name.c_str(), 0777);
    int unten = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = unten;
  }
  int f = ::openat(fd, "ganz_unten.txt", O_WRONLY | O_CREAT, 0644);
  (void)!::write(f, "unten", 5);
  ::close(f);
  ::close(fd);
}

TEST_F(NichtsVerlorenTest, OddNamesAndTreesDeeperThanAPathMayBe) {
  const std::string lang(255, 'n');
  const std::string kaputt = "kaputt\xff\xfe.txt";  // not UTF-8
  t_.Write("A/" + lang, "langer Name");
  t_.Write("A/" + kaputt, "kein UTF-8");
  t_.Write("B/" + lang.substr(0, 250) + ".txt", "fast so lang");
  TieferBaum(t_.Path("A"), 24, 200);
  t_.Mkdir("B");
  Sammlung({Job("A", "B", 1)});
  Ergebnis e = Starten({sammlung_});
  EXPECT_EQ(e.status, 1) << e.fehler;
  EXPECT_EQ(AufrufT(1), 0);
  EXPECT_EQ(t_.Read("B/" + lang), "langer Name");
  EXPECT_EQ(t_.Read("B/" + kaputt), "kein UTF-8");
  EXPECT_EQ(t_.Read("A/" + lang.substr(0, 250) + ".txt"), "fast so lang");
  EXPECT_NE(Log().find("zu lang"), std::string::npos) << Log();
  EXPECT_NE(Log().find("kaputt\\xff\\xfe.txt"), std::string::npos);

  // The next run deletes nothing of the deep tree it could not copy.
  ::sleep(2);
  EXPECT_EQ(Starten({sammlung_}).status, 1);
  struct stat st;
  EXPECT_EQ(::stat(t_.Path("A/" + std::string(200, 't')).c_str(), &st), 0);
}

}  // namespace
}  // namespace zarnoft
