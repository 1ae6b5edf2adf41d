// FehlerBericht: where a run reports each failure as it happens, with the path and the system's
// reason, whatever the log level. The headless runner prints them on stderr; the editor keeps them
// for the job's status description. The log keeps its own lines as before.
//
// Called on the run's thread; an implementation that hands the lines to another thread locks.
#ifndef ZARNOFT_COPY_FAILURE_REPORT_H_
#define ZARNOFT_COPY_FAILURE_REPORT_H_

#include <string>

namespace zarnoft {

// One failure: what failed, with its path ("Kopieren fehlgeschlagen: /home/a/x.txt"), and the
// system's reason ("Kein Platz mehr auf dem Gerät"; empty when there is none).
struct Fehlerzeile {
  std::string text;
  std::string grund;

  // "text: grund", or the text alone.
  std::string Zeile() const { return grund.empty() ? text : text + ": " + grund; }
};

class FehlerBericht {
 public:
  virtual ~FehlerBericht() = default;
  virtual void Fehler(const Fehlerzeile& f) = 0;
};

}  // namespace zarnoft

#endif  // ZARNOFT_COPY_FAILURE_REPORT_H_
