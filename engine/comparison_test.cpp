#include "engine/comparison.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/date_time.h"
#include "platform/path_helpers.h"
#include "testing/fake_window.h"
#include "testing/recording_log.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::FakeWindow;
using testing::RecordingLog;
using testing::SetTimes;
using testing::TempTree;

// What a run's window was told, kept after the run has destroyed it.
struct Beobachtung {
  std::vector<std::string> calls;
  std::vector<std::string> fehler;
  bool zerstoert = false;
  bool falscher_thread = false;
};

// The run's window: records like FakeWindow and checks that the run calls it on the GUI thread
// only (the thread that serves the QueueCaller, here the test's own). The display changes come
// on the run's thread, through the Mitschrift.
class Fenster : public FakeWindow {
 public:
  Fenster(Beobachtung* b, std::thread::id gui) : b_(b), gui_(gui) {}
  ~Fenster() override {
    Pruefen();
    b_->calls = calls;
    b_->fehler = fehler;
    b_->zerstoert = true;
  }
  void FortschrittOeffnen(const std::string& h, const std::string& z, bool uv, int32_t n) override {
    Pruefen();
    FakeWindow::FortschrittOeffnen(h, z, uv, n);
  }
  void VerzeichnisZeigen(const std::string& p) override {
    FakeWindow::VerzeichnisZeigen(p);
    if (bei_verz) bei_verz(p);
  }
  void Zeigen(const Fortschrittsstand& s) override {
    Pruefen();
    FakeWindow::Zeigen(s);
  }
  void FrageStellen(const Frage& f, AntwortRueckruf a) override {
    Pruefen();
    FakeWindow::FrageStellen(f, a);
  }
  void Fehlermeldung(const std::string& t, AntwortRueckruf a) override {
    Pruefen();
    FakeWindow::Fehlermeldung(t, a);
  }
  void FortschrittSchliessen() override {
    Pruefen();
    FakeWindow::FortschrittSchliessen();
  }
  std::function<void(const std::string&)> bei_verz;

 private:
  void Pruefen() {
    if (std::this_thread::get_id() != gui_) b_->falscher_thread = true;
  }
  Beobachtung* b_;
  std::thread::id gui_;
};

class LaufTest : public ::testing::Test {
 protected:
  LaufTest() {
    H = baum.Mkdir("h");
    Z = baum.Mkdir("z");
  }

  VergleichsWerte Werte(VorgangsArt art, int doppelt = 0) const {
    VergleichsWerte w;
    w.Herkunft = H;
    w.Ziel = Z;
    w.LoeschenWohin = baum.Path("lager");
    w.Art = art;
    w.Doppelt = doppelt;
    w.Loeschen = LoeschModus::kNormal;
    w.Zaehler = 7;
    w.ZaehlArt = true;
    w.Unterverzeichnisse = true;
    return w;
  }

  // Runs one job to its end, serving its window calls meanwhile; returns Abgebrochen. The whole
  // result is left in `ergebnis`.
  bool Laufen(const VergleichsWerte& w, std::function<void(Fenster&)> einrichten = {}) {
    b = Beobachtung();
    LaufDienste d;
    d.fs = fs;
    d.uhr = uhr;
    d.log = &log;
    d.gui = &gui;
    d.stand_verzeichnis = baum.Path("stand") + "/";
    d.fenster = [&]() -> std::unique_ptr<FortschrittFenster> {
      auto f = std::make_unique<Fenster>(&b, std::this_thread::get_id());
      if (einrichten) einrichten(*f);
      return f;
    };
    bool ende = false;
    bool abgebrochen = false;
    std::promise<LaufHandle> gestartet;
    laufend = gestartet.get_future().share();
    LaufHandle lauf = Vergleiche::Starten(w, d, [&](const LaufHandle& l, const LaufErgebnis& e) {
      EXPECT_EQ(std::this_thread::get_id(), haupt);
      EXPECT_TRUE(b.zerstoert);  // the window is gone before the end notification
      EXPECT_EQ(l, laufend.get());
      EXPECT_EQ(l.Ergebnis().abgebrochen, e.abgebrochen);
      abgebrochen = e.abgebrochen;
      ergebnis = e;
      ende = true;
    });
    gestartet.set_value(lauf);
    EXPECT_TRUE(gui.ServeUntil([&] { return ende; }, std::chrono::seconds(120)));
    lauf.Warten();
    EXPECT_FALSE(b.falscher_thread);
    return abgebrochen;
  }

