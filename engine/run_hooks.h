// The decisions that the walk hands on: a file changed on both sides, deletions (under the
// deletion mode, with the move-aside store), the archive copy, and the empty-side guard that a
// two-way run asks before it walks. All run on the run's thread with the run's LaufKontext.
#ifndef ZARNOFT_ENGINE_RUN_HOOKS_H_
#define ZARNOFT_ENGINE_RUN_HOOKS_H_

#include <cstdint>
#include <string>

#include "engine/run_context.h"

namespace zarnoft {

// A double change: N exists on both sides with different dates, both written since the last
// run; h and z are the two files as the decision saw them. rel begins and ends with "/". What
// cannot be settled (nobody to ask, a file changed while the question was open, a failed
// rename) is counted as a failure.
void DoppelteAenderung(LaufKontext& k, const std::string& rel, const std::string& name,
                       const FileInfo& h, const FileInfo& z);

// Deletes one file (full path) under the deletion mode. True when the file is gone; false when
// it was kept (deletion mode "never", a failure, which is then logged and counted).
bool DateiLoeschen(LaufKontext& k, const std::string& path);
// Removes a directory with everything in it, depth first; files go through DateiLoeschen. Each
// entry is looked at again right before it goes: one written or used since the last run stays,
// and so does its directory.
void VerzeichnisLoeschen(LaufKontext& k, const std::string& path);

// The decision of an archive job for one source file, as the listing found it.
void Archivieren(LaufKontext& k, const std::string& rel, const std::string& name,
                 const FileInfo& datei);

// Before a two-way run of a job that ran before walks: when one root is empty and the other is
// not, asks whether to go on. False: the run must not walk (the refusal is logged here).
bool LeereSeiteErlaubt(LaufKontext& k);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_RUN_HOOKS_H_
