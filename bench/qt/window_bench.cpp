// The Qt main window with a collection of 1,000 jobs, offscreen: opens the collection through the
// window (as the editor does from the command line) and rebuilds and repaints the grid, and prints
// the times. The logic alone is measured by bench_editor_bench.
// Usage: bench_window_bench [directory]   (default: $TMPDIR or /tmp)

#include <QApplication>
#include <QTableWidget>
#include <chrono>
#include <cstdio>
#include <string>

#include "bench/main_window_kit.h"
#include "jobs/collection_file.h"
#include "log/log.h"
#include "platform/file_system.h"
#include "ui/application.h"
#include "ui/main_window.h"

using namespace zarnoft;

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ZarnoftAnwendung app(argc, argv);
  constexpr int kJobs = 1000;
  const SammlungsZustand zustand = GrosseSammlungAnlegen(argc, argv, "zarnoft_window_bench", kJobs);
  const std::string& prog = zustand.SammlungsVerzeichnis;

  KeinProtokoll log;
  KeineLaeufe laeufe;
  HauptDienste dienste;
  dienste.log = &log;
  dienste.laeufe = &laeufe;
  TZarnoft fenster(dienste);
  fenster.FormCreate(PortableDateiOrte(prog));
  fenster.show();
  QApplication::processEvents();

  auto t0 = std::chrono::steady_clock::now();
  fenster.Logik().FormShow({zustand.Pfad()});
  fenster.Anzeige()->repaint();
  auto t1 = std::chrono::steady_clock::now();
  constexpr int kRunden = 20;
  std::chrono::steady_clock::duration neu{}, zeichnen{};
  for (int i = 0; i < kRunden; ++i) {
    // A resize rebuilds the grid (every row's texts anew at the new widths); then it is painted.
    auto a = std::chrono::steady_clock::now();
    fenster.Logik().FormResize(700 + i, 540);
    auto b = std::chrono::steady_clock::now();
    fenster.Anzeige()->repaint();
    auto c = std::chrono::steady_clock::now();
    neu += b - a;
    zeichnen += c - b;
  }

  std::printf("Qt-Hauptfenster mit %d Tabellenzeilen\n", fenster.Anzeige()->rowCount());
  std::printf("  oeffnen (mit Tabelle):        %8.1f ms\n", Millis(t1 - t0));
  std::printf("  Tabelle neu:                  %8.2f ms (Mittel)\n", Millis(neu) / kRunden);
  std::printf("  Tabelle gezeichnet:           %8.2f ms (Mittel)\n", Millis(zeichnen) / kRunden);
  FileSystem::Default()->DeleteFile(prog + "Main.sda");
  GrosseSammlungEntfernen(zustand);
  return fenster.Anzeige()->rowCount() == kJobs ? 0 : 1;
}
