#include "engine/deletion_guard.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/removals.h"
#include "engine/walk.h"
#include "testing/record_kit.h"
#include "testing/run_test_kit.h"

namespace zarnoft {
namespace {

using testing::HookLauf;
using testing::SetTimes;

TEST(LoeschGrenzeTest, AsksOnlyAboveTheLimitAndFromTwentyFilesOn) {
  struct Fall {
    int64_t n, m;
    int grenze;
    bool fragt;
  } faelle[] = {
      {19, 19, 50, false},                           // below twenty files it never asks
      {20, 40, 50, false},                           // exactly the limit
      {20, 39, 50, true},                            // just above it
      {21, 41, 50, true},     {100, 100, 0, false},  // 0 switches the guard off
      {100, 100, 100, false}, {30, 100, 29, true},  {30, 100, 30, false},
  };
  for (const Fall& f : faelle)
    EXPECT_EQ(UeberLoeschGrenze(f.n, f.m, f.grenze), f.fragt) << f.n << " von " << f.m;
}

TEST(EntfernungslisteTest, HundredThousandRemovalsStayWellBelowSixteenMegabytes) {
  Entfernungsliste l;
  for (int i = 0; i < 100000; ++i)
    l.Hinzufuegen(AktionsSeite::kZiel, false, "ordner/unter/datei_" + std::to_string(i) + ".txt",
                  nullptr, 1, StandEintrag());
  EXPECT_LT(l.Speicher(), 16u << 20);
  EXPECT_EQ(l.Dateien(AktionsSeite::kZiel), 100000);
  EXPECT_EQ(l.Holen(99999).rel, "ordner/unter/datei_99999.txt");
}

// Calls `bei_loeschen` after each deletion of a file.
class ZaehlFs : public FileSystemWrapper {
 public:
  ZaehlFs() : FileSystemWrapper(FileSystem::Default()) {}
  Status DeleteFile(const std::string& p) override {
    Status s = FileSystemWrapper::DeleteFile(p);
    ++geloescht;
    if (bei_loeschen) bei_loeschen();
    return s;
  }
  std::function<void()> bei_loeschen;
  int geloescht = 0;
};

// A two-way run after an earlier one: `weg` files deleted in the target since (still in the
// source as the record of the last run lists them), and `bleibt` files on both sides.
struct GuardLauf {
  GuardLauf() : l(&fs) {
    const FileTime jetzt = Clock::System()->Now();
    basis = FileTime{(jetzt.sec + 30 * 86400) / 2 * 2, 0};
    l.k.Letzter = LetzterLauf::AusDos(DosFromFileTime(basis));
    l.k.Unterverzeichnisse = true;
  }
  void Baum(int weg, int bleibt) {
    const FileTime alt{basis.sec - 7200, 0};
    std::vector<std::string> namen;
    for (int i = 0; i < weg; ++i) {
      SetTimes(l.baum.Write("h/weg" + std::to_string(i), "x"), alt, alt);
      namen.push_back("weg" + std::to_string(i));
    }
    for (int i = 0; i < bleibt; ++i) {
      const std::string n = "bleibt" + std::to_string(i);
      SetTimes(l.baum.Write("h/" + n, "x"), alt, alt);
      SetTimes(l.baum.Write("z/" + n, "x"), alt, alt);
      namen.push_back(n);
    }
    testing::StandMit(&stand, l.baum.Path("stand"), l.k.Herkunft, l.k.Ziel, namen);
    l.k.stand_alt = &stand;
  }
  int Uebrig(int weg) const {
    int n = 0;
    for (int i = 0; i < weg; ++i) n += l.baum.Exists("h/weg" + std::to_string(i)) ? 1 : 0;
    return n;
  }
  void Laufen() {
    Verzeichnisvergleich w(l.k);
    w.VerzeichnisVergleichen("");
    w.Entfernen();
  }

  ZaehlFs fs;
  HookLauf l;
  StandLeser stand;
  FileTime basis;
};

TEST(GuardTest, AboveTheLimitOnlyJaDeletesAndEveryOtherAnswerKeepsAllAndFails) {
  const int antworten[] = {0, 1, kKeineAntwort, kNiemandGefragt};
  for (int antwort : antworten) {
    GuardLauf t;
    t.Baum(30, 10);
    t.l.fenster.antworten = {antwort};
    t.Laufen();
    ASSERT_EQ(t.l.fenster.fragen.size(), 1u);
    const Frage& f = t.l.fenster.fragen[0];
    EXPECT_EQ(f.text, "Dieser Lauf würde in " + t.l.k.Herkunft +
                          " 30 von 40 Dateien löschen (75 %). Sollen sie gelöscht werden?");
    EXPECT_EQ(f.knoepfe, (std::vector<std::string>{"&Ja", "&Nein"}));
    EXPECT_EQ(f.standard, 1);
    if (antwort == 0) {
      EXPECT_EQ(t.Uebrig(30), 0);
      EXPECT_EQ(t.l.k.Fehler, 0);
    } else {
      EXPECT_EQ(t.Uebrig(30), 30) << antwort;
      EXPECT_EQ(t.l.k.Fehler, 1);
      EXPECT_TRUE(t.l.log.Has(LogStufe::kWarnung, "Vergl: Löschschutz: 30 von 40 Dateien in " +
                                                      t.l.k.Herkunft + " nicht gelöscht"));
    }
  }
}

TEST(GuardTest, WithinTheLimitBelowTwentyOrSwitchedOffNothingIsAsked) {
  struct Fall {
    int weg, bleibt, grenze;
  } faelle[] = {{20, 20, 50}, {19, 0, 50}, {30, 0, 0}};
  for (const Fall& f : faelle) {
    GuardLauf t;
    t.Baum(f.weg, f.bleibt);
    t.l.k.LoeschGrenze = f.grenze;
    t.Laufen();
    EXPECT_TRUE(t.l.fenster.fragen.empty()) << f.weg;
    EXPECT_EQ(t.Uebrig(f.weg), 0);
  }
}

TEST(GuardTest, ACancelledRunRemovesNothingMoreThanItHadRemoved) {
  GuardLauf vorher;
  vorher.Baum(30, 0);
  vorher.l.k.LoeschGrenze = 0;
  // Cancelled during the walk: the removals never start.
  vorher.l.k.fenster->AbbruchSetzen();
  vorher.Laufen();
  EXPECT_EQ(vorher.Uebrig(30), 30);

  GuardLauf t;
  t.Baum(30, 0);
  t.l.k.LoeschGrenze = 0;
  // Cancelled after the fifth removal: the other 25 stay.
  t.fs.bei_loeschen = [&] {
    if (t.fs.geloescht == 5) t.l.fenster.AbbrechenClick();
  };
  t.Laufen();
  EXPECT_EQ(t.Uebrig(30), 25);
}

}  // namespace
}  // namespace zarnoft
