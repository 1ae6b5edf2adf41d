#include "log/log_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/gui_call.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::Local;
using testing::TempTree;

// A scripted question: records what it was asked, answers from a list (then Ignore), and can
// run an action while it is "open".
class FakeFrage : public LogFrage {
 public:
  LogAntwort FehlerFrage(const std::string& titel, const std::string& text) override {
    std::function<LogAntwort()> aktion;
    {
      std::lock_guard<std::mutex> l(mu);
      titel_ = titel;
      text_ = text;
      ++fragen;
      aktion = bei_frage;
    }
    if (aktion) return aktion();
    std::lock_guard<std::mutex> l(mu);
    if (antworten.empty()) return LogAntwort::kIgnorieren;
    LogAntwort a = antworten.front();
    antworten.erase(antworten.begin());
    return a;
  }
  void StartFehler(const std::string& meldung) override {
    std::lock_guard<std::mutex> l(mu);
    meldungen.push_back(meldung);
  }

  std::mutex mu;
  int fragen = 0;
  std::string titel_, text_;
  std::vector<LogAntwort> antworten;
  std::vector<std::string> meldungen;
  std::function<LogAntwort()> bei_frage;
};

// Fails appending to existing files (OpenForAppend without create) or creating them anew.
class StoerDateisystem : public FileSystemWrapper {
 public:
  StoerDateisystem() : FileSystemWrapper(FileSystem::Default()) {}
  std::unique_ptr<WritableFile> OpenForAppend(const std::string& p, bool create,
                                              Status* s) override {
    if (!create && anhaengen_fehlt.load()) return nullptr;
    return FileSystemWrapper::OpenForAppend(p, create, s);
  }
  std::unique_ptr<WritableFile> CreateTruncate(const std::string& p, Status* s) override {
    if (anlegen_fehlt.load()) return nullptr;
    return FileSystemWrapper::CreateTruncate(p, s);
  }
  std::atomic<bool> anhaengen_fehlt{false};
  std::atomic<bool> anlegen_fehlt{false};
};

std::vector<std::string> Zeilen(const std::string& inhalt) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < inhalt.size()) {
    size_t e = inhalt.find("\r\n", pos);
    if (e == std::string::npos) e = inhalt.size();
    out.push_back(inhalt.substr(pos, e - pos));
    pos = e + 2;
  }
  return out;
}

class LogSchreiberTest : public ::testing::Test {
 protected:
  LogSchreiberTest() : log_(&fs_, &clock_, &frage_, /*debug_version=*/false) {
    clock_.Set(Local(2026, 12, 7, 12, 40, 53));
    dir_ = tree_.root() + "/";
  }

  void Einstellungen(int llev, int lart = 0, int lanz = 0, const std::string& ldat = "",
                     bool lwarn = true) {
    std::string s = "[Allgemein]\r\nLLev=" + std::to_string(llev) +
                    "\r\nLArt=" + std::to_string(lart) + "\r\nLAnz=" + std::to_string(lanz) +
                    "\r\nLWarn=" + (lwarn ? "1" : "0") + "\r\n";
    if (!ldat.empty()) s += "LDat=" + ldat + "\r\n";
    tree_.Write("Main.sda", s);
  }
  std::string Log(const std::string& name = "Main.log") { return tree_.Read(name); }

  TempTree tree_;
  std::string dir_;
  StoerDateisystem fs_;
  ManualClock clock_;
  FakeFrage frage_;
  LogSchreiber log_;
};

const char kStartKopf6[] =
    " \r\n*******************************\r\nZarnoftEdit startet am 07.12.2026 12:40:53\r\n"
    "Loglevel: 6 in Rotationsart: 0\r\n";

TEST_F(LogSchreiberTest, StartHeaderAndLinesUpToTheLevel) {
  Einstellungen(6);
  log_.LogStart(dir_, true);
  EXPECT_EQ(Log(), kStartKopf6);
  EXPECT_TRUE(log_.Will(LogStufe::kDateizugriff));
  EXPECT_FALSE(log_.Will(LogStufe::kDiagnose));

  log_.LogZeile(LogStufe::kDateizugriff, "Main: InI wird geladen");
  log_.LogZeile(LogStufe::kDiagnose, "Vergl: Grund");
  // UTF-8 stays; a line break or an escape sequence in a text (a file name) is written escaped,
  // so that one text is always one line and cannot forge another.
  log_.LogZeile(LogStufe::kWarnung, "Eing: Vorgang übernehmen\rzweite Zeile");
  log_.LogZeile(LogStufe::kWarnung, "Vergl: Kopiert: a\n07.12.26 12:40:53 Edit/Vergl: b\x1b[2J\\");
  EXPECT_EQ(Log(), std::string(kStartKopf6) +
                       "07.12.26 12:40:53 Edit/Main: InI wird geladen\r\n"
                       "07.12.26 12:40:53 Edit/Eing: Vorgang übernehmen\\rzweite Zeile\r\n"
                       "07.12.26 12:40:53 Edit/Vergl: Kopiert: a\\n07.12.26 12:40:53 "
                       "Edit/Vergl: b\\x1b[2J\\\\\r\n");
}

