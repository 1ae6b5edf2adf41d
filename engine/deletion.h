// DateiLoeschen and VerzeichnisLoeschen: the deletions the walk decides on, under the run's
// deletion mode.
// Called on the run's thread with the run's LaufKontext.
#ifndef ZARNOFT_ENGINE_DELETION_H_
#define ZARNOFT_ENGINE_DELETION_H_

#include <string>

#include "engine/run_context.h"

namespace zarnoft {

// Deletes one file (full path) under the deletion mode. True when the file is gone; false when
// it was kept (deletion mode "never", a failure, which is then logged and counted).
bool DateiLoeschen(LaufKontext& k, const std::string& path);
// Removes a directory with everything in it, depth first; files go through DateiLoeschen. Each
// entry is looked at again right before it goes: one written or used since the last run stays,
// and so does its directory.
void VerzeichnisLoeschen(LaufKontext& k, const std::string& path);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_DELETION_H_
