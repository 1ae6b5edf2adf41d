#include "log/rotation.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::Local;
using testing::TempTree;

LocalTime Datum(int y, int m, int d) {
  LocalTime lt;
  lt.year = y;
  lt.month = m;
  lt.day = d;
  return lt;
}

TEST(AlteLogdatei, NumberGoesBeforeTheExtensionOfTheFileName) {
  EXPECT_EQ(AlteLogdatei("/prog/Main.log", 1), "/prog/Main V1.log");
  EXPECT_EQ(AlteLogdatei("/prog/Main.log", 10), "/prog/Main V10.log");
  EXPECT_EQ(AlteLogdatei("/prog/protokoll", 1), "/prog/protokoll V1");
  // A dot in a directory name is no extension; the last dot of the name is.
  EXPECT_EQ(AlteLogdatei("/prog.d/protokoll", 2), "/prog.d/protokoll V2");
  EXPECT_EQ(AlteLogdatei("/prog/a.b.log", 3), "/prog/a.b V3.log");
}

TEST(NaechsterMonatstag, ShortMonthsTakeTheirLastUsableDay) {
  EXPECT_EQ(NaechsterMonatstag(Datum(2025, 1, 31)), Datum(2025, 2, 28));
  EXPECT_EQ(NaechsterMonatstag(Datum(2024, 1, 29)), Datum(2024, 2, 28));  // leap year too
  EXPECT_EQ(NaechsterMonatstag(Datum(2025, 3, 31)), Datum(2025, 4, 30));
  EXPECT_EQ(NaechsterMonatstag(Datum(2025, 7, 31)), Datum(2025, 8, 30));
  EXPECT_EQ(NaechsterMonatstag(Datum(2025, 12, 15)), Datum(2026, 1, 15));
  LocalTime mittag = Datum(2025, 5, 10);
  mittag.hour = 13;
  mittag.minute = 7;
  EXPECT_EQ(NaechsterMonatstag(mittag), Datum(2025, 6, 10));  // at 00:00
}

class RotationImVerzeichnis : public ::testing::Test {
 protected:
  RotationImVerzeichnis() : rotation_(FileSystem::Default(), &clock_) {
    e_.ldat = tree_.Path("Main.log");
    e_.llev = 6;
    e_.programmteil = "Edit";
  }

  RotationsEinstellung Art(int lart, int lanz = 0) {
    RotationsEinstellung e = e_;
    e.lart = lart;
    e.lanz = lanz;
    return e;
  }

  TempTree tree_;
  ManualClock clock_;
  Rotation rotation_;
  RotationsEinstellung e_;
};

TEST_F(RotationImVerzeichnis, DailyPeriodRunsFromTheCreationTimeAndThenFromTheRotation) {
  tree_.Write("Main.log", "gestern\r\n");
  clock_.Set(Local(2025, 6, 11, 9, 0, 0));
  rotation_.EinrichtenAb(Local(2025, 6, 10, 14, 0, 0), 9, kRotationTaeglich);
  EXPECT_EQ(rotation_.NaechsteRotation(), Local(2025, 6, 11, 14, 0, 0));

  clock_.Set(Local(2025, 6, 11, 14, 0, 0));  // not strictly later
  EXPECT_EQ(rotation_.Pruefen(Art(1)), RotationsErgebnis::kKeine);
  EXPECT_FALSE(tree_.Exists("Main V1.log"));

  clock_.Set(Local(2025, 6, 11, 14, 0, 1));
  EXPECT_EQ(rotation_.Pruefen(Art(1)), RotationsErgebnis::kRotiert);
  EXPECT_EQ(tree_.Read("Main V1.log"), "gestern\r\n");
  EXPECT_EQ(tree_.Read("Main.log"), RotationsKopf(Art(1)));
  EXPECT_EQ(rotation_.NaechsteRotation(), Local(2025, 6, 12, 14, 0, 1));
}

