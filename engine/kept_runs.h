// The kept runs of a job: finding them (by the journals in the target's reserved directory that
// name the job's two roots), dropping old ones at the start of a run, and removing one.
//
// A kept run goes when it is older than the setting RueckgaengigTage (0: every kept run goes),
// and, oldest first, while the job's kept runs together take more than RueckgaengigAnteil percent
// of the free space of the target's file system; the last run always stays by that second rule.
//
// Run's thread (or any single thread); nothing is shared.
#ifndef ZARNOFT_ENGINE_KEPT_RUNS_H_
#define ZARNOFT_ENGINE_KEPT_RUNS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "log/log.h"
#include "platform/file_system.h"

namespace zarnoft {

struct BehaltenerLauf {
  std::string name;    // the run's name, and its journal's file name without ".journal"
  FileTime beginn;     // when it began (UTC)
  uint64_t bytes = 0;  // what its stores hold, as the journal tells
};

// The job's kept runs, oldest first. A journal that cannot be read, or names other roots, is
// not the job's and is left alone.
std::vector<BehaltenerLauf> BehalteneLaeufe(FileSystem* fs, const std::string& herkunft,
                                            const std::string& ziel);

// The names of the runs to drop from `laeufe` (oldest first, as BehalteneLaeufe gives them).
std::vector<std::string> Auszusortieren(const std::vector<BehaltenerLauf>& laeufe, FileTime jetzt,
                                        int tage, int anteil, uint64_t frei);

// Removes a kept run: its stores on both sides (never following a link) and its journal.
Status LaufVerwerfen(FileSystem* fs, const std::string& herkunft, const std::string& ziel,
                     const std::string& name);

// Drops the job's kept runs that the settings no longer keep; each dropped run is logged at
// level 2, a failure at level 1 (the run goes on either way).
void LaeufeAufraeumen(FileSystem* fs, Protokoll* log, const std::string& herkunft,
                      const std::string& ziel, FileTime jetzt, int tage, int anteil);

// The journal's full path of the run `name` of the job with the target root `ziel`.
std::string JournalPfad(const std::string& ziel, const std::string& name);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_KEPT_RUNS_H_
