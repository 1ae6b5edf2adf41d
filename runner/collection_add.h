// `zarnoft-sync --anlegen`: a job taken into a collection without the editor, so that a machine
// without a display gets its first job from the command line. The job is the one the editor's
// "In Sammlung übernehmen" would create from the same values (same path and directory checks,
// same defaults; no size listing has counted the files, so the expected count is 0) and goes to
// the front of the collection, as there; the collection is written as the editor saves
// it. A missing collection is created; nothing runs.
#ifndef ZARNOFT_RUNNER_COLLECTION_ADD_H_
#define ZARNOFT_RUNNER_COLLECTION_ADD_H_

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace zarnoft {

struct AnlegenWerte {
  std::string sammlung;
  std::string herkunft;
  std::string ziel;
  int art = 1;                 // 1 to 3, the editor's choice at start: "1: Synchronisieren"
  int doppelt = -1;            // -1: the sub-mode the editor preselects for the kind
  int unterverzeichnisse = 0;  // 0 or 1; "Mit Unterverzeichnissen" is off at the editor's start
  std::vector<std::string> ausnahmen;  // --ausnahme, in the order given; none by default
};

// Checks the values, takes the job and writes the collection. Relative paths are taken from
// `arbeitsverzeichnis` (a command line, unlike a window, has one). A missing directory is not
// created: the command says so and ends. Returns kSyncOk after a line on `aus` naming the job,
// or kSyncAufruf with a German message on stderr (bad values, a pattern that cannot be used, a
// directory that is missing or
// cannot be entered, a file that is no collection, a collection in use by a run, a write that
// failed; the file is then as before).
int SammlungAnlegen(const AnlegenWerte& w, const std::string& arbeitsverzeichnis, FileSystem* fs,
                    std::FILE* aus);

}  // namespace zarnoft

#endif  // ZARNOFT_RUNNER_COLLECTION_ADD_H_
