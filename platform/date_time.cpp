#include "platform/date_time.h"

#include <time.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zarnoft {

void PinTimeZone() {
  if (std::getenv("TZ") == nullptr) setenv("TZ", ":/etc/localtime", 0);
  tzset();
}

LocalTime ToLocal(FileTime t) {
  time_t s = static_cast<time_t>(t.sec);
  struct tm tm {};
  localtime_r(&s, &tm);
  LocalTime lt;
  lt.year = tm.tm_year + 1900;
  lt.month = tm.tm_mon + 1;
  lt.day = tm.tm_mday;
  lt.hour = tm.tm_hour;
  lt.minute = tm.tm_min;
  lt.second = tm.tm_sec;
  lt.millisecond = static_cast<int>(t.nsec / 1000000);
  return lt;
}

FileTime FromLocal(const LocalTime& lt) {
  struct tm tm {};
  tm.tm_year = lt.year - 1900;
  tm.tm_mon = lt.month - 1;
  tm.tm_mday = lt.day;
  tm.tm_hour = lt.hour;
  tm.tm_min = lt.minute;
  tm.tm_sec = lt.second;
  tm.tm_isdst = -1;
  return FileTime{static_cast<int64_t>(mktime(&tm)), int64_t{lt.millisecond} * 1000000};
}

namespace {

class SystemClock : public Clock {
 public:
  FileTime Now() override {
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return FileTime{ts.tv_sec, ts.tv_nsec};
  }
};

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int* y, int* m, int* d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yy + (*m <= 2));
}

// 1899-12-30 counted from 1970-01-01.
constexpr int64_t kDayCountEpoch = -25569;

}  // namespace

Clock* Clock::System() {
  static SystemClock* c = new SystemClock;
  return c;
}

int64_t DosFromLocal(const LocalTime& lt) {
  if (lt.year < 1980) return 0;
  if (lt.year > 2107) return kDosMax;
  int64_t date = (int64_t{lt.year - 1980} << 9) | (lt.month << 5) | lt.day;
  int64_t time = (lt.hour << 11) | (lt.minute << 5) | (lt.second / 2);
  return (date << 16) | time;
}

int64_t DosFromFileTime(FileTime t) {
  return DosFromLocal(ToLocal(t));
}

bool HasDosForm(FileTime t) {
  LocalTime lt = ToLocal(t);
  return lt.year >= 1980 && lt.year <= 2107;
}

bool LocalFromDos(int64_t dos, LocalTime* out) {
  if (dos < 1 || dos > 0xFFFFFFFFll) return false;
  unsigned date = static_cast<unsigned>(dos >> 16);
  unsigned time = static_cast<unsigned>(dos & 0xFFFF);
  LocalTime lt;
  lt.year = static_cast<int>((date >> 9) + 1980);
  lt.month = static_cast<int>((date >> 5) & 15);
  lt.day = static_cast<int>(date & 31);
  lt.hour = static_cast<int>(time >> 11);
  lt.minute = static_cast<int>((time >> 5) & 63);
  lt.second = static_cast<int>((time & 31) * 2);
  if (lt.month < 1 || lt.month > 12 || lt.day < 1 || lt.hour > 23 || lt.minute > 59 ||
      lt.second > 59)
    return false;
  *out = lt;
  return true;
}

bool FileTimeFromDos(int64_t dos, FileTime* out) {
  LocalTime lt;
  if (!LocalFromDos(dos, &lt)) return false;
  *out = FromLocal(lt);
  return true;
}

double DayCountFromLocal(const LocalTime& lt) {
  int64_t days =
      DaysFromCivil(lt.year, static_cast<unsigned>(lt.month), static_cast<unsigned>(lt.day)) -
      kDayCountEpoch;
  double frac =
      (lt.hour * 3600.0 + lt.minute * 60.0 + lt.second + lt.millisecond / 1000.0) / 86400.0;
  // Before the epoch the fraction counts away from zero, as in the day-count convention.
  return days >= 0 ? static_cast<double>(days) + frac : static_cast<double>(days) - frac;
}

LocalTime LocalFromDayCount(double v) {
  LocalTime lt;
  if (!std::isfinite(v) || std::fabs(v) > 3.0e6) return lt;
  double whole = std::trunc(v);
  double frac = std::fabs(v - whole);
  int64_t ms = std::llround(frac * 86400000.0);
  if (ms >= 86400000) ms = 86399999;
  CivilFromDays(static_cast<int64_t>(whole) + kDayCountEpoch, &lt.year, &lt.month, &lt.day);
  lt.hour = static_cast<int>(ms / 3600000);
  lt.minute = static_cast<int>(ms / 60000 % 60);
  lt.second = static_cast<int>(ms / 1000 % 60);
  lt.millisecond = static_cast<int>(ms % 1000);
  return lt;
}

double DayCountNow(Clock* clock) {
  return DayCountFromLocal(ToLocal(clock->Now()));
}

int64_t VergleichsdatumFromDayCount(double aufruf) {
  if (aufruf == 0 || !std::isfinite(aufruf)) return 0;
  LocalTime lt = LocalFromDayCount(aufruf);
  if (lt.year < 1980 || lt.year > 2099) return 0;
  return DosFromLocal(lt);
}

std::string ShortDateText(const LocalTime& lt) {
  char b[32];
  std::snprintf(b, sizeof b, "%02d.%02d.%04d", lt.day, lt.month, lt.year);
  return b;
}

std::string LongTimeText(const LocalTime& lt) {
  char b[32];
  std::snprintf(b, sizeof b, "%02d:%02d:%02d", lt.hour, lt.minute, lt.second);
  return b;
}

std::string DateTimeText(const LocalTime& lt) {
  if (lt.hour == 0 && lt.minute == 0 && lt.second == 0 && lt.millisecond == 0)
    return ShortDateText(lt);
  return ShortDateText(lt) + " " + LongTimeText(lt);
}

std::string DateAndTimeText(const LocalTime& lt) {
  return ShortDateText(lt) + " " + LongTimeText(lt);
}

std::string LogStampText(const LocalTime& lt) {
  char b[48];
  std::snprintf(b, sizeof b, "%02d.%02d.%02d %02d:%02d:%02d ", lt.day, lt.month,
                ((lt.year % 100) + 100) % 100, lt.hour, lt.minute, lt.second);
  return b;
}

std::string DosLogText(int64_t dos) {
  LocalTime lt;
  if (dos < 1 || !LocalFromDos(dos, &lt)) return "unbekannt";
  return LogStampText(lt);
}

}  // namespace zarnoft
