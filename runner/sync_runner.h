// The headless runner: runs the jobs of a collection one after another through the same engine
// as the editor, with the terminal as its window, and records each completed run's date.
#ifndef ZARNOFT_RUNNER_SYNC_RUNNER_H_
#define ZARNOFT_RUNNER_SYNC_RUNNER_H_

#include <cstdio>
#include <string>
#include <vector>

#include "engine/actions.h"
#include "log/log.h"
#include "platform/file_places.h"
#include "platform/file_system.h"
#include "runner/collection_add.h"
#include "runner/notification.h"

namespace zarnoft {

// Exit statuses.
constexpr int kSyncOk = 0;             // every chosen job ran to its end
constexpr int kSyncFehler = 1;         // a job failed to start, a copy failed, a date not written
constexpr int kSyncAufruf = 2;         // a usage error, a collection that cannot be read/locked, a
                                       // damaged settings file
constexpr int kSyncAbgebrochen = 130;  // cancelled by SIGINT, SIGTERM or SIGHUP

// The summary line of one job's run on stdout, e.g. "Auftrag 1: 3 Dateien (12.288 Bytes) > Ziel,
// 0 Dateien (0 Bytes) > Herkunft, 2 gelöscht, 0 ausgelagert, 1 doppelt geändert, 0 Fehler,
// 1,4 s". A probe run's says "Auftrag 1 (Probelauf): ...".
std::string ZusammenfassungsZeile(const std::string& name, bool probelauf, const Zusammenfassung& z,
                                  int64_t millisekunden);

struct SyncOptionen {
  std::string sammlung;
  std::vector<int> jobs;  // 1-based; empty = all, in collection order
  bool leer_erlaubt = false;
  bool loeschen_erlaubt = false;  // answers the deletion guard's question with Ja
  bool probelauf = false;         // -n: list what the runs would do, change nothing
  bool leise = false;             // -q: print failures only
  bool ausfuehrlich = false;      // -v: print each action as it is done
  bool hilfe = false;
  bool version = false;
  // Automatic runs: "start" or "ende" (empty: a plain run), over any number of collections
  // (none: the list of the user's file places). See runner/trigger.h.
  std::string ausloeser;
  std::vector<std::string> sammlungen;
  // --anlegen SAMMLUNG.syc HERKUNFT ZIEL [--art N] [--doppelt N] [--unterverzeichnisse 0|1]
  // [--ausnahme MUSTER]...:
  // take a job into a collection instead of running one (runner/collection_add.h).
  bool anlegen = false;
  AnlegenWerte anlegen_werte;
  // Automatic runs: tells the desktop of each job's run that failed or could not start
  // (runner/notification.h); nullptr: nobody is told. Not owned.
  Melder* melder = nullptr;
  // --rueckgaengig [--job N]... SAMMLUNG.syc: take back the last run of the chosen jobs
  // (runner/undo_command.h); without --job the collection must hold one job.
  bool rueckgaengig = false;
};

// Parses the command line; false with a German message in *fehler on a usage error.
bool SyncOptionenLesen(int argc, char** argv, SyncOptionen* o, std::string* fehler);

// Whether Main.sda may be used: a damaged file (settings/main_settings.h) is said on stderr and
// in the log (level 1), and nothing runs: its deletion mode cannot be known.
bool EinstellungenVertrauen(const DateiOrte& orte, FileSystem* fs, Protokoll* log);

// The --help text.
const char* SyncHilfe();

// Runs the chosen jobs with the settings and the default log at the program's file places;
// problems with those places are said on stderr and in the log, and the run goes on with the
// defaults. SIGINT, SIGTERM and SIGHUP cancel the run in progress (platform/stop_signals.h).
int SyncAusfuehren(const SyncOptionen& o, const DateiOrte& orte);
// The same for a portable program in program_dir (ending in "/").
int SyncAusfuehren(const SyncOptionen& o, const std::string& program_dir);

}  // namespace zarnoft

#endif  // ZARNOFT_RUNNER_SYNC_RUNNER_H_
