// Runs of jobs of a collection, as the editor and the runner start and end them: a job deleted
// while its run is under way, and a program that closes with runs under way. Under
// AddressSanitizer these show that nothing touches freed memory.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "jobs/job.h"
#include "jobs/run_starter.h"
#include "testing/fake_window.h"
#include "testing/recording_log.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using std::chrono::milliseconds;
using testing::FakeWindow;
using testing::RecordingLog;
using testing::TempTree;

constexpr milliseconds kGeduld(60000);

// A window that holds its run at the n-th change of the display until the test lets it go on,
// and keeps its questions open until the program closes.
class HaltFenster : public FakeWindow {
 public:
  struct Steuerung {
    int halt_bei = -1;  // the change at which the run waits; -1: never
    std::atomic<bool> angehalten{false};
    std::atomic<bool> weiter{false};
    std::atomic<int> fragen{0};
  };
  explicit HaltFenster(Steuerung* s) : s_(s) { mitschreiben = true; }

  void FrageStellen(const Frage&, AntwortRueckruf antwort) override {
    offen_.push_back(antwort);  // never answered: only closing ends the wait
    ++s_->fragen;
  }
  void VerzeichnisZeigen(const std::string&) override { Aenderung(); }
  void DateiZaehlen(int32_t, int) override { Aenderung(); }
  void NeueDatei(const NeueDateiAnzeige&) override { Aenderung(); }
  void DateiFertig(const std::string&) override { Aenderung(); }

 private:
  // On the run's thread.
  void Aenderung() {
    if (aenderungen_++ != s_->halt_bei) return;
    s_->angehalten = true;
    while (!s_->weiter) std::this_thread::sleep_for(milliseconds(1));
  }
  Steuerung* s_;
  int aenderungen_ = 0;
  std::vector<AntwortRueckruf> offen_;
};

class JobLaufTest : public ::testing::Test {
 protected:
  JobLaufTest() {
    for (int i = 0; i < 12; ++i)
      baum.Write("h/d" + std::to_string(i % 3) + "/f" + std::to_string(i), std::string(100, 'x'));
  }

  TVergleichThread Job(const std::string& ziel) {
    TVergleichThread j;
    j.Herkunft = baum.Path("h");
    j.Ziel = baum.Mkdir(ziel);
    j.Art = VorgangsArt::kSynchronisieren;
    j.Unterverzeichnisse = true;
    return j;
  }

  // Starts the job's run as the editor does; the end notification records it in the collection.
  LaufHandle Starten(TVergleichThread* job, HaltFenster::Steuerung* st) {
    LaufDienste d;
    d.log = &log;
    d.gui = &gui;
    d.fenster = [st]() -> std::unique_ptr<FortschrittFenster> {
      return std::make_unique<HaltFenster>(st);
    };
    return VergleichStarten(job, baum.Path("lager"), LoeschModus::kNormal, d,
                            [this](const LaufHandle& lauf, const LaufErgebnis& e) {
                              ++enden;
                              if (TVergleichThread* j = sammlung.MitThread(lauf)) {
                                LaufBeendet(j, e, &uhr);
                                ++gefunden;
                              }
                            });
  }

  TempTree baum;
  RecordingLog log;
  QueueCaller gui;
  ManualClock uhr;
  Sammlung sammlung;
  int enden = 0;
  int gefunden = 0;
};

TEST_F(JobLaufTest, DeletingARunningJobAtAnyMomentTouchesNoFreedMemory) {
  // Moment -1: deleted before the run was served at all; then at each change of its display,
  // until the run has fewer changes than the moment.
  bool vorbei = false;
  for (int moment = -1; !vorbei; ++moment) {
    SCOPED_TRACE(moment);
    enden = gefunden = 0;
    HaltFenster::Steuerung st;
    st.halt_bei = moment;
    TVergleichThread* job = sammlung.Anhaengen(Job("z" + std::to_string(moment + 1)));
    LaufHandle lauf = Starten(job, &st);
    LaufHandle nur_zum_warten = lauf;
    lauf = LaufHandle();
    if (moment >= 0) {
      ASSERT_TRUE(
          gui.ServeUntil([&] { return st.angehalten || nur_zum_warten.Beendet(); }, kGeduld));
      vorbei = !st.angehalten;
    }
    // As the main window deletes a job: unlink it, ask its run to stop, drop the record.
    std::unique_ptr<TVergleichThread> weg = sammlung.Entfernen(0);
    weg->Thread.StopAnfordern();
    weg.reset();
    st.weiter = true;
    ASSERT_TRUE(gui.ServeUntil([&] { return nur_zum_warten.Beendet(); }, kGeduld));
    EXPECT_EQ(enden, 1);
    EXPECT_EQ(gefunden, vorbei ? 1 : 0);  // a deleted job is not found by the notification
    nur_zum_warten.StopAnfordern();       // harmless after the end
    if (vorbei) {
      EXPECT_GT(moment, 20);
    }
  }
}

