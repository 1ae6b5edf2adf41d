// LetzterLauf: what the job's last run tells about a file's dates.
//
// Whether a file was changed since the last run is told from its dates and the last run's
// (whether a file found on one side only was deleted on the other side is told from the record
// of the last run, engine/run_record.h). Two forms of the last run exist:
//
// - The start and the end of the last completed run as UTC instants (the job's keys
//   "LaufBeginnUTC" and "LaufEndeUTC"), compared at full resolution. A change of the time zone
//   between runs changes nothing. Writes are compared with two seconds of slack towards keeping
//   files (a lagging file-system clock).
// - Without them (a collection written before they existed), the last run's local date-time in
//   DOS form (2-second steps), as the older files hold it. A tie counts as new.
//
// A job that never ran (and a directory that the walk has just created on the other side, below
// which everything is new) has no last run: every file is new and changed.
//
// A value type; used by the run's thread only.
#ifndef ZARNOFT_ENGINE_LAST_RUN_H_
#define ZARNOFT_ENGINE_LAST_RUN_H_

#include <cstdint>

#include "platform/file_system.h"

namespace zarnoft {

class LetzterLauf {
 public:
  // Never ran.
  LetzterLauf() = default;
  // The older form: the last run's local date-time in DOS form; 0 = never.
  static LetzterLauf AusDos(int64_t vergleichsdatum);
  // Start and end of the last completed run (UTC). A pair that is not in order counts as none.
  static LetzterLauf AusUtc(FileTime beginn, FileTime ende);

  bool Nie() const { return art_ == Art::kNie; }
  // Whether the last run ended after `jetzt`, beyond the clocks' slack: recorded while the clock
  // was fast (a bad real-time clock, another system on the same machine, a hand-edited
  // collection). Every file written since would read as untouched since that run, so the run
  // takes such a job for one that never ran.
  bool InDerZukunft(FileTime jetzt) const;
  // The end of the last run (UTC); the zero time for none.
  FileTime Ende() const;

  // Written since the end of the last run: a two-way job takes a file so changed on both sides
  // for a double change. A file the run itself copied carries the date of its source, so only
  // the user's writes count.
  bool GeaendertSeitEnde(const FileInfo& datei) const;
  // Written since the start of the last run: a copy or archive job copies such a file. A file
  // written while the last run was under way may have been passed by it, so it counts too.
  bool GeaendertSeitBeginn(const FileInfo& datei) const;
  // The last run in DOS form for the log ("Vergleichsdatum: "), 0 for none.
  int64_t Dos() const;

 private:
  enum class Art { kNie, kDos, kUtc };
  Art art_ = Art::kNie;
  int64_t dos_ = 0;
  FileTime beginn_;
  FileTime ende_;
};

// The later of last access and last status change: the last time an entry was used (a copy's
// temporary file that nobody used since this run began was left by a run that was killed).
FileTime Benutzt(const FileInfo& info);

// The latest date a file may carry at a run that began at `laufbeginn`: later, beyond the clocks'
// slack, it is dated in the future (a camera, another machine with a wrong clock). Such a file
// would be "changed since the last run" on every run and win every double change. An unknown
// start (the zero time) gives the latest time there is.
FileTime ZukunftsGrenze(FileTime laufbeginn);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_LAST_RUN_H_
