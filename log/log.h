// The leveled text log that every part of the program writes to.
//
// Protokoll is what the other parts see: a level test and a line. LogSchreiber is the log writer
// itself (settings from Main.sda, headers, rotation, the failure question); one process-wide
// instance serves the program (GlobalLog()), tests make their own.
#ifndef ZARNOFT_LOG_LOG_H_
#define ZARNOFT_LOG_LOG_H_

#include <string>

namespace zarnoft {

class Protokoll {
 public:
  virtual ~Protokoll() = default;
  // Whether a line of this level would be written. Cheap and lock-free, so that callers can
  // skip building texts that nobody reads.
  virtual bool Will(int stufe) const = 0;
  // Writes one line of level 1..9 (LogZeile). Thread-safe; calls never interleave.
  virtual void Zeile(int stufe, const std::string& text) = 0;
};

// A log that writes nothing.
class KeinProtokoll : public Protokoll {
 public:
  bool Will(int) const override { return false; }
  void Zeile(int, const std::string&) override {}
};

}  // namespace zarnoft

#endif  // ZARNOFT_LOG_LOG_H_
