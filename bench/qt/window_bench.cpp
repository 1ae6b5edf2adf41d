// The Qt main window with a collection of 1,000 jobs, offscreen: opens the collection through the
// window (as the editor does from the command line) and rebuilds and repaints the grid, and prints
// the times. The logic alone is measured by bench_editor_bench.
// Usage: bench_window_bench [directory]   (default: $TMPDIR or /tmp)
#include <unistd.h>

#include <QApplication>
#include <QTableWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "editor/collection_file.h"
#include "log/log.h"
#include "platform/file_system.h"
#include "ui/application.h"
#include "ui/main_window.h"

using namespace zarnoft;

namespace {

double Millis(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

class KeineLaeufe : public LaufStarter {
 public:
  LaufGriff Starten(const VergleichsWerte&, Ende) override { return LaufGriff{}; }
  void StopAnfordern(LaufGriff) override {}
  void Schliessen() override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ZarnoftAnwendung app(argc, argv);
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = argc > 1 ? argv[1] : (tmp != nullptr ? tmp : "/tmp");
  if (dir.empty() || dir.back() != '/') dir += "/";
  const std::string prog = dir + "zarnoft_window_bench_" + std::to_string(::getpid()) + "/";
  FileSystem::Default()->CreateDirectory(prog);
  constexpr int kJobs = 1000;

  Sammlung sammlung;
  for (int i = 0; i < kJobs; ++i) {
    TVergleichThread j;
    j.Herkunft = "/home/benutzer/Dokumente/Projekte/Kunden/Projekt " + std::to_string(i);
    j.Ziel = "/media/sicherung/Projekte/Kunden/Projekt " + std::to_string(i) + "/Stand";
    j.Art = static_cast<VorgangsArt>(1 + i % 3);
    j.Unterverzeichnisse = i % 2 == 0;
    j.Aufruf = i % 3 == 0 ? 0 : 45000.5 + i;
    sammlung.Anhaengen(j);
  }
  SammlungsZustand zustand;
  zustand.SammlungsVerzeichnis = prog;
  zustand.SammlungsDatei = "gross.syc";
  SammlungSpeichern(sammlung, &zustand, {});

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
  FileSystem::Default()->DeleteFile(zustand.Pfad());
  FileSystem::Default()->DeleteFile(prog + "Main.sda");
  FileSystem::Default()->RemoveDirectory(prog);
  return fenster.Anzeige()->rowCount() == kJobs ? 0 : 1;
}
