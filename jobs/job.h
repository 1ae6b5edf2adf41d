// The job record and the job collection of the editor.
//
// A job (Vorgang, in the window also Auftrag) names one pair of directories and how they are kept
// in step. The collection owns its jobs; a running comparison gets copies of the job's values
// (VergleichsWerteFuer) and never sees the record. Everything here belongs to the GUI thread:
// the collection, the jobs' Thread fields and the running count change nowhere else, so no locks
// are needed.
#ifndef ZARNOFT_JOBS_JOB_H_
#define ZARNOFT_JOBS_JOB_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/comparison.h"
#include "platform/date_time.h"

namespace zarnoft {

// One time entry of a job. Time entries are only stored, loaded and shown; nothing in this
// program runs a job because of them, and the meaning of Tag is left to whoever prepared them.
struct TZeitEintrag {
  int8_t Tag = 0;
  int8_t Stunde = 12;  // the hour a collection file gives when it names none
  int8_t Minute = 0;
  bool Nachholen = false;  // catch up a missed time
  friend bool operator==(const TZeitEintrag&, const TZeitEintrag&) = default;
};

// One job. The defaults are those of a job read from an empty collection section.
struct TVergleichThread {
  std::string Herkunft;
  std::string Ziel;
  // End of the last comparison that completed: days since 30.12.1899 local time, the fraction
  // the time of day; 0 = never.
  double Aufruf = 0;
  // Start and end of that comparison as UTC instants (zero when unknown: a collection written
  // before they were kept). They, not Aufruf, decide what changed since.
  FileTime LaufBeginn;
  FileTime LaufEnde;
  bool Unterverzeichnisse = false;
  VorgangsArt Art = VorgangsArt::kKeine;
  // The sub-mode, by kind (see DoppeltEintraege); -1 = no item chosen. The flags of DoppeltBits
  // in a value read from a file are passed on to the comparison unchanged; the editor never sets
  // them.
  int8_t Doppelt = 0;
  int32_t Zaehler = 0;    // expected number of files of a run
  bool ZaehlArt = false;  // true: Zaehler is the source's count; false: the target's
  LaufHandle Thread;      // the running comparison (empty: none); never stored in a file
  // The last run of this session met failures (and so was not recorded); never stored in a file.
  bool LetzterMitFehlern = false;
  // Its failures as the editor kept them (the first ones, path and reason) and how many there
  // were in all; cleared when the next run ends. Never stored in a file.
  std::vector<Fehlerzeile> LetzteFehler;
  int64_t LetzteFehlerAnzahl = 0;
  bool Booten = false;          // "Beim Booten"
  bool Herunterfahren = false;  // "Beim Herunterfahren"
  bool Idle = false;            // "Beim Leerlauf"
  std::vector<TZeitEintrag> Zeiten;
  // The exclusion patterns (engine/exclusions.h), as the collection keeps them; empty: none.
  std::vector<std::string> Ausnahmen;
  // The job's identity in its collection ("Kennung"), which no reordering changes: the runner
  // writes a run's date back into the job that has it. Empty for a job of a collection written
  // before jobs had one; the editor gives every job one when it takes or saves it.
  std::string Kennung;
};

// A new identity for a job: 16 hexadecimal digits, unpredictable across processes.
std::string NeueKennung();

// The job collection, in display order: job 0 is row 1 of the grid and section "Vorgang 1" of
// the file. Jobs are owned here; their addresses stay valid until they are removed, so a caller
// may keep a pointer to a job across insertions of others.
class Sammlung {
 public:
  size_t Anzahl() const { return jobs_.size(); }
  bool Leer() const { return jobs_.empty(); }

  // A job taken from the editor goes to the front.
  TVergleichThread* Vorn(TVergleichThread job);
  // Jobs read from a file are appended in file order.
  TVergleichThread* Anhaengen(TVergleichThread job);

  // The job at a 0-based position, or nullptr when there is none.
  TVergleichThread* An(size_t index);
  const TVergleichThread* An(size_t index) const;
  // The job shown in grid row `zeile` (row 1 is the first job), or nullptr for the header row
  // and rows beyond the last job.
  TVergleichThread* InZeile(int zeile);

  // Unlinks the job at a 0-based position and hands it to the caller (who asks a running thread
  // to stop before dropping it). nullptr when there is no such job.
  std::unique_ptr<TVergleichThread> Entfernen(size_t index);
  void Leeren() { jobs_.clear(); }

  // The job that the comparison `lauf` runs, or nullptr (the job was deleted meanwhile).
  // An empty handle finds nothing.
  TVergleichThread* MitThread(const LaufHandle& lauf);

  // Iteration in display order.
  class const_iterator {
   public:
    explicit const_iterator(std::vector<std::unique_ptr<TVergleichThread>>::const_iterator it)
        : it_(it) {}
    const TVergleichThread& operator*() const { return **it_; }
    const TVergleichThread* operator->() const { return it_->get(); }
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    bool operator==(const const_iterator&) const = default;

   private:
    std::vector<std::unique_ptr<TVergleichThread>>::const_iterator it_;
  };
  const_iterator begin() const { return const_iterator(jobs_.begin()); }
  const_iterator end() const { return const_iterator(jobs_.end()); }

 private:
  std::vector<std::unique_ptr<TVergleichThread>> jobs_;
};

// The VergleichsWerte that a comparison of `job` is started with, in their order:
// source, target, the move-aside folder setting "LoeschenWohin", kind, sub-mode, the deletion
// mode setting "Loeschen", last run, expected file count, its side, subdirectories, and the
// start and end of the last completed run.
VergleichsWerte VergleichsWerteFuer(const TVergleichThread& job, const std::string& loeschen_wohin,
                                    LoeschModus loeschen,
                                    int loesch_grenze = kLoeschGrenzeStandard);

// The expected file count of a job taken from the editor, from the file counts of the last
// completed listings of source and target (0 for a side that is still being listed, was stopped
// or never listed): the larger side wins, the target on equal counts. Counts beyond the 32-bit
// range are held at its limit.
void ZaehlerSetzen(TVergleichThread* job, int64_t herkunft_dateien, int64_t ziel_dateien);

// The end of a job's comparison: the job has no thread any more and, only when the run completed
// (not cancelled, not failed to start, no failures), its last run is now (local time from `uhr`)
// with the run's own start and end. A run with failures leaves the last run as it was, so that
// the next run looks at the same changes again, and marks the job (LetzterMitFehlern) until its
// next run ends. A probe run changes nothing of the job but its Thread: it is no run of the job,
// so the marks of the last real run stay. Returns whether the run completed. The one place
// of this rule: the editor and the headless runner both call it.
bool LaufBeendet(TVergleichThread* job, const LaufErgebnis& ergebnis, Clock* uhr);

}  // namespace zarnoft

#endif  // ZARNOFT_JOBS_JOB_H_
