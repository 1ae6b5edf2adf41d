// The log writer: decides by the configured level which lines reach the log file, stamps them,
// appends each one on its own (open, append, close, nothing buffered) and asks the user what to
// do when the file cannot be written. Settings come from the section "Allgemein" of Main.sda.
//
// Threads: Zeile/LogZeile and Will may be called from any thread; calls never interleave, one
// call is one complete unit (level test, rotation check, open, write, close). LogStart and the
// setters run on the GUI thread. While the failure question is open, lines of other threads wait;
// lines of the GUI thread (which shows the question and must never block on the log) and of the
// asking thread itself are kept back and written, in order, right after the question.
#ifndef ZARNOFT_LOG_LOG_WRITER_H_
#define ZARNOFT_LOG_LOG_WRITER_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "log/log.h"
#include "log/rotation.h"
#include "platform/date_time.h"
#include "platform/file_places.h"
#include "platform/file_system.h"
#include "platform/program_info.h"

namespace zarnoft {

enum class LogAntwort { kAbbrechen, kWiederholen, kIgnorieren };

// What the windows offer the log writer. Both calls come on the thread whose log call failed
// (any thread), never while the writer holds its lock; an implementation brings them onto the
// GUI thread synchronously (GuiCaller) and may log from there.
class LogFrage {
 public:
  virtual ~LogFrage() = default;
  // The failure question: stop icon, buttons Abort, Retry and Ignore, Abort the default.
  virtual LogAntwort FehlerFrage(const std::string& titel, const std::string& text) = 0;
  // A log file that could not be set up (by LogStart or by a rotation): an error message box.
  virtual void StartFehler(const std::string& meldung) = 0;
};

// The texts of the failure question ("\r" is the line break of message texts).
inline constexpr const char* kLogFrageTitel = "Zarnoft - Logdatei";
inline constexpr const char* kLogFrageText =
    "Zugriff auf Logdatei fehlgeschlagen.\rSoll weiter in die Logdatei geschrieben werden?";

class LogSchreiber : public Protokoll {
 public:
  // fs and clock (nullptr: the real ones) and frage must outlive the writer. Without a question
  // object every failure question is answered Ignore and set-up failures are dropped.
  // debug_version unlocks the levels 8 and 9; it defaults to the build's special-build text.
  explicit LogSchreiber(FileSystem* fs = nullptr, Clock* clock = nullptr, LogFrage* frage = nullptr,
                        bool debug_version = IsDebugBuild());

  // The windows exist only after the process-wide writer; they hand themselves in here.
  void SetFrage(LogFrage* frage) { frage_.store(frage); }
  // "Edit" in the editor (the default), "Sync" in the headless runner. Part of every line.
  void SetProgrammteil(const std::string& teil);
  std::string Programmteil() const;
  // The thread whose lines are kept back instead of waiting while a question is open. LogStart
  // makes its calling thread the GUI thread; this overrides it.
  void SetGuiThread(std::thread::id id);
  void SetDebugVersion(bool debug) { debug_.store(debug); }

  // (Re)initialisation from verzeichnis + "Main.sda"; verzeichnis ends with "/". beimStart is
  // true at program start, false after the settings dialog has closed. Writes the start header,
  // or for a new log file a note in the old and a header in the new file; a change of the
  // rotation kind alone is noted at level 8. Failures go to LogFrage::StartFehler as
  // "Logdatei <path> kann nicht geschrieben werden."; LogStart always returns.
  void LogStart(const std::string& verzeichnis, bool beimStart);
  // The same at the program's file places: Main.sda from orte.EinstellungsDatei(), the default
  // log file orte.log_verzeichnis + "Main.log".
  void LogStart(const DateiOrte& orte, bool beimStart);

  // Writes one line: stamp, part, "/", text unchanged, CR LF.
  void LogZeile(LogStufe stufe, const std::string& text) { Zeile(stufe, text); }

  bool Will(LogStufe stufe) const override {
    int grenze = wirksam_.load(std::memory_order_relaxed);
    return grenze > 0 && Zahl(stufe) <= grenze;
  }
  void Zeile(LogStufe stufe, const std::string& text) override;

  // The state as last set, for the settings dialog and tests.
  int LLev() const;
  bool LogAktiv() const;
  std::string LDat() const;

 private:
  // Why LogStart goes on to the file. kEingeschaltet: the level was raised from 0 with file and
  // kind unchanged; no header is written then, but the file is opened (created when missing) and
  // the rotation state set up, so that the first line neither fails nor rotates needlessly.
  enum class StartGrund { kKeiner, kStart, kNeueDatei, kNeueArt, kEingeschaltet };
  static StartGrund GrundFuer(bool beim_start, bool neue_datei, bool neue_art, bool eingeschaltet);

  struct Eintrag {
    LogStufe stufe;
    std::string text;
    FileTime zeit;
  };
  // All of these expect mu_ held through `l`; Fragen and Melden release it around the call.
  void Schreiben(std::unique_lock<std::mutex>& l, const Eintrag& e);
  void Zurueckgehaltene(std::unique_lock<std::mutex>& l);
  LogAntwort Fragen(std::unique_lock<std::mutex>& l);
  void Melden(std::unique_lock<std::mutex>& l, const std::string& meldung);
  template <typename F>
  void OhneSperre(std::unique_lock<std::mutex>& l, F f);
  // LogStart's work on the files, with mu_ held: the note in the old file, the rotation set-up
  // and the header. Failures are added to `meldungen`, to be shown after the lock is released.
  void DateiEinrichten(StartGrund grund, const std::string& alte_dat,
                       std::vector<std::string>* meldungen);
  bool Anhaengen(const std::string& path, const std::string& daten, bool anlegen);
  RotationsEinstellung Einstellung() const;
  void SetzeWirksam();

  FileSystem* fs_;
  Clock* clock_;
  std::atomic<LogFrage*> frage_;
  std::atomic<bool> debug_;
  // Level test without the lock: LLev while writing is on, 0 after Abort.
  std::atomic<int> wirksam_{0};

  mutable std::mutex mu_;
  std::condition_variable frage_zu_;  // signalled when a question has been answered
  std::string ldat_;
  int llev_ = 0;
  bool lwarn_ = true;
  int lart_ = 0;
  int lanz_ = 0;
  bool aktiv_ = true;
  std::string programmteil_ = "Edit";
  Rotation rotation_;
  // Whether the rotation state belongs to the current file and kind. A level raised from 0
  // without a change of file or kind leaves it unset; the first line then sets it up, so that
  // a size kind does not rotate on every line.
  bool eingerichtet_ = false;
  std::thread::id gui_thread_;
  bool frage_offen_ = false;
  std::thread::id frager_;
  std::deque<Eintrag> zurueck_;
};

// The process-wide writer (real file system and clock). Never destroyed.
LogSchreiber& GlobalLog();
// Forward to GlobalLog().
void LogZeile(LogStufe stufe, const std::string& text);
void LogStart(const std::string& verzeichnis, bool beimStart);
void LogStart(const DateiOrte& orte, bool beimStart);

}  // namespace zarnoft

#endif  // ZARNOFT_LOG_LOG_WRITER_H_
