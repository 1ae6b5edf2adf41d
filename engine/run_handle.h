// LaufHandle: what the owners of a run (the main window's job record, the headless runner) hold
// of it, and LaufErgebnis, what the run reports at its end.
//
// A handle is a shared reference to a small state that the run's thread and every copy of the
// handle keep alive together, so it stays valid and harmless after the run has ended and freed
// everything else: asking a finished run to stop does nothing, waiting for it returns at once.
// Copies compare equal when they refer to the same run. Every method may be called from any
// thread.
//
//   LaufHandle h = Vergleiche::Starten(werte, dienste, [](const LaufHandle& lauf,
//                                                         const LaufErgebnis& e) {
//     // GUI thread, after the run's window is gone: find the job whose handle == lauf.
//   });
//   job->Thread = h;       // the job record keeps it
//   h.StopAnfordern();     // the job was deleted: no further directory is visited
//   h.Abbrechen();         // the program closes: as the window's Abbrechen button
//   h.Warten();            // the run's thread is done (serve the GUI meanwhile if it needs it)
#ifndef ZARNOFT_ENGINE_RUN_HANDLE_H_
#define ZARNOFT_ENGINE_RUN_HANDLE_H_

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace zarnoft {

struct LaufErgebnis {
  // The run was cancelled (window, handle, a GUI that no longer serves) or failed to start
  // (Abgebrochen).
  bool abgebrochen = false;
  // Failures the run went on after (files not copied, deleted or read). A run with failures
  // leaves the job's last-run date as it was.
  int fehler = 0;
  // When the run began, and when its walk ended (UTC): a complete run's instants become the
  // job's last run (engine/last_run.h).
  FileTime beginn{};
  FileTime ende{};
  // Warnings that are no failures (LaufKontext::Hinweise), and the number of entries left alone
  // because they are no regular files.
  std::vector<std::string> hinweise;
  int uebersprungen = 0;
  // A two-way run that had no record of the last run to go by (and so deleted nothing): the
  // line that says so ("Kein Stand für ..."); empty otherwise.
  std::string kein_stand{};
  // A probe run: it changed nothing, so it never becomes the job's last run.
  bool probelauf = false;

  // Whether the run counts as done, so that its end becomes the job's last run.
  bool Vollstaendig() const { return !abgebrochen && fehler == 0 && !probelauf; }
};

class LaufHandle {
 public:
  // No run.
  LaufHandle() = default;
  // A handle of a run that has not ended yet: for the run's starter, and for fakes of a run.
  static LaufHandle Neu();

  bool Leer() const { return z_ == nullptr; }
  explicit operator bool() const { return z_ != nullptr; }

  // The stop request: the run visits no further directory and then ends normally (a deleted
  // job). Harmless on an ended run or an empty handle.
  void StopAnfordern() const;
  // Cancels the run as the window's Abbrechen button does (closing program, interrupted runner).
  void Abbrechen() const;

  // True once the run's thread is done: its end notification has returned and it has freed
  // everything but this state. An empty handle counts as ended.
  bool Beendet() const;
  // Blocks until Beendet. A run whose end notification waits for the GUI thread needs that
  // thread to serve meanwhile: do not call this on it (use WartenHoechstens in a serving loop).
  void Warten() const;
  bool WartenHoechstens(std::chrono::milliseconds dauer) const;
  // The run's result; valid in the end notification and after Beendet (before: the default).
  LaufErgebnis Ergebnis() const;

  // --- for the run ---
  // The flags the run reads. Valid as long as a handle of the run exists.
  const std::atomic<bool>* StopFlagge() const;
  const std::atomic<bool>* AbbruchFlagge() const;
  // Records the result, before the end notification.
  void ErgebnisSetzen(const LaufErgebnis& ergebnis) const;
  // The run's thread is done; wakes every waiter. The last thing the run's thread does.
  void Beenden() const;

  friend bool operator==(const LaufHandle& a, const LaufHandle& b) { return a.z_ == b.z_; }

 private:
  struct Zustand;
  explicit LaufHandle(std::shared_ptr<Zustand> z) : z_(std::move(z)) {}
  std::shared_ptr<Zustand> z_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_RUN_HANDLE_H_
