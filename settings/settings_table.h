// The settings of Main.sda as a table: one descriptor per setting names its section and key, its
// type, its default, how a stored number is taken, its range and the settings dialog's control
// that shows it. Reading, writing and the dialog's loading and storing are made from it
// (settings/main_settings.h, editor/settings_dialog.h, ui/settings_dialog.cpp), so that a new
// setting that is only stored and shown needs its descriptor here, its control in the dialog
// (named as the descriptor says) and a test.
//
// The descriptors are constants; the values travel in an EinstellungsWerte, one per use. Any
// thread.
#ifndef ZARNOFT_SETTINGS_SETTINGS_TABLE_H_
#define ZARNOFT_SETTINGS_SETTINGS_TABLE_H_

#include <array>
#include <cstddef>
#include <string>
#include <utility>

#include "platform/file_places.h"
#include "platform/job_modes.h"

namespace zarnoft {

// The range of a number. A value outside it is shown as the nearest limit.
struct Zahlbereich {
  int min;
  int max;
  int Begrenzen(int v) const { return v < min ? min : v > max ? max : v; }
  bool Enthaelt(int v) const { return v >= min && v <= max; }
};

enum class Wertart {
  kSchalter,  // stored "1"/"0", read as a number (any value but 0 is on)
  kZahl,
  kText,
};

// How a stored number becomes a setting's value. Text that is no number, and a number that does
// not fit into an int, give the default under every rule.
enum class Zahlregel {
  kGanzzahl,  // any int
  // Outside `bereich` the default, so that a damaged setting never turns a protection off.
  kBereich,
  // The low 8 bits, taken as signed: how every run has taken the deletion mode (257 is 1, 255 is
  // -1), so the settings dialog shows what the runs do.
  kModusByte,
};

// Where a text's default comes from: the program's file places (platform/file_places.h).
enum class Textvorgabe {
  kLeer,
  kLogDatei,              // the log directory + "zarnoft.log" (the log itself uses "Main.log")
  kSammlungsVerzeichnis,  // where the open and save dialogs of collections start
  kLoeschVorgabe,         // the default move-aside folder
};

// How the settings dialog shows a value and stores it back.
enum class Feldart {
  kKeins,     // not in the dialog
  kHaken,     // a check box
  kZeile,     // a line of text
  kZahlfeld,  // a number field: within `bereich` when shown and when stored
  kWahl,      // radio buttons or a list: the nearest item within `bereich`; stored as chosen
  // A list that also takes typed text: an item within `bereich`, anything else no item (-1),
  // which is stored as -1.
  kWahlOderText,
  // The deletion mode's radio buttons: a value within `bereich` is shown, any other leaves the
  // choice as it was.
  kLoeschModus,
};

struct Einstellung {
  const char* sektion;
  const char* schluessel;
  Wertart art;
  int vorgabe = 0;  // a switch's (0 or 1) or a number's default, the same for every reader
  Zahlregel regel = Zahlregel::kGanzzahl;
  Textvorgabe text_vorgabe = Textvorgabe::kLeer;
  Feldart feldart = Feldart::kKeins;
  Zahlbereich bereich{0, 0};
  const char* steuerelement = nullptr;  // the dialog's control: its object name
};

// Section and key names of Main.sda, and a descriptor of each setting.
namespace main_sda {
inline constexpr const char* kAllgemein = "Allgemein";
inline constexpr const char* kForm = "Form";
inline constexpr const char* kData = "Data";
inline constexpr const char* kHauptprogramm = "Hauptprogramm";

inline constexpr int kVersionWert = 1;
inline constexpr int kHoeheVorgabe = 400;
inline constexpr int kBreiteVorgabe = 427;

// The kinds of setting the dialog shows, each with what it needs.
constexpr Einstellung Haken(const char* sektion, const char* schluessel, bool an,
                            const char* steuerelement) {
  return {.sektion = sektion,
          .schluessel = schluessel,
          .art = Wertart::kSchalter,
          .vorgabe = an ? 1 : 0,
          .feldart = Feldart::kHaken,
          .steuerelement = steuerelement};
}
constexpr Einstellung Zeile(const char* sektion, const char* schluessel, Textvorgabe vorgabe,
                            const char* steuerelement) {
  return {.sektion = sektion,
          .schluessel = schluessel,
          .art = Wertart::kText,
          .text_vorgabe = vorgabe,
          .feldart = Feldart::kZeile,
          .steuerelement = steuerelement};
}
constexpr Einstellung Zahlwert(const char* sektion, const char* schluessel, int vorgabe,
                               Zahlregel regel, Feldart feldart, Zahlbereich bereich,
                               const char* steuerelement) {
  return {sektion, schluessel, Wertart::kZahl, vorgabe, regel, Textvorgabe::kLeer,
          feldart, bereich,    steuerelement};
}

// Always written as 1; the about box shows it.
inline constexpr Einstellung kVersion{kAllgemein, "Version", Wertart::kZahl, kVersionWert};
// The main window's client area and position, written when it closes.
inline constexpr Einstellung kHoehe{kForm, "Hoehe", Wertart::kZahl, kHoeheVorgabe};
inline constexpr Einstellung kBreite{kForm, "Breite", Wertart::kZahl, kBreiteVorgabe};
inline constexpr Einstellung kPosY{kForm, "PosY", Wertart::kZahl};
inline constexpr Einstellung kPosX{kForm, "PosX", Wertart::kZahl};
// 0 centred, 1 at PosX/PosY.
inline constexpr Einstellung kPosS =
    Zahlwert(kForm, "PosS", 0, Zahlregel::kGanzzahl, Feldart::kWahl, {0, 1}, "DPosition");
// Where the open and save dialogs start: 0 program directory, 1 SyncDir, 2 the directory used
// last (kept in SyncDir when the main window closes).
inline constexpr Einstellung kSyncDirData =
    Zahlwert(kData, "SyncDirData", 0, Zahlregel::kGanzzahl, Feldart::kWahl, {0, 2}, "Dateiablage");
inline constexpr Einstellung kSyncDir =
    Zeile(kData, "SyncDir", Textvorgabe::kSammlungsVerzeichnis, "SyncVerz");
// A job taken into the collection runs at once.
inline constexpr Einstellung kSofortSync = Haken(kData, "SofortSync", true, "SSync");
// The log file.
inline constexpr Einstellung kLDat = Zeile(kAllgemein, "LDat", Textvorgabe::kLogDatei, "Datei");
// The log level 0..9 (0: no log); a build without debugging offers 0..7.
inline constexpr Einstellung kLLev =
    Zahlwert(kAllgemein, "LLev", 0, Zahlregel::kGanzzahl, Feldart::kWahl, {0, 9}, "LogLev");
inline constexpr Einstellung kWarnungen = Haken(kData, "Warnungen", false, "WNein");
inline constexpr Einstellung kFehler = Haken(kData, "Fehler", false, "FNein");
// "Kurzhilfe anzeigen".
inline constexpr Einstellung kHint = Haken(kAllgemein, "Hint", true, "HintShow");
// Warn when the log cannot be written.
inline constexpr Einstellung kLWarn = Haken(kAllgemein, "LWarn", true, "LogWarn");
// The log's rotation 0..6; -1 when the user typed something else.
inline constexpr Einstellung kLArt = Zahlwert(kAllgemein, "LArt", 0, Zahlregel::kGanzzahl,
                                              Feldart::kWahlOderText, {0, 6}, "Logrotieren");
// Rotated log files kept.
inline constexpr Einstellung kLAnz =
    Zahlwert(kAllgemein, "LAnz", 0, Zahlregel::kGanzzahl, Feldart::kZahlfeld, {0, 10}, "LogAnz");
// The LoeschModus, passed to every run.
inline constexpr Einstellung kLoeschen = Zahlwert(
    kData, "Loeschen", Zahl(LoeschModus::kNormal), Zahlregel::kModusByte, Feldart::kLoeschModus,
    {Zahl(LoeschModus::kNormal), Zahl(LoeschModus::kAuslagern)}, "Loeschen");
// The move-aside folder, without a trailing "/".
inline constexpr Einstellung kLoeschenWohin =
    Zeile(kData, "LoeschenWohin", Textvorgabe::kLoeschVorgabe, "SLVerz");
// The deletion guard, percent of a side's files; 0 never asks.
inline constexpr Einstellung kLoeschGrenze =
    Zahlwert(kData, "LoeschGrenze", kLoeschGrenzeStandard, Zahlregel::kBereich, Feldart::kZahlfeld,
             {0, kLoeschGrenzeHoechstens}, "LoeschGrenze");
// Days a run's replaced and removed files are kept for an undo (0: none), and the share of the
// free space they may take, percent.
inline constexpr Einstellung kRueckgaengigTage =
    Zahlwert(kData, "RueckgaengigTage", kRueckgaengigTageStandard, Zahlregel::kBereich,
             Feldart::kZahlfeld, {0, kRueckgaengigTageHoechstens}, "RueckgaengigTage");
inline constexpr Einstellung kRueckgaengigAnteil =
    Zahlwert(kData, "RueckgaengigAnteil", kRueckgaengigAnteilStandard, Zahlregel::kBereich,
             Feldart::kZahlfeld, {0, kRueckgaengigAnteilHoechstens}, "RueckgaengigAnteil");
// The automatic runs: at login (after BootZeit seconds), at set times, when idle (after
// IdleZeit minutes), at shutdown. Zeit, Idle and IdleZeit are stored and shown only.
inline constexpr Einstellung kBoot = Haken(kHauptprogramm, "Boot", true, "Boot");
inline constexpr Einstellung kZeit = Haken(kHauptprogramm, "Zeit", true, "Time");
inline constexpr Einstellung kIdle = Haken(kHauptprogramm, "Idle", true, "Idle");
inline constexpr Einstellung kShut = Haken(kHauptprogramm, "Shut", true, "Shutdown");
inline constexpr Einstellung kBootZeit = Zahlwert(
    kHauptprogramm, "BootZeit", 5, Zahlregel::kGanzzahl, Feldart::kZahlfeld, {5, 60}, "ZeitBoot");
inline constexpr Einstellung kIdleZeit =
    Zahlwert(kHauptprogramm, "IdleZeit", 5, Zahlregel::kGanzzahl, Feldart::kZahlfeld, {2, 15},
             "ZeitLeerlauf");
}  // namespace main_sda

// Every setting, in the order the settings dialog writes them (Version first; the window's
// geometry, which only the main window's closing writes, next), so that a fresh file holds the
// sections Allgemein, Form, Data, Hauptprogramm.
inline constexpr std::array<const Einstellung*, 28> kEinstellungen = {
    &main_sda::kVersion,
    &main_sda::kHoehe,
    &main_sda::kBreite,
    &main_sda::kPosY,
    &main_sda::kPosX,
    &main_sda::kPosS,
    &main_sda::kSyncDirData,
    &main_sda::kSyncDir,
    &main_sda::kSofortSync,
    &main_sda::kLDat,
    &main_sda::kLLev,
    &main_sda::kWarnungen,
    &main_sda::kFehler,
    &main_sda::kHint,
    &main_sda::kLWarn,
    &main_sda::kLArt,
    &main_sda::kLAnz,
    &main_sda::kLoeschen,
    &main_sda::kLoeschenWohin,
    &main_sda::kLoeschGrenze,
    &main_sda::kRueckgaengigTage,
    &main_sda::kRueckgaengigAnteil,
    &main_sda::kBoot,
    &main_sda::kZeit,
    &main_sda::kIdle,
    &main_sda::kShut,
    &main_sda::kBootZeit,
    &main_sda::kIdleZeit,
};

// The default of a text setting at the program's file places.
std::string TextVorgabe(const Einstellung& e, const DateiOrte& orte);

class IniFile;

// One setting read from `ini` by its rule; a missing key, or a value the rule does not take,
// gives the default (for a text: `vorgabe`).
bool SchalterLesen(const IniFile& ini, const Einstellung& e);
int ZahlLesen(const IniFile& ini, const Einstellung& e);
std::string TextLesen(const IniFile& ini, const Einstellung& e, const std::string& vorgabe);

// One value per setting of the table, each at its default until set (texts empty). Switches
// are kept as 0 and 1. A descriptor that is not in the table is a programming error
// (std::out_of_range).
class EinstellungsWerte {
 public:
  EinstellungsWerte();

