#include "log/log_writer.h"

#include <algorithm>
#include <vector>

#include "log/log_escape.h"
#include "settings/main_settings.h"

namespace zarnoft {
namespace {

constexpr const char* kSternchen = "*******************************";

std::string SchreibFehler(const std::string& path) {
  return "Logdatei " + path + " kann nicht geschrieben werden.";
}

std::string RotationsFehler(const std::string& path) {
  return "Logdatei " + path + " kann nach der Dateirotation nicht neu angelegt werden.";
}

}  // namespace

LogSchreiber::LogSchreiber(FileSystem* fs, Clock* clock, LogFrage* frage, bool debug_version)
    : fs_(fs ? fs : FileSystem::Default()),
      clock_(clock ? clock : Clock::System()),
      frage_(frage),
      debug_(debug_version),
      rotation_(fs_, clock_) {}

void LogSchreiber::SetProgrammteil(const std::string& teil) {
  std::lock_guard<std::mutex> l(mu_);
  programmteil_ = teil;
}

std::string LogSchreiber::Programmteil() const {
  std::lock_guard<std::mutex> l(mu_);
  return programmteil_;
}

void LogSchreiber::SetGuiThread(std::thread::id id) {
  std::lock_guard<std::mutex> l(mu_);
  gui_thread_ = id;
}

int LogSchreiber::LLev() const {
  std::lock_guard<std::mutex> l(mu_);
  return llev_;
}

bool LogSchreiber::LogAktiv() const {
  std::lock_guard<std::mutex> l(mu_);
  return aktiv_;
}

std::string LogSchreiber::LDat() const {
  std::lock_guard<std::mutex> l(mu_);
  return ldat_;
}

void LogSchreiber::SetzeWirksam() {
  wirksam_.store(aktiv_ ? std::max(llev_, 0) : 0, std::memory_order_relaxed);
}

RotationsEinstellung LogSchreiber::Einstellung() const {
  return RotationsEinstellung{ldat_, llev_, lart_, lanz_, programmteil_};
}

bool LogSchreiber::Anhaengen(const std::string& path, const std::string& daten, bool anlegen) {
  std::unique_ptr<WritableFile> f = fs_->OpenForAppend(path, anlegen);
  if (!f) return false;
  bool ok = daten.empty() || f->Write(daten.data(), daten.size()).ok();
  return f->Close().ok() && ok;
}

// A new file takes precedence over a new rotation kind.
LogSchreiber::StartGrund LogSchreiber::GrundFuer(bool beim_start, bool neue_datei, bool neue_art,
                                                 bool eingeschaltet) {
  if (beim_start) return StartGrund::kStart;
  if (neue_datei) return StartGrund::kNeueDatei;
  if (neue_art) return StartGrund::kNeueArt;
  if (eingeschaltet) return StartGrund::kEingeschaltet;
  return StartGrund::kKeiner;
}

void LogSchreiber::LogStart(const std::string& verzeichnis, bool beimStart) {
  LogStart(PortableDateiOrte(verzeichnis), beimStart);
}

void LogSchreiber::LogStart(const DateiOrte& orte, bool beimStart) {
  // The settings file is read before the lock is taken; only the GUI thread reads it.
  const LogEinstellungen e = LogEinstellungenLesen(orte, fs_);
  const std::string ldat =
      e.LDat.empty() ? orte.log_verzeichnis + "Main.log" : e.LDat;  // names no file
  int llev = e.LLev;
  // Outside a debug build the debug levels are taken as the highest level below them.
  if (!debug_.load() && llev > Zahl(LogStufe::kDiagnose)) llev = Zahl(LogStufe::kDiagnose);

  std::vector<std::string> meldungen;
  bool art_notiz = false;
  {
    std::unique_lock<std::mutex> l(mu_);
    gui_thread_ = std::this_thread::get_id();
    aktiv_ = true;
    const std::string alte_dat = ldat_;
    const StartGrund grund =
        GrundFuer(beimStart, ldat != alte_dat, e.LArt != lart_, llev_ <= 0 && llev > 0);
    ldat_ = ldat;
    llev_ = llev;
    lwarn_ = e.LWarn;
    lart_ = e.LArt;
    lanz_ = e.LAnz;
    SetzeWirksam();
    if (grund != StartGrund::kKeiner) eingerichtet_ = false;
    if (llev_ > 0 && grund != StartGrund::kKeiner) {
      DateiEinrichten(grund, alte_dat, &meldungen);
      art_notiz = grund == StartGrund::kNeueArt;
    }
  }
  // Reported without the lock: the message box runs a nested message loop on the GUI thread,
  // whose log calls must find the writer free.
  if (LogFrage* f = frage_.load()) {
    for (const std::string& m : meldungen) f->StartFehler(m);
  }
  if (art_notiz)
    Zeile(LogStufe::kDebug, "Log: Neues Rotationsprinzip eingestellt: " + std::to_string(e.LArt));
}

void LogSchreiber::DateiEinrichten(StartGrund grund, const std::string& alte_dat,
                                   std::vector<std::string>* meldungen) {
  const std::string zeit = DateAndTimeText(ToLocal(clock_->Now()));
  if (grund == StartGrund::kNeueDatei) {
    // An old file that never came into being (the log was off) has nothing to continue.
    FileInfo info;
    if (!alte_dat.empty() && fs_->Stat(alte_dat, &info) &&
        !Anhaengen(alte_dat, "Fortsetzung am " + zeit + "\r\nin Datei: " + ldat_ + "\r\n", false)) {
      meldungen->push_back(SchreibFehler(alte_dat));
    }
  }
  rotation_.Einrichten(ldat_, lart_);
  eingerichtet_ = true;
  const bool rotation_gescheitert =
      lart_ > 0 && rotation_.Pruefen(Einstellung()) == RotationsErgebnis::kFehler;
  if (rotation_gescheitert) meldungen->push_back(RotationsFehler(ldat_));

  std::string kopf;
  if (grund == StartGrund::kStart) {
    kopf = std::string(" \r\n") + kSternchen + "\r\nZarnoft" + programmteil_ + " startet am " +
           zeit + "\r\nLoglevel: " + std::to_string(llev_) +
           " in Rotationsart: " + std::to_string(lart_) + "\r\n";
  } else if (grund == StartGrund::kNeueDatei) {
    kopf = "Neue Logdatei ausgewählt um " + zeit + "\r\nZarnoft" + programmteil_ +
           " im Loglevel: " + std::to_string(llev_) + "\r\n";
  }
  // Opened (and created) even without a header, so that the next line finds the file.
  if (!Anhaengen(ldat_, kopf, true) && !rotation_gescheitert) {
    meldungen->push_back(SchreibFehler(ldat_));
  }
}

void LogSchreiber::Zeile(LogStufe stufe, const std::string& text) {
  if (!Will(stufe)) return;  // the level test comes first and touches nothing else
  Eintrag e{stufe, text, clock_->Now()};
  std::unique_lock<std::mutex> l(mu_);
  if (frage_offen_) {
    // The GUI thread shows the question, so it must not wait for its answer; neither may the
    // asking thread when the question logs on its own thread.
    std::thread::id ich = std::this_thread::get_id();
    if (ich == gui_thread_ || ich == frager_) {
      zurueck_.push_back(std::move(e));
      return;
    }
    frage_zu_.wait(l, [this] { return !frage_offen_; });
  }
  Schreiben(l, e);
  Zurueckgehaltene(l);
}

void LogSchreiber::Zurueckgehaltene(std::unique_lock<std::mutex>& l) {
  while (!frage_offen_ && !zurueck_.empty()) {
    Eintrag e = std::move(zurueck_.front());
    zurueck_.pop_front();
    Schreiben(l, e);
  }
}

void LogSchreiber::Schreiben(std::unique_lock<std::mutex>& l, const Eintrag& e) {
  // Checked again under the lock: LogStart may have lowered the level since the quick test,
  // and an Abort stops even lines that were kept back.
  if (!aktiv_ || llev_ <= 0 || Zahl(e.stufe) > llev_) return;
  if (lart_ > 0) {
    if (!eingerichtet_) {
      rotation_.Einrichten(ldat_, lart_);
      eingerichtet_ = true;
    }
    if (rotation_.Pruefen(Einstellung()) == RotationsErgebnis::kFehler && lwarn_) {
      Melden(l, RotationsFehler(ldat_));
    }
  }
  // A name in the text may hold a line break or an escape sequence; one line stays one line.
  const std::string zeile =
      LogStampText(ToLocal(e.zeit)) + programmteil_ + "/" + EscapeControls(e.text) + "\r\n";
  for (;;) {
    if (!aktiv_) return;
    // A missing file counts as a failure: a log file deleted from outside is not re-created.
    if (Anhaengen(ldat_, zeile, false)) {
      rotation_.Geschrieben(e.text.size());
      return;
    }
    if (!lwarn_) return;
    switch (Fragen(l)) {
      case LogAntwort::kAbbrechen:
        aktiv_ = false;
        SetzeWirksam();
        return;
      case LogAntwort::kWiederholen:
        continue;
      case LogAntwort::kIgnorieren:
        return;
    }
    return;
  }
}

template <typename F>
void LogSchreiber::OhneSperre(std::unique_lock<std::mutex>& l, F f) {
  frage_offen_ = true;
  frager_ = std::this_thread::get_id();
  l.unlock();
  try {
    f();
  } catch (...) {
    // A window that fails to show the question leaves the writer as it was.
  }
  l.lock();
  frage_offen_ = false;
  frager_ = std::thread::id();
  frage_zu_.notify_all();
}

LogAntwort LogSchreiber::Fragen(std::unique_lock<std::mutex>& l) {
  LogFrage* f = frage_.load();
  LogAntwort antwort = LogAntwort::kIgnorieren;
  if (f == nullptr) return antwort;
  OhneSperre(l, [&] { antwort = f->FehlerFrage(kLogFrageTitel, kLogFrageText); });
  return antwort;
}

void LogSchreiber::Melden(std::unique_lock<std::mutex>& l, const std::string& meldung) {
  LogFrage* f = frage_.load();
  if (f == nullptr) return;
  OhneSperre(l, [&] { f->StartFehler(meldung); });
}

LogSchreiber& GlobalLog() {
  static LogSchreiber* log = new LogSchreiber();
  return *log;
}

void LogZeile(LogStufe stufe, const std::string& text) {
  GlobalLog().Zeile(stufe, text);
}

void LogStart(const std::string& verzeichnis, bool beimStart) {
  GlobalLog().LogStart(verzeichnis, beimStart);
}

void LogStart(const DateiOrte& orte, bool beimStart) {
  GlobalLog().LogStart(orte, beimStart);
}

}  // namespace zarnoft
