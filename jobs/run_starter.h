// How the main window starts comparisons and learns of their end. The real starter creates a
// Vergleiche per run; tests hand in a fake that ends runs when the test says so.
//
// Threads: every call, and every end notification, on the GUI thread. An end notification comes
// exactly once per started run, also after StopAnfordern and after Schliessen.
#ifndef ZARNOFT_JOBS_RUN_STARTER_H_
#define ZARNOFT_JOBS_RUN_STARTER_H_

#include <functional>
#include <vector>

#include "jobs/job.h"
#include "engine/comparison.h"

namespace zarnoft {

// What a job holds of its running comparison (the job's Thread).
using LaufGriff = LaufHandle;

// The result that an ending run offers: cancelled or failed to start, and its failures (a run
// with failures is not complete).
using LaufEnde = LaufErgebnis;

class LaufStarter {
 public:
  using Ende = std::function<void(LaufGriff lauf, const LaufEnde& ende)>;
  virtual ~LaufStarter() = default;

  // Starts a comparison with the ten values. `ende` runs later, on the GUI thread, never inside
  // this call. An empty handle when no run could be started: then `ende` never runs.
  virtual LaufGriff Starten(const VergleichsWerte& werte, Ende ende) = 0;
  // Asks a run to stop at its next check, without waiting.
  virtual void StopAnfordern(LaufGriff lauf) = 0;
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
  LaufGriff Starten(const VergleichsWerte& werte, Ende ende) override;
  void StopAnfordern(LaufGriff lauf) override;
  void Schliessen() override;

 private:
  LaufDienste dienste_;
  std::vector<LaufHandle> laufend_;    // started, end notification not yet returned
  std::vector<LaufHandle> gestartet_;  // started, thread perhaps not yet done
};

}  // namespace zarnoft

#endif  // ZARNOFT_JOBS_RUN_STARTER_H_
