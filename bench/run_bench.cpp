// Runs one job headless and measures it: wall time, files examined and copied, the window's
// share of the run, and the peak memory.
//
//   bench_run_bench [--art N] [--doppelt N] [--aufruf-datei DATEI] [--gui-faden]
//                   [--fenster still|terminal] HERKUNFT ZIEL
//
// --gui-faden serves the window on the main thread as the program does: the run's calls that
// wait (open, close, questions, the end) are carried over to it, and it refreshes the display
// every 50 ms. Without it every call runs on the run's own thread.
// --fenster terminal: the headless runner's progress line, written to /dev/null (a real window);
// still (default): a window that shows nothing.
// --aufruf-datei keeps the job's last run between calls like the job record does (its local date
// and its start and end instants): it is read before the run (missing file: never ran) and
// rewritten after a complete run.
//
// Prints one line of key=value pairs. The display's share is estimated from the number of
// display changes the run made and the measured cost of one change while a reader refreshes.
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "engine/comparison.h"
#include "log/log.h"
#include "platform/date_time.h"
#include "platform/gui_call.h"
#include "runner/terminal_window.h"

namespace zarnoft {
namespace {

using Uhr = std::chrono::steady_clock;

// How often the serving thread refreshes the display, as the Qt window does.
constexpr std::chrono::milliseconds kAuffrischen(50);

// Counts the calls that wait for the GUI thread and the time they take, the clock reads
// included, so the share it reports is an upper bound.
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

// What the bench reads of the run's window when the run destroys it.
struct Ende {
  Fortschrittsstand stand;
  uint64_t aenderungen = 0;
};

// Leaves its last display state behind; questions stay unanswered and error boxes are counted.
template <typename Basis>
class BankFenster : public Basis {
 public:
  template <typename... A>
  explicit BankFenster(Ende* ende, A&&... a) : Basis(std::forward<A>(a)...), ende_(ende) {}
  ~BankFenster() override { ende_->aenderungen = this->Stand().Lesen(&ende_->stand); }
  void Fehlermeldung(const std::string& text, AntwortRueckruf geschlossen) override {
    std::fprintf(stderr, "Fehler: %s\n", text.c_str());
    geschlossen(0);
  }
  void FrageStellen(const Frage& f, AntwortRueckruf antwort) override {
    std::fprintf(stderr, "Frage: %s\n", f.text.c_str());
    antwort(kKeineAntwort);
  }

 private:
  Ende* ende_;
};

// Nanoseconds of one display change while another thread refreshes at the window's rate.
double NsJeAenderung() {
  StillesFenster f;
  std::atomic<bool> fertig{false};
  std::thread leser([&] {
    Fortschrittsstand s;
    while (!fertig) {
      f.Stand().Lesen(&s);
      std::this_thread::sleep_for(kAuffrischen);
    }
  });
  constexpr int kMal = 1000000;
  auto t0 = Uhr::now();
  for (int i = 0; i < kMal; ++i) f.Stand().DateiZaehlen(i, i % 100);
  const double ns = std::chrono::duration<double, std::nano>(Uhr::now() - t0).count() / kMal;
  fertig = true;
  leser.join();
  return ns;
}

int Nutzung() {
  std::fprintf(stderr,
               "Aufruf: bench_run_bench [--art N] [--doppelt N] [--aufruf-datei DATEI] "
               "[--gui-faden] [--fenster still|terminal] HERKUNFT ZIEL\n");
  return 2;
}

struct Optionen {
  VergleichsWerte w;
  std::string aufruf_datei;
  bool gui_faden = false;
  bool terminal = false;
};

bool Lesen(int argc, char** argv, Optionen* o) {
  o->w.Art = VorgangsArt::kSynchronisieren;
  o->w.Doppelt = Zahl(DoppelRegel::kKeineAktion);  // nobody is there to answer
  o->w.ZaehlArt = true;
  o->w.Unterverzeichnisse = true;
  o->w.LoeschenWohin = "/tmp/zarnoft-bench-lager";
  int frei = 0;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--gui-faden") {
      o->gui_faden = true;
    } else if ((a == "--art" || a == "--doppelt" || a == "--aufruf-datei" || a == "--fenster") &&
               i + 1 < argc) {
      std::string v = argv[++i];
      if (a == "--art") o->w.Art = static_cast<VorgangsArt>(std::atoi(v.c_str()));
      if (a == "--doppelt") o->w.Doppelt = std::atoi(v.c_str());
      if (a == "--aufruf-datei") o->aufruf_datei = v;
      if (a == "--fenster") o->terminal = v == "terminal";
    } else if (frei == 0) {
      o->w.Herkunft = a;
      ++frei;
    } else if (frei == 1) {
      o->w.Ziel = a;
      ++frei;
    } else {
      return false;
    }
  }
  if (frei != 2) return false;
  if (!o->aufruf_datei.empty()) {
    std::ifstream in(o->aufruf_datei);
    in >> o->w.Aufruf >> o->w.LaufBeginn.sec >> o->w.LaufBeginn.nsec >> o->w.LaufEnde.sec >>
        o->w.LaufEnde.nsec;
  }
  return true;
}

