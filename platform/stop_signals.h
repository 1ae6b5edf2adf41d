// The signals that ask the program to end: SIGHUP (the terminal or the session went away),
// SIGTERM (systemd, kill, a shutdown) and SIGINT (Ctrl+C). The runner and the editor both end
// cleanly on each of them: the copy under way is removed, the run is not recorded, and nothing
// is saved that the user did not save.
//
// The handler only notes the signal and makes a descriptor readable (a pipe of its own), so
// that a waiting loop sees it at once: the runner looks at StoppSignal() between its steps, the
// editor's event loop watches StoppDeskriptor(). The handler stays in place for the life of the
// process; a signal that came before a loop started is not lost.
#ifndef ZARNOFT_PLATFORM_STOP_SIGNALS_H_
#define ZARNOFT_PLATFORM_STOP_SIGNALS_H_

#include <signal.h>

namespace zarnoft {

// Installs the handler for the three signals (once; later calls do nothing). System calls that a
// signal interrupts are not restarted, so that a read waiting on the terminal returns at once.
// Main thread, before other threads start.
void StoppSignaleEinrichten();

// The last of the three signals that came since the start (0: none). Any thread.
int StoppSignal();

// Readable once a signal came (it stays readable); -1 before StoppSignaleEinrichten. The
// editor's event loop watches it.
int StoppDeskriptor();

// Forgets a signal that came, for tests that send one to their own process.
void StoppSignalVergessen();

// Blocks the three signals in the calling thread for this object's lifetime. A thread started
// meanwhile inherits the mask, so that the signals reach the thread that waits for them (the
// runner's main thread serves the terminal).
class StoppSignaleSperren {
 public:
  StoppSignaleSperren();
  ~StoppSignaleSperren();
  StoppSignaleSperren(const StoppSignaleSperren&) = delete;
  StoppSignaleSperren& operator=(const StoppSignaleSperren&) = delete;

 private:
  sigset_t alt_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_STOP_SIGNALS_H_
