// Taking a job into a collection, as the main window's "In Sammlung übernehmen" does and as
// `zarnoft-sync --anlegen` does without a window: the paths made fit for a job, the directories
// checked, the job record built from the chosen values, and the collection file checked before
// it is opened. Nothing here asks or shows; each caller says the German texts its own way.
#ifndef ZARNOFT_JOBS_JOB_TAKE_H_
#define ZARNOFT_JOBS_JOB_TAKE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "jobs/job.h"
#include "platform/file_system.h"

namespace zarnoft {

// The source or target typed into a field, made fit for a job: blanks at the ends removed, "~"
// for the home directory expanded, trailing "/" removed ("/" itself stays). False with a German
// message in *fehler when no absolute path results (empty, or relative).
bool JobPfadAusFeld(const std::string& feld, std::string* pfad, std::string* fehler);

// A job's directory before the take: ready (exists and can be entered), something there that
// is no enterable directory (a file, a dangling link, a directory without permission: creating
// cannot help), or missing (it may be created). The test is stat + access; the current
// directory, which all threads share, is never changed.
enum class VerzeichnisStand { kBereit, kUnzugaenglich, kFehlt };
VerzeichnisStand VerzeichnisPruefen(const std::string& pfad, FileSystem* fs);
// "Auf das Verzeichnis <pfad> kann nicht zugegriffen werden.\rEs ist kein Verzeichnis, oder die
// Berechtigung fehlt."
std::string UnzugaenglichText(const std::string& pfad);
// "Das Verzeichnis <pfad> existiert nicht."; the editor adds its question.
std::string FehltText(const std::string& pfad);

// The values of a take: the checked paths, the switches, the positions of the kind and
// sub-mode lists, and the file counts of the last completed listings of both sides (0 for a
// side that was not listed to its end).
struct UebernahmeWerte {
  std::string herkunft;
  std::string ziel;
  bool unterverzeichnisse = false;
  int art_position = 0;  // 0 = "1: Synchronisieren", the editor's choice at start
  int doppelt_position = 0;
  bool booten = false;
  bool herunterfahren = false;
  bool idle = false;
  int64_t herkunft_dateien = 0;
  int64_t ziel_dateien = 0;
  // The job's exclusion patterns, in order (Auftrag::Ausnahmen).
  std::vector<std::string> ausnahmen;
};
// The job that a take creates: never run (Aufruf 0), no time entries, the expected file count
// from the listings (ZaehlerSetzen). It goes to the front of the collection (Sammlung::Vorn).
TVergleichThread UebernommenerJob(const UebernahmeWerte& w);

// Whether `pfad` can be opened as a job collection. A missing file counts as one (it reads as an
// empty collection and is created by saving). Otherwise false with a German message naming the
// path: a directory, a special file, an unreadable file, a file that holds binary data.
enum class SammlungsPruefung { kLesbar, kFehlt, kUngeeignet };
SammlungsPruefung SammlungPruefen(const std::string& pfad, FileSystem* fs, std::string* fehler);

}  // namespace zarnoft

#endif  // ZARNOFT_JOBS_JOB_TAKE_H_
