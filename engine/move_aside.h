// The move-aside store: where a file that a run deletes in deletion mode 3 is kept, and how it
// gets there.
//
// The store mirrors full paths: the file /home/anna/Brief.odt with the store /srv/Loesch/ is
// kept as /srv/Loesch/home/anna/Brief.odt, so files from different places never collide. A later
// version of the same path never replaces the one kept: it goes beside it as "Brief (2).odt",
// "Brief (3).odt", and so on.
//
// All functions run on the run's thread with the run's services.
#ifndef ZARNOFT_ENGINE_MOVE_ASIDE_H_
#define ZARNOFT_ENGINE_MOVE_ASIDE_H_

#include <string>

#include "engine/run_context.h"
#include "log/log.h"
#include "platform/file_system.h"

namespace zarnoft {

// The place of `pfad` in the store `lager` (which ends in "/"): the store followed by the full
// path without its leading "/" (a path beginning with "//" loses both). A relative path is
// appended as it is.
std::string Auslagerungspfad(const std::string& lager, const std::string& pfad);

// Creates the missing directories along `pfad` from the top down; the part behind the last "/"
// (the file name) is never created. Each level that is created is logged at level 9
// ("Vergl: Verzeichnis angelegt:" + the level with its "/"); existing levels give no line.
// Stops at the first level that cannot be created (a file of that name, no rights, a read-only
// file system), logs it at level 1 and returns false.
bool VerzeichnisseAnlegen(FileSystem* fs, Protokoll* log, const std::string& pfad);

// Copies the file (or link) `pfad` into the store of the run (under the first free name of its
// place there) and reports whether the copy is
// really there: the copy step made it, and the store entry has the file's kind, size and DOS
// date, while the file itself did not change meanwhile. `vorher` is the file's state as just
// queried. Only then may the caller delete the file. On false nothing is deleted or changed
// here; the copy step has reported its own failures.
// *genommen (may be nullptr) receives the copy's full path.
bool InsLagerKopieren(LaufKontext& k, const std::string& pfad, const FileInfo& vorher,
                      std::string* genommen = nullptr);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_MOVE_ASIDE_H_
