// Where the program keeps its own files: the settings file Main.sda, the default log file, the
// default move-aside folder, and the directory that the collection dialogs start in. The editor
// and the headless runner both ask here, so that they always agree.
//
// Two cases:
// - Portable: the directory of the program file is writable by the user and is not an installed
//   program's directory (a build folder, a copy on a stick). Everything lies there, as it always
//   did: <dir>/Main.sda, <dir>/Main.log, <dir>/Loesch, and the dialogs start in <dir>.
// - Installed: the program lies below /usr or in the directory it was built to be installed to,
//   or its directory is not writable. Nothing is written beside the program; the freedesktop
//   base directories take the roles: $XDG_CONFIG_HOME/zarnoft/Main.sda (default ~/.config),
//   the log in $XDG_STATE_HOME/zarnoft/ (default ~/.local/state), the move-aside folder
//   $XDG_DATA_HOME/zarnoft/Loesch (default ~/.local/share), and the dialogs start in the home
//   directory. A variable that is empty or holds a relative path counts as unset.
//
// Every directory path here ends with "/". The functions are toolkit-free and may be called from
// any thread; DateiOrteDesProgramms reads the environment, which nobody changes while it runs.
#ifndef ZARNOFT_PLATFORM_FILE_PLACES_H_
#define ZARNOFT_PLATFORM_FILE_PLACES_H_

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace zarnoft {

struct DateiOrte {
  bool portabel = true;
  std::string programm_verzeichnis;      // the program file's directory
  std::string einstellungs_verzeichnis;  // holds Main.sda
  std::string log_verzeichnis;           // holds the default log file ("Main.log")
  std::string daten_verzeichnis;         // holds the default move-aside folder ("Loesch")
  std::string sammlungs_verzeichnis;     // where the open and save dialogs of collections start

  std::string EinstellungsDatei() const { return einstellungs_verzeichnis + "Main.sda"; }
  // Where the records of two-way runs lie (engine/run_record.h): beside the default log.
  std::string StandVerzeichnis() const { return log_verzeichnis + "Stand/"; }
  // The default move-aside folder, without a trailing "/" (as the setting is stored).
  std::string LoeschVorgabe() const { return daten_verzeichnis + "Loesch"; }
};

// Everything the decision looks at. OrtsUmgebungLesen fills it from the running process; a test
// fills it by hand.
struct OrtsUmgebung {
  std::string programm_verzeichnis;  // ends with "/"
  bool programm_verzeichnis_beschreibbar = true;
  std::string installations_verzeichnis;  // the bin directory the build installs to, "/" at end
  std::string home;                       // $HOME, else the password database; may be empty
  std::string xdg_config_home;
  std::string xdg_state_home;
  std::string xdg_data_home;
};

OrtsUmgebung OrtsUmgebungLesen();

// The places for a given environment. Pure.
DateiOrte DateiOrteBestimmen(const OrtsUmgebung& u);

// The places of the running program: DateiOrteBestimmen(OrtsUmgebungLesen()).
DateiOrte DateiOrteDesProgramms();

// The places of a portable program in `programm_verzeichnis`, as a build folder uses them. For
// callers and tests that name a directory of their own.
DateiOrte PortableDateiOrte(const std::string& programm_verzeichnis);

// Makes the places usable: for an installed program it creates the settings and log directories
// (with their missing parents, new levels with mode 0700), and in either case it checks that
// Main.sda is not a directory. Returns one German message for each problem found, empty when all
// is well; the program then goes on with the defaults (a message says what is lost). The
// move-aside folder is left to the run that needs it. fs nullptr: the real file system.
std::vector<std::string> DateiOrteVorbereiten(const DateiOrte& orte, FileSystem* fs = nullptr);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_FILE_PLACES_H_
