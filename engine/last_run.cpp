#include "engine/last_run.h"

#include <algorithm>

#include "platform/date_time.h"

namespace zarnoft {
namespace {

// The file system's clock may lag behind the run's: network file systems stamp files with the
// server's time, and the kernel stamps them from a clock that is a tick behind. Two seconds of
// slack on the side of keeping files: a write up to that long before the start (or the end)
// still counts as one made since.
constexpr int64_t kUhrenSpielSekunden = 2;

FileTime Frueher(FileTime t) {
  return FileTime{t.sec - kUhrenSpielSekunden, t.nsec};
}

}  // namespace

FileTime ZukunftsGrenze(FileTime laufbeginn) {
  // A start that is not known dates nothing in the future.
  if (laufbeginn.sec <= 0) return FileTime{INT64_MAX, 0};
  return FileTime{laufbeginn.sec + kUhrenSpielSekunden, laufbeginn.nsec};
}

bool LetzterLauf::InDerZukunft(FileTime jetzt) const {
  return art_ != Art::kNie && Ende() > ZukunftsGrenze(jetzt);
}

FileTime LetzterLauf::Ende() const {
  FileTime t;
  switch (art_) {
    case Art::kNie:
      break;
    case Art::kDos:
      if (!FileTimeFromDos(dos_, &t)) t = FileTime{};
      break;
    case Art::kUtc:
      t = ende_;
      break;
  }
  return t;
}

LetzterLauf LetzterLauf::AusDos(int64_t vergleichsdatum) {
  LetzterLauf l;
  if (vergleichsdatum > 0) {
    l.art_ = Art::kDos;
    l.dos_ = vergleichsdatum;
  }
  return l;
}

LetzterLauf LetzterLauf::AusUtc(FileTime beginn, FileTime ende) {
  LetzterLauf l;
  if (beginn.sec > 0 && beginn <= ende) {
    l.art_ = Art::kUtc;
    l.beginn_ = beginn;
    l.ende_ = ende;
    l.dos_ = DosFromFileTime(ende);
  }
  return l;
}

FileTime Benutzt(const FileInfo& info) {
  return std::max(info.atime, info.ctime);
}

bool LetzterLauf::GeaendertSeitEnde(const FileInfo& datei) const {
  switch (art_) {
    case Art::kNie:
      return true;
    case Art::kDos:
      return DosFromFileTime(datei.mtime) > dos_;
    case Art::kUtc:
      return datei.mtime > Frueher(ende_);
  }
  return true;
}

bool LetzterLauf::GeaendertSeitBeginn(const FileInfo& datei) const {
  if (art_ == Art::kUtc) return datei.mtime >= Frueher(beginn_);
  return GeaendertSeitEnde(datei);
}

int64_t LetzterLauf::Dos() const {
  return art_ == Art::kNie ? 0 : dos_;
}

}  // namespace zarnoft