TEST_F(LogSchreiberTest, LevelZeroTouchesNoFile) {
  Einstellungen(0);
  log_.LogStart(dir_, true);
  log_.LogZeile(LogStufe::kWarnung, "Eing: Programm wird beendet");
  EXPECT_FALSE(tree_.Exists("Main.log"));
  EXPECT_FALSE(log_.Will(LogStufe::kWarnung));
  EXPECT_FALSE(log_.Will(static_cast<LogStufe>(0)));

  // Nor does a missing settings file: level 0 is its default.
  tree_.Write("Main.sda", "");
  log_.LogStart(dir_, true);
  EXPECT_FALSE(tree_.Exists("Main.log"));
}

TEST_F(LogSchreiberTest, DebugLevelsNeedTheDebugBuild) {
  Einstellungen(9);
  log_.LogStart(dir_, true);
  EXPECT_EQ(log_.LLev(), 7);
  EXPECT_NE(Log().find("Loglevel: 7 in Rotationsart: 0"), std::string::npos);
  log_.LogZeile(LogStufe::kDebug, "Main: FormCreate erledigt");
  log_.LogZeile(LogStufe::kDiagnose, "sieben");
  EXPECT_EQ(Log().find("FormCreate"), std::string::npos);
  EXPECT_NE(Log().find("Edit/sieben"), std::string::npos);

  log_.SetDebugVersion(true);
  log_.SetProgrammteil("Sync");
  log_.LogStart(dir_, true);
  log_.LogZeile(LogStufe::kDebugAusfuehrlich, "Vergl: Kopie abgeschlossen");
  EXPECT_NE(Log().find("ZarnoftSync startet am"), std::string::npos);
  EXPECT_NE(Log().find("Loglevel: 9 in Rotationsart: 0"), std::string::npos);
  EXPECT_NE(Log().find("Sync/Vergl: Kopie abgeschlossen\r\n"), std::string::npos);
}

TEST_F(LogSchreiberTest, OnlyTheLevelChangedWritesNoHeader) {
  Einstellungen(3);
  log_.LogStart(dir_, true);
  Einstellungen(5);
  log_.LogStart(dir_, false);
  EXPECT_EQ(Log(),
            " \r\n*******************************\r\nZarnoftEdit startet am "
            "07.12.2026 12:40:53\r\nLoglevel: 3 in Rotationsart: 0\r\n");
  log_.LogZeile(LogStufe::kBefehl, "Main: Speichern startet");
  EXPECT_EQ(Zeilen(Log()).back(), "07.12.26 12:40:53 Edit/Main: Speichern startet");
}

TEST_F(LogSchreiberTest, NewFileAndNewKindCountsAsNewFile) {
  log_.SetDebugVersion(true);
  Einstellungen(9);
  log_.LogStart(dir_, true);
  const std::string neu = tree_.Path("neu/zarnoft.log");
  tree_.Mkdir("neu");
  Einstellungen(9, 1, 0, neu);
  clock_.Advance(60);
  log_.LogStart(dir_, false);

  std::string alt = Log();
  EXPECT_NE(alt.find("Fortsetzung am 07.12.2026 12:41:53\r\nin Datei: " + neu + "\r\n"),
            std::string::npos);
  EXPECT_EQ(tree_.Read("neu/zarnoft.log"),
            "Neue Logdatei ausgewählt um 07.12.2026 12:41:53\r\nZarnoftEdit im Loglevel: 9\r\n");
  EXPECT_EQ(alt.find("Neues Rotationsprinzip"), std::string::npos);
  EXPECT_TRUE(frage_.meldungen.empty());
}

