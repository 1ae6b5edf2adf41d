// Desktop notifications of automatic runs: a run started by `zarnoft-sync --ausloeser` that met
// failures, or that the deletion guard stopped (which counts as a failure), or that could not
// start, tells the user at its end through the session bus's org.freedesktop.Notifications:
// "Zarnoft: 3 Fehler beim Synchronisieren von /home/anna/Dokumente". Nobody watches such a run,
// and its log is off by default.
//
// Without a session bus (a run at shutdown after the session ended, a system without a desktop)
// nothing is sent and nothing is said: the failures are on stderr and in the exit status anyway.
//
// The bus is behind a small seam (SitzungsBus), so that a test sends through a fake and reads
// the message. Everything here runs on the runner's main thread.
#ifndef ZARNOFT_RUNNER_NOTIFICATION_H_
#define ZARNOFT_RUNNER_NOTIFICATION_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zarnoft {

// One call of org.freedesktop.Notifications.Notify, as far as the runner fills it.
struct Benachrichtigung {
  std::string programm = "Zarnoft";  // app_name
  std::string symbol = "zarnoft";    // app_icon: the program's icon by its theme name
  std::string titel;                 // summary
  std::string text;                  // body, may be empty
  uint8_t dringlichkeit = 1;         // hint "urgency": 0 low, 1 normal, 2 critical
  int32_t ablauf_ms = -1;            // expire_timeout: -1 lets the desktop decide
};

class SitzungsBus {
 public:
  virtual ~SitzungsBus() = default;
  // Sends the notification; false when the call failed (no notification service, for one).
  virtual bool Senden(const Benachrichtigung& b) = 0;
};

// The user's session bus through libsystemd's sd-bus; nullptr when there is none.
std::unique_ptr<SitzungsBus> SitzungsBusOeffnen();

// "Zarnoft: <N> Fehler beim Synchronisieren von <Herkunft>".
std::string FehlerBenachrichtigung(int64_t fehler, const std::string& herkunft);

// Sends the notifications of one runner process; the bus is opened at the first one (a run
// without failures never touches it) and kept for the others.
class Melder {
 public:
  using Oeffnen = std::function<std::unique_ptr<SitzungsBus>()>;
  // `oeffnen`: SitzungsBusOeffnen, or a test's fake.
  explicit Melder(Oeffnen oeffnen = SitzungsBusOeffnen) : oeffnen_(std::move(oeffnen)) {}

  // A job's run from `herkunft` ended with `fehler` failures (1 for a run that could not
  // start). Returns whether a notification went out.
  bool Fehlschlag(const std::string& herkunft, int64_t fehler);

 private:
  Oeffnen oeffnen_;
  std::unique_ptr<SitzungsBus> bus_;
  bool versucht_ = false;
};

}  // namespace zarnoft

#endif  // ZARNOFT_RUNNER_NOTIFICATION_H_