TEST_F(RotationImVerzeichnis, WeeklyAndMonthlyPeriods) {
  clock_.Set(Local(2025, 1, 31, 10, 0, 0));
  rotation_.EinrichtenAb(Local(2025, 1, 31, 9, 30, 0), 0, kRotationWoechentlich);
  EXPECT_EQ(rotation_.NaechsteRotation(), Local(2025, 2, 7, 9, 30, 0));

  rotation_.EinrichtenAb(Local(2025, 1, 31, 9, 30, 0), 0, kRotationMonatlich);
  EXPECT_EQ(rotation_.NaechsteRotation(), Local(2025, 2, 28, 0, 0, 0));
  clock_.Set(Local(2025, 2, 28, 0, 0, 1));
  EXPECT_EQ(rotation_.Pruefen(Art(3)), RotationsErgebnis::kRotiert);
  EXPECT_EQ(rotation_.NaechsteRotation(), Local(2025, 3, 28, 0, 0, 0));
}

TEST_F(RotationImVerzeichnis, DailyPeriodKeepsItsTimeOfDayAcrossDaylightSaving) {
  // Europe/Berlin moves to summer time on 30 March 2025.
  clock_.Set(Local(2025, 3, 29, 12, 0, 0));
  rotation_.EinrichtenAb(Local(2025, 3, 29, 14, 0, 0), 0, kRotationTaeglich);
  EXPECT_EQ(rotation_.NaechsteRotation(), Local(2025, 3, 30, 14, 0, 0));
}

TEST_F(RotationImVerzeichnis, SizeKindsRotateOnlyWhenTheRealSizeIsAboveTheThreshold) {
  rotation_.EinrichtenAb(clock_.Now(), 0, kRotation100k);
  EXPECT_EQ(rotation_.Groessengrenze(), 102400);
  rotation_.EinrichtenAb(clock_.Now(), 0, kRotation1M);
  EXPECT_EQ(rotation_.Groessengrenze(), 1024000);

  tree_.Write("Main.log", std::string(10240, 'x'));
  rotation_.Einrichten(e_.ldat, kRotation10k);
  EXPECT_EQ(rotation_.Groessengrenze(), 10240);
  EXPECT_EQ(rotation_.GeschaetzteGroesse(), 10240);
  rotation_.Geschrieben(100);  // the estimate passes the threshold, the file does not
  EXPECT_EQ(rotation_.GeschaetzteGroesse(), 10370);
  EXPECT_EQ(rotation_.Pruefen(Art(4)), RotationsErgebnis::kKeine);
  EXPECT_EQ(rotation_.GeschaetzteGroesse(), 10240);
  EXPECT_FALSE(tree_.Exists("Main V1.log"));

  tree_.Write("Main.log", std::string(10241, 'x'));
  rotation_.Geschrieben(0);
  EXPECT_EQ(rotation_.Pruefen(Art(4)), RotationsErgebnis::kRotiert);
  EXPECT_EQ(tree_.Read("Main V1.log").size(), 10241u);
  EXPECT_EQ(rotation_.GeschaetzteGroesse(), static_cast<int64_t>(RotationsKopf(Art(4)).size()));
}

TEST_F(RotationImVerzeichnis, KindsWithoutRotationNeverTouchTheFile) {
  tree_.Write("Main.log", "alt");
  for (int lart : {0, 7, -1}) {
    rotation_.EinrichtenAb(Local(2000, 1, 1), 1 << 30, lart);
    rotation_.Geschrieben(1 << 20);
    clock_.Set(Local(2030, 1, 1));
    EXPECT_EQ(rotation_.Pruefen(Art(lart)), RotationsErgebnis::kKeine) << lart;
  }
  EXPECT_EQ(tree_.Read("Main.log"), "alt");
  EXPECT_FALSE(tree_.Exists("Main V1.log"));
}

TEST_F(RotationImVerzeichnis, KeepsLAnzOldFilesAndDropsTheOldest) {
  tree_.Write("Main.log", "erste");
  for (const char* inhalt : {"zweite", "dritte", "vierte"}) {
    ASSERT_TRUE(Rotieren(FileSystem::Default(), Art(1, 3)));
    tree_.Write("Main.log", inhalt);
  }
  ASSERT_TRUE(Rotieren(FileSystem::Default(), Art(1, 3)));
  EXPECT_EQ(tree_.Read("Main V1.log"), "vierte");
  EXPECT_EQ(tree_.Read("Main V2.log"), "dritte");
  EXPECT_EQ(tree_.Read("Main V3.log"), "zweite");
  EXPECT_FALSE(tree_.Exists("Main V4.log"));
}