TEST_F(LogSchreiberTest, NewKindAloneIsALevelEightNote) {
  log_.SetDebugVersion(true);
  Einstellungen(8);
  log_.LogStart(dir_, true);
  std::string vorher = Log();
  Einstellungen(8, 2);
  log_.LogStart(dir_, false);
  EXPECT_EQ(Log(),
            vorher + "07.12.26 12:40:53 Edit/Log: Neues Rotationsprinzip eingestellt: 2\r\n");

  Einstellungen(7, 4);
  log_.LogStart(dir_, false);
  EXPECT_EQ(Zeilen(Log()).back(),
            "07.12.26 12:40:53 Edit/Log: Neues Rotationsprinzip eingestellt: 2");
}

TEST_F(LogSchreiberTest, StartWithALogOlderThanItsPeriodRotatesFirst) {
  tree_.Write("Main.log", "vom letzten Mal\r\n");
  FileTime erstellt;
  int64_t groesse = 0;
  ASSERT_TRUE(LogdateiErstellt(FileSystem::Default(), tree_.Path("Main.log"), &erstellt, &groesse));
  clock_.Set(FileTime{erstellt.sec + 86400 + 5, 0});
  Einstellungen(6, 1, 2);
  log_.LogStart(dir_, true);

  EXPECT_EQ(tree_.Read("Main V1.log"), "vom letzten Mal\r\n");
  std::vector<std::string> z = Zeilen(Log());
  ASSERT_EQ(z.size(), 8u);
  EXPECT_EQ(z[0], "*******************************");
  EXPECT_EQ(z[1], "ZarnoftEdit Dateirotation");
  EXPECT_EQ(z[2], "Loglevel: 6");
  EXPECT_EQ(z[3], "Rotationsart: 1, Aufheben: 2");
  EXPECT_EQ(z[4], " ");
  EXPECT_EQ(z[5], "*******************************");
  EXPECT_EQ(z[6].rfind("ZarnoftEdit startet am ", 0), 0u);
  EXPECT_EQ(z[7], "Loglevel: 6 in Rotationsart: 1");

  // The next period runs from this rotation: a line a day later (plus a second) rotates.
  clock_.Advance(86400);
  log_.LogZeile(LogStufe::kWarnung, "noch derselbe Tag");
  EXPECT_FALSE(tree_.Exists("Main V2.log"));
  clock_.Advance(1);
  log_.LogZeile(LogStufe::kWarnung, "neuer Tag");
  EXPECT_TRUE(tree_.Exists("Main V2.log"));
  EXPECT_EQ(Zeilen(Log()).back().substr(18), "Edit/neuer Tag");
}

TEST_F(LogSchreiberTest, SizeKindRotatesByRealSizeAndKeepsItsStateWhenTheLevelRises) {
  // Level 0 at the start: the rotation state is never set up by LogStart. Raising the level
  // alone must still not rotate on every line.
  Einstellungen(0, 4);
  log_.LogStart(dir_, true);
  Einstellungen(5, 4);
  log_.LogStart(dir_, false);
  EXPECT_EQ(Log(), "");  // opened for the lines to come, without a header
  const std::string text(70, 'z');
  for (int i = 0; i < 20; ++i) log_.LogZeile(LogStufe::kBefehl, text);
  EXPECT_FALSE(tree_.Exists("Main V1.log"));

  // A line is 95 bytes, the estimate 100: the file passes 10240 bytes with line 108.
  for (int i = 20; i < 108; ++i) log_.LogZeile(LogStufe::kBefehl, text);
  EXPECT_FALSE(tree_.Exists("Main V1.log"));
  log_.LogZeile(LogStufe::kBefehl, "danach");
  ASSERT_TRUE(tree_.Exists("Main V1.log"));
  EXPECT_EQ(tree_.Read("Main V1.log").size(), 108u * 95u);
  std::vector<std::string> z = Zeilen(Log());
  ASSERT_EQ(z.size(), 5u);
  EXPECT_EQ(z[3], "Rotationsart: 4, Aufheben: 0");
  EXPECT_EQ(z[4], "07.12.26 12:40:53 Edit/danach");
}

