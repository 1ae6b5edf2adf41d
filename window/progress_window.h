// FortschrittFenster: the progress window of one run, as the GUI side implements it (the Qt
// window TKopie, the terminal of the headless runner, the test fakes). The run's side of the same
// window is Fortschritt (window/progress.h); the run never calls these methods itself.
//
// Threads and lifetime: the window is created (by a FensterFabrik), opened, closed and destroyed
// on the GUI thread by its run, and every virtual method below is called on the GUI thread. The
// run owns the window for its whole length and destroys it at its end. What crosses threads is
// only the cancel flag (an atomic) and the display snapshot Stand() (locked inside).
//
// The display: the run writes every change into Stand() without waiting. The window shows it
// through Auffrischen, which calls Zeigen with the latest state when it changed. A window calls
// Auffrischen as often as it likes to repaint (the Qt window from a 50 ms timer); the run calls it
// once more right before FortschrittSchliessen, so the last state is always shown.
//
// Questions and error boxes are asynchronous: the window shows them (window-modal over itself in
// Qt, never through a nested event loop) and calls the AntwortRueckruf when the user has answered;
// a window without a user may answer at once. The run waits for that answer; the GUI thread does
// not.
//
// A minimal window:
//
//   class MeinFenster : public FortschrittFenster {
//     void FortschrittOeffnen(const std::string& h, const std::string& z, bool uv,
//                             int32_t zaehler) override { /* fill the fields, show */ }
//     void Zeigen(const Fortschrittsstand& s) override { /* labels, gauges from s */ }
//     void FortschrittSchliessen() override { /* hide; destroyed right after */ }
//     void Fehlermeldung(const std::string& text, AntwortRueckruf geschlossen) override {
//       /* open the box; on close: */ geschlossen(0);
//     }
//     void FrageStellen(const Frage& f, AntwortRueckruf antwort) override {
//       /* open the box; on a button: */ antwort(index);   // closed without one: kKeineAntwort
//     }
//   };
#ifndef ZARNOFT_WINDOW_PROGRESS_WINDOW_H_
#define ZARNOFT_WINDOW_PROGRESS_WINDOW_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui_call.h"
#include "window/display_state.h"

namespace zarnoft {

// A modal question of a run: caption, text (lines broken by "\r"), buttons in order.
struct Frage {
  enum class Symbol { kWarnung, kFehler, kFrage };
  // Why the run asks; lets a window without a user (the headless runner) answer by its options.
  enum class Anlass { kAllgemein, kDoppelteAenderung, kLeereSeite, kLoeschSchutz };
  Symbol symbol = Symbol::kWarnung;
  Anlass anlass = Anlass::kAllgemein;
  std::string titel;
  std::string text;
  std::vector<std::string> knoepfe;  // captions with "&" accelerators, e.g. "&Ja"
  int standard = 0;                  // index of the default button (Enter)
  int abbrechen = -1;                // index of the button that Esc gives, -1 for none
};

class FortschrittFenster {
 public:
  virtual ~FortschrittFenster() = default;

  // The cancel flag Abbruch: set by the window's Abbrechen button (or Esc), or by the run itself
  // when it fails to start; cleared when the window opens. Any thread.
  bool Abbruch() const { return abbruch_.load(std::memory_order_relaxed); }
  void AbbrechenClick() { abbruch_.store(true, std::memory_order_relaxed); }
  void AbbruchZuruecksetzen() { abbruch_.store(false, std::memory_order_relaxed); }

  // The display snapshot that the run writes. Any thread.
  StandAblage& Stand() { return stand_; }

  // Shows the latest snapshot when it changed since the last call (calls Zeigen); returns
  // whether it did. GUI thread.
  bool Auffrischen();

  // --- called on the GUI thread ---
  // Shows the window with the two directories (to be shortened to the fields' width), the
  // subdirectories tick and the overall gauge's maximum (the expected file count).
  virtual void FortschrittOeffnen(const std::string& herkunft, const std::string& ziel,
                                  bool unterverzeichnisse, int32_t zaehler) = 0;
  // Shows a state of the display (only through Auffrischen).
  virtual void Zeigen(const Fortschrittsstand& stand) = 0;
  // The run ends; the window disappears (it is destroyed right after).
  virtual void FortschrittSchliessen() = 0;
  // An error box (caption "Fehler", error icon, one "OK" button); `geschlossen` when it closes.
  virtual void Fehlermeldung(const std::string& text, AntwortRueckruf geschlossen) = 0;
  // A question; `antwort` with the index of the chosen button, or kKeineAntwort when the box was
  // closed without one.
  virtual void FrageStellen(const Frage& frage, AntwortRueckruf antwort) = 0;

  // Optional: receives every change of the display in order, on the run's thread, besides the
  // snapshot (test windows that check the sequence). Asked once when the run takes up the window.
  virtual AnzeigeMitschrift* Mitschrift() { return nullptr; }

 private:
  std::atomic<bool> abbruch_{false};
  StandAblage stand_;
  uint64_t gezeigt_ = 0;  // the version last shown; GUI thread only
};

// A window that shows nothing and has nobody to ask (kNiemandGefragt). For runs without a user,
// and as a base for windows that watch only a few calls.
class StillesFenster : public FortschrittFenster {
 public:
  void FortschrittOeffnen(const std::string&, const std::string&, bool, int32_t) override {}
  void Zeigen(const Fortschrittsstand&) override {}
  void FortschrittSchliessen() override {}
  void Fehlermeldung(const std::string&, AntwortRueckruf geschlossen) override { geschlossen(0); }
  void FrageStellen(const Frage&, AntwortRueckruf antwort) override { antwort(kNiemandGefragt); }
};

// Creates the window of one run; called on the GUI thread.
using FensterFabrik = std::function<std::unique_ptr<FortschrittFenster>()>;

// Percentage of a gauge: position * 100 / maximum, truncated; 0 when the maximum is 0 or below;
// a position above the maximum shows as the maximum, one below 0 as 0.
int GaugeProzent(int64_t position, int64_t maximum);

}  // namespace zarnoft

#endif  // ZARNOFT_WINDOW_PROGRESS_WINDOW_H_
