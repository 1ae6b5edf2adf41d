// zarnoft-sync --rueckgaengig end to end: the plan with -n, the undo itself, the job's date.
#include <filesystem>

#include "testing/sync_test_kit.h"

namespace zarnoft {
namespace {

using testing::Ergebnis;
using testing::SyncTest;

TEST_F(SyncTest, UndoPrintsItsPlanThenTakesTheRunBackAndTheJobsDate) {
  t_.Write("A/brief.txt", "neu");
  t_.Write("A/ordner/tief.txt", "tief");
  t_.Write("B/brief.txt", "alt");
  std::filesystem::last_write_time(
      t_.Path("B/brief.txt"),
      std::filesystem::file_time_type::clock::now() - std::chrono::hours(2));
  Sammlung({Job("A", "B", 2, 0)});
  Ergebnis e = Starten({sammlung_});
  ASSERT_EQ(e.status, 0) << e.fehler;
  ASSERT_EQ(t_.Read("B/brief.txt"), "neu");
  ASSERT_GT(AufrufT(1), 0);

  e = Starten({"--rueckgaengig", "-n", sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_NE(e.ausgabe.find("wiederherstellen > Ziel  brief.txt  3\n"), std::string::npos)
      << e.ausgabe;
  EXPECT_NE(e.ausgabe.find("löschen > Ziel  ordner/tief.txt  4\n"), std::string::npos);
  EXPECT_NE(e.ausgabe.find("löschen > Ziel  ordner/  -\n"), std::string::npos);
  EXPECT_EQ(t_.Read("B/brief.txt"), "neu");  // the plan changes nothing
  EXPECT_NE(e.ausgabe.find(" rückgängig gemacht: 3 Schritte (1 wiederhergestellt, 2 gelöscht, 0 "
                           "angelegt), 0 Fehler\n"),
            std::string::npos)
      << e.ausgabe;

  e = Starten({"--rueckgaengig", sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_EQ(t_.Read("B/brief.txt"), "alt");
  EXPECT_FALSE(t_.Exists("B/ordner"));
  EXPECT_EQ(AufrufT(1), 0);  // the job never ran before

  // The undo is kept like a run: taken back in its turn, the run's result returns.
  e = Starten({"--rueckgaengig", sammlung_});
  EXPECT_EQ(e.status, 0) << e.fehler;
  EXPECT_NE(e.ausgabe.find("3 Schritte (2 wiederhergestellt, 0 gelöscht, 1 angelegt)"),
            std::string::npos)
      << e.ausgabe;
  EXPECT_EQ(t_.Read("B/brief.txt"), "neu");
  EXPECT_EQ(t_.Read("B/ordner/tief.txt"), "tief");

  // Several jobs: --job is needed.
  Sammlung({Job("A", "B", 2, 0), Job("A", "B", 2, 0)});
  e = Starten({"--rueckgaengig", sammlung_});
  EXPECT_EQ(e.status, 2);
  EXPECT_NE(e.fehler.find("--rueckgaengig braucht --job N"), std::string::npos) << e.fehler;
}

}  // namespace
}  // namespace zarnoft
