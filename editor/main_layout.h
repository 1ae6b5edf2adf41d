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
}  // namespace hauptlayout

// What the window's font needs, as the view measures it; 0 where nothing is needed beyond the
// rules.
struct Textbedarf {
  int status = 0;  // group "Statusbeschreibung": its captions and its longest texts, framed
  int zeiten = 0;  // schedule list: its longest item, framed, with a scroll bar
  int listen = 0;  // kind and sub-mode list side by side, each at its longest item
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
  int DoppeltBreite = 0;
  int DoppeltLinks = 0;      // the label LDoppelt has the same left
  std::string LDoppeltText;  // "Bei Doppelten:", "Bei doppelt geänderten Dateien:", "Wann:", ...
};

// FormResize: the layout for a client area of breite x hoehe, the kind list at `art_position`
// (-1 none) and a grid of `tabellen_zeilen` rows including the header. Where the font needs more
// room than the rules give (`bedarf`), the status group gets it from the schedule list, and the
// smallest width grows so that the status group, the schedule list and the two lists fit whole.
HauptLayout LayoutBerechnen(int breite, int hoehe, int art_position, int tabellen_zeilen,
                            const Textbedarf& bedarf = {});

// The widths of the grid's columns (TabellenSpalten): a fixed column its width, the others equal
// parts of the rest, each less room for a vertical scroll bar when the rows do not fit into the
// grid's height.
std::vector<int> SpaltenBreiten(int tabelle_breite, int tabelle_hoehe, int tabellen_zeilen);

// --- Where the window opens ---------------------------------------------------------------------

struct Rechteck {
  int x = 0;
  int y = 0;
  int breite = 0;
  int hoehe = 0;
};

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
