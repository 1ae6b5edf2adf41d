// How a job's comparison is started and its end learnt. VergleichStarten starts one job's run
// for a caller that serves the run itself (the headless runner). The main window starts through
// a LaufStarter: the real one creates a Vergleiche per run; tests hand in a fake that ends runs
// when the test says so.
//
// Threads: every call, and every end notification, on the GUI thread. An end notification comes
// exactly once per started run, also after StopAnfordern and after Schliessen.
#ifndef ZARNOFT_JOBS_RUN_STARTER_H_
#define ZARNOFT_JOBS_RUN_STARTER_H_

#include <functional>
#include <memory>
#include <vector>

#include "engine/comparison.h"
#include "engine/undo.h"
#include "jobs/job.h"

namespace zarnoft {

// Starts a comparison of `job` with its VergleichsWerte (VergleichsWerteFuer) and records the run
// as the job's Thread. `beendet` runs on the GUI thread at the run's end (it finds the job through
// Sammlung::MitThread and records the run with LaufBeendet). Returns the handle; an empty one
// when no thread could be started (the job stays idle, no end notification follows).
// `loesch_grenze` is the deletion guard's setting; a probe run (`probelauf`) changes nothing and
// is never recorded as the job's last run; `rueckgaengig_tage` and `rueckgaengig_anteil` are
// the settings of kept runs (VergleichsWerte).
LaufHandle VergleichStarten(TVergleichThread* job, const std::string& loeschen_wohin,
                            LoeschModus loeschen, const LaufDienste& dienste,
                            Vergleiche::EndeMeldung beendet,
                            int loesch_grenze = kLoeschGrenzeStandard, bool probelauf = false,
                            int rueckgaengig_tage = kRueckgaengigTageStandard,
                            int rueckgaengig_anteil = kRueckgaengigAnteilStandard);

class LaufStarter {
 public:
  using Ende = std::function<void(LaufHandle lauf, const LaufErgebnis& ende)>;
  using RueckgaengigEnde = std::function<void(LaufHandle lauf, const RueckgaengigErgebnis& ende)>;
  virtual ~LaufStarter() = default;

  // Starts a comparison with `werte`. `ende` runs later, on the GUI thread, never inside
  // this call. An empty handle when no run could be started: then `ende` never runs. `bericht`
  // (may be null) receives the run's actions and failures on the run's thread; the starter keeps
  // it alive until the run is done.
  virtual LaufHandle Starten(const VergleichsWerte& werte, Ende ende,
                             std::shared_ptr<LaufBericht> bericht) = 0;
  // Takes a job's last run back (LetztenLaufRueckgaengig; with werte.Probelauf only its plan) on
  // a thread of its own, which counts as a run of the job: its handle is the job's Thread while it
  // goes on, and Schliessen waits for its end notification as for a run's. An undo is not stopped
  // half way: StopAnfordern and Schliessen let it finish. `ende` runs later, on the GUI thread,
  // never inside this call; `bericht` (may be null) receives the steps and failures on the undo's
  // thread. An empty handle when no thread could be started: then `ende` never runs. The default
  // starts nothing.
  virtual LaufHandle RueckgaengigStarten(const RueckgaengigWerte& werte, RueckgaengigEnde ende,
                                         std::shared_ptr<LaufBericht> bericht) {
    (void)werte;
    (void)ende;
    (void)bericht;
    return LaufHandle();
  }
  // Asks a run to stop at its next check, without waiting.
  virtual void StopAnfordern(LaufHandle lauf) = 0;
  // The program closes: every run is cancelled, and questions that runs ask (now and from now on)
  // are answered as closed without an answer. The end notifications still come.
  virtual void Schliessen() = 0;
};

// The starter of the program: one Vergleiche per run, with the services given.
class VergleicheStarter : public LaufStarter {
 public:
  explicit VergleicheStarter(const LaufDienste& dienste) : dienste_(dienste) {}
  // Stops the GUI caller's serving and waits for every run's thread to be done, so that neither
  // the caller nor this object is used by a run after they are gone. Runs still under way end by
  // themselves, without their end notification. GUI thread, after its event loop has ended.
  ~VergleicheStarter() override;
  LaufHandle Starten(const VergleichsWerte& werte, Ende ende,
                     std::shared_ptr<LaufBericht> bericht) override;
  LaufHandle RueckgaengigStarten(const RueckgaengigWerte& werte, RueckgaengigEnde ende,
                                 std::shared_ptr<LaufBericht> bericht) override;
  void StopAnfordern(LaufHandle lauf) override;
  void Schliessen() override;

 private:
  LaufDienste dienste_;
  std::vector<LaufHandle> laufend_;    // started, end notification not yet returned
  std::vector<LaufHandle> gestartet_;  // started, thread perhaps not yet done
};

}  // namespace zarnoft

#endif  // ZARNOFT_JOBS_RUN_STARTER_H_
