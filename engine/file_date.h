// The date of a directory entry in DOS form (platform/date_time.h), as the run's log shows it.
//
// A file's date is its last write; a directory has none (kDosMissing). The decisions themselves
// compare the file system's own times (engine/decisions.h, engine/last_run.h).
#ifndef ZARNOFT_ENGINE_FILE_DATE_H_
#define ZARNOFT_ENGINE_FILE_DATE_H_

#include <cstdint>

#include "platform/file_system.h"

namespace zarnoft {

// The last-write date of an existing entry in DOS form (0 before 1980, never negative), or
// kDosMissing for a directory.
int64_t DateiDatum(const FileInfo& info);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_FILE_DATE_H_