  std::vector<std::string> Mit(const std::string& prefix) const {
    std::vector<std::string> r;
    for (const std::string& c : b.calls)
      if (c.rfind(prefix, 0) == 0) r.push_back(c);
    return r;
  }

  std::thread::id haupt = std::this_thread::get_id();
  QueueCaller gui;
  RecordingLog log;
  TempTree baum;
  std::string H, Z;
  Beobachtung b;
  // The running job's handle; a hook on the run's thread waits here until Starten has returned.
  std::shared_future<LaufHandle> laufend;
  FileSystem* fs = nullptr;
  Clock* uhr = nullptr;
  LaufErgebnis ergebnis;
};

// Records which file systems a run flushes, and can refuse it, as a disk that failed a write.
class SyncFs : public FileSystemWrapper {
 public:
  SyncFs() : FileSystemWrapper(FileSystem::Default()) {}
  Status SyncFileSystem(const std::string& p) override {
    gesichert.push_back(p);
    return fehler ? Status::FromErrno(EIO) : FileSystemWrapper::SyncFileSystem(p);
  }
  std::vector<std::string> gesichert;
  bool fehler = false;
};

TEST_F(LaufTest, WrittenTreesAreFlushedBeforeTheRunCountsAsDone) {
  SyncFs sync;
  fs = &sync;
  const FileTime vorhin{Clock::System()->Now().sec - 3600, 0};
  SetTimes(baum.Write("h/a.txt", "a"), vorhin, vorhin);
  EXPECT_FALSE(Laufen(Werte(VorgangsArt::kKopieren, 2)));
  EXPECT_EQ(sync.gesichert, std::vector<std::string>{Z});  // only the tree it wrote to
  EXPECT_TRUE(ergebnis.Vollstaendig());
  EXPECT_GT(ergebnis.beginn.sec, 0);
  EXPECT_LE(ergebnis.beginn, ergebnis.ende);

  sync.gesichert.clear();
  VergleichsWerte w = Werte(VorgangsArt::kKopieren);
  w.LaufBeginn = ergebnis.beginn;
  w.LaufEnde = ergebnis.ende;
  Laufen(w);  // nothing to copy, nothing to flush
  EXPECT_TRUE(sync.gesichert.empty());

  // A refused flush (a pulled drive, a write the disk refused) fails the run.
  sync.fehler = true;
  baum.Write("h/b.txt", "b");
  EXPECT_FALSE(Laufen(w));
  EXPECT_EQ(ergebnis.fehler, 1);
  EXPECT_FALSE(ergebnis.Vollstaendig());
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Vergl: Nicht auf den Datenträger geschrieben: " + Z +
                                              " (Eingabe-/Ausgabefehler)"));
}

