// The dates by which a run decides a directory entry, in DOS form (platform/date_time.h).
//
// A file's date is its last write; a directory has none (kDosMissing), so that a subdirectory
// taken as a file is left alone by the tables of the walk. Zugriffsdatum tells whether an entry
// that exists on one side only was used since the last run: it is the later of the last access
// and the last status change, so that a file brought in with its old times kept (cp -a, an
// unpacked archive) still reads as new and is copied over, never taken for one that was deleted
// on the other side.
#ifndef ZARNOFT_ENGINE_FILE_DATE_H_
#define ZARNOFT_ENGINE_FILE_DATE_H_

#include <cstdint>

#include "platform/file_system.h"

namespace zarnoft {

// The last-write date of an existing entry in DOS form (0 before 1980, never negative), or
// kDosMissing for a directory.
int64_t DateiDatum(const FileInfo& info);

// The later of last access and last status change, in DOS form.
int64_t Zugriffsdatum(const FileInfo& info);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_FILE_DATE_H_
