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

// Whether the directory `dir` finds a name whatever the case of its letters (FAT, exFAT, an ext4
// directory with case folding, a FUSE or SMB file system that folds), so that "Readme" and
// "README" are one file there. Told by the kind of file system, the directory's case-folding
// flag, and else by looking up one of its names with the case of its letters swapped (nothing is
// written). False when it cannot be told.
bool FaltetGrossKlein(const std::string& dir);

// A name as a directory that folds case compares it: ASCII letters and the Latin-1 letters
// (UTF-8 "Ä" and "ä", ...) in lower case, everything else as it stands.
std::string GefalteterName(const std::string& name);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_FS_KIND_H_
