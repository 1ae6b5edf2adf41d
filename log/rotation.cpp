#include "log/rotation.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

namespace zarnoft {
namespace {

int64_t GrenzeFuer(int lart) {
  switch (lart) {
    case kRotation10k:
      return 10240;
    case kRotation100k:
      return 102400;
    case kRotation1M:
      return 1024000;  // 1000 kBytes, as the settings dialog names it
    default:
      return 0;
  }
}

bool Zeitbasiert(int lart) {
  return lart >= kRotationTaeglich && lart <= kRotationMonatlich;
}
bool Groessenbasiert(int lart) {
  return lart >= kRotation10k && lart <= kRotation1M;
}

FileTime TageSpaeter(FileTime t, int tage) {
  // Counted in local time, so that a period keeps its time of day across a change of
  // daylight saving time.
  LocalTime lt = ToLocal(t);
  lt.day += tage;
  lt.millisecond = 0;
  return FromLocal(lt);
}

int64_t Groesse(FileSystem* fs, const std::string& path) {
  FileInfo info;
  return fs->Stat(path, &info) ? info.size : 0;
}

}  // namespace

LocalTime NaechsterMonatstag(const LocalTime& datum) {
  LocalTime r;
  r.year = datum.year;
  r.month = datum.month + 1;
  r.day = datum.day;
  if (r.month > 12) {
    r.month = 1;
    r.year += 1;
  }
  if (r.day == 31) r.day = 30;
  if (r.day > 28 && r.month == 2) r.day = 28;
  return r;
}

FileTime NaechsterZeitpunkt(int lart, FileTime t) {
  switch (lart) {
    case kRotationTaeglich:
      return TageSpaeter(t, 1);
    case kRotationWoechentlich:
      return TageSpaeter(t, 7);
    case kRotationMonatlich:
      return FromLocal(NaechsterMonatstag(ToLocal(t)));
    default:
      return t;
  }
}

std::string AlteLogdatei(const std::string& ldat, int n) {
  size_t name = ldat.rfind('/');
  name = name == std::string::npos ? 0 : name + 1;
  size_t punkt = ldat.rfind('.');
  if (punkt == std::string::npos || punkt < name) punkt = ldat.size();
  return ldat.substr(0, punkt) + " V" + std::to_string(n) + ldat.substr(punkt);
}

bool LogdateiErstellt(FileSystem* fs, const std::string& path, FileTime* erstellt,
                      int64_t* groesse) {
  FileInfo info;
  if (!fs->Stat(path, &info)) return false;
  *groesse = info.size;
  FileTime t = info.mtime;
  // The FileSystem seam knows no birth time; it is asked of the kernel directly, and only
  // for a file that the seam has just reported.
  struct statx sx {};
  if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx) == 0 &&
      (sx.stx_mask & STATX_BTIME) != 0) {
    t = FileTime{sx.stx_btime.tv_sec, 0};
  }
  // Two-second resolution, as the file dates everywhere else in the program.
  t.sec -= ((t.sec % 2) + 2) % 2;
  t.nsec = 0;
  *erstellt = t;
  return true;
}

std::string RotationsKopf(const RotationsEinstellung& e) {
  return "*******************************\r\nZarnoft" + e.programmteil +
         " Dateirotation\r\nLoglevel: " + std::to_string(e.llev) +
         "\r\nRotationsart: " + std::to_string(e.lart) + ", Aufheben: " + std::to_string(e.lanz) +
         "\r\n";
}

bool Rotieren(FileSystem* fs, const RotationsEinstellung& e) {
  // Each target name is deleted first: a rename never replaces an existing file.
  int anzahl = std::min(e.lanz, kMaxAlteDateien);
  for (int n = anzahl; n >= 2; --n) {
    fs->DeleteFile(AlteLogdatei(e.ldat, n));
    fs->RenameNoReplace(AlteLogdatei(e.ldat, n - 1), AlteLogdatei(e.ldat, n));
  }
  std::string erste = AlteLogdatei(e.ldat, 1);
  fs->DeleteFile(erste);
  fs->RenameNoReplace(e.ldat, erste);
  // A file that could not be moved aside is emptied here. A new file carries the current
  // time as its birth time, which starts the next period at the next program start.
  std::unique_ptr<WritableFile> f = fs->CreateTruncate(e.ldat);
  if (!f) return false;
  std::string kopf = RotationsKopf(e);
  bool ok = f->Write(kopf.data(), kopf.size()).ok();
  return f->Close().ok() && ok;
}

void Rotation::Einrichten(const std::string& ldat, int lart) {
  FileTime bezug = clock_->Now();
  int64_t groesse = 0;
  FileTime erstellt;
  if (LogdateiErstellt(fs_, ldat, &erstellt, &groesse)) bezug = erstellt;
  EinrichtenAb(bezug, groesse, lart);
}

void Rotation::EinrichtenAb(FileTime bezug, int64_t groesse, int lart) {
  naechste_ = clock_->Now();
  geschaetzt_ = groesse;
  if (Zeitbasiert(lart)) naechste_ = NaechsterZeitpunkt(lart, bezug);
  if (Groessenbasiert(lart)) grenze_ = GrenzeFuer(lart);
}

RotationsErgebnis Rotation::Pruefen(const RotationsEinstellung& e) {
  bool gelungen = true;
  if (Zeitbasiert(e.lart)) {
    FileTime jetzt = clock_->Now();
    if (!(jetzt > naechste_)) return RotationsErgebnis::kKeine;
    gelungen = Rotieren(fs_, e);
    naechste_ = NaechsterZeitpunkt(e.lart, jetzt);
  } else if (Groessenbasiert(e.lart)) {
    // One addition and one comparison per line; the disk is asked only when the estimate has
    // passed the threshold, and only the real size decides.
    if (geschaetzt_ <= grenze_) return RotationsErgebnis::kKeine;
    geschaetzt_ = Groesse(fs_, e.ldat);
    if (geschaetzt_ <= grenze_) return RotationsErgebnis::kKeine;
    gelungen = Rotieren(fs_, e);
    geschaetzt_ = Groesse(fs_, e.ldat);
  } else {
    return RotationsErgebnis::kKeine;
  }
  return gelungen ? RotationsErgebnis::kRotiert : RotationsErgebnis::kFehler;
}

void Rotation::Geschrieben(size_t textlaenge) {
  geschaetzt_ += static_cast<int64_t>(textlaenge) + 30;
}

}  // namespace zarnoft
