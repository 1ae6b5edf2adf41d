// A job run end to end (Vergleiche) over a temporary tree with the source "h", the target "z"
// and a move-aside store "lager" that does not exist yet, with the run's clock and file system
// in the test's hand. Header-only; linked into test programs with the engine.
#ifndef ZARNOFT_TESTING_JOB_RUN_KIT_H_
#define ZARNOFT_TESTING_JOB_RUN_KIT_H_

#include <string>

#include "engine/comparison.h"
#include "platform/date_time.h"
#include "testing/temp_tree.h"
#include "testing/tree_pair_kit.h"

namespace zarnoft::testing {

struct AuftragsLauf {
  AuftragsLauf() {
    const FileTime jetzt = Clock::System()->Now();
    // Every status change lies before the runs, so the dates set here decide.
    basis = FileTime{(jetzt.sec + 30 * 86400) / 2 * 2, 0};
    w.Herkunft = baum.Mkdir("h");
    w.Ziel = baum.Mkdir("z");
    w.LoeschenWohin = baum.Path("lager");
    w.Art = VorgangsArt::kSynchronisieren;
    w.Doppelt = Zahl(DoppelRegel::kKeineAktion);
    w.Loeschen = LoeschModus::kNormal;
    w.Unterverzeichnisse = true;
    w.LoeschGrenze = 0;  // the guard would ask, and nobody answers here
  }
  // A moment in hours from `basis`, with a nanosecond part.
  FileTime Um(int stunden, int64_t nsec = 0) const {
    return FileTime{basis.sec + stunden * 3600, nsec};
  }
  void Datei(const std::string& rel, const std::string& inhalt, FileTime t) {
    SetTimes(baum.Write(rel, inhalt), t, t);
  }
  void Datum(const std::string& rel, FileTime m, FileTime a) { SetTimes(baum.Path(rel), m, a); }
  // Runs the job at `zeit`; a real run that ended without failures becomes its last run.
  LaufErgebnis Laufen(FileTime zeit, FileSystem* fs = nullptr) {
    ManualClock uhr(zeit);
    LaufDienste d;
    d.uhr = &uhr;
    d.fs = fs;
    d.bericht = &bericht;
    d.stand_verzeichnis = baum.Path("stand") + "/";
    LaufHandle lauf = Vergleiche::Starten(w, d, nullptr);
    lauf.Warten();
    const LaufErgebnis e = lauf.Ergebnis();
    if (!w.Probelauf && e.fehler == 0 && !e.abgebrochen) w.LaufBeginn = w.LaufEnde = zeit;
    return e;
  }

  TempTree baum;
  FileTime basis;
  VergleichsWerte w;
  Liste bericht;
};

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_JOB_RUN_KIT_H_