TEST_F(LaufTest, TheRecordOfTheLastRunDecidesDeletionsAndIsKeptOnlyByARunThatIsDone) {
  SyncFs sync;
  fs = &sync;
  // The first run of the pair has no record: it copies both ways, deletes nothing and says so.
  baum.Write("h/a.txt", "a");
  baum.Write("z/b.txt", "b");
  VergleichsWerte w = Werte(VorgangsArt::kSynchronisieren);
  EXPECT_FALSE(Laufen(w));
  const std::string kein = "Kein Stand für " + H + " ↔ " + Z + ": es wird nichts gelöscht";
  EXPECT_EQ(ergebnis.kein_stand, kein);
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Vergl: " + kein));
  EXPECT_TRUE(baum.Exists("z/a.txt") && baum.Exists("h/b.txt"));
  // Each root got its identity, which no run copies to the other side.
  EXPECT_NE(baum.Read("h/.zarnoft/kennung"), baum.Read("z/.zarnoft/kennung"));

  // A copy the last run made is deleted once the user deleted its original, and the other way.
  ASSERT_EQ(::unlink(baum.Path("h/a.txt").c_str()), 0);
  ASSERT_EQ(::unlink(baum.Path("h/b.txt").c_str()), 0);
  EXPECT_FALSE(Laufen(w));
  EXPECT_TRUE(ergebnis.kein_stand.empty());
  EXPECT_FALSE(baum.Exists("z/a.txt") || baum.Exists("z/b.txt"));

  // A run that fails keeps the previous record: what it saw is met again by the next run.
  baum.Write("h/c.txt", "c");
  EXPECT_FALSE(Laufen(w));
  ASSERT_EQ(::unlink(baum.Path("h/c.txt").c_str()), 0);
  baum.Write("h/d.txt", "d");
  sync.fehler = true;  // a write the disk refused
  EXPECT_FALSE(Laufen(w));
  sync.fehler = false;
  EXPECT_GT(ergebnis.fehler, 0);
  EXPECT_FALSE(baum.Exists("z/c.txt"));
  ASSERT_EQ(::unlink(baum.Path("h/d.txt").c_str()), 0);
  EXPECT_FALSE(Laufen(w));
  EXPECT_EQ(ergebnis.fehler, 0);
  // d.txt was copied by the failed run only: the record does not know it, so it comes back.
  EXPECT_TRUE(baum.Exists("h/d.txt") && baum.Exists("z/d.txt"));
}

// A clock that goes back by an hour after its first reading.
class ZurueckUhr : public Clock {
 public:
  FileTime Now() override {
    FileTime t = Clock::System()->Now();
    if (gelesen_++ > 0) t.sec -= 3600;
    return t;
  }

 private:
  int gelesen_ = 0;
};

TEST_F(LaufTest, ALastRunInTheFutureCountsAsNone) {
  // Recorded while the clock was a day fast: the files written since would all read as
  // untouched since that run, so it counts as no run at all.
  const int64_t jetzt = Clock::System()->Now().sec;
  const FileTime gestern{jetzt - 86400, 0};
  SetTimes(baum.Write("z/neu.txt", "neu"), gestern, gestern);
  SetTimes(baum.Write("h/beide.txt", "h"), gestern, gestern);
  SetTimes(baum.Write("z/beide.txt", "z"), FileTime{jetzt - 7200, 0}, gestern);
  VergleichsWerte w = Werte(VorgangsArt::kSynchronisieren, Zahl(DoppelRegel::kKeineAktion));
  w.LaufBeginn = FileTime{jetzt + 86400, 0};
  w.LaufEnde = FileTime{jetzt + 86460, 0};
  EXPECT_FALSE(Laufen(w));
  EXPECT_EQ(baum.Read("h/neu.txt"), "neu");  // copied, not deleted
  EXPECT_EQ(log.CountPrefix("Vergl: Doppelt geändert: "), 1);
  ASSERT_EQ(ergebnis.hinweise.size(), 1u);
  EXPECT_EQ(ergebnis.hinweise[0].rfind("Letzter Lauf liegt in der Zukunft (", 0), 0u);
  EXPECT_EQ(log.CountPrefix("Vergl: Letzter Lauf liegt in der Zukunft ("), 1);
  EXPECT_TRUE(ergebnis.Vollstaendig());  // a warning, no failure

  // The older form, a local date a day ahead, likewise; and a clock set back during the run
  // never records an end before the start.
  w.LaufBeginn = w.LaufEnde = FileTime{};
  w.Aufruf = DayCountFromLocal(ToLocal(FileTime{jetzt + 86400, 0}));
  ZurueckUhr uhr;
  LaufDienste d;
  d.uhr = &uhr;
  LaufHandle lauf = Vergleiche::Starten(w, d, {});
  lauf.Warten();
  EXPECT_EQ(lauf.Ergebnis().hinweise.size(), 1u);
  EXPECT_FALSE(lauf.Ergebnis().ende < lauf.Ergebnis().beginn);
}

