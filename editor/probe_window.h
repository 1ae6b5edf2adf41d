// The probe window ("Probelauf – <job>"): what a probe run of a job would do, as a table the user
// sorts by any column, the counts per action, the warnings of the deletion guard and of an empty
// side above the table (the real run would ask there), the failures the probe met, and the
// button "Jetzt synchronisieren" that starts the real run of the job.
//
// The same window shows the plan of taking a job's last run back ("Rückgängig – <job>"): the
// steps the undo would take, what it would leave alone (as failures), the run it takes back
// above the table, and the button "Jetzt rückgängig machen".
//
// ProbeListe holds the texts and the order of the rows; Probefenster is the window's logic and
// talks to the screen only through a ProbeAnsicht (the Qt dialog, or a test's fake).
//
// Threads: GUI thread only. The window is shown without waiting (not modal), so the main window
// and other runs go on while it is open.
#ifndef ZARNOFT_EDITOR_PROBE_WINDOW_H_
#define ZARNOFT_EDITOR_PROBE_WINDOW_H_

#include <functional>
#include <string>
#include <vector>

#include "editor/run_collector.h"

namespace zarnoft {

// The table's columns, left to right.
enum ProbeSpalte : int {
  kProbeAktion = 0,  // "kopieren > Ziel", as zarnoft-sync prints it
  kProbePfad,        // relative to the roots; a directory's ends in "/"
  kProbeHGroesse,    // the source's size and date, empty where it has none
  kProbeHDatum,
  kProbeZGroesse,  // the target's
  kProbeZDatum,
  kProbeSpalten,
};

// The command that takes a job's last run back, as its menu entry, the plan's message boxes and
// the outcome say it.
inline constexpr const char* kRueckgaengigTitel = "Letzten Lauf rückgängig machen";

// What the window lists: the plan of a run, or of taking a run back.
enum class ProbeZweck { kAbgleich, kRueckgaengig };

struct ProbeZeile {
  Aktion aktion;
  std::vector<std::string> zellen;  // one per ProbeSpalte
};

class ProbeListe {
 public:
  // How many failures the window lists before it says how many more there are.
  static constexpr size_t kFehlerImFenster = 10;

  // The probe of the job from `herkunft` to `ziel`, with what its collector gathered. The rows
  // come in the order of the run (which is the order of its walk) until the user sorts them.
  ProbeListe(const std::string& herkunft, const std::string& ziel, Gesammelt gesammelt,
             ProbeZweck zweck = ProbeZweck::kAbgleich);

  static const std::vector<std::string>& Koepfe();
  ProbeZweck Zweck() const { return zweck_; }
  // "Probelauf – <Herkunft> → <Ziel>", or "Rückgängig – ..." for an undo's plan.
  const std::string& Titel() const { return titel_; }
  // The button that carries the plan out, with its access key: "&Jetzt synchronisieren" or
  // "&Jetzt rückgängig machen"; and the caption of the window's message boxes.
  const char* Knopf() const;
  const char* MeldungsTitel() const;
  // The warnings shown above the table (the deletion guard, an empty side); empty: none.
  const std::vector<std::string>& Warnungen() const { return warnungen_; }
  // The counts per action and side ("kopieren > Ziel: 3 (4.096 Bytes)"), the failures' count;
  // "Nichts zu tun." when the run would do nothing.
  std::string Zaehlung() const;
  // The failures the probe met, as FehlerZeilen lists them (empty: none).
  std::vector<std::string> Fehler() const;
  const std::vector<ProbeZeile>& Zeilen() const { return zeilen_; }

  // A click on a heading: the rows sorted by that column, ascending; a second click on the same
  // heading turns the order round. Ties keep the order of the path. Sizes and dates sort as
  // numbers (a side without the file first), not as texts.
  void Sortieren(int spalte);
  int SortSpalte() const { return sort_spalte_; }  // -1: the run's order
  bool Aufsteigend() const { return aufsteigend_; }

 private:
  ProbeZweck zweck_;
  std::string titel_;
  std::vector<std::string> warnungen_;
  std::vector<ProbeZeile> zeilen_;
  std::vector<Fehlerzeile> fehler_;
  int64_t fehler_anzahl_ = 0;
  int sort_spalte_ = -1;
  bool aufsteigend_ = true;
};

// The window as the logic sees it.
class ProbeAnsicht {
 public:
  virtual ~ProbeAnsicht() = default;
  // Title, warning lines, counts, failures: shown once, when the window opens.
  virtual void KopfSetzen(const ProbeListe& liste) = 0;
  // The rows in this order, with the sorted column marked (-1: none).
  virtual void ZeilenSetzen(const std::vector<ProbeZeile>& zeilen, int spalte,
                            bool aufsteigend) = 0;
  // A message box over this window (caption ProbeListe::MeldungsTitel, OK).
  virtual void Meldung(const std::string& text) = 0;
  // Closes the window (later, from the event loop).
  virtual void Schliessen() = 0;
};

class Probefenster {
 public:
  // Starts the real run of the probe's job (or the undo of the plan): "" when it started,
  // otherwise why not (the job was deleted meanwhile, or runs).
  using Jetzt = std::function<std::string()>;

  // `ansicht` must outlive the object.
  Probefenster(ProbeAnsicht* ansicht, ProbeListe liste, Jetzt jetzt);

  const ProbeListe& Liste() const { return liste_; }
  // Fills the window.
  void Zeigen();
  // A click on the heading of column `spalte`.
  void SpalteClick(int spalte);
  // "Jetzt synchronisieren" ("Jetzt rückgängig machen"): starts the real run (the undo) and
  // closes the window; one that cannot start is explained in a box and the window stays.
  void JetztClick();

 private:
  ProbeAnsicht* ansicht_;
  ProbeListe liste_;
  Jetzt jetzt_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_PROBE_WINDOW_H_
