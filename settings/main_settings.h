// Main.sda, the program's own settings file: program directory + "Main.sda", INI layout through
// IniFile. Several parts read it independently, each through the table of settings
// (settings/settings_table.h) with its defaults, so a missing file, section or key is never an
// error; where two readers differ (LDat, SyncDir) each has its own function here.
//
// Every function opens the file, does its reads or writes and lets go of it; nothing is kept
// between calls. Only the GUI thread calls them; a comparison run gets the values it needs
// handed over when it starts. Paths use "/", and a program directory ends in "/".
//
// Integers that do not fit into an int read as the default, like any other value that is no
// number. Writes throw IniWriteError ("Kann nicht nach <path> schreiben"); a group of writes
// stops at the key that failed, and the keys before it stay written.
#ifndef ZARNOFT_SETTINGS_MAIN_SETTINGS_H_
#define ZARNOFT_SETTINGS_MAIN_SETTINGS_H_

#include <string>

#include "platform/file_places.h"
#include "platform/file_system.h"
#include "platform/job_modes.h"
#include "settings/settings_table.h"

namespace zarnoft {

// program_dir + "Main.sda".
std::string MainSettingsPath(const std::string& program_dir);

// Why Main.sda cannot be trusted, in German; empty when it can or is missing (a missing file
// gives the defaults, as on a first start). A file that exists must be INI text
// (settings/ini_check.h), and a deletion mode that is set must be a number: the readers' default
// for anything else, 1, deletes files the user may have wanted moved aside or kept. A program
// that finds the file damaged never runs with a deletion mode read from it.
std::string EinstellungsDateiFehler(const std::string& settings_path, FileSystem* fs = nullptr);

// "Die Einstellungsdatei <path> ist beschädigt (<fehler>)."
std::string EinstellungsDateiBeschaedigt(const std::string& settings_path,
                                         const std::string& fehler);

// Allgemein/Version (default 1), which the about box shows.
int VersionLesen(const std::string& settings_path, FileSystem* fs = nullptr);

// The main window's size and position. At start-up PosY and PosX are read only when PosS is 1;
// otherwise they stay 0 and the window is centred.
struct FensterGeometrie {
  int Hoehe = main_sda::kHoeheVorgabe;    // client area
  int Breite = main_sda::kBreiteVorgabe;  // client area
  int PosS = 0;
  int PosY = 0;  // window edges, screen pixels
  int PosX = 0;
  bool AnGespeicherterStelle() const { return PosS == 1; }
};
FensterGeometrie FensterGeometrieLesen(const std::string& settings_path, FileSystem* fs = nullptr);

// The job-editor settings that the main window holds.
struct EditorEinstellungen {
  std::string SammlungsVerzeichnis;                  // offered by the open and save dialogs
  bool SofortSync = true;                            // a job taken into the collection runs at once
  LoeschModus Loeschen = LoeschModus::kNormal;       // signed 8-bit, passed to every run
  std::string LoeschenWohin;                         // the move-aside folder, passed to every run
  int LoeschGrenze = kLoeschGrenzeStandard;          // the deletion guard, passed to every run
  int RueckgaengigTage = kRueckgaengigTageStandard;  // kept runs, passed to every run
  int RueckgaengigAnteil = kRueckgaengigAnteilStandard;  // their share of the free space, %
};

// The main window's load of the job-editor settings, at start-up and after the settings dialog.
// SammlungsVerzeichnis changes only when SyncDirData is above 0 and then falls back to its
// current value; the others are set from the file or their defaults (LoeschenWohin:
// program_dir + "Loesch"). Loeschen keeps the low 8 bits of the stored value, taken as signed.
void EinstellungenLesen(const std::string& settings_path, const std::string& program_dir,
                        EditorEinstellungen* e, FileSystem* fs = nullptr);
// The same at the program's file places: orte.EinstellungsDatei(), default LoeschenWohin
// orte.LoeschVorgabe().
void EinstellungenLesen(const DateiOrte& orte, EditorEinstellungen* e, FileSystem* fs = nullptr);

// The writes when the main window closes: Allgemein/Version = 1, Form/Hoehe, Breite, PosY,
// PosX (PosS is not touched), then Data/SyncDir = sammlungs_verzeichnis when Data/SyncDirData
// is 2, so that the directory used last is offered at the next start. Throws IniWriteError.
void EinstellungenBeimSchliessen(const std::string& settings_path, const FensterGeometrie& g,
                                 const std::string& sammlungs_verzeichnis,
                                 FileSystem* fs = nullptr);

// The log keys with the log set-up's defaults (LDat: program_dir + "Main.log"). LLev is the
// stored value; capping it for a build without debugging is the log set-up's business.
struct LogEinstellungen {
  std::string LDat;
  int LLev = 0;
  bool LWarn = true;
  int LArt = 0;
  int LAnz = 0;
};
LogEinstellungen LogEinstellungenLesen(const std::string& settings_path,
                                       const std::string& program_dir, FileSystem* fs = nullptr);
// The same at the program's file places (LDat: orte.log_verzeichnis + "Main.log").
LogEinstellungen LogEinstellungenLesen(const DateiOrte& orte, FileSystem* fs = nullptr);

// Every setting the settings dialog shows (those of the table with a control), with the
// dialog's defaults (LDat: program_dir + "zarnoft.log", SyncDir: program_dir). Values are as
// stored, taken by each setting's rule; the dialog's controls keep them within their ranges.
EinstellungsWerte DialogEinstellungenLesen(const std::string& settings_path,
                                           const std::string& program_dir,
                                           FileSystem* fs = nullptr);
// The same at the program's file places (TextVorgabe).
EinstellungsWerte DialogEinstellungenLesen(const DateiOrte& orte, FileSystem* fs = nullptr);
// Writes the dialog's settings in the table's order, starting with Allgemein/Version = 1, so
// that a fresh file holds the sections Allgemein, Form, Data, Hauptprogramm. Throws
// IniWriteError.
void DialogEinstellungenSchreiben(const std::string& settings_path, const EinstellungsWerte& w,
                                  FileSystem* fs = nullptr);

// One switch of Main.sda by its rule, for a window that shows nothing else of the file.
bool EinstellungsSchalter(const std::string& settings_path, const Einstellung& e,
                          FileSystem* fs = nullptr);

}  // namespace zarnoft

#endif  // ZARNOFT_SETTINGS_MAIN_SETTINGS_H_
