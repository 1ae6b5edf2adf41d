// The main window's geometry as pure functions: the layout of FormResize from the client size,
// and where the window opens at start-up from the stored values and the screens. No toolkit; the
// Qt window applies the results. Sizes are logical pixels. Any thread (no state).
#ifndef ZARNOFT_EDITOR_MAIN_LAYOUT_H_
#define ZARNOFT_EDITOR_MAIN_LAYOUT_H_

#include <string>
#include <vector>

#include "settings/main_settings.h"

namespace zarnoft {

namespace hauptlayout {
// The smallest client area; a smaller size is raised to it.
inline constexpr int kMinBreite = 427;
inline constexpr int kMinHoehe = 416;
// Room that the elements above and below the grid keep.
inline constexpr int kUeberUndUnterTabelle = 342;
inline constexpr int kStatusGruppeVonUnten = 90;
inline constexpr int kZeitenUnterStatusGruppe = 5;
// Distances from the right edge of the client area.
inline constexpr int kRechterKnopfAbstand = 32;  // exit button, folder buttons
inline constexpr int kVerzeichnisRest = 111;     // directory fields
inline constexpr int kZGroesseRest = 234;        // target size label
inline constexpr int kTrennerRest = 104;         // separator bevel
inline constexpr int kZeitenRest = 264;          // schedule list
// Beside and between the status group and the schedule list: 4 left of the group, 8 between,
// 8 right of the list; so by the rule the group is 264 - 20 = 244 wide.
inline constexpr int kStatusUndZeitenRand = 20;
inline constexpr int kPanel2Rest = 300;     // status panel 2 (of the status bar's width)
inline constexpr int kZeitKnopfZugabe = 5;  // "Zeit..." = target size label + this
// The grid (its columns and their width rules: TabellenSpalten, jobs/job_texts.h).
inline constexpr int kZeilenHoehe = 20;
inline constexpr int kSpaltenRestMitBalken = 12;  // room for the vertical scroll bar
inline constexpr int kSpaltenRestOhneBalken = 4;
// The sub-mode list beside the kind list.
inline constexpr int kDoppeltSchmal = 90;
inline constexpr int kDoppeltBreit = 160;
inline constexpr int kBreitAb = 476;  // client width from which kind 1 gets the long label
inline constexpr int kDoppeltRechts = 9;
inline constexpr int kArtDoppeltAbstand = 4;
// The short label of kind 1, for where the long one would run past the window's edge.
inline constexpr const char* kDoppeltKurz = "Bei Doppelten:";
inline constexpr const char* kDoppeltLang = "Bei doppelt geänderten Dateien:";
inline constexpr int kDoppeltTextRand = 2;  // between the sub-mode label and the right edge

// Positions that the width rules leave open.
inline constexpr int kRand = 8;            // left margin of the fields' labels
inline constexpr int kFeldLinks = 72;      // directory fields and the source size label
inline constexpr int kRechteSpalte = 220;  // kind list and "Zeit...": what the width rules imply
inline constexpr int kZGroesseLinks = 225;
inline constexpr int kLinkeSpalte = 205;  // group "Ausführung" and the subdirectory switch
inline constexpr int kOrdnerKnopf = 25;   // width of the "..." buttons
inline constexpr int kWerkzeug = 25;      // tool buttons: four fill the room beside the separator
inline constexpr int kLuecke = 2;         // between rows
inline constexpr int kStatusLinks = 4;
// The status bar: a line of text and this much more; panel 0 and 1 are this wide, panel 2
// takes the rest.
inline constexpr int kStatusleisteZugabe = 6;
inline constexpr int kPanel0Breite = 200;
inline constexpr int kPanel1Breite = 100;
// The grid keeps at least this many rows in view (the header included).
inline constexpr int kTabelleMindestZeilen = 4;
}  // namespace hauptlayout

// A rectangle: a control's place in client coordinates, or a screen's area.
struct Rechteck {
  int x = 0;
  int y = 0;
  int breite = 0;
  int hoehe = 0;
  bool operator==(const Rechteck&) const = default;
};

// What the window's font needs, as the view measures it; 0 where nothing is needed beyond the
// rules.
struct Textbedarf {
  int status = 0;        // group "Statusbeschreibung": its captions and its longest texts, framed
  int zeiten = 0;        // schedule list: its longest item, framed, with a scroll bar
  int art = 0;           // kind list at its longest item
  int doppelt = 0;       // sub-mode list at the longest item of any kind
  int doppelt_lang = 0;  // the long sub-mode label (hauptlayout::kDoppeltLang), in its font
};

// The geometry of the elements that the layout rules name; the positions they leave open are
// the window's own. Widths, lefts and tops in client coordinates.
struct HauptLayout {
  int Breite = 0;  // client area, raised to the minimum
  int Hoehe = 0;
  int MindestBreite = 0;  // the smallest client width for the font: the rule's or more
  int LeisteBreite = 0;   // top button bar
  int TabelleBreite = 0;
  int TabelleHoehe = 0;
  std::vector<int> Spalten;  // grid column widths, one per column of TabellenSpalten()
  int StatusGruppeOben = 0;  // group "Statusbeschreibung"
  int StatusBreite = 0;      // the rule's, or what its texts need when that is more
  int ZeitenOben = 0;        // schedule list: the width left beside the status group
  int ZeitenBreite = 0;
  int BeendenLinks = 0;          // exit button
  int OrdnerKnopfLinks = 0;      // HVerzB, ZVerzB
  int VerzeichnisBreite = 0;     // Herkunft, Ziel
  int ZGroesseBreite = 0;        // target size label
  int Panel2Breite = 0;          // status bar panel 2
  int TrennerBreite = 0;         // separator bevel
  int ZeitKnopfBreite = 0;       // "Zeit..."
  int ArtBreite = 0;             // kind list
  bool DoppeltSichtbar = false;  // sub-mode list and its label
  int DoppeltBreite = 0;         // the rule's, or its longest item when that is more
  int DoppeltLinks = 0;          // the label LDoppelt has the same left
  std::string LDoppeltText;  // "Bei Doppelten:", "Bei doppelt geänderten Dateien:", "Wann:", ...
};

// FormResize: the layout for a client area of breite x hoehe, the kind list at `art_position`
// (-1 none) and a grid of `tabellen_zeilen` rows including the header. Where the font needs more
// room than the rules give (`bedarf`), the status group gets it from the schedule list, the
// sub-mode list grows to its longest item (the kind list gives up the room), the long sub-mode
// label gives way to the short one where it would run past the window's edge, and the smallest
// width grows so that the status group, the schedule list and the two lists fit whole.
HauptLayout LayoutBerechnen(int breite, int hoehe, int art_position, int tabellen_zeilen,
                            const Textbedarf& bedarf = {});

// --- Where each control goes -------------------------------------------------------------------

// What the view measures when it places its controls: its font, its style and the state of the
// status group at that moment. Heights unless said otherwise.
struct Masse {
  int client_hoehe = 0;  // the client area now (it may be higher than the layout's)
  int zeile = 0;         // a line of text
  int feld = 0;          // an edit field or a drop-down list, whichever is higher
  int haken = 0;         // a check box
  int datei_knopf = 0;   // a tool button of the top bar
  int ausfuehrung = 0;   // group "Ausführung" with its three check boxes
  int art_titel = 0;     // the kind's label, its width
  int zeit = 0;          // "Zeit..."
  int ausnahmen = 0;     // "Ausnahmen..."
  int ausnahmen_breite = 0;
  int sammlungs_knopf = 0;   // a tool button of the collection's heading row
  int sammlung_titel = 0;    // the collection's heading, its width
  int status = 0;            // group "Statusbeschreibung": what its shown lines need
  int status_ausnahmen = 0;  // its exclusions line
  bool status_ausnahmen_sichtbar = false;
  int tabellen_zeile = 0;  // a grid row
};

// Every control's place, as the view applies it.
struct Platzierung {
  // The top bar: "Neu", "Öffnen", "Speichern", the heading of the job's half, "Beenden".
  Rechteck leiste;
  Rechteck datei_knoepfe[3];
  Rechteck einzeln;
  Rechteck beenden;
  // Source and target: label, field, "..." button; the size listings; the subdirectory switch.
  Rechteck l_herkunft, herkunft, h_verz_b, hgroesse;
  Rechteck l_ziel, ziel, z_verz_b, z_groesse;
  Rechteck unterverzeichnisse;
  // Group "Ausführung"; kind and sub-mode with their labels; "Zeit..." and "Ausnahmen...".
  Rechteck ausfuehrung;
  Rechteck l_art, art, l_doppelt, doppelt;
  Rechteck zeit, ausnahmen;
  // The collection's heading row: heading, separator, take, delete, fetch, run now.
  Rechteck l_sammlung, trenner;
  Rechteck sammlungs_knoepfe[4];
  // The grid, the running count, the status group, the schedule list, the status bar and its
  // three panels (in the bar's coordinates).
  Rechteck tabelle, l_anz_vergl, status, zeiten;
  Rechteck status_leiste;
  Rechteck panels[3];
  // The client area's smallest size: the layout's width, and a height that keeps the grid's
  // smallest number of rows in view.
  int mindest_breite = 0;
  int mindest_hoehe = 0;
};

// Places every control for layout `l` with the view's measures `m`. The elements the rules name
// take the layout's sizes; the rest stack from the top (fields, lists, the collection's heading)
// and from the bottom (status bar, status group, running count), and the grid takes the room
// between. The status group keeps room for its exclusions line while that is hidden, so that the
// grid does not change its height as the pointer passes over jobs with and without patterns.
Platzierung SteuerelementePlatzieren(const HauptLayout& l, const Masse& m);

// The widths of the grid's columns (TabellenSpalten): a fixed column its width, the others equal
// parts of the rest, each less room for a vertical scroll bar when the rows do not fit into the
// grid's height.
std::vector<int> SpaltenBreiten(int tabelle_breite, int tabelle_hoehe, int tabellen_zeilen);

// The column widths as the grid shows them in its font: a fixed column shows its widest text
// (its muster) whole, so where `muster` (per column, what that text needs; 0 for none) is more
// than its width in `breiten`, the sharing columns give up the difference in equal parts, the
// last of them the odd pixels. The sum stays the same.
std::vector<int> SpaltenFuerSchrift(const std::vector<int>& breiten,
                                    const std::vector<int>& muster);

// --- Where the window opens ---------------------------------------------------------------------

// The window frame around the client area (title bar, borders), from the window system.
struct Rahmen {
  int links = 0;
  int oben = 0;
  int rechts = 0;
  int unten = 0;
};

// The start geometry: client size and the outer window's top left corner.
struct StartPlatz {
  int x = 0;
  int y = 0;
  int breite = 0;  // client area
  int hoehe = 0;
};

// Where the main window opens. `g` holds the stored values (client size; PosS 1 = at PosX/PosY,
// the outer edges; otherwise centred). `bildschirme` are the screens' available areas, the
// primary one first. Whatever is stored - negative or huge sizes, a position off every screen -
// the window lies fully on one screen: the size is raised to the minimum, lowered to the screen,
// and a stored position is moved onto the screen that holds most of the window (the primary one
// when none does). Without any screen the stored values are kept as they are, raised to the
// minimum.
StartPlatz FensterPlatzieren(const FensterGeometrie& g, const std::vector<Rechteck>& bildschirme,
                             const Rahmen& rahmen);

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_MAIN_LAYOUT_H_
