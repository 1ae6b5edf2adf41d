// The outcome of a call to the system: done, the thing is not there, or the call failed with the
// system's reason.
//
// The difference matters: a file that is not there may be taken for deleted on the other side of
// a job, while a file that could not be queried must never be (a full disk, a drive that went
// away, a path too long). Callers that only ask "done?" test ok() or the Status itself; callers
// that decide on absence test missing(), never !ok().
//
// A Status is a small value (no allocation), cheap to copy and to return.
#ifndef ZARNOFT_PLATFORM_STATUS_H_
#define ZARNOFT_PLATFORM_STATUS_H_

#include <string>

namespace zarnoft {

class Status {
 public:
  // Done.
  Status() = default;
  static Status Ok() { return Status(); }
  // From an errno value: ENOENT and ENOTDIR (a path through something that is no directory)
  // mean the thing is not there, every other value that the call failed. 0 gives Ok().
  static Status FromErrno(int error);
  // The thing is not there (ENOENT).
  static Status Missing();
  // A directory on the way to the thing is no longer the one the run listed: it became a link or
  // another directory. A failure, never absence, so that nothing is taken for deleted.
  static Status Replaced();

  bool ok() const { return error_ == 0; }
  bool missing() const { return missing_; }
  // Failed for another reason than absence.
  bool failed() const { return error_ != 0 && !missing_; }
  bool replaced() const { return error_ == kReplaced; }
  // The errno value; 0 when done.
  int error() const { return error_; }

  // The system's reason in German ("Keine Berechtigung", "Der Dateiname ist zu lang"), "" when
  // done. The texts are the program's own, so that they are German whatever locales the system
  // has installed.
  std::string Reason() const;

  explicit operator bool() const { return ok(); }

 private:
  // Outside the range of errno values.
  static constexpr int kReplaced = 0x10000;

  int error_ = 0;
  bool missing_ = false;
};

// The German text of an errno value, as Status::Reason() gives it.
std::string ErrnoText(int error);

// The reason of Status::Replaced().
inline constexpr char kVerzeichnisErsetzt[] = "Verzeichnis wurde während des Laufs ersetzt";

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_STATUS_H_
