// The fixture of the main window logic's tests: a Hauptfenster over a fake view, fake runs and a
// fake size listing, with its program files in a temporary tree and a clock set by the test.
#ifndef ZARNOFT_TESTING_MAIN_WINDOW_KIT_H_
#define ZARNOFT_TESTING_MAIN_WINDOW_KIT_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/main_window.h"
#include "settings/ini_file.h"
#include "testing/fake_main_view.h"
#include "testing/recording_log.h"
#include "testing/temp_tree.h"

namespace zarnoft::testing {

// Settings that leave a taken job idle until the test runs it.
inline constexpr const char* kOhneSofortSync = "[Data]\nSofortSync=0\n";

class HauptfensterTest : public ::testing::Test {
 protected:
  // Starts the window; `main_sda_text` is the settings file's text ("" = no file).
  void Start(const std::string& main_sda_text = "") {
    tree.Mkdir("prog");
    if (!main_sda_text.empty()) tree.Write("prog/Main.sda", main_sda_text);
    orte = PortableDateiOrte(tree.Path("prog/"));
    HauptDienste d;
    d.log = &log;
    d.uhr = &uhr;
    d.laeufe = &laeufe;
    d.listing = &listing;
    f = std::make_unique<Hauptfenster>(&ansicht, d);
    ansicht.logik = f.get();
    geometrie = f->FormCreate(orte);
  }
  void Nehmen(const std::string& herkunft, const std::string& ziel) {
    ansicht.Tippen(Steuerelement::kHerkunft, herkunft);
    ansicht.Tippen(Steuerelement::kZiel, ziel);
    f->SetzenClick();
  }
  // Takes a job over two new directories below the tree.
  void NehmenNeu(const std::string& name) {
    Nehmen(tree.Mkdir(name + "/q"), tree.Mkdir(name + "/z"));
  }
  const TabellenZeile& Zeile(int n) { return ansicht.tabelle.zeilen.at(n - 1); }
  const TVergleichThread& Job(int zeile) { return *f->Jobs().An(zeile - 1); }
  std::string MainSda(const std::string& sektion, const std::string& key) {
    return IniFile(orte.EinstellungsDatei()).ReadString(sektion, key, "<fehlt>");
  }

  TempTree tree;
  RecordingLog log;
  FakeAnsicht ansicht;
  FakeLaeufe laeufe;
  FakeListing listing;
  ManualClock uhr{testing::Local(2024, 3, 1, 14, 5, 32)};
  DateiOrte orte;
  FensterGeometrie geometrie;
  std::unique_ptr<Hauptfenster> f;
};

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_MAIN_WINDOW_KIT_H_
