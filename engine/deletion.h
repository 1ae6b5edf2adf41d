// DateiLoeschen and VerzeichnisLoeschen: the deletions the walk decides on, under the run's
// deletion mode.
// Called on the run's thread with the run's LaufKontext.
#ifndef ZARNOFT_ENGINE_DELETION_H_
#define ZARNOFT_ENGINE_DELETION_H_

#include <functional>
#include <string>

#include "engine/run_context.h"

namespace zarnoft {

// Deletes one file (full path) under the deletion mode. True when the file is gone; false when
// it was kept (deletion mode "never", a failure, which is then logged and counted).
bool DateiLoeschen(LaufKontext& k, const std::string& path);
// Whether an entry inside a directory being removed (its full path and a fresh look at it) is
// still as the last run left it on both sides. A directory that is so is entered; what is not so
// (new, or changed since) stays.
using WieZuletzt = std::function<bool(const std::string& pfad, const FileInfo& jetzt)>;

// Removes a directory with everything in it, depth first; files go through DateiLoeschen. Each
// entry is looked at right before it goes: one that is not as the last run left it stays, and
// so does its directory. True when the directory is gone (or, in a probe run, would be).
bool VerzeichnisLoeschen(LaufKontext& k, const std::string& path, const WieZuletzt& wie_zuletzt);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_DELETION_H_
