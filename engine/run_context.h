// What the parts of one comparison run share: the run's values and its services. The walk, the
// double-change handling, the deletions and the archive decision all work on one LaufKontext,
// owned by the run (Vergleiche) and used by the run's thread only.
#ifndef ZARNOFT_ENGINE_RUN_CONTEXT_H_
#define ZARNOFT_ENGINE_RUN_CONTEXT_H_

#include <atomic>
#include <cstdint>
#include <string>

#include "copy/copy_orders.h"
#include "log/log.h"
#include "platform/date_time.h"
#include "platform/file_system.h"
#include "platform/job_modes.h"
#include "window/progress.h"

namespace zarnoft {

struct LaufKontext {
  // --- the run's values ---
  std::string Herkunft;       // source root, no trailing "/" ("/" itself is "")
  std::string Ziel;           // target root, likewise
  std::string LoeschenWohin;  // move-aside store, always ending in "/"
  VorgangsArt Art = VorgangsArt::kKeine;
  int Doppelt = 0;  // the sub-mode (the job's value without its flag bits); see Regel() and so on
  LoeschModus Loeschen = LoeschModus::kNormal;
  int64_t Vergleichsdatum = 0;  // last run in DOS form, 0 = never; the walk changes it in place
  int32_t Zaehler = 0;
  bool ZaehlArt = false;
  bool Unterverzeichnisse = false;
  bool VerzeichnisMeldung = true;
  bool KopierMeldung = true;

  // --- the run's result ---
  // Failures the run went on after; a run with failures does not become the job's last run.
  int Fehler = 0;

  // --- services (not owned) ---
  FileSystem* fs = nullptr;
  Clock* uhr = nullptr;
  Protokoll* log = nullptr;
  Fortschritt* fenster = nullptr;
  KopierDienst* kopierer = nullptr;
  const std::atomic<bool>* stop = nullptr;  // the stop request (a job deleted while it runs)

  // The sub-mode as the job's kind reads it.
  DoppelRegel Regel() const { return static_cast<DoppelRegel>(Doppelt); }
  KopierPruefung Pruefung() const { return static_cast<KopierPruefung>(Doppelt); }
  ArchivUmfang Umfang() const { return static_cast<ArchivUmfang>(Doppelt); }

  bool StopAngefordert() const { return stop != nullptr && stop->load(); }
  bool Abbruch() const { return fenster != nullptr && fenster->Abbruch(); }
  bool Will(LogStufe stufe) const { return log->Will(stufe); }
  void Log(LogStufe stufe, const std::string& text) const {
    if (log->Will(stufe)) log->Zeile(stufe, text);
  }
};

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_RUN_CONTEXT_H_
