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

// Always written as 1; the about box shows it.
inline constexpr Einstellung kVersion{kAllgemein, "Version", Wertart::kZahl, kVersionWert};
// The main window's client area and position, written when it closes.
inline constexpr Einstellung kHoehe{kForm, "Hoehe", Wertart::kZahl, kHoeheVorgabe};
inline constexpr Einstellung kBreite{kForm, "Breite", Wertart::kZahl, kBreiteVorgabe};
inline constexpr Einstellung kPosY{kForm, "PosY", Wertart::kZahl};
inline constexpr Einstellung kPosX{kForm, "PosX", Wertart::kZahl};
// 0 centred, 1 at PosX/PosY.
inline constexpr Einstellung kPosS{.sektion = kForm,
                                   .schluessel = "PosS",
                                   .art = Wertart::kZahl,
                                   .feldart = Feldart::kWahl,
                                   .bereich = {0, 1},
                                   .steuerelement = "DPosition"};
// Where the open and save dialogs start: 0 program directory, 1 SyncDir, 2 the directory used
// last (kept in SyncDir when the main window closes).
inline constexpr Einstellung kSyncDirData{.sektion = kData,
                                          .schluessel = "SyncDirData",
                                          .art = Wertart::kZahl,
                                          .feldart = Feldart::kWahl,
                                          .bereich = {0, 2},
                                          .steuerelement = "Dateiablage"};
inline constexpr Einstellung kSyncDir{.sektion = kData,
                                      .schluessel = "SyncDir",
                                      .art = Wertart::kText,
                                      .text_vorgabe = Textvorgabe::kSammlungsVerzeichnis,
                                      .feldart = Feldart::kZeile,
                                      .steuerelement = "SyncVerz"};
// A job taken into the collection runs at once.
inline constexpr Einstellung kSofortSync{.sektion = kData,
                                         .schluessel = "SofortSync",
                                         .art = Wertart::kSchalter,
                                         .vorgabe = 1,
                                         .feldart = Feldart::kHaken,
                                         .steuerelement = "SSync"};
// The log file.
inline constexpr Einstellung kLDat{.sektion = kAllgemein,
                                   .schluessel = "LDat",
                                   .art = Wertart::kText,
                                   .text_vorgabe = Textvorgabe::kLogDatei,
                                   .feldart = Feldart::kZeile,
                                   .steuerelement = "Datei"};
// The log level 0..9 (0: no log); a build without debugging offers 0..7.
inline constexpr Einstellung kLLev{.sektion = kAllgemein,
                                   .schluessel = "LLev",
                                   .art = Wertart::kZahl,
                                   .feldart = Feldart::kWahl,
                                   .bereich = {0, 9},
                                   .steuerelement = "LogLev"};
inline constexpr Einstellung kWarnungen{.sektion = kData,
                                        .schluessel = "Warnungen",
                                        .art = Wertart::kSchalter,
                                        .feldart = Feldart::kHaken,
                                        .steuerelement = "WNein"};
inline constexpr Einstellung kFehler{.sektion = kData,
                                     .schluessel = "Fehler",
                                     .art = Wertart::kSchalter,
                                     .feldart = Feldart::kHaken,
                                     .steuerelement = "FNein"};
// "Kurzhilfe anzeigen".
inline constexpr Einstellung kHint{.sektion = kAllgemein,
                                   .schluessel = "Hint",
                                   .art = Wertart::kSchalter,
                                   .vorgabe = 1,
                                   .feldart = Feldart::kHaken,
                                   .steuerelement = "HintShow"};
// Warn when the log cannot be written.
inline constexpr Einstellung kLWarn{.sektion = kAllgemein,
                                    .schluessel = "LWarn",
                                    .art = Wertart::kSchalter,
                                    .vorgabe = 1,
                                    .feldart = Feldart::kHaken,
                                    .steuerelement = "LogWarn"};
// The log's rotation 0..6; -1 when the user typed something else.
inline constexpr Einstellung kLArt{.sektion = kAllgemein,
                                   .schluessel = "LArt",
                                   .art = Wertart::kZahl,
                                   .feldart = Feldart::kWahlOderText,
                                   .bereich = {0, 6},
                                   .steuerelement = "Logrotieren"};
// Rotated log files kept.
inline constexpr Einstellung kLAnz{.sektion = kAllgemein,
                                   .schluessel = "LAnz",
                                   .art = Wertart::kZahl,
                                   .feldart = Feldart::kZahlfeld,
                                   .bereich = {0, 10},
                                   .steuerelement = "LogAnz"};
