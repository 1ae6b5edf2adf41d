// Clocks, local time, the DOS date-time form and the day-count date-time of the job records.
//
// Local time follows the process's time zone (TZ). All functions are thread-safe.
#ifndef ZARNOFT_PLATFORM_DATE_TIME_H_
#define ZARNOFT_PLATFORM_DATE_TIME_H_

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace zarnoft {

// A broken-down local time. month 1..12, day 1..31.
struct LocalTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

// Pins the process's time zone once at start-up, before threads run: when TZ is unset it is set
// to the system's zone file, so that the C library does not look that file up again at every
// conversion (it stats /etc/localtime for each mktime otherwise).
void PinTimeZone();

LocalTime ToLocal(FileTime t);
FileTime FromLocal(const LocalTime& lt);

// "now", replaceable in tests. Now() may be called from any thread.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual FileTime Now() = 0;
  // The real clock. Never destroyed.
  static Clock* System();
};

// A clock that stands still until it is set or advanced; for tests.
class ManualClock : public Clock {
 public:
  explicit ManualClock(FileTime start = FileTime{}) : sec_(start.sec), nsec_(start.nsec) {}
  FileTime Now() override { return FileTime{sec_.load(), nsec_.load()}; }
  void Set(FileTime t) {
    sec_ = t.sec;
    nsec_ = t.nsec;
  }
  void SetLocal(const LocalTime& lt) { Set(FromLocal(lt)); }
  void Advance(int64_t seconds) { sec_ += seconds; }

 private:
  std::atomic<int64_t> sec_;
  std::atomic<int64_t> nsec_;
};

// --- DOS date-time form ---------------------------------------------------------------------
// Low 16 bits: seconds/2 (0-4), minutes (5-10), hours (11-15); high 16 bits: day (0-4),
// month (5-8), year-1980 (9-15). Held in 64 bits and compared as unsigned 32-bit values, so that
// dates from 2044 on compare as later than earlier ones.

// A file date for the comparison: -1 stands for "no such file". 0 is "before 1980" (oldest but
// present); a time after 2107 gives kDosMax.
constexpr int64_t kDosMissing = -1;
constexpr int64_t kDosMax =
    (int64_t{127} << 25) | (12 << 21) | (31 << 16) | (23 << 11) | (59 << 5) | 29;

// The DOS form of a local time for file dates (the rule above).
int64_t DosFromLocal(const LocalTime& lt);
// The DOS form of a file time (local time, seconds truncated to even).
int64_t DosFromFileTime(FileTime t);
// Whether a file time has a DOS form at all (1980 to 2107).
bool HasDosForm(FileTime t);
// Back to local time; false for values that are no valid DOS date-time (below 1, say).
bool LocalFromDos(int64_t dos, LocalTime* out);
// Back to a file time (local time interpreted in the current zone).
bool FileTimeFromDos(int64_t dos, FileTime* out);

// --- Day-count date-time -------------------------------------------------------------------
// A floating-point count of days since 30 December 1899, local time, the fraction the time of
// day. 0 stands for "never".
double DayCountFromLocal(const LocalTime& lt);
LocalTime LocalFromDayCount(double days);
double DayCountNow(Clock* clock);

// The last-run date of a job in DOS form for the comparison: 0 when it never ran, and also for a
// date before 1980 or in 2100 or later.
int64_t VergleichsdatumFromDayCount(double aufruf);

// --- German regional formats ---------------------------------------------------------------
std::string ShortDateText(const LocalTime& lt);  // dd.MM.yyyy
std::string LongTimeText(const LocalTime& lt);   // hh:mm:ss
// The standard date-time text: short date, blank, long time; the time is left out when it is
// exactly midnight.
std::string DateTimeText(const LocalTime& lt);
// Short date and long time, always both (log headers).
std::string DateAndTimeText(const LocalTime& lt);
// "dd.mm.yy hh:nn:ss " with one trailing blank: the time stamp of a log line.
std::string LogStampText(const LocalTime& lt);
// A DOS value in the log stamp form, or "unbekannt" for values below 1.
std::string DosLogText(int64_t dos);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_DATE_TIME_H_
