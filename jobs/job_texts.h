// How a job is presented in the main window: its grid row, its status description, its schedule
// list, and the items of the kind and sub-mode lists. Toolkit-free; the window copies the texts
// into its controls. GUI thread only (like the jobs themselves).
#ifndef ZARNOFT_JOBS_JOB_TEXTS_H_
#define ZARNOFT_JOBS_JOB_TEXTS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "jobs/job.h"
#include "platform/path_helpers.h"

namespace zarnoft {

// --- Grid --------------------------------------------------------------------------------------

// One column of the grid, described once for the main window's logic, its layout and its Qt
// view: a new column is one more entry in TabellenSpalten().
struct TabellenSpalte {
  std::string kopf;  // the heading
  // The width rule: a fixed width in pixels, or 0 for a column that shares, in equal parts with
  // the other such columns, what the fixed ones leave of the grid's width.
  int feste_breite = 0;
  // For a fixed column: the widest text it must show whole in the window's font (the view widens
  // the column to it and takes the difference from the sharing columns); "" for none.
  std::string muster;
  // The text of a job's cell; `breite` is the column's width, for a text shortened to fit.
  std::string (*zelle)(const TVergleichThread& job, bool sofort_sync, int breite,
                       const TextMeasure& messen) = nullptr;
};

// The columns, left to right: "Status" (65 pixels), "Herkunft" and "Ziel" (sharing the rest).
const std::vector<TabellenSpalte>& TabellenSpalten();
// The headings of TabellenSpalten(), in their order.
std::vector<std::string> SpaltenKoepfe();

// The position of each column in TabellenSpalten() and in a row.
enum Spalte : size_t { kStatusSpalte = 0, kHerkunftSpalte = 1, kZielSpalte = 2 };

// One grid row: a cell per column of TabellenSpalten().
using TabellenZeile = std::vector<std::string>;

// "<Art>:" then "läuft" for a running job, "Fehler" when its last run met failures, the time of
// day of its last run, "Keiner" when the setting "SofortSync" is on, or "abgbr." ("1:14:05:32",
// "2:läuft").
std::string StatusSpalte(const TVergleichThread& job, bool sofort_sync);
// A directory column: the path, " +" when subdirectories are included, shortened to `breite`
// pixels as `messen` measures them.
std::string PfadSpalte(const std::string& pfad, bool unterverzeichnisse, int breite,
                       const TextMeasure& messen);
// The whole row; `breiten` holds a width per column of TabellenSpalten().
TabellenZeile ZeileFuer(const TVergleichThread& job, bool sofort_sync,
                        const std::vector<int>& breiten, const TextMeasure& messen);
// A row of empty cells (the grid of an empty collection).
TabellenZeile LeereZeile();

// --- Status description ------------------------------------------------------------------------

// The texts of the group "Statusbeschreibung". The window keeps one of these for as long as it
// lives and lets StatusBeschreiben update it, because a kind or sub-mode without a text of its
// own leaves the previous text standing.
struct StatusBeschreibung {
  std::string ErsteZeile;                                 // label Status1, beside "Art:"
  std::string ZweiteZeile = "Dateien doppelt geändert:";  // label Status3, initially hidden
  bool ZweiteSichtbar = false;
  std::string Abgleich;  // label Status2, beside "Abgleich:"
  // The line below them, "Ausnahmen: 3 Muster", empty (and hidden) for a job without patterns.
  std::string Ausnahmen;
  // Below them, the failures of the last run (FehlerZeilen); empty (and hidden) for a job without.
  std::vector<std::string> Fehler;

  // An empty collection clears every line: none of a deleted job's texts may stay standing.
  void Leeren() {
    ErsteZeile.clear();
    ZweiteZeile.clear();
    ZweiteSichtbar = false;
    Abgleich.clear();
    Ausnahmen.clear();
    Fehler.clear();
  }
};

// Fills `s` for `job`: first and second line by kind and sub-mode, and the "Abgleich:" line
// ("Erstabgleich läuft.", "Letzter Abgleich mit Fehlern", "Letzter um <date time>", "Kein
// Erstabgleich erbeten." with "SofortSync" on, "Erstabgleich abgebrochen."), and the line of the
// job's exclusions (AusnahmenZeile).
void StatusBeschreiben(const TVergleichThread& job, bool sofort_sync, StatusBeschreibung* s);

// How many failures the status description lists before it says how many more there are.
inline constexpr size_t kFehlerImStatus = 3;
// A run's failures as lines "path: reason": the first `hoechstens` of `fehler`, then "... und 12
// weitere" for the rest of `anzahl` (all failures, also those not kept).
std::vector<std::string> FehlerZeilen(const std::vector<Fehlerzeile>& fehler, int64_t anzahl,
                                      size_t hoechstens);

// "Ausnahmen: 1.234 Muster" for a job with patterns, "" for one without.
std::string AusnahmenZeile(size_t muster);
// The button that opens the exclusions dialog: "Au&snahmen...", or "Au&snahmen (3)..." while
// the job being edited has patterns.
std::string AusnahmenKnopfText(size_t muster);

// Every text that the status description can show beside its captions "Art:" and "Abgleich:",
// the date and time written with "0" for each digit: the window measures them to give the group
// its room.
std::vector<std::string> StatusTexteMuster();

// The schedule list: "Beim Booten", "Beim Herunterfahren", "Beim Leerlauf", in this order, for
// the flags that are set. Time entries are not listed.
std::vector<std::string> ZeitenListe(const TVergleichThread& job);

// --- Kind and sub-mode lists -------------------------------------------------------------------

// "1: Synchronisieren", "2: Herkunft auf Ziel kopieren", "3: Herkunft archivieren"; the kind is
// the item's position + 1 (ArtAusPosition).
const std::vector<std::string>& ArtEintraege();
// The kind of the item at `position` of the kind list; -1 (nothing chosen) gives kKeine.
inline VorgangsArt ArtAusPosition(int position) {
  return static_cast<VorgangsArt>(position + 1);
}
// The position of kind `art` in the kind list; -1 (nothing chosen) for kKeine and unknown kinds.
inline int ArtPosition(VorgangsArt art) {
  return Bekannt(art) ? Zahl(art) - 1 : -1;
}
// The sub-mode items of kind `art`, in the order of the sub-modes' numbers (an item's position
// is the sub-mode); empty for kKeine and unknown kinds.
const std::vector<std::string>& DoppeltEintraege(VorgangsArt art);
// The sub-mode preselected when kind `art` is chosen: the first item for the two-way and the
// archive kind, "Egal welches" (KopierPruefung::kBeide) for the copy kind, -1 (none) otherwise.
int DoppeltVorwahl(VorgangsArt art);

// --- Running comparisons -----------------------------------------------------------------------

// "Anzahl laufender Vergleiche im Hintergrund: <n>".
std::string LaufendeVergleicheText(int anzahl_vergleiche);
// The log line at the end of a job's comparison, by the run's own result: "Vergleich beendet: "
// + source + " - " + target; "Vergleich abgebrochen: " for a run that was cancelled or failed to
// start; "Vergleich mit Fehlern: " for one that met failures (and so was not recorded). A probe
// run's line begins "Probelauf " in place of "Vergleich ".
std::string VergleichEndeText(const TVergleichThread& job, const LaufErgebnis& ergebnis);

}  // namespace zarnoft

#endif  // ZARNOFT_JOBS_JOB_TEXTS_H_
