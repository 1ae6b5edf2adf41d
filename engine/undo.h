// Taking back a job's last run: LetztenLaufRueckgaengig reads the job's newest kept run (its
// journal, engine/run_journal.h), and undoes it step by step, the last step first: every kept
// version goes back to its place, every file the run wrote or created goes, every directory it
// created goes once empty, renamed entries get their names back, and the directories get their
// dates back. A step is done only where the place is still exactly as the run left it (size,
// date and inode as journaled); whatever changed since is left alone, reported as a failure, and
// the undo goes on with the rest. So nothing written after the run is ever lost by an undo.
//
// The undo keeps what it replaces and removes like a run (engine/run_store.h), so that it can be
// taken back in its turn, and it drops the record of the pair's last run (engine/run_record.h):
// the record describes the run taken back, and the next two-way run would take what the undo
// removed on one side for a deletion. That next run deletes nothing and says so.
//
// A probe (`Probelauf`) reports each step as it would be done (one Aktion per step, through the
// LaufBericht: the plan) and changes nothing.
//
// Synchronous: called on a thread of its own (the editor's run thread, the runner's main thread)
// while no run of the same job is under way. Every service must outlive the call.
#ifndef ZARNOFT_ENGINE_UNDO_H_
#define ZARNOFT_ENGINE_UNDO_H_

#include <string>

#include "engine/actions.h"
#include "log/log.h"
#include "platform/date_time.h"
#include "platform/file_system.h"
#include "platform/job_modes.h"

namespace zarnoft {

struct RueckgaengigWerte {
  std::string Herkunft;  // the job's roots
  std::string Ziel;
  bool Probelauf = false;
  // The job's last run as it stands now: the undo's journal keeps it, so that taking the undo
  // back gives it back.
  FileTime LaufBeginn;
  FileTime LaufEnde;
  double Aufruf = 0;
  // 0: the undo keeps nothing of what it replaces and writes no journal.
  int RueckgaengigTage = kRueckgaengigTageStandard;
  // The kept run whose plan the user saw (RueckgaengigErgebnis::lauf of the probe); empty: the
  // newest. When another run has become the newest since, the undo refuses instead of taking
  // back a run the user never saw.
  std::string Lauf;
};

struct RueckgaengigDienste {
  FileSystem* fs = nullptr;        // nullptr: FileSystem::Default()
  Clock* uhr = nullptr;            // nullptr: Clock::System()
  Protokoll* log = nullptr;        // nullptr: no log
  LaufBericht* bericht = nullptr;  // the steps and failures (may be nullptr)
  // Where the records of two-way runs lie (as LaufDienste::stand_verzeichnis); empty: none.
  std::string stand_verzeichnis;
};

struct RueckgaengigErgebnis {
  // Why nothing was done (German, for a message box or stderr); empty when the undo ran.
  std::string abgelehnt;
  // Steps left alone (changed since the run, a kept file gone) or failed.
  int fehler = 0;
  int schritte = 0;  // steps done (or, in a probe, to be done)
  // The steps by kind: versions put back (wiederhergestellt), files and directories removed
  // (geloescht), directories made again (angelegt).
  Zusammenfassung zaehlung;
  std::string lauf;  // the name of the run taken back
  // The job's last run before the run taken back: what the job's dates go back to.
  FileTime vorher_beginn;
  FileTime vorher_ende;
  double vorher_aufruf = 0;
};

RueckgaengigErgebnis LetztenLaufRueckgaengig(const RueckgaengigWerte& werte,
                                             const RueckgaengigDienste& dienste);

// The steps of an undo by kind and its failures, as the runner's summary and the editor's
// outcome say them: "3 Schritte (1 wiederhergestellt, 2 gelöscht, 0 angelegt), 0 Fehler".
std::string SchritteText(const RueckgaengigErgebnis& e);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_UNDO_H_
