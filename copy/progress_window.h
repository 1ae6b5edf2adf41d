// The run's progress window and its modal questions, without any toolkit.
//
// A comparison run owns one FortschrittFenster for its lifetime. The run never calls the
// window's virtual methods directly: it goes through RunWindow (below), which carries every call
// synchronously onto the GUI thread through a GuiCaller, so implementations (the Qt window, the
// terminal of the headless runner, the scripted fakes of the tests) run on their GUI thread and
// need no locks of their own. Only the cancel flag is shared between threads, as an atomic.
#ifndef ZARNOFT_COPY_PROGRESS_WINDOW_H_
#define ZARNOFT_COPY_PROGRESS_WINDOW_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui_call.h"

namespace zarnoft {

// A modal question of a run: caption, text (lines broken by "\r"), buttons in order.
struct Frage {
  enum class Symbol { kWarnung, kFehler, kFrage };
  // Why the run asks; lets a window without a user (the headless runner) answer by its options.
  enum class Anlass { kAllgemein, kDoppelteAenderung, kLeereSeite };
  Symbol symbol = Symbol::kWarnung;
  Anlass anlass = Anlass::kAllgemein;
  std::string titel;
  std::string text;
  std::vector<std::string> knoepfe;  // captions with "&" accelerators, e.g. "&Ja"
  int standard = 0;                  // index of the default button (Enter)
  int abbrechen = -1;                // index of the button that Esc gives, -1 for none
};
// The answer of a question closed by its window's close box, without a button.
constexpr int kKeineAntwort = -1;

// What the window shows of the copy in progress; all texts are computed in the core.
struct NeueDateiAnzeige {
  std::string akt_datei;    // full source path (the window shortens it to its field)
  std::string anzahl_text;  // "Anzahl Dateien: 12 kopiert"
  std::string kb_text;      // "Summe: 123 kB / Akt.: 2,048 kB"
};

class FortschrittFenster {
 public:
  virtual ~FortschrittFenster() = default;

  // The cancel flag Abbruch. Read by the run's thread at any time; set by the window's
  // Abbrechen button (or Esc), or by the run itself when it fails to start. It only ever goes
  // from false to true during a run.
  bool Abbruch() const { return abbruch_.load(std::memory_order_relaxed); }
  void AbbrechenClick() { abbruch_.store(true, std::memory_order_relaxed); }
  void AbbruchZuruecksetzen() { abbruch_.store(false, std::memory_order_relaxed); }

  // --- called on the GUI thread, in run order ---
  // Shows the window with the two directories (to be shortened to the fields' width), the
  // subdirectories tick and the overall gauge's maximum.
  virtual void FortschrittOeffnen(const std::string& herkunft, const std::string& ziel,
                                  bool unterverzeichnisse, int32_t zaehler) = 0;
  // The kind label ("Abgleich, kopieren neuerer Dateien", ...).
  virtual void ArtSetzen(const std::string& text) = 0;
  // The directory being walked, relative to both roots, beginning and ending with "/".
  virtual void VerzeichnisZeigen(const std::string& relativer_pfad) = 0;
  // One more file examined: the overall gauge's position and its percentage (core-computed).
  virtual void DateiZaehlen(int32_t gezaehlt, int prozent) = 0;
  // A copy starts: the per-file gauge goes to 0 of 100.
  virtual void NeueDatei(const NeueDateiAnzeige& anzeige) = 0;
  // One step of a stepped copy is done: per-file gauge + 1.
  virtual void SchrittFertig() = 0;
  // A copy is finished: per-file gauge 100; the count text.
  virtual void DateiFertig(const std::string& anzahl_text) = 0;
  // The run ends; the window disappears (it is destroyed right after).
  virtual void FortschrittSchliessen() = 0;

  // Modal: an error box (caption "Fehler", error icon, one "OK" button). Returns when closed.
  virtual void Fehlermeldung(const std::string& text) = 0;
  // Modal: a question. Returns the index of the chosen button or kKeineAntwort.
  virtual int FrageStellen(const Frage& frage) = 0;

 private:
  std::atomic<bool> abbruch_{false};
};

// A window that shows nothing and answers no question (as if closed without an answer). For
// runs without a user, and as a base for windows that watch only a few calls.
class StillesFenster : public FortschrittFenster {
 public:
  void FortschrittOeffnen(const std::string&, const std::string&, bool, int32_t) override {}
  void ArtSetzen(const std::string&) override {}
  void VerzeichnisZeigen(const std::string&) override {}
  void DateiZaehlen(int32_t, int) override {}
  void NeueDatei(const NeueDateiAnzeige&) override {}
  void SchrittFertig() override {}
  void DateiFertig(const std::string&) override {}
  void FortschrittSchliessen() override {}
  void Fehlermeldung(const std::string&) override {}
  int FrageStellen(const Frage&) override { return kKeineAntwort; }
};

// Creates the window of one run; called on the GUI thread.
using FensterFabrik = std::function<std::unique_ptr<FortschrittFenster>()>;

// The run's handle on its window: every call is carried to the GUI thread and waited for.
// Owned by the run and used by the run's thread only; window and caller must outlive it.
class RunWindow {
 public:
  RunWindow(GuiCaller* gui, FortschrittFenster* fenster) : gui_(gui), fenster_(fenster) {}

  bool Abbruch() const { return fenster_->Abbruch(); }
  // The run gives up at its start: set the flag from the run's own side.
  void AbbruchSetzen() { fenster_->AbbrechenClick(); }

  void FortschrittOeffnen(const std::string& herkunft, const std::string& ziel, bool uv,
                          int32_t zaehler) {
    // Abbruch becomes false when the window opens.
    gui_->Call([&] {
      fenster_->AbbruchZuruecksetzen();
      fenster_->FortschrittOeffnen(herkunft, ziel, uv, zaehler);
    });
  }
  void ArtSetzen(const std::string& t) {
    gui_->Call([&] { fenster_->ArtSetzen(t); });
  }
  void VerzeichnisZeigen(const std::string& p) {
    gui_->Call([&] { fenster_->VerzeichnisZeigen(p); });
  }
  void DateiZaehlen(int32_t gezaehlt, int prozent) {
    gui_->Call([&] { fenster_->DateiZaehlen(gezaehlt, prozent); });
  }
  void NeueDatei(const NeueDateiAnzeige& a) {
    gui_->Call([&] { fenster_->NeueDatei(a); });
  }
  void SchrittFertig() {
    gui_->Call([&] { fenster_->SchrittFertig(); });
  }
  void DateiFertig(const std::string& t) {
    gui_->Call([&] { fenster_->DateiFertig(t); });
  }
  void FortschrittSchliessen() {
    gui_->Call([&] { fenster_->FortschrittSchliessen(); });
  }
  void Fehlermeldung(const std::string& text) {
    gui_->Call([&] { fenster_->Fehlermeldung(text); });
  }
  int FrageStellen(const Frage& f) {
    int antwort = kKeineAntwort;
    gui_->Call([&] { antwort = fenster_->FrageStellen(f); });
    return antwort;
  }

 private:
  GuiCaller* gui_;
  FortschrittFenster* fenster_;
};

// Percentage of a gauge: position * 100 / maximum, truncated; 0 when the maximum is 0 or below;
// a position above the maximum shows as the maximum, one below 0 as 0.
int GaugeProzent(int64_t position, int64_t maximum);

}  // namespace zarnoft

#endif  // ZARNOFT_COPY_PROGRESS_WINDOW_H_
