// Whole runs on their threads, seen through their handles and their windows: what the window
// shows at the end, a question that holds up only its own run, a GUI thread that stops serving.
#include "engine/run_handle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/comparison.h"
#include "testing/fake_window.h"
#include "testing/recording_log.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using std::chrono::milliseconds;
using testing::FakeWindow;
using testing::RecordingLog;
using testing::TempTree;

// A window that keeps its questions open until the test answers them, and leaves what it saw
// behind when the run destroys it.
class OffenesFenster : public FakeWindow {
 public:
  struct Spur {
    Fortschrittsstand gezeigt;
    std::vector<std::string> calls;
    std::vector<AntwortRueckruf> offene_fragen;
    bool zerstoert = false;
  };
  explicit OffenesFenster(Spur* spur) : spur_(spur) { mitschreiben = false; }
  ~OffenesFenster() override {
    spur_->gezeigt = gezeigt;
    spur_->calls = calls;
    spur_->zerstoert = true;
  }
  void FrageStellen(const Frage& f, AntwortRueckruf antwort) override {
    calls.push_back("Frage " + f.titel);
    spur_->offene_fragen.push_back(antwort);
  }

 private:
  Spur* spur_;
};

class LaufHandleTest : public ::testing::Test {
 protected:
  VergleichsWerte Werte(const std::string& name, VorgangsArt art = VorgangsArt::kSynchronisieren) {
    VergleichsWerte w;
    w.Herkunft = baum.Mkdir(name + "_h");
    w.Ziel = baum.Mkdir(name + "_z");
    w.LoeschenWohin = baum.Path("lager");
    w.Art = art;
    w.Unterverzeichnisse = true;
    return w;
  }
  LaufHandle Starten(const VergleichsWerte& w, OffenesFenster::Spur* spur, int* enden) {
    LaufDienste d;
    d.log = &log;
    d.gui = &gui;
    d.fenster = [spur]() -> std::unique_ptr<FortschrittFenster> {
      return std::make_unique<OffenesFenster>(spur);
    };
    return Vergleiche::Starten(w, d, [enden](const LaufHandle&, const LaufErgebnis&) { ++*enden; });
  }

  QueueCaller gui;
  RecordingLog log;
  TempTree baum;
};

TEST_F(LaufHandleTest, AfterTenThousandFilesTheWindowShowsExactlyTheRunsEnd) {
  VergleichsWerte w = Werte("gross", VorgangsArt::kKopieren);
  constexpr int kDateien = 10000;
  for (int i = 0; i < kDateien; ++i) {
    baum.Write("gross_h/d" + std::to_string(i / 500) + "/f" + std::to_string(i), "12345");
  }
  w.Zaehler = 8000;   // more files than expected: the gauge holds at 100 %
  w.ZaehlArt = true;  // counted on the source side
  OffenesFenster::Spur spur;
  int enden = 0;
  LaufHandle lauf = Starten(w, &spur, &enden);
  ASSERT_TRUE(gui.ServeUntil([&] { return lauf.Beendet(); }, milliseconds(300000)));
  EXPECT_EQ(enden, 1);
  EXPECT_TRUE(spur.zerstoert);
  EXPECT_FALSE(lauf.Ergebnis().abgebrochen);

  Fortschrittsstand ende;
  ende.art = "Herkunft auf Ziel (neuere Herkunft)";
  ende.verzeichnis = "/";  // back at the top after the last subdirectory
  ende.gezaehlt = kDateien;
  ende.verzeichnisse_prozent = 100;
  ende.akt_datei = w.Herkunft + "/d9/f4999";  // the last name in byte order
  ende.datei_prozent = 100;
  ende.anzahl_text = "Anzahl Dateien: 10.000 kopiert";
  ende.kb_text = "Summe: 50 kB / Akt.: 5 Bytes";  // 50,000 bytes, 5 in the last file
  EXPECT_EQ(spur.gezeigt.art, ende.art);
  EXPECT_EQ(spur.gezeigt.verzeichnis, ende.verzeichnis);
  EXPECT_EQ(spur.gezeigt.gezaehlt, ende.gezaehlt);
  EXPECT_EQ(spur.gezeigt.akt_datei, ende.akt_datei);
  EXPECT_EQ(spur.gezeigt.anzahl_text, ende.anzahl_text);
  EXPECT_EQ(spur.gezeigt.kb_text, ende.kb_text);
  EXPECT_EQ(spur.gezeigt, ende);
}

TEST_F(LaufHandleTest, AQuestionHoldsUpOnlyItsOwnRun) {
  // A two-way job that ran before, with one side empty, asks before it walks.
  VergleichsWerte fragt = Werte("fragt");
  baum.Write("fragt_h/a.txt", "a");
  fragt.Aufruf = 45000;
  VergleichsWerte laeuft = Werte("laeuft", VorgangsArt::kKopieren);
  baum.Write("laeuft_h/b.txt", "b");

  OffenesFenster::Spur spur1, spur2;
  int enden = 0;
  LaufHandle eins = Starten(fragt, &spur1, &enden);
  ASSERT_TRUE(gui.ServeUntil([&] { return !spur1.offene_fragen.empty(); }, milliseconds(30000)));
  LaufHandle zwei = Starten(laeuft, &spur2, &enden);
  ASSERT_TRUE(gui.ServeUntil([&] { return zwei.Beendet(); }, milliseconds(30000)));
  EXPECT_TRUE(baum.Exists("laeuft_z/b.txt"));
  EXPECT_FALSE(eins.Beendet());

  spur1.offene_fragen[0](0);  // "&Ja": go on
  ASSERT_TRUE(gui.ServeUntil([&] { return eins.Beendet(); }, milliseconds(30000)));
  EXPECT_TRUE(baum.Exists("fragt_z/a.txt"));
  EXPECT_EQ(enden, 2);
  EXPECT_FALSE(eins.Ergebnis().abgebrochen);
}

TEST_F(LaufHandleTest, ARunWhoseWindowIsNoLongerServedEndsByItself) {
  VergleichsWerte w = Werte("weg");
  baum.Write("weg_h/a.txt", "a");
  w.Aufruf = 45000;  // it will ask
  OffenesFenster::Spur spur;
  int enden = 0;
  LaufHandle lauf = Starten(w, &spur, &enden);
  ASSERT_TRUE(gui.ServeUntil([&] { return !spur.offene_fragen.empty(); }, milliseconds(30000)));
  // The event loop ends while the question is open: nothing serves the run any more.
  gui.Einstellen();
  ASSERT_TRUE(lauf.WartenHoechstens(milliseconds(30000)));
  EXPECT_TRUE(lauf.Ergebnis().abgebrochen);
  EXPECT_EQ(enden, 0);           // the end notification could not be delivered
  EXPECT_FALSE(spur.zerstoert);  // the window stays: it belongs to a thread that is gone
  EXPECT_FALSE(baum.Exists("weg_z/a.txt"));

  // The handle stays harmless after the end.
  lauf.StopAnfordern();
  lauf.Abbrechen();
  lauf.Warten();
  LaufHandle kopie = lauf;
  EXPECT_EQ(kopie, lauf);
  EXPECT_NE(kopie, LaufHandle::Neu());
  EXPECT_TRUE(LaufHandle().Beendet());
}

}  // namespace
}  // namespace zarnoft
