// Kopieren and DateiKopieren: the copy hand-over of one run and the fail-safe single-file copy.
//
// One Kopierer per run, created by the run and used by the run's thread only. It keeps the
// register of copies handed over (refusing the same copy and its exact reverse, compared as exact
// texts) and the statistics the progress window shows.
#ifndef ZARNOFT_COPY_COPIER_H_
#define ZARNOFT_COPY_COPIER_H_

#include <cstdint>
#include <string>

#include "copy/copy_register.h"
#include "copy/copy_service.h"
#include "copy/failure_report.h"
#include "log/log.h"
#include "platform/file_system.h"
#include "window/progress.h"

namespace zarnoft {

// The run's copy statistics (all start at 0 or empty).
struct KopierStatistik {
  int32_t AnzahlKopiert = 0;  // copies carried out, failed ones too; not one a cancel broke off
  int64_t SummeMio = 0;       // bytes of all copies started, whole millions
  int64_t SummeRest = 0;      // the same sum below one million
  std::string AktDatei;       // full source path of the copy in progress
  int64_t AktGroesse = 0;     // size of the copy in progress
};

// What a run says once about its targets, not per file.
struct KopieGemeldet {
  bool datum = false;      // a target does not keep the copy's date
  bool attribute = false;  // a target cannot hold the extended attributes
};

class Kopierer : public KopierDienst {
 public:
  // All pointers must outlive the Kopierer. kopier_meldung: show the copy error dialogs.
  Kopierer(FileSystem* fs, Protokoll* log, Fortschritt* fenster, bool kopier_meldung);

  KopierErgebnis Kopieren(const std::string& von, const std::string& nach, int64_t groesse,
                          const ZielBlick* gesehen = nullptr) override;
  KopierErgebnis KopierenNeu(const std::string& von, const std::string& nach, int64_t groesse,
                             std::string* genommen) override;

  // Where each failed copy is reported besides the log (may be nullptr, the default). Must
  // outlive the Kopierer.
  void BerichtSetzen(FehlerBericht* bericht) { bericht_ = bericht; }
  // What keeps the files that copies replace (may be nullptr, the default: nothing is kept).
  // Must outlive the Kopierer.
  void AufbewahrungSetzen(Aufbewahrung* aufbewahrung) { aufbewahrung_ = aufbewahrung; }

  const KopierStatistik& Statistik() const { return statistik_; }
  // How many copies failed (kFehler) so far: each makes the run a failed one.
  int32_t Fehlschlaege() const { return fehlschlaege_; }

 private:
  // The hand-over of both: register, statistics, window. genommen == nullptr: replace `nach`.
  KopierErgebnis Uebergeben(const std::string& von, const std::string& nach, int64_t groesse,
                            std::string* genommen, const ZielBlick* gesehen);
  // genommen == nullptr: the copy replaces `nach`; else it takes a free name (KopierenNeu).
  // gesehen: the caller's look at `nach`, or nullptr.
  KopierErgebnis DateiKopieren(const std::string& von, const std::string& nach, int64_t groesse,
                               std::string* genommen, const ZielBlick* gesehen);

  FileSystem* fs_;
  Protokoll* log_;
  Fortschritt* fenster_;
  bool kopier_meldung_;
  KopierStatistik statistik_;
  int32_t fehlschlaege_ = 0;
  KopieGemeldet gemeldet_;     // what the run has said once about its targets
  KopierRegister uebergeben_;  // the copies handed over
  FehlerBericht* bericht_ = nullptr;
  Aufbewahrung* aufbewahrung_ = nullptr;
};

// The copy hand-over of a probe run: keeps the register as the Kopierer does, so that it refuses
// what a real run would refuse, and copies nothing. Run's thread only.
class ProbeKopierer : public KopierDienst {
 public:
  ProbeKopierer(FileSystem* fs, Fortschritt* fenster) : fs_(fs), fenster_(fenster) {}
  KopierErgebnis Kopieren(const std::string& von, const std::string& nach, int64_t groesse,
                          const ZielBlick* gesehen = nullptr) override;
  // The name the copy would take: the first of nach, "nach (2)", ... that is free now.
  KopierErgebnis KopierenNeu(const std::string& von, const std::string& nach, int64_t groesse,
                             std::string* genommen) override;

 private:
  FileSystem* fs_;
  Fortschritt* fenster_;
  KopierRegister uebergeben_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_COPY_COPIER_H_