// The LoeschModus, passed to every run.
inline constexpr Einstellung kLoeschen{
    .sektion = kData,
    .schluessel = "Loeschen",
    .art = Wertart::kZahl,
    .vorgabe = Zahl(LoeschModus::kNormal),
    .regel = Zahlregel::kModusByte,
    .feldart = Feldart::kLoeschModus,
    .bereich = {Zahl(LoeschModus::kNormal), Zahl(LoeschModus::kAuslagern)},
    .steuerelement = "Loeschen"};
// The move-aside folder, without a trailing "/".
inline constexpr Einstellung kLoeschenWohin{.sektion = kData,
                                            .schluessel = "LoeschenWohin",
                                            .art = Wertart::kText,
                                            .text_vorgabe = Textvorgabe::kLoeschVorgabe,
                                            .feldart = Feldart::kZeile,
                                            .steuerelement = "SLVerz"};
// The deletion guard, percent of a side's files; 0 never asks.
inline constexpr Einstellung kLoeschGrenze{.sektion = kData,
                                           .schluessel = "LoeschGrenze",
                                           .art = Wertart::kZahl,
                                           .vorgabe = kLoeschGrenzeStandard,
                                           .regel = Zahlregel::kBereich,
                                           .feldart = Feldart::kZahlfeld,
                                           .bereich = {0, kLoeschGrenzeHoechstens},
                                           .steuerelement = "LoeschGrenze"};
// Days a run's replaced and removed files are kept for an undo (0: none), and the share of the
// free space they may take, percent.
inline constexpr Einstellung kRueckgaengigTage{.sektion = kData,
                                               .schluessel = "RueckgaengigTage",
                                               .art = Wertart::kZahl,
                                               .vorgabe = kRueckgaengigTageStandard,
                                               .regel = Zahlregel::kBereich,
                                               .feldart = Feldart::kZahlfeld,
                                               .bereich = {0, kRueckgaengigTageHoechstens},
                                               .steuerelement = "RueckgaengigTage"};
inline constexpr Einstellung kRueckgaengigAnteil{.sektion = kData,
                                                 .schluessel = "RueckgaengigAnteil",
                                                 .art = Wertart::kZahl,
                                                 .vorgabe = kRueckgaengigAnteilStandard,
                                                 .regel = Zahlregel::kBereich,
                                                 .feldart = Feldart::kZahlfeld,
                                                 .bereich = {0, kRueckgaengigAnteilHoechstens},
                                                 .steuerelement = "RueckgaengigAnteil"};
// The automatic runs: at login (after BootZeit seconds), at set times, when idle (after
// IdleZeit minutes), at shutdown. Zeit, Idle and IdleZeit are stored and shown only.
inline constexpr Einstellung kBoot{.sektion = kHauptprogramm,
                                   .schluessel = "Boot",
                                   .art = Wertart::kSchalter,
                                   .vorgabe = 1,
                                   .feldart = Feldart::kHaken,
                                   .steuerelement = "Boot"};
inline constexpr Einstellung kZeit{.sektion = kHauptprogramm,
                                   .schluessel = "Zeit",
                                   .art = Wertart::kSchalter,
                                   .vorgabe = 1,
                                   .feldart = Feldart::kHaken,
                                   .steuerelement = "Time"};
inline constexpr Einstellung kIdle{.sektion = kHauptprogramm,
                                   .schluessel = "Idle",
                                   .art = Wertart::kSchalter,
                                   .vorgabe = 1,
                                   .feldart = Feldart::kHaken,
                                   .steuerelement = "Idle"};
inline constexpr Einstellung kShut{.sektion = kHauptprogramm,
                                   .schluessel = "Shut",
                                   .art = Wertart::kSchalter,
                                   .vorgabe = 1,
                                   .feldart = Feldart::kHaken,
                                   .steuerelement = "Shutdown"};
inline constexpr Einstellung kBootZeit{.sektion = kHauptprogramm,
                                       .schluessel = "BootZeit",
                                       .art = Wertart::kZahl,
                                       .vorgabe = 5,
                                       .feldart = Feldart::kZahlfeld,
                                       .bereich = {5, 60},
                                       .steuerelement = "ZeitBoot"};
inline constexpr Einstellung kIdleZeit{.sektion = kHauptprogramm,
                                       .schluessel = "IdleZeit",
                                       .art = Wertart::kZahl,
                                       .vorgabe = 5,
                                       .feldart = Feldart::kZahlfeld,
                                       .bereich = {2, 15},
                                       .steuerelement = "ZeitLeerlauf"};
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
