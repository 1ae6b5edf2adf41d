#include "engine/file_date.h"

#include "platform/date_time.h"

namespace zarnoft {

int64_t DateiDatum(const FileInfo& info) {
  if (info.IsDirectory()) return kDosMissing;
  return DosFromFileTime(info.mtime);
}

}  // namespace zarnoft