TEST_F(RotationImVerzeichnis, LAnzZeroAndOneKeepOneOldFile) {
  for (int lanz : {0, 1}) {
    tree_.Write("Main.log", "a");
    ASSERT_TRUE(Rotieren(FileSystem::Default(), Art(1, lanz)));
    tree_.Write("Main.log", "b");
    ASSERT_TRUE(Rotieren(FileSystem::Default(), Art(1, lanz)));
    EXPECT_EQ(tree_.Read("Main V1.log"), "b") << lanz;
    EXPECT_FALSE(tree_.Exists("Main V2.log")) << lanz;
  }
}

TEST_F(RotationImVerzeichnis, FileWithoutExtensionAndTheRotationHeader) {
  RotationsEinstellung e = Art(5, 2);
  e.ldat = tree_.Path("protokoll");
  e.programmteil = "Sync";
  tree_.Write("protokoll", "x");
  ASSERT_TRUE(Rotieren(FileSystem::Default(), e));
  EXPECT_EQ(tree_.Read("protokoll V1"), "x");
  EXPECT_EQ(tree_.Read("protokoll"),
            "*******************************\r\nZarnoftSync Dateirotation\r\n"
            "Loglevel: 6\r\nRotationsart: 5, Aufheben: 2\r\n");
}

class AbweisendesDateisystem : public FileSystemWrapper {
 public:
  AbweisendesDateisystem() : FileSystemWrapper(FileSystem::Default()) {}
  Status RenameNoReplace(const std::string& f, const std::string& t) override {
    if (rename_fehlt) return Status::FromErrno(EACCES);
    return FileSystemWrapper::RenameNoReplace(f, t);
  }
  std::unique_ptr<WritableFile> CreateTruncate(const std::string& p, Status* s) override {
    if (anlegen_fehlt) return nullptr;
    return FileSystemWrapper::CreateTruncate(p, s);
  }
  bool rename_fehlt = false;
  bool anlegen_fehlt = false;
};

TEST_F(RotationImVerzeichnis, FailuresToMoveAsideEmptyTheLogAndFailuresToCreateAreReported) {
  AbweisendesDateisystem fs;
  tree_.Write("Main.log", "verloren");
  fs.rename_fehlt = true;
  EXPECT_TRUE(Rotieren(&fs, Art(4)));
  EXPECT_FALSE(tree_.Exists("Main V1.log"));
  EXPECT_EQ(tree_.Read("Main.log"), RotationsKopf(Art(4)));

  fs.rename_fehlt = false;
  fs.anlegen_fehlt = true;
  Rotation rotation(&fs, &clock_);
  rotation.EinrichtenAb(clock_.Now(), 20000, kRotation10k);
  tree_.Write("Main.log", std::string(20000, 'y'));
  EXPECT_EQ(rotation.Pruefen(Art(4)), RotationsErgebnis::kFehler);
  EXPECT_TRUE(tree_.Exists("Main V1.log"));
  EXPECT_EQ(rotation.GeschaetzteGroesse(), 0);  // no file: the next lines do not rotate again
  EXPECT_EQ(rotation.Pruefen(Art(4)), RotationsErgebnis::kKeine);
}

TEST_F(RotationImVerzeichnis, CreationTimeOfTheLogFile) {
  FileTime t;
  int64_t groesse = -1;
  EXPECT_FALSE(LogdateiErstellt(FileSystem::Default(), e_.ldat, &t, &groesse));
  FileTime vorher = Clock::System()->Now();
  tree_.Write("Main.log", "12345");
  // The last write must not stand in where the birth time is known.
  testing::SetMtime(e_.ldat, Local(2001, 1, 1));
  ASSERT_TRUE(LogdateiErstellt(FileSystem::Default(), e_.ldat, &t, &groesse));
  EXPECT_EQ(groesse, 5);
  EXPECT_EQ(t.sec % 2, 0);
  EXPECT_EQ(t.nsec, 0);
  bool geburt_bekannt = t.sec >= vorher.sec - 2;
  if (!geburt_bekannt) {
    EXPECT_EQ(t, Local(2001, 1, 1));  // a file system without birth times
  }
}

}  // namespace
}  // namespace zarnoft
