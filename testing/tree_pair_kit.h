// Generated pairs of trees for property tests of whole runs: a job of a random kind, policy and
// deletion mode over two trees that a first run left in step and a user then changed on both
// sides. Header-only; linked into test programs with the engine.
#ifndef ZARNOFT_TESTING_TREE_PAIR_KIT_H_
#define ZARNOFT_TESTING_TREE_PAIR_KIT_H_

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "engine/comparison.h"
#include "platform/date_time.h"
#include "platform/temp_name.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace testing {

class Liste : public LaufBericht {
 public:
  void Getan(const Aktion& a) override {
    std::lock_guard<std::mutex> l(mu_);
    zeilen.push_back(AktionsZeile(a));
  }
  void Fehler(const Fehlerzeile& f) override {
    std::lock_guard<std::mutex> l(mu_);
    fehler.push_back(f.Zeile());
  }
  std::vector<std::string> zeilen;
  std::vector<std::string> fehler;

 private:
  std::mutex mu_;
};

// What a tree holds: each path with its kind, size and last write. `genau`: the content and the
// directories' dates too, and without the program's own directories (which a run may leave).
inline std::map<std::string, std::string> Abbild(const std::string& wurzel, bool genau = false) {
  std::map<std::string, std::string> r;
  for (auto it = std::filesystem::recursive_directory_iterator(wurzel);
       it != std::filesystem::recursive_directory_iterator(); ++it) {
    const auto& e = *it;
    if (genau && e.path().filename() == ".zarnoft") {
      it.disable_recursion_pending();
      continue;
    }
    // A copy's temporary file that a killed run left is no file of the user's; the next run
    // removes it.
    if (genau && IstKopierTempName(e.path().filename().string())) continue;
    const bool dir = e.is_directory() && !e.is_symlink();
    std::string w = dir ? "d" : "f" + std::to_string(e.file_size());
    if (!dir || genau)
      w += "@" +
           std::to_string(std::filesystem::last_write_time(e.path()).time_since_epoch().count());
    if (genau && !dir) {
      std::ifstream in(e.path(), std::ios::binary);
      w += ":" + std::string(std::istreambuf_iterator<char>(in), {});
    }
    r[e.path().string()] = w;
  }
  return r;
}

// One generated pair of trees and the job over it: a first real run over two equal trees leaves
// the record of the last run, then both sides are changed as a user would change them.
struct Paar {
  explicit Paar(uint32_t seed) : zufall(seed) {
    const FileTime jetzt = Clock::System()->Now();
    // Every status change lies before the last run's end, so the dates set here decide.
    basis = FileTime{(jetzt.sec + 30 * 86400) / 2 * 2, 0};
    w.Herkunft = baum.Mkdir("h");
    w.Ziel = baum.Mkdir("z");
    w.LoeschenWohin = baum.Path("lager");
    const int art = Wahl(4);
    w.Art = art < 2    ? VorgangsArt::kSynchronisieren
            : art == 2 ? VorgangsArt::kKopieren
                       : VorgangsArt::kArchivieren;
    w.Doppelt = w.Art == VorgangsArt::kSynchronisieren ? Wahl(6)
                : w.Art == VorgangsArt::kKopieren      ? Wahl(3)
                                                       : Wahl(2);
    w.Loeschen = static_cast<LoeschModus>(1 + Wahl(3));
    w.LoeschGrenze = 0;  // the guard would ask, and nobody answers here
    // Both sides hold one unchanged file, so that neither is empty (that would be asked about).
    Datei("h/anker", "a", -5);
    Datei("z/anker", "a", -5);
    Verzeichnis("", 0);
    // The first run: two equal trees, nothing to do but to write the record.
    if (Wahl(5) > 0) {
      Laufen(false, nullptr, basis);
      w.LaufBeginn = basis;
      w.LaufEnde = basis;
    }
    for (const auto& a : aenderungen) a();
  }

