// The main window as the editor's logic sees it: a small, plain interface (strings and ints) that
// the Qt window implements and that the tests fake. The logic (Hauptfenster) owns every rule;
// the view only shows what it is told and reports what the user did.
//
// Threads: every call, in both directions, happens on the GUI thread. Worker threads (runs, size
// listings) never call the view directly; their calls reach the GUI thread through a GuiCaller
// first.
//
// Events that the view reports, in the way the toolkit reports them (this matters for the fake):
//   - TextSetzen(kHerkunft / kZiel, t) with a text other than the current one reports
//     HerkunftChange / ZielChange, exactly as typing does.
//   - Anhaken(kUnterverzeichnisse, b) with a state other than the current one reports
//     UnterverzeichnisseClick, as a click does.
//   - PositionSetzen(kArt, i) reports nothing: ArtChange is the user's pick only.
//   - ZeileWaehlen(n) may report AnzeigeSelectCell(n).
//   No other setter reports anything.
//
// Usage (the Qt window):
//   class TZarnoft : public QMainWindow, public HauptAnsicht { ... };
//   Hauptfenster logik(this, dienste);
//   connect(herkunft, &QLineEdit::textChanged, [&] { logik.HerkunftChange(); });
//   connect(art, &QComboBox::activated, [&] { logik.ArtChange(); });
#ifndef ZARNOFT_EDITOR_MAIN_VIEW_H_
#define ZARNOFT_EDITOR_MAIN_VIEW_H_

#include <string>
#include <utility>
#include <vector>

#include "editor/main_layout.h"
#include "editor/probe_window.h"
#include "jobs/job_texts.h"

namespace zarnoft {

// The controls of the main window that the logic reads or changes.
enum class Steuerelement {
  kHerkunft,            // edit field: source directory (text)
  kZiel,                // edit field: target directory (text)
  kHgroesse,            // label: size listing of the source (text)
  kZGroesse,            // label: size listing of the target (text)
  kUnterverzeichnisse,  // check box "Mit Unterverzeichnissen"
  kAStart,              // check box "Beim Booten"
  kAEnde,               // check box "Beim Herunterfahren"
  kAIdle,               // check box "Beim Leerlauf" (always disabled; the view keeps it so)
  kArt,                 // drop-down list of the kind (items, position)
  kDoppelt,             // drop-down list of the sub-mode (items, position)
  kLDoppelt,            // label of Doppelt (text and visibility come with the layout)
  kSetzen,              // tool buttons (enabled)
  kLoesch,
  kHolen,
  kSyncNow,
  kStatus1,    // status description: the line beside "Art:" (text)
  kStatus2,    // status description: the line beside "Abgleich:" (text)
  kStatus3,    // status description: the second kind line (text, visible)
  kStatus4,    // status description: "Ausnahmen: 3 Muster" below the others (text, visible)
  kStatus5,    // status description: the last run's failures, one a line ("\n"; text, visible)
  kZeiten,     // list box: schedule list of the described job (items)
  kLAnzVergl,  // label: "Anzahl laufender Vergleiche im Hintergrund: <n>" (text)
  kAusnahmen,  // button "Ausnahmen..." of the job being edited (text, with its "&")
};

// --- Message boxes ------------------------------------------------------------------------------

enum class Knoepfe { kOk, kOkAbbrechen, kJaNein, kJaNeinAbbrechen };
// kAusrufezeichen is the exclamation (warning) icon, kStopp the error (stop) icon.
enum class Symbol { kKeins, kInformation, kFrage, kAusrufezeichen, kStopp };
enum class Antwort { kOk, kAbbrechen, kJa, kNein };

struct Meldungsbox {
  std::string titel;
  // "\r" breaks a line (a blank after it stays, as the texts are given).
  std::string text;
  Knoepfe knoepfe = Knoepfe::kOk;
  Symbol symbol = Symbol::kKeins;
  // The button that Enter gives. The buttons are Qt's standard buttons with their German texts.
  Antwort standard = Antwort::kOk;
};

// --- File and folder dialogs --------------------------------------------------------------------

struct DateiDialog {
  std::string titel;
  std::string verzeichnis;  // starting directory
  std::string dateiname;    // proposed file name (save), may be empty
  // Filters in order: display name and pattern, e.g. {"SyncDatensätze", "*.syc"},
  // {"Alle Dateien", "*.*"} ("*.*" means every file, also one without an extension).
  std::vector<std::pair<std::string, std::string>> filter;
  std::string endung;                  // default extension without ".", added when a name has none
  bool muss_existieren = false;        // open: only an existing file can be chosen
  bool ueberschreiben_fragen = false;  // save: ask before choosing an existing file
};

struct OrdnerDialog {
  std::string text;     // the prompt shown in the dialog ("Bitte wählen Sie ... aus.")
  std::string auswahl;  // initially selected folder (the field's text; may not exist)
};

// --- The grid -----------------------------------------------------------------------------------

struct Tabelle {
  std::vector<std::string> koepfe;    // the header row: "Status", "Herkunft", "Ziel"
  std::vector<TabellenZeile> zeilen;  // rows 1.. below the header (one empty row when no job)
  std::vector<int> breiten;           // column widths in pixels, one per heading
};

// --- The view ----------------------------------------------------------------------------------

class HauptAnsicht {
 public:
  virtual ~HauptAnsicht() = default;

