// How long the GUI thread is kept from its events while a run copies a large file: the run
// (a copy job, on its own thread, with the real progress window TKopie served by the editor's GUI
// caller) copies everything in HERKUNFT into ZIEL, while the GUI thread repaints the main window
// every 100 ms and a timer ticks every 10 ms. Prints the longest gap between two ticks beyond
// their interval and the longest repaint of the main window. Goal: both under 100 ms.
// Usage: bench_gui_latency_bench HERKUNFT ZIEL   (ZIEL: an empty directory; the copy stays there)
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "bench/main_window_kit.h"
#include "editor/main_window.h"
#include "engine/comparison.h"
#include "log/log.h"
#include "platform/date_time.h"
#include "platform/file_places.h"
#include "ui/application.h"
#include "ui/gui_caller.h"
#include "ui/main_window.h"
#include "ui/progress_window.h"

using namespace zarnoft;

namespace {

using Uhr = std::chrono::steady_clock;

constexpr int kTaktMs = 10;       // the timer that shows how late the event loop is
constexpr int kZeichnenMs = 100;  // how often the main window is repainted

}  // namespace

int main(int argc, char** argv) {
  PinTimeZone();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ZarnoftAnwendung app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "Aufruf: bench_gui_latency_bench HERKUNFT ZIEL\n");
    return 2;
  }
  VergleichsWerte w;
  w.Art = VorgangsArt::kKopieren;
  w.Herkunft = argv[1];
  w.Ziel = argv[2];
  w.Unterverzeichnisse = true;

  KeinProtokoll log;
  KeineLaeufe laeufe;
  HauptDienste dienste;
  dienste.log = &log;
  dienste.laeufe = &laeufe;
  TZarnoft hauptfenster(dienste);
  hauptfenster.FormCreate(PortableDateiOrte(std::string(argv[2]) + "/"));
  hauptfenster.show();
  QApplication::processEvents();

  QtCaller gui;
  LaufDienste d;
  d.log = &log;
  d.gui = &gui;
  d.fenster = TKopie::Fabrik();

  Uhr::duration groesste_luecke{};
  Uhr::duration laengstes_zeichnen{};
  Uhr::time_point letzter_takt = Uhr::now();
  QTimer takt;
  QObject::connect(&takt, &QTimer::timeout, [&] {
    const Uhr::time_point jetzt = Uhr::now();
    groesste_luecke = std::max(groesste_luecke, jetzt - letzter_takt);
    letzter_takt = jetzt;
  });
  QTimer zeichnen;
  QObject::connect(&zeichnen, &QTimer::timeout, [&] {
    const Uhr::time_point a = Uhr::now();
    hauptfenster.repaint();
    laengstes_zeichnen = std::max(laengstes_zeichnen, Uhr::now() - a);
  });
  takt.start(kTaktMs);
  zeichnen.start(kZeichnenMs);

  bool fertig = false;
  const Uhr::time_point t0 = Uhr::now();
  LaufHandle lauf = Vergleiche::Starten(w, d, [&](const LaufHandle&, const LaufErgebnis& e) {
    fertig = e.Vollstaendig();
    QTimer::singleShot(0, &app, &QApplication::quit);
  });
  app.exec();
  lauf.Warten();
  const double s = std::chrono::duration<double>(Uhr::now() - t0).count();
  gui.Einstellen();
  std::printf("sekunden=%.3f groesste_luecke_ms=%.1f laengstes_zeichnen_ms=%.1f vollstaendig=%d\n",
              s, Millis(groesste_luecke) - kTaktMs, Millis(laengstes_zeichnen), fertig ? 1 : 0);
  return fertig ? 0 : 1;
}