TEST_F(JobLaufTest, ClosingWithRunsUnderWayCancelsThemAndServesUntilTheLastEnd) {
  TVergleichThread* fragt = sammlung.Anhaengen(Job("z_fragt"));
  fragt->Aufruf = 45000;  // ran before, and its target is empty: it asks before it walks
  TVergleichThread* haelt = sammlung.Anhaengen(Job("z_haelt"));
  TVergleichThread* laeuft = sammlung.Anhaengen(Job("z_laeuft"));
  HaltFenster::Steuerung st_fragt, st_haelt, st_laeuft;
  st_haelt.halt_bei = 5;
  std::vector<LaufHandle> laeufe = {Starten(fragt, &st_fragt), Starten(haelt, &st_haelt),
                                    Starten(laeuft, &st_laeuft)};
  ASSERT_TRUE(gui.ServeUntil([&] { return st_fragt.fragen == 1 && st_haelt.angehalten; }, kGeduld));

  // The main window closes: every run is cancelled, open questions are answered as closed,
  // and the GUI thread serves until the last end notification.
  gui.SchliessenBeginnen();
  for (TVergleichThread* job : {fragt, haelt, laeuft}) job->Thread.Abbrechen();
  st_haelt.weiter = true;
  ASSERT_TRUE(gui.ServeUntil([&] { return enden == 3; }, kGeduld));
  gui.Einstellen();
  for (const LaufHandle& l : laeufe) l.Warten();
  EXPECT_EQ(gefunden, 3);
  EXPECT_EQ(fragt->Aufruf, 45000);  // a cancelled run is no completed run
  EXPECT_TRUE(haelt->Thread.Leer());
  EXPECT_TRUE(laeufe[0].Ergebnis().abgebrochen);
  EXPECT_TRUE(laeufe[1].Ergebnis().abgebrochen);
  sammlung.Leeren();
}

// A bericht that counts the steps it is told of, on any thread.
class Zaehler : public LaufBericht {
 public:
  void Getan(const Aktion&) override { ++schritte; }
  void Fehler(const Fehlerzeile&) override { ++fehler; }
  std::atomic<int> schritte{0};
  std::atomic<int> fehler{0};
};

// The editor's starter takes a run back on a thread of its own, as a run of the job: the plan
// reaches the report and changes nothing, the end comes on the GUI thread, and the undo itself
// removes what the run wrote.
TEST_F(JobLaufTest, TheStarterTakesARunBackOnAThreadOfItsOwnAndEndsOnTheGuiThread) {
  TVergleichThread* job = sammlung.Anhaengen(Job("z"));
  LaufDienste d;
  d.log = &log;
  d.gui = &gui;
  VergleicheStarter starter(d);
  LaufHandle lauf = starter.Starten(
      VergleichsWerteFuer(*job, baum.Path("lager"), LoeschModus::kNormal),
      [&](LaufHandle, const LaufErgebnis&) { ++enden; }, nullptr);
  ASSERT_TRUE(gui.ServeUntil([&] { return enden == 1; }, kGeduld));
  ASSERT_TRUE(baum.Exists("z/d0/f0"));

  std::vector<RueckgaengigErgebnis> ergebnisse;
  auto rueckgaengig = [&](bool probe, const std::string& name) {
    RueckgaengigWerte w;
    w.Herkunft = job->Herkunft;
    w.Ziel = job->Ziel;
    w.Probelauf = probe;
    w.Lauf = name;
    auto bericht = std::make_shared<Zaehler>();
    const auto gui_thread = std::this_thread::get_id();
    LaufHandle l = starter.RueckgaengigStarten(
        w,
        [&, gui_thread](LaufHandle, const RueckgaengigErgebnis& e) {
          EXPECT_EQ(std::this_thread::get_id(), gui_thread);
          ergebnisse.push_back(e);
        },
        bericht);
    EXPECT_FALSE(l.Leer());
    const size_t vorher = ergebnisse.size();
    EXPECT_TRUE(gui.ServeUntil([&] { return ergebnisse.size() > vorher; }, kGeduld));
    l.Warten();
    EXPECT_EQ(bericht->schritte, ergebnisse.back().schritte);
  };
  rueckgaengig(/*probe=*/true, "");
  ASSERT_TRUE(ergebnisse[0].abgelehnt.empty()) << ergebnisse[0].abgelehnt;
  EXPECT_GE(ergebnisse[0].schritte, 12);
  EXPECT_TRUE(baum.Exists("z/d0/f0"));
  rueckgaengig(/*probe=*/false, ergebnisse[0].lauf);
  EXPECT_EQ(ergebnisse[1].schritte, ergebnisse[0].schritte);
  EXPECT_EQ(ergebnisse[1].fehler, 0);
  EXPECT_FALSE(baum.Exists("z/d0"));
  EXPECT_TRUE(baum.Exists("h/d0/f0"));
  lauf.Warten();
  sammlung.Leeren();
}

}  // namespace
}  // namespace zarnoft
