#include "copy/copier.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "testing/copy_test_kit.h"

namespace zarnoft::testing {
namespace {

class KopierenTest : public ::testing::Test, public KopierUmgebung {
 protected:
  void SetUp() override {
    tree.Write("a/f", "eins");
    tree.Write("a/F", "zwei");
    tree.Mkdir("b");
  }
  int Darf() const { return log.CountPrefix("Vergl: Kopie: Darf kopieren"); }
};

TEST_F(KopierenTest, RegisterRefusesRepeatAndReverse) {
  EXPECT_EQ(Kopieren("a/f", "b/f", 4), KopierErgebnis::kKopiert);
  auto lines = log.Lines().size();
  auto calls = win.calls.size();
  EXPECT_EQ(Kopieren("a/f", "b/f", 4), KopierErgebnis::kAbgelehnt);
  EXPECT_EQ(Kopieren("b/f", "a/f", 4), KopierErgebnis::kAbgelehnt);
  // A refusal writes the check line and nothing else.
  ASSERT_EQ(log.Lines().size(), lines + 2);
  EXPECT_EQ(log.Lines().back(), std::make_pair(LogStufe::kDebugAusfuehrlich,
                                               "Vergl: Kopie: Prüfe ob schon kopiert:" +
                                                   tree.Path("b/f") + " bzw. " + tree.Path("a/f")));
  EXPECT_EQ(win.calls.size(), calls);
  EXPECT_EQ(k->Statistik().AnzahlKopiert, 1);

  // Same source elsewhere, another source onto the same target, and a path differing only in
  // case are new copies.
  EXPECT_EQ(Kopieren("a/f", "b/g", 4), KopierErgebnis::kKopiert);
  EXPECT_EQ(Kopieren("a/F", "b/f", 4), KopierErgebnis::kKopiert);
  EXPECT_EQ(Kopieren("b/F", "a/f", 4), KopierErgebnis::kFehler);  // accepted; b/F is missing
  EXPECT_EQ(Darf(), 4);
  EXPECT_EQ(tree.Read("b/f"), "zwei");
}

TEST_F(KopierenTest, CancelledRunRecordsOrderButCopiesNothing) {
  win.AbbrechenClick();
  EXPECT_EQ(Kopieren("a/f", "b/f", 4), KopierErgebnis::kAbgebrochen);
  EXPECT_FALSE(tree.Exists("b/f"));
  EXPECT_EQ(k->Statistik().AnzahlKopiert, 0);
  EXPECT_TRUE(win.calls.empty());
  win.AbbruchZuruecksetzen();
  EXPECT_EQ(Kopieren("b/f", "a/f", 4), KopierErgebnis::kAbgelehnt);
}

TEST_F(KopierenTest, CopyBrokenOffByCancelIsNeitherCountedNorFinished) {
  EXPECT_EQ(Kopieren("a/f", "b/f", 4), KopierErgebnis::kKopiert);
  // The user cancels while the second file's content is being copied: the copy is taken back.
  fs.nach_kopie = [this] { win.AbbrechenClick(); };
  EXPECT_EQ(Kopieren("a/F", "b/g", 4), KopierErgebnis::kAbgebrochen);
  EXPECT_FALSE(tree.Exists("b/g"));
  EXPECT_EQ(k->Statistik().AnzahlKopiert, 1);
  // The window last heard "1 kopiert" and the broken-off file's start, not its end.
  ASSERT_FALSE(win.calls.empty());
  EXPECT_EQ(win.calls.back().rfind("NeueDatei " + tree.Path("a/F"), 0), 0u) << win.calls.back();
  EXPECT_EQ(std::count(win.calls.begin(), win.calls.end(), "Fertig Anzahl Dateien: 1 kopiert"), 1);
}

TEST_F(KopierenTest, FailedCopyStillCountsAndFinishes) {
  EXPECT_EQ(Kopieren("a/fehlt", "b/f", 4), KopierErgebnis::kFehler);
  EXPECT_EQ(k->Statistik().AnzahlKopiert, 1);
  ASSERT_EQ(win.calls.size(), 3u);
  EXPECT_EQ(win.calls[0].rfind("NeueDatei ", 0), 0u);
  EXPECT_EQ(win.calls[1].rfind("Fehler ", 0), 0u);
  EXPECT_EQ(win.calls[2], "Fertig Anzahl Dateien: 1 kopiert");
  EXPECT_EQ(log.Lines().back(), std::make_pair(LogStufe::kDebugAusfuehrlich,
                                               std::string("Vergl: Kopie abgeschlossen")));
}

TEST_F(KopierenTest, StatisticsCarryMillionsAndShowInNeueDatei) {
  // The sizes feed the statistics only; the files are small.
  Kopieren("a/f", "b/1", 999999);
  Kopieren("a/f", "b/2", 2);
  EXPECT_EQ(k->Statistik().SummeMio, 1);
  EXPECT_EQ(k->Statistik().SummeRest, 1);
  EXPECT_EQ(k->Statistik().AktGroesse, 2);
  EXPECT_EQ(k->Statistik().AktDatei, tree.Path("a/f"));
  EXPECT_EQ(win.calls[win.calls.size() - 2], "NeueDatei " + tree.Path("a/f") +
                                                 "|Anzahl Dateien: 1 kopiert" +
                                                 "|Summe: 1,000 MB / Akt.: 2 Bytes");

  int64_t gross = (int64_t{1} << 31) + 5;
  Kopieren("a/f", "b/3", gross);
  EXPECT_EQ(k->Statistik().AktGroesse, gross);
  EXPECT_EQ(k->Statistik().SummeMio, 2148);
  EXPECT_EQ(k->Statistik().SummeRest, 483654);
  EXPECT_EQ(win.fehler.size(), 0u);
  EXPECT_EQ(tree.Read("b/3"), "eins");
}

}  // namespace
}  // namespace zarnoft::testing