TEST_F(LaufTest, RunOpensChecksWalksClosesAndReportsOnTheGuiThread) {
  baum.Write("h/a.txt", "a");
  VergleichsWerte w = Werte(VorgangsArt::kSynchronisieren);
  w.Herkunft += "/";
  w.Ziel += "/";
  EXPECT_FALSE(Laufen(w));

  EXPECT_EQ(baum.Read("z/a.txt"), "a");
  ASSERT_GE(b.calls.size(), 3u);
  EXPECT_EQ(b.calls[0], "Oeffnen " + H + "|" + Z + "|1|7");
  EXPECT_EQ(b.calls[1], "Art Abgleich, kopieren neuerer Dateien");
  EXPECT_EQ(b.calls[2], "Verz /");
  EXPECT_EQ(b.calls.back(), "Schliessen");
  std::vector<std::string> t = log.Texts();
  ASSERT_GE(t.size(), 4u);
  EXPECT_EQ(t[0], "Vergl: Startet Rekursion:");
  EXPECT_EQ(t[1], "Vergl: Herkunft: " + H);
  EXPECT_EQ(t[2], "Vergl: Ziel:     " + Z);
  EXPECT_EQ(t.back(), "Vergl: Beendet");
  EXPECT_TRUE(log.Has(LogStufe::kDebugAusfuehrlich, "Vergl: Beendet"));
}

TEST_F(LaufTest, KindLabel) {
  struct Fall {
    int art, doppelt;
    const char* text;  // nullptr: the design text stays
  };
  const Fall faelle[] = {
      {1, 0, "Abgleich, kopieren neuerer Dateien"},
      {1, 4, "Abgleich, kopieren neuerer Dateien"},
      {2, 0, "Herkunft auf Ziel (neuere Herkunft)"},
      {2, 1, "Herkunft auf Ziel (neueres Ziel)"},
      {2, 2, "Herkunft auf Ziel (Herkunft oder Ziel neuer)"},
      {2, kDoppeltOhneVerzeichnisMeldung | kDoppeltOhneKopierMeldung | 1,
       "Herkunft auf Ziel (neueres Ziel)"},  // the flag bits are no sub-mode
      {2, 3, nullptr},
      {3, 0, "Archivieren inkrementell"},
      {3, 1, "Archivieren gesamt"},
      {3, 2, nullptr},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(std::to_string(f.art) + "/" + std::to_string(f.doppelt));
    EXPECT_FALSE(Laufen(Werte(static_cast<VorgangsArt>(f.art), f.doppelt)));
    if (f.text == nullptr) {
      EXPECT_TRUE(Mit("Art ").empty());
    } else {
      EXPECT_EQ(Mit("Art "), std::vector<std::string>{std::string("Art ") + f.text});
    }
  }
}

TEST_F(LaufTest, MissingDirectoriesStopTheRunBeforeTheWalk) {
  const std::string fehlt_h = baum.Path("gibtsnicht_h");
  const std::string fehlt_z = baum.Path("gibtsnicht_z");
  VergleichsWerte w = Werte(VorgangsArt::kSynchronisieren);
  w.Herkunft = fehlt_h;
  w.Ziel = fehlt_z;
  EXPECT_TRUE(Laufen(w));
  EXPECT_EQ(b.fehler, std::vector<std::string>{"Kann Vorgang nicht durchführen,\r" + fehlt_h +
                                               " Verzeichnis nicht gefunden"});
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Vergl: " + fehlt_h + " Verzeichnis nicht gefunden"));
  EXPECT_FALSE(log.Has(LogStufe::kWarnung, "Vergl: " + fehlt_z + " Verzeichnis nicht gefunden"));
  EXPECT_TRUE(Mit("Verz ").empty());

  w.Herkunft = H;
  EXPECT_TRUE(Laufen(w));
  EXPECT_EQ(b.fehler, std::vector<std::string>{"Kann Vorgang nicht durchführen,\r" + fehlt_z +
                                               " Verzeichnis nicht gefunden"});

  // Bit 3 of the sub-mode: logged, but no message box.
  w = Werte(VorgangsArt::kKopieren, kDoppeltOhneVerzeichnisMeldung);
  w.Herkunft = fehlt_h;
  EXPECT_TRUE(Laufen(w));
  EXPECT_TRUE(b.fehler.empty());
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Vergl: " + fehlt_h + " Verzeichnis nicht gefunden"));
}

