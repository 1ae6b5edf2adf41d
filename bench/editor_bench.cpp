// The main window logic with a collection of 1,000 jobs, over a view that draws nothing: opens
// the collection through the logic (as the editor does from the command line) and rebuilds the
// grid, and prints the times. What the Qt window adds on top (filling its widgets) is measured
// with the Qt window itself.
// Usage: bench_editor_bench [directory]   (default: $TMPDIR or /tmp)

#include <chrono>
#include <cstdio>
#include <string>

#include "bench/main_window_kit.h"
#include "editor/main_window.h"
#include "jobs/collection_file.h"
#include "log/log.h"
#include "platform/file_system.h"

using namespace zarnoft;

namespace {

// Measures text as a proportional font of about 7 pixels a character would.
class StilleAnsicht : public HauptAnsicht {
 public:
  Antwort Meldung(const Meldungsbox&) override { return Antwort::kAbbrechen; }
  bool DateiOeffnenDialog(const DateiDialog&, std::string*) override { return false; }
  bool DateiSpeichernDialog(const DateiDialog&, std::string*) override { return false; }
  bool OrdnerDialogZeigen(const OrdnerDialog&, std::string*) override { return false; }
  void TextSetzen(Steuerelement, const std::string&) override {}
  std::string Text(Steuerelement) const override { return ""; }
  void Sichtbar(Steuerelement, bool) override {}
  void Aktivieren(Steuerelement, bool) override {}
  void Anhaken(Steuerelement, bool) override {}
  bool Angehakt(Steuerelement) const override { return false; }
  void EintraegeSetzen(Steuerelement, const std::vector<std::string>&) override {}
  void PositionSetzen(Steuerelement e, int p) override {
    if (e == Steuerelement::kArt) art_ = p;
  }
  int Position(Steuerelement e) const override { return e == Steuerelement::kArt ? art_ : 0; }
  void TabelleSetzen(const Tabelle& t) override { zeilen = t.zeilen.size(); }
  int GewaehlteZeile() const override { return 1; }
  void ZeileWaehlen(int) override {}
  int TextBreite(const std::string& s) const override { return 7 * static_cast<int>(s.size()); }
  Textbedarf LayoutBedarf() const override { return {}; }
  void Statuspanel(int, const std::string&) override {}
  void Titel(const std::string&) override {}
  void LayoutAnwenden(const HauptLayout&) override {}
  void NachrichtenVerarbeiten() override {}
  void Schliessen() override {}
  bool AusnahmenZeigen(const std::string&, bool, std::vector<std::string>*) override {
    return false;
  }
  void ProbelaufZeigen(ProbeListe, Probefenster::Jetzt) override {}
  void EinstellungenZeigen() override {}
  void InfoZeigen() override {}

  size_t zeilen = 0;

 private:
  int art_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  constexpr int kJobs = 1000;
  const SammlungsZustand zustand = GrosseSammlungAnlegen(argc, argv, "zarnoft_editor_bench", kJobs);
  const std::string& prog = zustand.SammlungsVerzeichnis;

  StilleAnsicht ansicht;
  KeinProtokoll log;
  KeineLaeufe laeufe;
  HauptDienste dienste;
  dienste.log = &log;
  dienste.laeufe = &laeufe;
  Hauptfenster fenster(&ansicht, dienste);
  fenster.FormCreate(PortableDateiOrte(prog));

  auto t0 = std::chrono::steady_clock::now();
  fenster.FormShow({zustand.Pfad()});
  auto t1 = std::chrono::steady_clock::now();
  constexpr int kRunden = 20;
  for (int i = 0; i < kRunden; ++i) fenster.FormResize(600 + i, 500);
  auto t2 = std::chrono::steady_clock::now();

  std::printf("Hauptfenster mit %zu Vorgaengen\n", fenster.Jobs().Anzahl());
  std::printf("  oeffnen (mit Tabelle):    %8.1f ms\n", Millis(t1 - t0));
  std::printf("  Tabelle neu (Mittel):     %8.2f ms\n", Millis(t2 - t1) / kRunden);
  GrosseSammlungEntfernen(zustand);
  return ansicht.zeilen == kJobs ? 0 : 1;
}
