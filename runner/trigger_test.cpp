#include "runner/trigger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::TempTree;

// Notes the delay instead of sleeping; answers as told.
class NotierteWartezeit : public Wartezeit {
 public:
  bool Warten(int sekunden) override {
    gewartet.push_back(sekunden);
    return !abbrechen;
  }
  std::vector<int> gewartet;
  bool abbrechen = false;
};

struct Lauf {
  std::string sammlung;
  std::vector<int> jobs;
};

class AusloeserTest : public ::testing::Test {
 protected:
  AusloeserTest() : orte_(PortableDateiOrte(t_.Mkdir("prog"))) {
    d_.warten = &warten_;
    d_.home = t_.Path("home");
    d_.meldung = [this](const std::string& m) { meldungen_.push_back(m); };
    d_.lauf = [this](const SyncOptionen& o) {
      laeufe_.push_back({o.sammlung, o.jobs});
      return antworten_.empty() ? kSyncOk : antworten_[laeufe_.size() - 1];
    };
  }
  void Einstellungen(const std::string& hauptprogramm) {
    t_.Write("prog/Main.sda", "[Hauptprogramm]\n" + hauptprogramm);
  }
  // A collection whose jobs carry the given flags: "B" Booten, "H" Herunterfahren, "-" none.
  std::string Sammlung(const std::string& name, const std::vector<std::string>& flags) {
    std::string s = "[Allgemein]\nVersion=2\nAnzahl=" + std::to_string(flags.size()) + "\n";
    for (size_t i = 0; i < flags.size(); ++i) {
      s += "[Vorgang " + std::to_string(i + 1) + "]\nHerkunft=/a\nZiel=/b\nArt=1\n";
      s += std::string("Booten=") + (flags[i].find('B') != std::string::npos ? "1" : "0") + "\n";
      s += std::string("Herunterfahren=") + (flags[i].find('H') != std::string::npos ? "1" : "0") +
           "\n";
    }
    return t_.Write(name, s);
  }
  int Ausfuehren(Ausloeser a, const std::vector<std::string>& sammlungen = {}) {
    return AusloeserAusfuehren(a, sammlungen, false, orte_, d_);
  }

  TempTree t_;
  DateiOrte orte_;
  NotierteWartezeit warten_;
  AusloeserDienste d_;
  std::vector<std::string> meldungen_;
  std::vector<Lauf> laeufe_;
  std::vector<int> antworten_;  // the exit status of each run in turn; empty: all 0
};

TEST_F(AusloeserTest, StartWaitsTheDelayAndRunsTheBootJobsOnly) {
  Einstellungen("BootZeit=20\n");
  const std::string s1 = Sammlung("eins.syc", {"B", "H", "BH", "-"});
  const std::string s2 = Sammlung("zwei.syc", {"H"});  // nothing marked for start: not run
  EXPECT_EQ(Ausfuehren(Ausloeser::kStart, {s1, s2}), kSyncOk);
  EXPECT_EQ(warten_.gewartet, std::vector<int>{20});
  ASSERT_EQ(laeufe_.size(), 1u);
  EXPECT_EQ(laeufe_[0].sammlung, s1);
  EXPECT_EQ(laeufe_[0].jobs, (std::vector<int>{1, 3}));

  laeufe_.clear();
  EXPECT_EQ(Ausfuehren(Ausloeser::kEnde, {s1, s2}), kSyncOk);
  EXPECT_EQ(warten_.gewartet.size(), 1u);  // no delay at the end
  ASSERT_EQ(laeufe_.size(), 2u);
  EXPECT_EQ(laeufe_[0].jobs, (std::vector<int>{2, 3}));
  EXPECT_EQ(laeufe_[1].jobs, std::vector<int>{1});
  EXPECT_TRUE(meldungen_.empty());
}

