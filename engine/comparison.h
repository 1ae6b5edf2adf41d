// Vergleiche: one run of one job on a thread of its own.
//
// Created with the job's ten values, the run starts at once. It opens its progress window
// (created by the FensterFabrik on the GUI thread), checks the job's directories, walks the two
// trees, closes the window and then runs its end notification on the GUI thread through the
// GuiCaller, synchronously; after the notification has returned the object frees itself.
//
// Thread rules: Starten, StopAnfordern and the end notification belong to the GUI thread; the
// object must not be touched after the end notification has returned. Abgebrochen() may be read
// in the end notification.
#ifndef ZARNOFT_ENGINE_COMPARISON_H_
#define ZARNOFT_ENGINE_COMPARISON_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "copy/progress_window.h"
#include "log/log.h"
#include "platform/date_time.h"
#include "platform/file_system.h"
#include "platform/gui_call.h"
#include "platform/job_modes.h"

namespace zarnoft {

// The ten values of a run, in the order in which the job hands them over.
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
};

// The services of a run. Pointers must outlive the run; the factory is called on the GUI thread.
struct LaufDienste {
  FileSystem* fs = nullptr;  // nullptr: FileSystem::Default()
  Clock* uhr = nullptr;      // nullptr: Clock::System()
  Protokoll* log = nullptr;  // required
  GuiCaller* gui = nullptr;  // required
  FensterFabrik fenster;     // required
};

class Vergleiche {
 public:
  using EndeMeldung = std::function<void(Vergleiche&)>;

  // Creates the run and starts its thread at once. `beendet` is called on the GUI thread at the
  // end (before the object frees itself). Returns the running object.
  static Vergleiche* Starten(const VergleichsWerte& werte, const LaufDienste& dienste,
                             EndeMeldung beendet);

  // The stop request: no further directory is visited or removed; the run then ends normally.
  // Any thread.
  void StopAnfordern() { stop_.store(true); }

  // The result: the run was cancelled or failed to start. Valid in the end notification.
  bool Abgebrochen() const { return abgebrochen_; }

  const VergleichsWerte& Werte() const { return werte_; }

  // Blocks until every run of this process has freed itself (for tests and the headless runner,
  // whose GUI thread must keep serving calls meanwhile: call it only after the last end
  // notification).
  static void AufAlleWarten();

 private:
  Vergleiche(const VergleichsWerte& werte, const LaufDienste& dienste, EndeMeldung beendet);
  ~Vergleiche();
  void Lauf();

  VergleichsWerte werte_;
  LaufDienste dienste_;
  EndeMeldung beendet_;
  std::atomic<bool> stop_{false};
  bool abgebrochen_ = false;
};

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_COMPARISON_H_
