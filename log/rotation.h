// Rotation of the log file: after a period (daily, weekly, monthly) or beyond a size the log file
// is moved aside under a numbered name ("Main V1.log" is always the most recent old file) and a
// fresh one begins with a short rotation header.
//
// A Rotation holds the state of one log writer. It has no lock of its own: the writer calls it
// only under its own lock, so one Rotation is used by one thread at a time.
#ifndef ZARNOFT_LOG_ROTATION_H_
#define ZARNOFT_LOG_ROTATION_H_

#include <cstdint>
#include <string>

#include "platform/date_time.h"
#include "platform/file_system.h"

namespace zarnoft {

// Rotation kinds (LArt). Kinds outside 0..6 never rotate.
constexpr int kRotationKeine = 0;
constexpr int kRotationTaeglich = 1;
constexpr int kRotationWoechentlich = 2;
constexpr int kRotationMonatlich = 3;
constexpr int kRotation10k = 4;
constexpr int kRotation100k = 5;
constexpr int kRotation1M = 6;

// At most this many old files are kept, whatever LAnz says, so that a damaged setting cannot
// make every rotation walk through millions of names.
constexpr int kMaxAlteDateien = 999;

// What a rotation needs to know about the writer.
struct RotationsEinstellung {
  std::string ldat;          // the log file
  int llev = 0;              // level, for the rotation header
  int lart = 0;              // rotation kind
  int lanz = 0;              // old files kept; 0 and 1 both keep one
  std::string programmteil;  // "Edit", "Sync"
};

enum class RotationsErgebnis {
  kKeine,    // nothing to do
  kRotiert,  // the file was rotated and the new one begun
  kFehler,   // the file was moved aside, but the new one could not be created or written
};

class Rotation {
 public:
  // fs and clock must outlive the object.
  Rotation(FileSystem* fs, Clock* clock) : fs_(fs), clock_(clock) {}

  // Sets the state up from the log file as it stands: its size starts the estimate, its
  // creation time starts a time-based period (now when the file does not exist).
  void Einrichten(const std::string& ldat, int lart);
  // The same from a given reference time and size.
  void EinrichtenAb(FileTime bezug, int64_t groesse, int lart);

  // The check before every written line: rotates when the period is over or the file has grown
  // beyond the threshold, and moves the state on. Kinds 0 and above 6 do nothing.
  RotationsErgebnis Pruefen(const RotationsEinstellung& e);

  // A line of this text length was written: the estimate grows by the length plus 30, which
  // runs ahead of the real line (text plus stamp, part name, "/" and CR LF).
  void Geschrieben(size_t textlaenge);

  FileTime NaechsteRotation() const { return naechste_; }
  int64_t GeschaetzteGroesse() const { return geschaetzt_; }
  int64_t Groessengrenze() const { return grenze_; }

 private:
  FileSystem* fs_;
  Clock* clock_;
  FileTime naechste_;
  // Kept in 64 bits: a log without size rotation grows the estimate without limit.
  int64_t geschaetzt_ = 0;
  int64_t grenze_ = 0;
};

// The name of old file n: base + " V" + n + extension, the extension running from the last "."
// of the file name (none when the name has no ".").
std::string AlteLogdatei(const std::string& ldat, int n);

// The same day of the next month: day 31 becomes 30, and February takes no day above 28.
// The time of day of the result is 00:00.
LocalTime NaechsterMonatstag(const LocalTime& datum);

// One day, seven days or the next month day (at 00:00) after t, in local time.
FileTime NaechsterZeitpunkt(int lart, FileTime t);

// The creation time of a file, truncated to even seconds. The file system records it as the
// birth time where it can (statx); where it cannot, the last-write time stands in. Also gives
// the file's size. False when the file does not exist (fs->Stat fails).
bool LogdateiErstellt(FileSystem* fs, const std::string& path, FileTime* erstellt,
                      int64_t* groesse);

// Moves the log file aside as old file 1 (shifting older ones up to LAnz, the oldest dropped)
// and begins the new file with the rotation header. Failures to delete or rename are passed
// over; a log file that cannot be moved is emptied. False when the new file could not be
// created or its header not be written.
bool Rotieren(FileSystem* fs, const RotationsEinstellung& e);

// The rotation header, CR LF line ends.
std::string RotationsKopf(const RotationsEinstellung& e);

}  // namespace zarnoft

#endif  // ZARNOFT_LOG_ROTATION_H_
