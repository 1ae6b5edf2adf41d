// Vergleiche: one run of one job on a thread of its own.
//
// Created with the job's VergleichsWerte, the run starts at once. It opens its progress window
// (created by the FensterFabrik on the GUI thread), checks the job's directories, walks the two
// trees, closes and destroys the window and then runs its end notification on the GUI thread
// through the GuiCaller, synchronously; after the notification has returned the run frees itself
// and its handle reports it as ended.
//
// Threads: Starten on any thread (the GUI thread in the editor); the end notification on the GUI
// thread. The owners keep nothing of the run but its LaufHandle (engine/run_handle.h).
#ifndef ZARNOFT_ENGINE_COMPARISON_H_
#define ZARNOFT_ENGINE_COMPARISON_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/actions.h"
#include "engine/run_handle.h"
#include "log/log.h"
#include "platform/date_time.h"
#include "platform/file_system.h"
#include "platform/gui_call.h"
#include "platform/job_modes.h"
#include "window/progress_window.h"

namespace zarnoft {

// The values a run is started with (VergleichsWerte), in the order in which the job hands them
// over.
struct VergleichsWerte {
  std::string Herkunft;
  std::string Ziel;
  std::string LoeschenWohin;  // the move-aside folder setting; "/" is appended when missing
  VorgangsArt Art = VorgangsArt::kSynchronisieren;
  int Doppelt = 0;  // the job's whole value: the sub-mode and the flags of DoppeltBits
  LoeschModus Loeschen = LoeschModus::kNormal;
  double Aufruf = 0;  // last run, days since 30.12.1899 local time; 0 = never
  int32_t Zaehler = 0;
  bool ZaehlArt = false;
  bool Unterverzeichnisse = true;
  // The start and the end of the last completed run (UTC), when the job knows them; they decide
  // in place of Aufruf (engine/last_run.h).
  FileTime LaufBeginn;
  FileTime LaufEnde;
  // The job's exclusion patterns; an unusable one is named in the log and left out.
  std::vector<std::string> Ausnahmen;
  // The deletion guard's limit (the setting LoeschGrenze, engine/deletion_guard.h).
  int LoeschGrenze = kLoeschGrenzeStandard;
  // A probe run: decides as a real run, reports each action and changes nothing.
  bool Probelauf = false;
  // Kept runs (engine/run_store.h): how many days a run's replaced and removed files are kept
  // (the setting RueckgaengigTage; 0: nothing is kept, and files are deleted as they go), and
  // the share of the free space they may take (RueckgaengigAnteil, percent).
  int RueckgaengigTage = kRueckgaengigTageStandard;
  int RueckgaengigAnteil = kRueckgaengigAnteilStandard;
};

// The services of a run. Pointers must outlive the run (wait for its handle); the factory is
// called on the GUI thread.
struct LaufDienste {
  FileSystem* fs = nullptr;  // nullptr: FileSystem::Default()
  Clock* uhr = nullptr;      // nullptr: Clock::System()
  Protokoll* log = nullptr;  // nullptr: no log
  GuiCaller* gui = nullptr;  // nullptr: every window call runs on the run's own thread
  FensterFabrik fenster;     // empty, or no window made: a window that shows nothing
  // Where the records of two-way runs lie (engine/run_record.h), ending in "/"; created when
  // missing. Empty: no record is kept, and a two-way run deletes nothing.
  std::string stand_verzeichnis;
  // Whether the file system of a root keeps lasting inodes (platform/fs_kind.h); empty: ask
  // the system. A test hands in a FAT stick here.
  std::function<bool(const std::string& wurzel)> dauerhaft;
  // Receives the run's actions and failures on the run's thread (nullptr: none).
  LaufBericht* bericht = nullptr;
};

class Vergleiche {
 public:
  // Runs on the GUI thread after the run's window is gone, while the run's thread waits. `lauf`
  // is the handle that Starten returned (to find the job that it belongs to).
  using EndeMeldung = std::function<void(const LaufHandle& lauf, const LaufErgebnis& ergebnis)>;

  // Creates the run and starts its thread at once. `beendet` (may be empty) is in place before
  // the run can end. Returns the run's handle; an empty handle when no thread could be started
  // (logged at level 1; nothing ran and no end notification follows).
  static LaufHandle Starten(const VergleichsWerte& werte, const LaufDienste& dienste,
                            EndeMeldung beendet);

 private:
  Vergleiche(const VergleichsWerte& werte, const LaufDienste& dienste, EndeMeldung beendet,
             LaufHandle handle);
  void Lauf();

  VergleichsWerte werte_;
  LaufDienste dienste_;
  EndeMeldung beendet_;
  LaufHandle handle_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_COMPARISON_H_
