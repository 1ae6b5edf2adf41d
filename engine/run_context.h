// What the parts of one comparison run share: the run's values and its services. The walk, the
// double-change handling, the deletions and the archive decision all work on one LaufKontext,
// owned by the run (Vergleiche) and used by the run's thread only.
#ifndef ZARNOFT_ENGINE_RUN_CONTEXT_H_
#define ZARNOFT_ENGINE_RUN_CONTEXT_H_

#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "copy/copy_service.h"
#include "engine/actions.h"
#include "engine/exclusions.h"
#include "engine/last_run.h"
#include "engine/removals.h"
#include "engine/run_record.h"
#include "log/log.h"
#include "platform/date_time.h"
#include "platform/file_system.h"
#include "platform/job_modes.h"
#include "window/progress.h"

namespace zarnoft {

class Laufablage;

struct LaufKontext {
  // --- the run's values ---
  std::string Herkunft;       // source root, no trailing "/" ("/" itself is "")
  std::string Ziel;           // target root, likewise
  std::string LoeschenWohin;  // move-aside store, always ending in "/"
  VorgangsArt Art = VorgangsArt::kKeine;
  int Doppelt = 0;  // the sub-mode (the job's value without its flag bits); see Regel() and so on
  LoeschModus Loeschen = LoeschModus::kNormal;
  // The job's last run. The walk replaces it by "never" while it visits a directory it has just
  // created on the other side, below which everything is new.
  LetzterLauf Letzter;
  // This run's start (UTC): a copy's temporary file older than it, and not locked, was left by a
  // run that was killed.
  FileTime Laufbeginn;
  // The record of the last run, read as the walk goes; nullptr when there is none to trust (a
  // first run, another directory in a root's place, a damaged record): nothing is deleted then.
  StandLeser* stand_alt = nullptr;
  // This run's record, written as the walk goes; nullptr for runs that keep none.
  StandSchreiber* stand_neu = nullptr;
  // Whether each side's file system keeps inodes and status changes that last (not FAT).
  bool h_dauerhaft = true;
  bool z_dauerhaft = true;
  int32_t Zaehler = 0;
  bool ZaehlArt = false;
  bool Unterverzeichnisse = false;
  // What the job leaves out on both sides: never walked, compared, copied, deleted or counted.
  AusnahmeRegeln ausnahmen;
  bool VerzeichnisMeldung = true;
  bool KopierMeldung = true;
  // A probe run decides everything as a real run and changes nothing: each action is reported
  // where it would be done, and no file, directory, date or store is touched.
  bool Probelauf = false;
  // The deletion guard: the percentage of a side's files above which the run asks before it
  // removes them (0: never asks); see engine/deletion_guard.h.
  int LoeschGrenze = kLoeschGrenzeStandard;

  // --- what the run met ---
  // Failures the run went on after (copy failures are counted by the copy step and added at the
  // end); a run with failures does not become the job's last run, so that the next run looks at
  // the same changes again.
  int Fehler = 0;
  // What the run went on after without a failure, for its owner to show (the headless runner
  // prints each): a last run or a file dated in the future, a name that is no regular file.
  std::vector<std::string> Hinweise;
  // Entries left alone because they are no regular file (FIFOs, sockets, devices).
  int Uebersprungen = 0;
  // What the two-way walk is going to delete or move aside; removed after the walk.
  Entfernungsliste entfernungen;
  // Files the walk found on each side (the deletion guard's measure).
  int64_t dateien_herkunft = 0;
  int64_t dateien_ziel = 0;
  // Which trees the run wrote to; the end of the run flushes their file systems.
  bool herkunft_geschrieben = false;
  bool ziel_geschrieben = false;
  bool lager_geschrieben = false;
  // The store's directories this run has looked through for leftovers of killed copies.
  std::set<std::string> lager_aufgeraeumt;
  // The directories of the trees (full paths ending in "/") whose entries the run changed or
  // that it created; the walk gives each its counterpart's dates once its visit is done.
  std::set<std::string> verzeichnisse_geschrieben;

  // --- services (not owned) ---
  FileSystem* fs = nullptr;
  Clock* uhr = nullptr;
  Protokoll* log = nullptr;
  Fortschritt* fenster = nullptr;
  KopierDienst* kopierer = nullptr;
  const std::atomic<bool>* stop = nullptr;  // the stop request (a job deleted while it runs)
  // The move-aside store held as a root once the run first moves a file aside
  // (FileSystem::HoldRoot); the trees themselves are held by the walk.
  std::unique_ptr<RootHold> lager_halt;
  LaufBericht* bericht = nullptr;  // actions and failures as they happen; may be null
  // Where the run keeps what it replaces or removes, and its journal (engine/run_store.h);
  // nullptr for a probe run and when kept runs are turned off: files are then deleted.
  Laufablage* ablage = nullptr;

  // The sub-mode as the job's kind reads it.
  DoppelRegel Regel() const { return static_cast<DoppelRegel>(Doppelt); }
  KopierPruefung Pruefung() const { return static_cast<KopierPruefung>(Doppelt); }
  ArchivUmfang Umfang() const { return static_cast<ArchivUmfang>(Doppelt); }

  // A failure: the line is logged at level 1, followed by the system's reason in brackets when
  // there is one, and counted.
  void Fehlschlag(const std::string& text, const Status& grund = Status());
  // The same for a line whose text is fixed: the reason follows on a line of its own.
  void FehlschlagMitGrundzeile(const std::string& text, const Status& grund);
  // A warning that is no failure: logged at level 1 as "Vergl: " + text, and kept in Hinweise.
  void Hinweis(const std::string& text);
  // Whether the job's exclusions leave out the entry at `pfad` (a full path in either tree).
  bool Ausgenommen(const std::string& pfad, bool verzeichnis) const;
  // Notes that the run wrote at `pfad` (a full path in one of the trees or the store): its file
  // system is flushed at the end, and its directory counts as changed by the run.
  void Geschrieben(const std::string& pfad);
  // A copy's temporary file `e` met in the directory `dir` (ending in "/"): removed, and logged,
  // when a killed run left it: it is older than this run and no copy holds its lock. Anything
  // else (a copy under way in another run, a newer file) is left alone.
  void UeberbleibselEntfernen(const std::string& dir, const FileInfo& e);
  // Reports an action (done, or in a probe run to be done).
  void Melden(const Aktion& a) const {
    if (bericht != nullptr) bericht->Getan(a);
  }
  // The action `art` on the entry at `pfad` (a full path in one of the trees), with the entry's
  // state `info` on its side; nothing when the path lies in neither tree.
  void MeldenFuer(AktionsArt art, const std::string& pfad, const FileInfo* info) const;
  // The relative path of a full path in one of the trees (without a leading "/") and its side;
  // false when it lies in neither.
  bool Relativ(const std::string& pfad, AktionsSeite* seite, std::string* rel) const;

  bool StopAngefordert() const { return stop != nullptr && stop->load(); }
  bool Abbruch() const { return fenster != nullptr && fenster->Abbruch(); }
  bool Will(LogStufe stufe) const { return log->Will(stufe); }
  void Log(LogStufe stufe, const std::string& text) const {
    if (log->Will(stufe)) log->Zeile(stufe, text);
  }
  // A fixed text becomes a string only when the line is written.
  void Log(LogStufe stufe, const char* text) const {
    if (log->Will(stufe)) log->Zeile(stufe, text);
  }
};

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_RUN_CONTEXT_H_