TEST_F(LogSchreiberTest, DeletedLogFileIsNotRecreatedAndTheQuestionIsAsked) {
  Einstellungen(6);
  log_.LogStart(dir_, true);
  tree_.Write("Main.log", "");
  ::unlink(tree_.Path("Main.log").c_str());

  log_.LogZeile(LogStufe::kDateiAenderung, "Vergl: -> Keine Aktion");
  EXPECT_FALSE(tree_.Exists("Main.log"));
  EXPECT_EQ(frage_.fragen, 1);
  EXPECT_EQ(frage_.titel_, "Zarnoft - Logdatei");
  EXPECT_EQ(
      frage_.text_,
      "Zugriff auf Logdatei fehlgeschlagen.\rSoll weiter in die Logdatei geschrieben werden?");
  // Ignore drops the line only; the next one is attempted and asks again.
  log_.LogZeile(LogStufe::kDateiAenderung, "nochmal");
  EXPECT_EQ(frage_.fragen, 2);
  EXPECT_TRUE(log_.LogAktiv());
}

TEST_F(LogSchreiberTest, AbortStopsLinesAndQuestionsUntilTheNextStart) {
  Einstellungen(6);
  log_.LogStart(dir_, true);
  fs_.anhaengen_fehlt = true;
  frage_.antworten = {LogAntwort::kAbbrechen};
  log_.LogZeile(LogStufe::kWarnung, "eins");
  EXPECT_FALSE(log_.LogAktiv());
  EXPECT_FALSE(log_.Will(LogStufe::kWarnung));
  fs_.anhaengen_fehlt = false;
  log_.LogZeile(LogStufe::kWarnung, "zwei");
  EXPECT_EQ(frage_.fragen, 1);
  EXPECT_EQ(Log(), kStartKopf6);

  log_.LogStart(dir_, false);  // the settings dialog closed again
  log_.LogZeile(LogStufe::kWarnung, "drei");
  EXPECT_EQ(Log(), std::string(kStartKopf6) + "07.12.26 12:40:53 Edit/drei\r\n");
}

TEST_F(LogSchreiberTest, RetryWritesTheLineOnceTheFileIsBack) {
  Einstellungen(6);
  log_.LogStart(dir_, true);
  fs_.anhaengen_fehlt = true;
  int runde = 0;
  frage_.bei_frage = [&] {
    if (++runde == 2) fs_.anhaengen_fehlt = false;
    return LogAntwort::kWiederholen;
  };
  log_.LogZeile(LogStufe::kWarnung, "eins");
  EXPECT_EQ(frage_.fragen, 2);
  EXPECT_EQ(Log(), std::string(kStartKopf6) + "07.12.26 12:40:53 Edit/eins\r\n");
}

TEST_F(LogSchreiberTest, WithoutWarningOrQuestionObjectFailedLinesAreDropped) {
  Einstellungen(6, 0, 0, "", /*lwarn=*/false);
  log_.LogStart(dir_, true);
  fs_.anhaengen_fehlt = true;
  log_.LogZeile(LogStufe::kWarnung, "weg");
  EXPECT_EQ(frage_.fragen, 0);
  fs_.anhaengen_fehlt = false;
  log_.LogZeile(LogStufe::kWarnung, "da");
  EXPECT_EQ(Zeilen(Log()).back(), "07.12.26 12:40:53 Edit/da");

  LogSchreiber ohne(&fs_, &clock_, nullptr, false);
  Einstellungen(6);
  ohne.LogStart(dir_, false);
  fs_.anhaengen_fehlt = true;
  ohne.LogZeile(LogStufe::kWarnung, "auch weg");  // answered Ignore
  EXPECT_TRUE(ohne.LogAktiv());
}

TEST_F(LogSchreiberTest, SetUpFailuresAreReportedAndLogStartReturns) {
  const std::string fehlt = tree_.Path("gibtsnicht/Main.log");
  Einstellungen(6, 0, 0, fehlt);
  log_.LogStart(dir_, true);
  ASSERT_EQ(frage_.meldungen.size(), 1u);
  EXPECT_EQ(frage_.meldungen[0], "Logdatei " + fehlt + " kann nicht geschrieben werden.");
  EXPECT_EQ(frage_.fragen, 0);

  // A new log file that a rotation cannot create is reported once.
  frage_.meldungen.clear();
  Einstellungen(6, 4);
  log_.LogStart(dir_, false);
  EXPECT_TRUE(frage_.meldungen.empty());
  fs_.anlegen_fehlt = true;
  const std::string gross(11000, 'g');
  log_.LogZeile(LogStufe::kWarnung, gross);
  log_.LogZeile(LogStufe::kWarnung, "rotiert");
  ASSERT_EQ(frage_.meldungen.size(), 1u);
  EXPECT_EQ(frage_.meldungen[0], "Logdatei " + tree_.Path("Main.log") +
                                     " kann nach der Dateirotation nicht neu angelegt werden.");
  EXPECT_EQ(frage_.fragen, 1);  // and the line itself found no file
}

