// What kind of file system holds a path, as far as a run cares.
//
// Any thread.
#ifndef ZARNOFT_PLATFORM_FS_KIND_H_
#define ZARNOFT_PLATFORM_FS_KIND_H_

#include <string>

namespace zarnoft {

// Whether the file system holding `path` keeps inode numbers and status changes that last from
// one mount to the next (not FAT, exFAT, NTFS, SMB shares, ISO images): only then do they tell
// one file from another that took its name. True when it cannot be told.
bool DauerhafteKennungen(const std::string& path);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_FS_KIND_H_