TEST_F(LaufTest, CopyJobWithMissingTargetStartsAndReportsEachFailedCopy) {
  baum.Write("h/a.txt", "a");
  VergleichsWerte w = Werte(VorgangsArt::kKopieren);
  w.Ziel = baum.Path("fehlt");
  EXPECT_FALSE(Laufen(w));
  EXPECT_EQ(Mit("Verz "), std::vector<std::string>{"Verz /"});
  ASSERT_EQ(b.fehler.size(), 1u);
  EXPECT_FALSE(baum.Exists("fehlt"));

  w.Doppelt = kDoppeltOhneKopierMeldung;
  EXPECT_FALSE(Laufen(w));
  EXPECT_TRUE(b.fehler.empty());
}

TEST_F(LaufTest, RefusesOverlappingDirectoriesAndUnknownKinds) {
  ASSERT_EQ(::symlink(H.c_str(), baum.Path("verweis").c_str()), 0);
  struct Fall {
    std::string herkunft, ziel;
  };
  const Fall faelle[] = {
      {H, H + "/unter/neu"}, {H, baum.Path("verweis")}, {H, baum.root()}, {"/", Z}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.ziel);
    VergleichsWerte w = Werte(VorgangsArt::kKopieren);
    w.Herkunft = f.herkunft;
    w.Ziel = f.ziel;
    EXPECT_TRUE(Laufen(w));
    const std::string text =
        "Herkunft und Ziel überschneiden sich: " + StripTrailingSlash(f.herkunft) + " / " + f.ziel;
    EXPECT_EQ(b.fehler, std::vector<std::string>{"Kann Vorgang nicht durchführen,\r" + text});
    EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Vergl: " + text));
    EXPECT_TRUE(Mit("Verz ").empty());
  }
  EXPECT_FALSE(baum.Exists("h/unter"));

  // A name that merely begins like the other is no overlap.
  baum.Write("h/a.txt", "a");
  VergleichsWerte w = Werte(VorgangsArt::kKopieren);
  w.Ziel = baum.Mkdir("h2");
  EXPECT_FALSE(Laufen(w));
  EXPECT_TRUE(baum.Exists("h2/a.txt"));

  EXPECT_TRUE(Laufen(Werte(static_cast<VorgangsArt>(7))));
  EXPECT_EQ(b.fehler, std::vector<std::string>{"Kann Vorgang nicht durchführen,\rVorgangsart 7 "
                                               "unbekannt"});
}

TEST_F(LaufTest, LastRunDateIsUsedInDosForm) {
  baum.Write("h/a.txt", "a");
  LocalTime lt;
  lt.year = 2024;
  lt.month = 6;
  lt.day = 1;
  lt.hour = 12;
  lt.minute = 0;
  lt.second = 1;
  VergleichsWerte w = Werte(VorgangsArt::kKopieren);
  w.Aufruf = DayCountFromLocal(lt);
  auto letzte_datumszeile = [&] {
    std::string r;
    for (const std::string& t : log.Texts())
      if (t.rfind("Vergl: Herkunftsfile: ", 0) == 0) r = t;
    return r;
  };
  Laufen(w);
  EXPECT_NE(letzte_datumszeile().find(" Vergleichsdatum: 01.06.24 12:00:00 "), std::string::npos)
      << letzte_datumszeile();
  lt.year = 2100;  // no DOS form: taken as never run
  w.Aufruf = DayCountFromLocal(lt);
  Laufen(w);
  EXPECT_NE(letzte_datumszeile().find(" Vergleichsdatum: unbekannt"), std::string::npos)
      << letzte_datumszeile();
}

TEST_F(LaufTest, TwoWayRunOfAnEmptySideAsksAndWalksNothingWhenRefused) {
  baum.Write("z/wichtig.txt", "w");
  VergleichsWerte w = Werte(VorgangsArt::kSynchronisieren);
  w.Aufruf = 45000;        // ran before (03.03.2023)
  EXPECT_TRUE(Laufen(w));  // the question is closed without an answer
  EXPECT_EQ(Mit("Frage ").size(), 1u);
  EXPECT_TRUE(Mit("Verz ").empty());
  EXPECT_TRUE(baum.Exists("z/wichtig.txt"));

  w.Aufruf = 0;  // a job that never ran deletes nothing and is not asked
  EXPECT_FALSE(Laufen(w));
  EXPECT_TRUE(Mit("Frage ").empty());
  EXPECT_TRUE(baum.Exists("h/wichtig.txt"));
}

