#include "engine/file_date.h"

#include <algorithm>

#include "platform/date_time.h"

namespace zarnoft {

int64_t DateiDatum(const FileInfo& info) {
  if (info.IsDirectory()) return kDosMissing;
  return DosFromFileTime(info.mtime);
}

int64_t Zugriffsdatum(const FileInfo& info) {
  return DosFromFileTime(std::max(info.atime, info.ctime));
}

}  // namespace zarnoft