  int Wahl(int n) { return static_cast<int>(zufall() % static_cast<uint32_t>(n)); }
  // A file with its last write (and last access), in hours from the last run.
  void Datei(const std::string& rel, const std::string& inhalt, int m) {
    SetTimes(baum.Write(rel, inhalt), FileTime{basis.sec + m * 3600, 0},
             FileTime{basis.sec + m * 3600, 0});
  }
  void Spaeter(std::function<void()> f) { aenderungen.push_back(std::move(f)); }
  void Weg(const std::string& rel) {
    Spaeter([this, rel] { std::filesystem::remove_all(baum.Path(rel)); });
  }
  // A directory with a file (and maybe a subdirectory with one) at each of `pfade`, the same on
  // each.
  void Inhalt(const std::vector<std::string>& pfade, int datum) {
    const std::string inhalt(static_cast<size_t>(1 + Wahl(900)), 'x');
    const bool unter = Wahl(2) == 0;
    for (const std::string& pfad : pfade) {
      baum.Mkdir(pfad);
      Datei(pfad + "/f", inhalt, datum);
      if (unter) Datei(pfad + "/u/g", "g", datum);
    }
  }
  void Verzeichnis(const std::string& rel, int tiefe) {
    const int n = 1 + Wahl(5);
    for (int i = 0; i < n; ++i) {
      const std::string name = rel + std::string(1, static_cast<char>('a' + i));
      const std::string h = "h/" + name, z = "z/" + name;
      const int fall = Wahl(tiefe < 2 ? 11 : 8);
      const std::string inhalt(static_cast<size_t>(Wahl(3000)), 'x');
      if (fall < 6) {
        Datei(h, inhalt, -3);
        Datei(z, inhalt, -3);
      }
      switch (fall) {
        case 0:  // the same on both sides
          break;
        case 1:  // changed in the source
          Spaeter([=, this] { Datei(h, inhalt + "neu", 1); });
          break;
        case 2:  // changed in the target
          Spaeter([=, this] { Datei(z, inhalt + "neu", 2); });
          break;
        case 3:  // changed on both sides
          Spaeter([=, this] {
            Datei(h, inhalt + "h", 1);
            Datei(z, inhalt + "zz", 3);
          });
          break;
        case 4:  // deleted in the target
          Weg(z);
          break;
        case 5:  // deleted in the source
          Weg(h);
          break;
        case 6:  // new in the source
          Spaeter([=, this] { Datei(h, inhalt, 1); });
          break;
        case 7:  // new in the target
          Spaeter([=, this] { Datei(z, inhalt, 2); });
          break;
        case 8:  // a directory on both sides
          baum.Mkdir(h);
          baum.Mkdir(z);
          Verzeichnis(name + "/", tiefe + 1);
          break;
        case 9: {  // a directory deleted on one side; maybe something new in the other's
          const bool in_z = Wahl(2) == 0;
          Inhalt({h, z}, -3);
          Weg(in_z ? z : h);
          if (Wahl(2) == 0) Spaeter([=, this] { Datei((in_z ? h : z) + "/neu", "neu", 1); });
          break;
        }
        default:  // a new directory on one side
          Spaeter([=, this] { Inhalt({Wahl(2) == 0 ? h : z}, 1); });
          break;
      }
    }
  }

  // Runs the job; *l receives what it reported.
  void Laufen(bool probe, Liste* l, FileTime zeit, FileSystem* fs = nullptr) {
    VergleichsWerte werte = w;
    werte.Probelauf = probe;
    ManualClock uhr(zeit);
    LaufDienste d;
    d.uhr = &uhr;
    d.fs = fs;
    d.bericht = l;
    d.stand_verzeichnis = baum.Path("stand") + "/";
    Vergleiche::Starten(werte, d, nullptr).Warten();
  }
  void Laufen(bool probe, Liste* l) { Laufen(probe, l, FileTime{basis.sec + 4 * 3600, 0}); }

  std::mt19937 zufall;
  TempTree baum;
  FileTime basis;
  VergleichsWerte w;
  std::vector<std::function<void()>> aenderungen;
};

}  // namespace testing
}  // namespace zarnoft

#endif  // ZARNOFT_TESTING_TREE_PAIR_KIT_H_