  // Modal message box; returns the button chosen. Closed without a button (Esc, the close box):
  // kAbbrechen where offered, otherwise kNein for Yes/No and kOk for OK.
  virtual Antwort Meldung(const Meldungsbox& box) = 0;

  // Modal file dialogs. True and the chosen full path when confirmed; false when cancelled.
  virtual bool DateiOeffnenDialog(const DateiDialog& d, std::string* pfad) = 0;
  virtual bool DateiSpeichernDialog(const DateiDialog& d, std::string* pfad) = 0;
  // Modal folder dialog. True and the chosen folder (no trailing "/") when confirmed.
  virtual bool OrdnerDialogZeigen(const OrdnerDialog& d, std::string* pfad) = 0;

  // Controls. Text reads an edit field; Position the selected item of a list (-1 for none).
  // EintraegeSetzen replaces a list's items and leaves none selected; the logic then selects
  // one with PositionSetzen.
  virtual void TextSetzen(Steuerelement e, const std::string& text) = 0;
  virtual std::string Text(Steuerelement e) const = 0;
  virtual void Sichtbar(Steuerelement e, bool sichtbar) = 0;
  virtual void Aktivieren(Steuerelement e, bool aktiv) = 0;
  virtual void Anhaken(Steuerelement e, bool an) = 0;
  virtual bool Angehakt(Steuerelement e) const = 0;
  virtual void EintraegeSetzen(Steuerelement e, const std::vector<std::string>& eintraege) = 0;
  virtual void PositionSetzen(Steuerelement e, int position) = 0;
  virtual int Position(Steuerelement e) const = 0;

  // The grid: header, rows and column widths replace what it showed.
  virtual void TabelleSetzen(const Tabelle& t) = 0;
  // The selected grid row (1 = first job; 0 when none or the header) and selecting one.
  virtual int GewaehlteZeile() const = 0;
  virtual void ZeileWaehlen(int zeile) = 0;
  // Width in pixels of a text in the window's font (for shortening paths).
  virtual int TextBreite(const std::string& text) const = 0;
  // What the window's font needs of the layout (measured with every text the controls can show),
  // so that the layout gives each text its room.
  virtual Textbedarf LayoutBedarf() const = 0;

  // The status bar: panel 0 activity, 1 change marker, 2 directory being listed.
  virtual void Statuspanel(int index, const std::string& text) = 0;
  // The window caption.
  virtual void Titel(const std::string& text) = 0;
  // Positions and sizes of the layout function, and the label text of the sub-mode list. The
  // client size in it may be larger than the window's (raised to the minimum): the view grows.
  virtual void LayoutAnwenden(const HauptLayout& l) = 0;

  // Lets pending window messages run so that a status text becomes visible before a longer
  // step. Other events (ends of runs and listings) may be handled inside; user input need not.
  virtual void NachrichtenVerarbeiten() = 0;

  // Closes the window later, from the event loop, as the title bar's close button would (the
  // closing asks Hauptfenster::FormClose again).
  virtual void Schliessen() = 0;

  // The exclusions dialog ("Ausnahmen...") for the job being edited, shown modally. herkunft is
  // the source directory whose entries it counts (the field's text made fit for a job, or as
  // typed when it is no path), unterverzeichnisse the switch. True and *muster replaced when the
  // user closed it with OK; false and *muster unchanged otherwise.
  virtual bool AusnahmenZeigen(const std::string& herkunft, bool unterverzeichnisse,
                               std::vector<std::string>* muster) = 0;

  // The window of a probe run that has ended (editor/probe_window.h), shown without waiting: the
  // view makes a Probefenster of `liste` and `jetzt` and keeps it until the user closes it.
  virtual void ProbelaufZeigen(ProbeListe liste, Probefenster::Jetzt jetzt) = 0;

  // The settings dialog and the about box, shown modally; they return when closed.
  virtual void EinstellungenZeigen() = 0;
  virtual void InfoZeigen() = 0;
};

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_MAIN_VIEW_H_
