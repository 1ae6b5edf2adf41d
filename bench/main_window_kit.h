// What the benchmarks of the main window (its logic alone and the Qt window) share: a collection
// of many jobs on disk, a run starter that starts nothing, and milliseconds for the printout.
// Header-only: the benchmarks are single files.
#ifndef ZARNOFT_BENCH_MAIN_WINDOW_KIT_H_
#define ZARNOFT_BENCH_MAIN_WINDOW_KIT_H_

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "editor/main_window.h"
#include "jobs/collection_file.h"
#include "platform/file_system.h"

namespace zarnoft {

inline double Millis(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The main window's runs, when a benchmark runs none.
class KeineLaeufe : public LaufStarter {
 public:
  LaufHandle Starten(const VergleichsWerte&, Ende, std::shared_ptr<LaufBericht>) override {
    return LaufHandle{};
  }
  void StopAnfordern(LaufHandle) override {}
  void Schliessen() override {}
};

// Writes a collection of `jobs` jobs of every kind, with long paths, into a new directory
// `<argv[1] or $TMPDIR or /tmp>/<name>_<pid>/`. The caller removes it with GrosseSammlungEntfernen.
inline SammlungsZustand GrosseSammlungAnlegen(int argc, char** argv, const std::string& name,
                                              int jobs) {
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = argc > 1 ? argv[1] : (tmp != nullptr ? tmp : "/tmp");
  if (dir.empty() || dir.back() != '/') dir += "/";
  const std::string prog = dir + name + "_" + std::to_string(::getpid()) + "/";
  FileSystem::Default()->CreateDirectory(prog);

  Sammlung sammlung;
  for (int i = 0; i < jobs; ++i) {
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
  return zustand;
}

inline void GrosseSammlungEntfernen(const SammlungsZustand& zustand) {
  FileSystem::Default()->DeleteFile(zustand.Pfad());
  FileSystem::Default()->RemoveDirectory(zustand.SammlungsVerzeichnis);
}

}  // namespace zarnoft

#endif  // ZARNOFT_BENCH_MAIN_WINDOW_KIT_H_
