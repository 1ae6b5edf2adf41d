// LaufSammler: what the editor keeps of one run while it goes on: the failures (for the job's
// status description), and in a probe run the actions (for the probe window) and its notices
// (the deletion guard's and the empty side's warnings).
//
// Threads: the run calls Getan, Fehler and Hinweis on its own thread; Nehmen is called on the GUI
// thread in the run's end notification. A lock keeps the two apart, so that a look at the list
// while the run still reports is safe too.
//
// Memory: a real run keeps no actions and at most kBehalteneFehler failures (the others are only
// counted), so that a run over a broken drive does not grow the editor without bound; a probe
// keeps every action, as its window lists them all.
#ifndef ZARNOFT_EDITOR_RUN_COLLECTOR_H_
#define ZARNOFT_EDITOR_RUN_COLLECTOR_H_

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "engine/actions.h"

namespace zarnoft {

// What a run left in its collector.
struct Gesammelt {
  std::vector<Aktion> aktionen;       // probe runs only, in the order the run reported them
  std::vector<Fehlerzeile> fehler;    // the first kBehalteneFehler failures
  int64_t fehler_anzahl = 0;          // all of them
  std::vector<std::string> hinweise;  // the notices of LaufBericht::Hinweis
};

class LaufSammler : public LaufBericht {
 public:
  static constexpr size_t kBehalteneFehler = 100;

  // `aktionen`: keep the actions (a probe run).
  explicit LaufSammler(bool aktionen) : aktionen_(aktionen) {}

  void Getan(const Aktion& a) override;
  void Fehler(const Fehlerzeile& f) override;
  void Hinweis(const std::string& text) override;

  // Hands over what was collected and starts empty again.
  Gesammelt Nehmen();

 private:
  const bool aktionen_;
  std::mutex mu_;
  Gesammelt g_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_RUN_COLLECTOR_H_
