// zarnoft-sync --rueckgaengig [--job N]... SAMMLUNG.syc: takes back the last run of the chosen
// jobs (engine/undo.h) and gives each job its last run from before back in the collection; with
// -n it prints the plan in the lines of a probe run and changes nothing.
//
// Main thread only.
#ifndef ZARNOFT_RUNNER_UNDO_COMMAND_H_
#define ZARNOFT_RUNNER_UNDO_COMMAND_H_

#include <string>

#include "jobs/job.h"
#include "log/log.h"
#include "platform/file_system.h"

namespace zarnoft {

struct RueckgaengigAufruf {
  std::string sammlung;  // the collection's path, where the job's dates are written back
  bool probelauf = false;
  bool leise = false;
  int rueckgaengig_tage = kRueckgaengigTageStandard;
  std::string stand_verzeichnis;
  FileSystem* fs = nullptr;
  Clock* uhr = nullptr;
  Protokoll* log = nullptr;
};

// Takes back the last run of job n (counting from 1) of `sammlung`. Prints the steps (-n: the
// plan) on stdout, failures and a refusal on stderr, then a summary line. Returns the exit
// status: 0 done, 1 refused or with failures, 2 the date could not be written.
int RueckgaengigAusfuehren(const RueckgaengigAufruf& a, Sammlung* sammlung, int n);

}  // namespace zarnoft

#endif  // ZARNOFT_RUNNER_UNDO_COMMAND_H_