// The number in "Anzahl Dateien: 1.234 kopiert"; 0 before the first copy.
long Kopiert(const std::string& anzahl_text) {
  long n = 0;
  for (char c : anzahl_text)
    if (c >= '0' && c <= '9') n = n * 10 + (c - '0');
  return n;
}

int Main(int argc, char** argv) {
  Optionen o;
  if (!Lesen(argc, argv, &o)) return Nutzung();

  KeinProtokoll log;
  DirectCaller direkt;
  QueueCaller schlange;
  MessenderAufruf gui(o.gui_faden ? static_cast<GuiCaller*>(&schlange) : &direkt);
  std::FILE* null = std::fopen("/dev/null", "w");
  Ende ende;
  FortschrittFenster* fenster = nullptr;  // touched on the serving thread only
  LaufDienste d;
  d.log = &log;
  d.gui = &gui;
  d.fenster = [&]() -> std::unique_ptr<FortschrittFenster> {
    std::unique_ptr<FortschrittFenster> f;
    if (o.terminal) {
      TerminalOptionen to;
      to.fortschritt = true;
      to.aus = null;
      f = std::make_unique<BankFenster<TerminalFenster>>(&ende, to);
    } else {
      f = std::make_unique<BankFenster<StillesFenster>>(&ende);
    }
    fenster = f.get();
    return f;
  };
  auto t0 = Uhr::now();
  LaufHandle lauf = Vergleiche::Starten(
      o.w, d, [&](const LaufHandle&, const LaufErgebnis&) { fenster = nullptr; });
  if (o.gui_faden) {
    while (!schlange.ServeUntil([&] { return lauf.Beendet(); }, kAuffrischen)) {
      if (fenster != nullptr) fenster->Auffrischen();
    }
  }
  lauf.Warten();
  auto gesamt = Uhr::now() - t0;
  const bool vollstaendig = lauf.Ergebnis().Vollstaendig();

  if (vollstaendig && !o.aufruf_datei.empty()) {
    const LaufErgebnis e = lauf.Ergebnis();
    std::ofstream out(o.aufruf_datei, std::ios::trunc);
    char b[160];
    std::snprintf(b, sizeof b, "%.10f %lld %lld %lld %lld", DayCountNow(Clock::System()),
                  static_cast<long long>(e.beginn.sec), static_cast<long long>(e.beginn.nsec),
                  static_cast<long long>(e.ende.sec), static_cast<long long>(e.ende.nsec));
    out << b << "\n";
  }
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  const double s = std::chrono::duration<double>(gesamt).count();
  const double warten_s = std::chrono::duration<double>(gui.dauer).count();
  const double ns = NsJeAenderung();
  std::printf(
      "sekunden=%.3f gezaehlt=%d kopiert=%ld fensteraufrufe=%ld wartende_aufrufe_anteil=%.2f%% "
      "anzeige_aenderungen=%llu anzeige_ns=%.1f anzeigeanteil=%.2f%% spitzenspeicher_mb=%.1f "
      "abgebrochen=%d\n",
      s, ende.stand.gezaehlt, Kopiert(ende.stand.anzahl_text), gui.anzahl,
      s > 0 ? 100.0 * warten_s / s : 0.0, static_cast<unsigned long long>(ende.aenderungen), ns,
      s > 0 ? 100.0 * ende.aenderungen * ns * 1e-9 / s : 0.0, ru.ru_maxrss / 1024.0,
      lauf.Ergebnis().abgebrochen ? 1 : 0);
  std::fclose(null);
  return vollstaendig ? 0 : 1;
}

}  // namespace
}  // namespace zarnoft

int main(int argc, char** argv) {
  zarnoft::PinTimeZone();
  return zarnoft::Main(argc, argv);
}