  bool Schalter(const Einstellung& e) const { return werte_[Stelle(e)].zahl != 0; }
  int Zahl(const Einstellung& e) const { return werte_[Stelle(e)].zahl; }
  const std::string& Text(const Einstellung& e) const { return werte_[Stelle(e)].text; }
  void SchalterSetzen(const Einstellung& e, bool an) { werte_[Stelle(e)].zahl = an ? 1 : 0; }
  void ZahlSetzen(const Einstellung& e, int v) { werte_[Stelle(e)].zahl = v; }
  void TextSetzen(const Einstellung& e, std::string t) { werte_[Stelle(e)].text = std::move(t); }

  friend bool operator==(const EinstellungsWerte&, const EinstellungsWerte&) = default;

 private:
  struct Wert {
    int zahl = 0;
    std::string text;
    friend bool operator==(const Wert&, const Wert&) = default;
  };
  static size_t Stelle(const Einstellung& e);

  std::array<Wert, kEinstellungen.size()> werte_;
};

// One setting's value written to `ini` in its type's form. Throws IniWriteError.
void WertSchreiben(IniFile* ini, const Einstellung& e, const EinstellungsWerte& w);

}  // namespace zarnoft

#endif  // ZARNOFT_SETTINGS_SETTINGS_TABLE_H_