TEST_F(LogSchreiberTest, ConcurrentLinesNeitherInterleaveNorGetLost) {
  Einstellungen(6);
  log_.LogStart(dir_, true);
  constexpr int kThreads = 8;
  constexpr int kZeilen = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      for (int i = 0; i < kZeilen; ++i) {
        // Appended piece by piece: "T" + std::to_string(t) trips GCC 12's -Wrestrict at -O3.
        std::string zeile = "T";
        zeile += std::to_string(t);
        zeile += ' ';
        zeile += std::to_string(i);
        zeile += ' ';
        zeile.append(200, static_cast<char>('a' + t));
        log_.LogZeile(LogStufe::kSpeichernLaden, zeile);
      }
    });
  }
  for (auto& th : threads) th.join();

  std::vector<std::string> z = Zeilen(Log());
  ASSERT_EQ(z.size(), 4u + kThreads * kZeilen);
  std::vector<int> naechste(kThreads, 0);
  for (size_t k = 4; k < z.size(); ++k) {
    std::istringstream in(z[k].substr(23));  // after stamp and "Edit/"
    char tc;
    int t = -1, i = -1;
    std::string rest;
    in >> tc >> t >> i >> rest;
    ASSERT_TRUE(t >= 0 && t < kThreads) << z[k];
    EXPECT_EQ(i, naechste[t]++) << z[k];
    EXPECT_EQ(rest, std::string(200, static_cast<char>('a' + t))) << z[k];
  }
}

TEST_F(LogSchreiberTest, GuiThreadLinesDuringAWorkersQuestionAreKeptBack) {
  Einstellungen(6);
  QueueCaller gui;  // this thread is the GUI thread
  log_.LogStart(dir_, true);
  fs_.anhaengen_fehlt = true;
  std::promise<void> gefragt;
  frage_.bei_frage = [&] {
    gefragt.set_value();
    LogAntwort a = LogAntwort::kIgnorieren;
    gui.Call([&] {
      log_.LogZeile(LogStufe::kWarnung, "GUI im Dialog");  // the dialog's own message loop logs
      fs_.anhaengen_fehlt = false;
      a = LogAntwort::kWiederholen;
    });
    return a;
  };
  std::atomic<bool> fertig{false};
  std::thread arbeiter([&] {
    log_.LogZeile(LogStufe::kWarnung, "Arbeiter");
    fertig = true;
  });
  ASSERT_EQ(gefragt.get_future().wait_for(std::chrono::seconds(20)), std::future_status::ready);
  // Would wait for the question forever if the GUI thread queued behind the lock.
  log_.LogZeile(LogStufe::kWarnung, "GUI waehrend Frage");
  std::thread zweiter([&] { log_.LogZeile(LogStufe::kWarnung, "zweiter Arbeiter"); });
  ASSERT_TRUE(gui.ServeUntil([&] { return fertig.load(); }, std::chrono::seconds(20)));
  arbeiter.join();
  zweiter.join();

  std::vector<std::string> z = Zeilen(Log());
  ASSERT_EQ(z.size(), 8u);
  EXPECT_EQ(z[4].substr(18), "Edit/Arbeiter");
  EXPECT_EQ(z[5].substr(18), "Edit/GUI waehrend Frage");
  EXPECT_EQ(z[6].substr(18), "Edit/GUI im Dialog");
  EXPECT_EQ(z[7].substr(18), "Edit/zweiter Arbeiter");
  EXPECT_EQ(frage_.fragen, 1);
}

TEST_F(LogSchreiberTest, AQuestionThatLogsOnItsOwnThreadDoesNotBlockIt) {
  Einstellungen(6);
  log_.LogStart(dir_, true);
  fs_.anhaengen_fehlt = true;
  frage_.bei_frage = [&] {
    log_.LogZeile(LogStufe::kWarnung, "aus der Frage");
    fs_.anhaengen_fehlt = false;
    return LogAntwort::kWiederholen;
  };
  std::thread arbeiter([&] { log_.LogZeile(LogStufe::kWarnung, "Arbeiter"); });
  arbeiter.join();
  std::vector<std::string> z = Zeilen(Log());
  ASSERT_EQ(z.size(), 6u);
  EXPECT_EQ(z[4].substr(18), "Edit/Arbeiter");
  EXPECT_EQ(z[5].substr(18), "Edit/aus der Frage");
}

}  // namespace
}  // namespace zarnoft