TEST_F(AusloeserTest, DelayIsKeptInTheDialogsRangeAndSettingsCanSwitchItOff) {
  const std::string s = Sammlung("s.syc", {"BH"});
  Einstellungen("BootZeit=1\n");
  Ausfuehren(Ausloeser::kStart, {s});
  Einstellungen("BootZeit=600\n");
  Ausfuehren(Ausloeser::kStart, {s});
  t_.Write("prog/Main.sda", "");  // no settings: on, 5 seconds
  Ausfuehren(Ausloeser::kStart, {s});
  EXPECT_EQ(warten_.gewartet, (std::vector<int>{5, 60, 5}));
  EXPECT_EQ(laeufe_.size(), 3u);

  Einstellungen("Boot=0\nShut=0\n");
  EXPECT_EQ(Ausfuehren(Ausloeser::kStart, {s}), kSyncOk);
  EXPECT_EQ(Ausfuehren(Ausloeser::kEnde, {s}), kSyncOk);
  EXPECT_EQ(laeufe_.size(), 3u);
  EXPECT_EQ(warten_.gewartet.size(), 3u);
  ASSERT_EQ(meldungen_.size(), 2u);
  EXPECT_NE(meldungen_[0].find("\"Aufträge beim Startvorgang\""), std::string::npos);
}

TEST_F(AusloeserTest, TheListNamesTheCollectionsAndAMissingOneDoesNotStopTheOthers) {
  Einstellungen("");
  EXPECT_EQ(Ausfuehren(Ausloeser::kEnde), kSyncOk);  // no list: nothing to do, said once
  ASSERT_EQ(meldungen_.size(), 1u);
  EXPECT_EQ(meldungen_[0], "Keine Auftragssammlung für automatische Läufe eingetragen (" +
                               t_.Path("prog/automatisch.txt") + ", eine Sammlung je Zeile).");

  const std::string a = Sammlung("home/a.syc", {"H"});
  const std::string b = Sammlung("home/Sync/b.syc", {"H"});
  const std::string c = Sammlung("c.syc", {"H"});
  t_.Write("prog/automatisch.txt",
           "# Sammlungen\n\n  ~/a.syc  \n" + t_.Path("fehlt.syc") + "\nSync/b.syc\r\n" + c + "\n");
  meldungen_.clear();
  EXPECT_EQ(Ausfuehren(Ausloeser::kEnde), kSyncFehler);
  ASSERT_EQ(laeufe_.size(), 3u);
  EXPECT_EQ(laeufe_[0].sammlung, a);
  EXPECT_EQ(laeufe_[1].sammlung, b);
  EXPECT_EQ(laeufe_[2].sammlung, c);
  ASSERT_EQ(meldungen_.size(), 1u);
  EXPECT_EQ(meldungen_[0], "Die Auftragssammlung " + t_.Path("fehlt.syc") +
                               " für automatische Läufe fehlt oder ist nicht lesbar; sie wird "
                               "übersprungen.");
}

TEST_F(AusloeserTest, AFailedRunIsReportedAndACancelStopsTheRest) {
  Einstellungen("");
  const std::string a = Sammlung("a.syc", {"H"});
  const std::string b = Sammlung("b.syc", {"H"});
  antworten_ = {kSyncFehler, kSyncOk};
  EXPECT_EQ(Ausfuehren(Ausloeser::kEnde, {a, b}), kSyncFehler);
  EXPECT_EQ(laeufe_.size(), 2u);

  laeufe_.clear();
  antworten_ = {kSyncAbgebrochen, kSyncOk};
  EXPECT_EQ(Ausfuehren(Ausloeser::kEnde, {a, b}), kSyncAbgebrochen);
  EXPECT_EQ(laeufe_.size(), 1u);

  laeufe_.clear();
  warten_.abbrechen = true;  // cancelled during the delay: nothing runs
  EXPECT_EQ(Ausfuehren(Ausloeser::kStart, {Sammlung("s.syc", {"B"})}), kSyncAbgebrochen);
  EXPECT_TRUE(laeufe_.empty());
}

}  // namespace
}  // namespace zarnoft