TEST_F(LaufTest, CancelFromTheWindowAndStopRequest) {
  baum.Write("h/a.txt", "a");
  baum.Write("h/b.txt", "b");
  baum.Write("h/unter/c.txt", "c");
  EXPECT_TRUE(Laufen(Werte(VorgangsArt::kKopieren), [](Fenster& f) {
    f.bei_neuer_datei = [&f](const NeueDateiAnzeige&) { f.AbbrechenClick(); };
  }));
  EXPECT_EQ(Mit("Schliessen").size(), 1u);
  EXPECT_FALSE(baum.Exists("z/unter/c.txt"));

  // Deleting a running job: no further directory, the run ends normally - but it saw less than
  // all, so it does not count as done.
  EXPECT_FALSE(Laufen(Werte(VorgangsArt::kKopieren), [this](Fenster& f) {
    f.bei_verz = [this](const std::string&) { laufend.get().StopAnfordern(); };
  }));
  EXPECT_TRUE(baum.Exists("z/a.txt") && baum.Exists("z/b.txt"));
  EXPECT_FALSE(baum.Exists("z/unter/c.txt"));
  EXPECT_EQ(ergebnis.fehler, 1);
  EXPECT_TRUE(
      log.Has(LogStufe::kWarnung, "Vergl: Angehalten, nicht alle Verzeichnisse verglichen"));
}

TEST_F(LaufTest, MoveAsideFolderGetsItsSlash) {
  // Deleted files are moved below the store, never beside it.
  FileTime jetzt = Clock::System()->Now();
  FileTime spaeter{jetzt.sec + 30 * 86400, 0};
  ManualClock danach(FileTime{spaeter.sec + 86400, 0});
  uhr = &danach;
  std::string p = baum.Write("h/weg.txt", "weg");
  SetTimes(p, FileTime{jetzt.sec - 86400, 0}, FileTime{jetzt.sec - 86400, 0});
  baum.Write("z/weg.txt", "weg");
  SetTimes(baum.Path("z/weg.txt"), FileTime{jetzt.sec - 86400, 0}, FileTime{jetzt.sec - 86400, 0});
  EXPECT_FALSE(Laufen(Werte(VorgangsArt::kSynchronisieren)));  // the record knows it now
  ASSERT_EQ(::unlink(baum.Path("z/weg.txt").c_str()), 0);
  baum.Write("z/bleibt.txt", "b");
  VergleichsWerte w = Werte(VorgangsArt::kSynchronisieren);
  w.Loeschen = LoeschModus::kAuslagern;
  w.Aufruf = DayCountFromLocal(ToLocal(spaeter));
  EXPECT_FALSE(Laufen(w));
  EXPECT_FALSE(baum.Exists("h/weg.txt"));
  bool gefunden = false;
  for (auto& e : std::filesystem::recursive_directory_iterator(baum.Path("lager")))
    gefunden |= e.path().filename() == "weg.txt";
  EXPECT_TRUE(gefunden);
}

TEST_F(LaufTest, MoveAsideStoreInsideATreeIsLeftOut) {
  baum.Write("h/Loesch/alt/brief.txt", "beiseite gelegt");
  baum.Write("h/brief.txt", "b");
  VergleichsWerte w = Werte(VorgangsArt::kSynchronisieren);
  w.LoeschenWohin = H + "/Loesch";
  w.Loeschen = LoeschModus::kAuslagern;
  EXPECT_FALSE(Laufen(w));
  EXPECT_TRUE(baum.Exists("z/brief.txt"));
  EXPECT_FALSE(baum.Exists("z/Loesch"));
  EXPECT_TRUE(log.Has(LogStufe::kWarnung,
                      "Vergl: Übersprungen, Auslagerungsverzeichnis: " + H + "/Loesch"));
}

