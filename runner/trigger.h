// Automatic runs: `zarnoft-sync --ausloeser start|ende`. At login (start) the runner waits the
// settings' delay BootZeit and then runs the jobs marked "Beim Booten", when the setting Boot is
// on; at logout or shutdown (ende) it runs the jobs marked "Beim Herunterfahren", when Shut is
// on. The collections are named on the command line or, without any, listed one per line in the
// file AutomatikListe() (beside Main.sda). The systemd user units of the package call it.
//
// Each collection is run as `zarnoft-sync --job N... SAMMLUNG.syc` would run it: lock, window,
// last-run dates. A listed collection that is missing or unreadable is reported and the others
// run all the same; the exit status then says that something went wrong.
//
// Everything here runs on the program's main thread.
#ifndef ZARNOFT_RUNNER_TRIGGER_H_
#define ZARNOFT_RUNNER_TRIGGER_H_

#include <functional>
#include <string>
#include <vector>

#include "jobs/job.h"
#include "platform/file_places.h"
#include "platform/file_system.h"
#include "runner/sync_runner.h"

namespace zarnoft {

enum class Ausloeser { kStart, kEnde };

// "start" or "ende"; false for anything else.
bool AusloeserLesen(const std::string& wort, Ausloeser* a);

// The list of collections for automatic runs: orte.einstellungs_verzeichnis + "automatisch.txt".
std::string AutomatikListe(const DateiOrte& orte);

// The paths of the list: one a line; blank lines and lines starting with "#" are skipped,
// surrounding blanks dropped, a leading "~/" stands for the home directory and a relative path
// is taken relative to it. A missing file gives no path.
std::vector<std::string> AutomatikListeLesen(const std::string& liste, const std::string& home,
                                             FileSystem* fs);

// The jobs (counting from 1) whose trigger flag matches: Booten for start, Herunterfahren for
// ende.
std::vector<int> AusloeserAuswahl(const Sammlung& sammlung, Ausloeser a);

// The delay before the login run. Tests hand in a fake that only notes the seconds.
class Wartezeit {
 public:
  virtual ~Wartezeit() = default;
  // Waits `sekunden`; false when the wait was cut short by a stop signal.
  virtual bool Warten(int sekunden) = 0;
};

struct AusloeserDienste {
  FileSystem* fs = nullptr;  // nullptr: the real one
  Wartezeit* warten = nullptr;
  // Runs the chosen jobs of one collection and gives zarnoft-sync's exit status.
  std::function<int(const SyncOptionen&)> lauf;
  // Says a problem to the user (stderr and log).
  std::function<void(const std::string&)> meldung;
  std::string home;  // for the list's "~/"
  // Tells the desktop of each failed run (handed to every run); nullptr: nobody.
  Melder* melder = nullptr;
};

// Runs the trigger over `sammlungen` (empty: those of AutomatikListe(orte)). Exit statuses: 0
// every chosen job ran to its end, or there was nothing to do (switched off in the settings, no
// collection listed, no job marked); 1 a job failed or a collection was missing or unreadable;
// 130 cancelled (no further collection is started). leer_erlaubt is passed on to every run.
int AusloeserAusfuehren(Ausloeser a, const std::vector<std::string>& sammlungen, bool leer_erlaubt,
                        const DateiOrte& orte, const AusloeserDienste& d);

// The program's trigger mode with the real services: SyncAusfuehren for each collection, the
// real delay, messages on stderr and in the log.
int AusloeserStarten(const SyncOptionen& o, const DateiOrte& orte);

}  // namespace zarnoft

#endif  // ZARNOFT_RUNNER_TRIGGER_H_
