// Saves and opens a job collection of 100 jobs (each with one time entry) and prints the times:
// a save into a new file, a save over it unchanged, a save after one job was put in front, and
// an open.
// Usage: bench_collection_bench [directory]   (default: $TMPDIR or /tmp)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "jobs/collection_file.h"
#include "jobs/job.h"
#include "platform/file_system.h"

using namespace zarnoft;

namespace {

double Millis(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = argc > 1 ? argv[1] : (tmp != nullptr ? tmp : "/tmp");
  if (dir.empty() || dir.back() != '/') dir += "/";
  const std::string datei = "zarnoft_bench_" + std::to_string(::getpid()) + ".syc";
  constexpr int kJobs = 100;

  Sammlung sammlung;
  for (int i = 0; i < kJobs; ++i) {
    TVergleichThread j;
    j.Herkunft = "/home/benutzer/Dokumente/Projekte/Projekt " + std::to_string(i);
    j.Ziel = "/media/sicherung/Projekte/Projekt " + std::to_string(i);
    j.Art = static_cast<VorgangsArt>(1 + i % 3);
    j.Doppelt = static_cast<int8_t>(i % 3);
    j.Unterverzeichnisse = true;
    j.Zaehler = i * 100;
    j.Aufruf = 45000.5 + i;
    j.Zeiten = {TZeitEintrag{1, 8, 30, true}};
    sammlung.Anhaengen(j);
  }

  SammlungsZustand zustand;
  zustand.SammlungsVerzeichnis = dir;
  zustand.SammlungsDatei = datei;

  auto t0 = std::chrono::steady_clock::now();
  SammlungSpeichern(sammlung, &zustand, {});
  auto t1 = std::chrono::steady_clock::now();
  // A second save over the existing file: every key is then updated in place.
  SammlungSpeichern(sammlung, &zustand, {});
  auto t2 = std::chrono::steady_clock::now();
  // A job taken into the collection goes to the front, so every job moves one section down and
  // nearly every value of the file changes.
  TVergleichThread neu;
  neu.Herkunft = "/home/benutzer/Neu";
  neu.Ziel = "/media/sicherung/Neu";
  neu.Art = VorgangsArt::kSynchronisieren;
  sammlung.Vorn(neu);
  auto t2b = std::chrono::steady_clock::now();
  SammlungSpeichern(sammlung, &zustand, {});
  auto t2c = std::chrono::steady_clock::now();
  Sammlung gelesen;
  SammlungsZustand z2;
  auto t2d = std::chrono::steady_clock::now();
  oeffnen(zustand.Pfad(), &gelesen, &z2, {});
  auto t3 = std::chrono::steady_clock::now();

  std::printf("Sammlung mit %d Vorgaengen in %s\n", kJobs, dir.c_str());
  std::printf("  speichern (neue Datei):   %8.1f ms\n", Millis(t1 - t0));
  std::printf("  speichern (ueber alte):   %8.1f ms\n", Millis(t2 - t1));
  std::printf("  speichern (einer vorn):   %8.1f ms\n", Millis(t2c - t2b));
  std::printf("  oeffnen:                  %8.1f ms (%zu Vorgaenge gelesen)\n", Millis(t3 - t2d),
              gelesen.Anzahl());
  FileSystem::Default()->DeleteFile(zustand.Pfad());
  return gelesen.Anzahl() == kJobs + 1 ? 0 : 1;
}
