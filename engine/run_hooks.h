// The decisions that the walk hands on: a file changed on both sides, deletions (under the
// deletion mode, with the move-aside store), the archive copy, and the empty-side guard that a
// two-way run asks before it walks. All run on the run's thread with the run's LaufKontext.
#ifndef ZARNOFT_ENGINE_RUN_HOOKS_H_
#define ZARNOFT_ENGINE_RUN_HOOKS_H_

#include <cstdint>
#include <string>

#include "engine/run_context.h"

namespace zarnoft {

// Row 2 of the two-way table: N exists on both sides with dates a != b, both later than the last
// run. rel begins and ends with "/"; groesse is the entry's size.
void DoppelteAenderung(LaufKontext& k, const std::string& rel, const std::string& name, int64_t a,
                       int64_t b, int64_t groesse);

// Deletes one file (full path) under the deletion mode.
void DateiLoeschen(LaufKontext& k, const std::string& path);
// Removes a directory with everything in it, depth first; files go through DateiLoeschen.
void VerzeichnisLoeschen(LaufKontext& k, const std::string& path);

// The decision of an archive job for one source file: a is its date, groesse its size.
void Archivieren(LaufKontext& k, const std::string& rel, const std::string& name, int64_t a,
                 int64_t groesse);

// Before a two-way run of a job that ran before walks: when one root is empty and the other is
// not, asks whether to go on. False: the run must not walk (the refusal is logged here).
bool LeereSeiteErlaubt(LaufKontext& k);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_RUN_HOOKS_H_