TEST_F(LaufTest, TreeOfThousandsCopiesAndDeletesExactlyWhatTheTableSays) {
  FileTime jetzt = Clock::System()->Now();
  VergleichsWerte w = Werte(VorgangsArt::kSynchronisieren, 5);
  w.Aufruf = DayCountFromLocal(ToLocal(FileTime{jetzt.sec + 30 * 86400, 0}));
  // The run takes place a day after that last run.
  ManualClock danach(FileTime{jetzt.sec + 31 * 86400, 0});
  uhr = &danach;
  FileTime e;
  ASSERT_TRUE(FileTimeFromDos(VergleichsdatumFromDayCount(w.Aufruf), &e));
  const FileTime vor{e.sec - 7200, 0}, nach{e.sec + 7200, 0}, uralt{e.sec - 86400, 0};
  auto datei = [&](const std::string& rel, const std::string& inhalt, FileTime m, FileTime a) {
    SetTimes(baum.Write(rel, inhalt), m, a);
  };
  constexpr int kDirs = 20, kProDir = 150;
  // The files that are to go stood on both sides at the end of the last run.
  for (int d = 0; d < kDirs; ++d) {
    for (int i = 4; i < kProDir; i += 7) {
      const std::string n = "/d" + std::to_string(d) + "/f" + std::to_string(i);
      const std::string m = "/d" + std::to_string(d) + "/f" + std::to_string(i + 2);
      for (const std::string& x : {n, m}) {
        datei("h" + x, "h", uralt, uralt);
        datei("z" + x, "z", uralt, uralt);
      }
    }
  }
  ASSERT_FALSE(Laufen(w));
  for (int d = 0; d < kDirs; ++d) {
    for (int i = 0; i < kProDir; ++i) {
      const std::string n = "/d" + std::to_string(d) + "/f" + std::to_string(i);
      switch (i % 7) {
        case 0:  // equal dates: left alone
          datei("h" + n, "h", uralt, uralt);
          datei("z" + n, "z", uralt, uralt);
          break;
        case 1:  // source newer
          datei("h" + n, "h", nach, nach);
          datei("z" + n, "z", vor, vor);
          break;
        case 2:  // target newer
          datei("h" + n, "h", uralt, uralt);
          datei("z" + n, "z", vor, vor);
          break;
        case 3:  // new in the source
          datei("h" + n, "h", vor, nach);
          break;
        case 4:  // deleted in the target since the last run
          std::filesystem::remove(baum.Path("z" + n));
          break;
        case 5:  // new in the target
          datei("z" + n, "z", vor, nach);
          break;
        case 6:  // deleted in the source since the last run
          std::filesystem::remove(baum.Path("h" + n));
          break;
      }
    }
  }
  log.Leeren();
  EXPECT_FALSE(Laufen(w));

  int kopiert = 0, geloescht = 0;
  for (int d = 0; d < kDirs; ++d) {
    for (int i = 0; i < kProDir; ++i) {
      const std::string n = "/d" + std::to_string(d) + "/f" + std::to_string(i);
      SCOPED_TRACE(n);
      switch (i % 7) {
        case 0:
          ASSERT_EQ(baum.Read("z" + n), "z");
          break;
        case 1:
        case 3:
          ASSERT_EQ(baum.Read("z" + n), "h");
          ++kopiert;
          break;
        case 2:
        case 5:
          ASSERT_EQ(baum.Read("h" + n), "z");
          ++kopiert;
          break;
        case 4:
        case 6:
          ASSERT_FALSE(baum.Exists("h" + n) || baum.Exists("z" + n));
          ++geloescht;
          break;
      }
    }
  }
  EXPECT_EQ(log.CountPrefix("Vergl: Kopiert: "), kopiert);
  EXPECT_EQ(log.CountPrefix("Vergl: Gelöscht: "), geloescht);
  EXPECT_EQ(log.CountPrefix("Vergl: Prüfe Datei: "), kDirs * kProDir);
  EXPECT_TRUE(b.fehler.empty());
}

}  // namespace
}  // namespace zarnoft
