// The leveled text log that every part of the program writes to.
//
// Protokoll is what the other parts see: a level test and a line. LogSchreiber is the log writer
// itself (settings from Main.sda, headers, rotation, the failure question); one process-wide
// instance serves the program (GlobalLog()), tests make their own.
#ifndef ZARNOFT_LOG_LOG_H_
#define ZARNOFT_LOG_LOG_H_

#include <string>

namespace zarnoft {

// The level of a log line. A line is written when its level is at most the configured level
// (Main.sda, Allgemein/LLev, 0 = no log); the names follow the settings dialog's texts for the
// levels, which say what a user gets in the log by choosing each.
enum class LogStufe : int {
  kWarnung = 1,            // "Nur Warnungen bei doppelt geänderten Dateien": failures and warnings
  kDateiAenderung = 2,     // "Protokoll fremder Dateibearbeitungen": what a run copied or deleted
  kSpeichernLaden = 3,     // "Speichern und Laden": a job collection saved or opened
  kGrundbefehl = 4,        // "Grundlegende Buttons": taking a job, running one
  kBefehl = 5,             // "Alle Buttons": every other command
  kDateizugriff = 6,       // "Alle Dateizugriffe": every directory and file a run examines
  kDiagnose = 7,           // "Dateizugriffe mit Diagnose": the reasons of a run's decisions
  kDebug = 8,              // "Grundlegendes Debugging" (debug build only)
  kDebugAusfuehrlich = 9,  // "Ausführliches Debugging": every step (debug build only)
};

inline constexpr int Zahl(LogStufe stufe) {
  return static_cast<int>(stufe);
}

class Protokoll {
 public:
  virtual ~Protokoll() = default;
  // Whether a line of this level would be written. Cheap and lock-free, so that callers can
  // skip building texts that nobody reads.
  virtual bool Will(LogStufe stufe) const = 0;
  // Writes one line (LogZeile). Thread-safe; calls never interleave.
  virtual void Zeile(LogStufe stufe, const std::string& text) = 0;
};

// A log that writes nothing.
class KeinProtokoll : public Protokoll {
 public:
  bool Will(LogStufe) const override { return false; }
  void Zeile(LogStufe, const std::string&) override {}
};

}  // namespace zarnoft

#endif  // ZARNOFT_LOG_LOG_H_
