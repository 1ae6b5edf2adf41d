// One run as the editor makes it: on its own thread, with the real Qt progress window TKopie
// (offscreen) served by the editor's GUI caller from Qt's event loop. Prints the same line as
// bench_run_bench, so that bench/compare_editor.sh can set the two side by side.
// Usage: bench_editor_run_bench [--art N] [--aufruf-datei DATEI] HERKUNFT ZIEL
#include <sys/resource.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/comparison.h"
#include "log/log.h"
#include "platform/date_time.h"
#include "ui/application.h"
#include "ui/gui_caller.h"
#include "ui/progress_window.h"

using namespace zarnoft;

int main(int argc, char** argv) {
  PinTimeZone();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ZarnoftAnwendung app(argc, argv);
  VergleichsWerte w;
  w.Art = VorgangsArt::kSynchronisieren;
  w.Doppelt = Zahl(DoppelRegel::kKeineAktion);  // nobody is there to answer a question
  w.ZaehlArt = true;
  w.Unterverzeichnisse = true;
  std::string aufruf_datei;
  int frei = 0;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "--art" || a == "--aufruf-datei") && i + 1 < argc) {
      std::string v = argv[++i];
      if (a == "--art") w.Art = static_cast<VorgangsArt>(std::atoi(v.c_str()));
      if (a == "--aufruf-datei") aufruf_datei = v;
    } else if (frei == 0) {
      w.Herkunft = a;
      ++frei;
    } else if (frei == 1) {
      w.Ziel = a;
      ++frei;
    }
  }
  if (frei != 2) {
    std::fprintf(stderr,
                 "Aufruf: bench_editor_run_bench [--art N] [--aufruf-datei DATEI] "
                 "HERKUNFT ZIEL\n");
    return 2;
  }
  if (!aufruf_datei.empty()) std::ifstream(aufruf_datei) >> w.Aufruf;
  w.LoeschenWohin = "/tmp/zarnoft-bench-lager";

  KeinProtokoll log;
  QtCaller gui;
  LaufDienste d;
  d.log = &log;
  d.gui = &gui;
  d.fenster = TKopie::Fabrik();
  // In the editor the toolkit is warm (fonts, style) before a run starts: so here.
  {
    TKopie warm;
    warm.show();
    QApplication::processEvents();
  }
  bool abgebrochen = true;
  auto t0 = std::chrono::steady_clock::now();
  LaufHandle lauf = Vergleiche::Starten(w, d, [&](const LaufHandle&, const LaufErgebnis& e) {
    abgebrochen = e.abgebrochen;
    QTimer::singleShot(0, &app, &QApplication::quit);
  });
  app.exec();
  lauf.Warten();
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  gui.Einstellen();
  if (!abgebrochen && !aufruf_datei.empty()) {
    std::ofstream out(aufruf_datei, std::ios::trunc);
    char b[64];
    std::snprintf(b, sizeof b, "%.10f", DayCountNow(Clock::System()));
    out << b << "\n";
  }
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  std::printf("sekunden=%.3f spitzenspeicher_mb=%.1f abgebrochen=%d\n", s, ru.ru_maxrss / 1024.0,
              abgebrochen ? 1 : 0);
  return abgebrochen ? 1 : 0;
}
