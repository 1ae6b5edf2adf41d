// Fortschritt: the run's side of its progress window (the window's side is FortschrittFenster).
//
// Two kinds of call:
//   - The display (ArtSetzen, VerzeichnisZeigen, DateiZaehlen, NeueDatei, SchrittFertig,
//     DateiFertig) never waits for the GUI thread: it writes the window's snapshot (and tells the
//     window's Mitschrift, if it has one) and returns.
//   - Opening and closing the window, the error box and the question go to the GUI thread through
//     the GuiCaller and wait there. Error box and question wait for the answer of a person, but
//     give up with kKeineAntwort when the program closes; the question also when the run is
//     cancelled.
// When the GUI thread no longer serves (GuiCaller::Einstellen), the run counts as cancelled: it
// ends by itself, without a window.
//
// Owned by the run and used by the run's thread only. GuiCaller, window and the extra cancel flag
// must outlive it.
//
//   Fortschritt f(gui, fenster.get(), handle.AbbruchFlagge());
//   f.FortschrittOeffnen(herkunft, ziel, uv, zaehler);
//   f.DateiZaehlen(1, 10);                 // no wait
//   int a = f.FrageStellen(frage);         // waits for the user (or closing, or cancel)
//   f.FortschrittSchliessen();             // shows the last state, closes
#ifndef ZARNOFT_WINDOW_PROGRESS_H_
#define ZARNOFT_WINDOW_PROGRESS_H_

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/gui_call.h"
#include "window/display_state.h"
#include "window/progress_window.h"

namespace zarnoft {

class Fortschritt {
 public:
  // `abbrechen`: a second cancel flag besides the window's (the run handle's), or nullptr.
  Fortschritt(GuiCaller* gui, FortschrittFenster* fenster,
              const std::atomic<bool>* abbrechen = nullptr);
  Fortschritt(const Fortschritt&) = delete;
  Fortschritt& operator=(const Fortschritt&) = delete;

  // Whether the run is to stop: the window's Abbruch, the handle's cancel, or a GUI thread that
  // no longer serves.
  bool Abbruch() const;
  // The run gives up at its start: sets the window's flag from the run's own side.
  void AbbruchSetzen() { fenster_->AbbrechenClick(); }

  // --- on the GUI thread, waited for ---
  // Clears Abbruch and shows the window.
  void FortschrittOeffnen(const std::string& herkunft, const std::string& ziel, bool uv,
                          int32_t zaehler);
  // Shows the last state of the display, then closes the window.
  void FortschrittSchliessen();
  // Returns when the user has closed the box (or at once while the program closes).
  void Fehlermeldung(const std::string& text);
  // The chosen button's index, or kKeineAntwort (closed without one, program closing, run
  // cancelled: a cancelled run asks nothing).
  int FrageStellen(const Frage& frage);

  // --- the display, never waited for ---
  void ArtSetzen(const std::string& text);
  void VerzeichnisZeigen(const std::string& relativer_pfad);
  void DateiZaehlen(int32_t gezaehlt, int prozent);
  void NeueDatei(const NeueDateiAnzeige& anzeige);
  void SchrittFertig();
  void DateiFertig(const std::string& anzahl_text);

 private:
  // Carries f to the GUI thread; notes a GUI thread that no longer serves.
  void Aufrufen(const std::function<void()>& f);

  GuiCaller* gui_;
  FortschrittFenster* fenster_;
  StandAblage* stand_;
  AnzeigeMitschrift* mitschrift_;
  const std::atomic<bool>* abbrechen_;
  bool gui_weg_ = false;
};

// Keeps a window that could not be destroyed on its GUI thread (it no longer serves) until the
// process ends: destroying it on another thread would be worse than keeping it.
void FensterZuruecklassen(std::unique_ptr<FortschrittFenster> fenster);

}  // namespace zarnoft

#endif  // ZARNOFT_WINDOW_PROGRESS_H_
