// Runs one job headless and measures it: wall time, files examined and copied, the share of the
// run spent in window calls (with a window that does nothing), and the peak memory.
//
//   bench_run_bench [--art N] [--doppelt N] [--aufruf-datei DATEI] [--gui-faden] HERKUNFT ZIEL
//
// --gui-faden carries every window call over to the main thread and waits for it there, as the
// real window does (a QueueCaller), instead of running it on the run's thread.
// --aufruf-datei keeps the job's last-run date between calls like the job record does: it is
// read before the run (missing file: never ran) and rewritten after a run that was not
// cancelled. Prints one line of key=value pairs.
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "engine/comparison.h"
#include "log/log.h"
#include "platform/date_time.h"
#include "platform/gui_call.h"

namespace zarnoft {
namespace {

using Uhr = std::chrono::steady_clock;

// Runs every call at once and adds up the time spent in it, the clock reads included, so the
// share it reports is an upper bound.
class MessenderAufruf : public GuiCaller {
 public:
  explicit MessenderAufruf(GuiCaller* weiter) : weiter_(weiter) {}
  bool Call(const std::function<void()>& f) override {
    auto t0 = Uhr::now();
    bool gelaufen = weiter_->Call(f);
    dauer += Uhr::now() - t0;
    ++anzahl;
    return gelaufen;
  }
  bool ImGuiThread() const override { return weiter_->ImGuiThread(); }
  GuiCaller* weiter_;
  Uhr::duration dauer{};
  long anzahl = 0;
};

class LeeresFenster : public StillesFenster {
 public:
  ~LeeresFenster() override {
    Fortschrittsstand s;
    Stand().Lesen(&s);
    gezaehlt = s.gezaehlt;
  }
  void Fehlermeldung(const std::string& text, AntwortRueckruf geschlossen) override {
    ++fehler;
    std::fprintf(stderr, "Fehler: %s\n", text.c_str());
    geschlossen(0);
  }
  void FrageStellen(const Frage& f, AntwortRueckruf antwort) override {
    std::fprintf(stderr, "Frage: %s\n", f.text.c_str());
    antwort(kKeineAntwort);
  }
  static inline int32_t gezaehlt = 0;
  static inline long fehler = 0;
};

int Nutzung() {
  std::fprintf(stderr,
               "Aufruf: bench_run_bench [--art N] [--doppelt N] [--aufruf-datei DATEI] "
               "[--gui-faden] HERKUNFT ZIEL\n");
  return 2;
}

int Main(int argc, char** argv) {
  VergleichsWerte w;
  w.Art = VorgangsArt::kSynchronisieren;
  w.Doppelt = Zahl(DoppelRegel::kKeineAktion);  // nobody is there to answer a question
  w.Loeschen = LoeschModus::kNormal;
  w.ZaehlArt = true;
  w.Unterverzeichnisse = true;
  std::string aufruf_datei;
  bool gui_faden = false;
  int frei = 0;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--gui-faden") {
      gui_faden = true;
    } else if ((a == "--art" || a == "--doppelt" || a == "--aufruf-datei") && i + 1 < argc) {
      std::string v = argv[++i];
      if (a == "--art") w.Art = static_cast<VorgangsArt>(std::atoi(v.c_str()));
      if (a == "--doppelt") w.Doppelt = std::atoi(v.c_str());
      if (a == "--aufruf-datei") aufruf_datei = v;
    } else if (frei == 0) {
      w.Herkunft = a;
      ++frei;
    } else if (frei == 1) {
      w.Ziel = a;
      ++frei;
    } else {
      return Nutzung();
    }
  }
  if (frei != 2) return Nutzung();
  if (!aufruf_datei.empty()) {
    std::ifstream in(aufruf_datei);
    in >> w.Aufruf;
  }
  w.LoeschenWohin = "/tmp/zarnoft-bench-lager";

  KeinProtokoll log;
  DirectCaller direkt;
  QueueCaller schlange;
  MessenderAufruf gui(gui_faden ? static_cast<GuiCaller*>(&schlange) : &direkt);
  LaufDienste d;
  d.log = &log;
  d.gui = &gui;
  d.fenster = [] { return std::make_unique<LeeresFenster>(); };
  auto t0 = Uhr::now();
  LaufHandle lauf = Vergleiche::Starten(w, d, {});
  if (gui_faden) schlange.ServeUntil([&] { return lauf.Beendet(); }, std::chrono::hours(24));
  lauf.Warten();
  auto gesamt = Uhr::now() - t0;
  const bool abgebrochen = lauf.Ergebnis().abgebrochen;

  if (!abgebrochen && !aufruf_datei.empty()) {
    std::ofstream out(aufruf_datei, std::ios::trunc);
    char b[64];
    std::snprintf(b, sizeof b, "%.10f", DayCountNow(Clock::System()));
    out << b << "\n";
  }
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  const double s = std::chrono::duration<double>(gesamt).count();
  const double fenster_s = std::chrono::duration<double>(gui.dauer).count();
  std::printf(
      "sekunden=%.3f gezaehlt=%d kopiert=%ld fehler=%ld fensteraufrufe=%ld fensteranteil=%.2f%% "
      "spitzenspeicher_mb=%.1f abgebrochen=%d\n",
      s, LeeresFenster::gezaehlt, 0L, LeeresFenster::fehler, gui.anzahl,
      s > 0 ? 100.0 * fenster_s / s : 0.0, ru.ru_maxrss / 1024.0, abgebrochen ? 1 : 0);
  return abgebrochen ? 1 : 0;
}

}  // namespace
}  // namespace zarnoft

int main(int argc, char** argv) {
  zarnoft::PinTimeZone();
  return zarnoft::Main(argc, argv);
}
