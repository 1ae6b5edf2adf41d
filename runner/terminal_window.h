// The progress window of the headless runner: the terminal.
//
// A one-line progress display on stderr when stderr is a terminal; error boxes as German lines on
// stderr; questions on the terminal when stdin and stderr are terminals (the answer is the
// accelerator letter of a button: j / n / i / a), otherwise kNiemandGefragt: nobody decided. The
// empty-side question is never asked here: it is answered by the runner's --leer-erlaubt option.
// The deletion guard's question is answered Ja by --loeschen-erlaubt, else asked like the others.
// Boxes and questions are answered before the call returns.
//
// Called on the runner's main thread (its "GUI thread") only; the runner refreshes the display
// (Auffrischen) from its serving loop.
#ifndef ZARNOFT_RUNNER_TERMINAL_WINDOW_H_
#define ZARNOFT_RUNNER_TERMINAL_WINDOW_H_

#include <cstdio>
#include <functional>
#include <string>

#include "window/progress_window.h"

namespace zarnoft {

struct TerminalOptionen {
  bool fortschritt = false;       // show the progress line (stderr is a terminal)
  bool fragen = false;            // ask on the terminal (stdin and stderr are terminals)
  bool leer_erlaubt = false;      // answer the empty-side question with "&Ja"
  bool loeschen_erlaubt = false;  // answer the deletion guard's question with "&Ja"
  std::FILE* aus = stderr;
  std::FILE* ein = stdin;
  // True once the run is to be cancelled (a signal); a question waiting for input gives up then.
  std::function<bool()> abgebrochen;
};

class TerminalFenster : public FortschrittFenster {
 public:
  explicit TerminalFenster(const TerminalOptionen& o) : o_(o) {}
  ~TerminalFenster() override;

  void FortschrittOeffnen(const std::string& herkunft, const std::string& ziel, bool uv,
                          int32_t zaehler) override;
  void Zeigen(const Fortschrittsstand& stand) override;
  void FortschrittSchliessen() override;
  void Fehlermeldung(const std::string& text, AntwortRueckruf geschlossen) override;
  void FrageStellen(const Frage& frage, AntwortRueckruf antwort) override;

  // The answer to a question, read from the terminal (or given by the options).
  int Fragen(const Frage& frage);

  int Fehler() const { return fehler_; }
  // Called from the destructor: the runner forgets the window then.
  void BeimEnde(std::function<void()> f) { beim_ende_ = std::move(f); }

 private:
  void Zeile();            // redraws the progress line
  bool EingabeAbwarten();  // false when the run was cancelled while waiting
  void ZeileLoeschen();

  TerminalOptionen o_;
  Fortschrittsstand stand_;
  bool art_gezeigt_ = false;
  bool zeile_steht_ = false;
  int fehler_ = 0;
  long long letzte_ausgabe_ms_ = 0;
  std::function<void()> beim_ende_;
};

// "Zeile 1\rZeile 2" as terminal lines.
std::string MitZeilenumbruechen(const std::string& text);
// The accelerator letter of a caption ("&Ignorieren" gives 'i'), lower case; 0 when none.
char Kuerzel(const std::string& caption);

}  // namespace zarnoft

#endif  // ZARNOFT_RUNNER_TERMINAL_WINDOW_H_
