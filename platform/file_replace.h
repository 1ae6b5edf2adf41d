// Putting a new text in place of a small stored file: a job collection, Main.sda, Sync.dat.
// Whoever reads the file sees either the old or the new text, also after a crash or a power
// cut, and the file stays the user's file.
//
// The new text goes to a temporary file beside the old one (platform/temp_file.h), opened
// exclusively and never through a link, written and forced to the disk; it gets the old file's
// owner, group and permission bits, is renamed over the old file, and the directory is forced
// to the disk after the rename. So a power cut on a file system without the rename heuristics
// of ext4 leaves no empty file, and a collection of the user's that root ran stays the user's.
//
// Where a rename cannot keep what the file is, the file is updated in place instead (written
// from its start, cut to the new length, forced to the disk): when it has several names (hard
// links, which a rename would split) and when its owner or group cannot be given to the new
// file (a user's write to another user's file that is open to his group). Such an update is
// not atomic: a crash in its middle can leave a mixture of both texts.
//
// Temporary files of the same file that a killed writer left beside it are removed after the
// first write of each path in a process (AlteTempDateienEntfernen: those still locked by a
// living writer, and those younger than a minute, stay).
//
// Any thread; two writers of one file at the same time are the callers' business (the last
// rename wins).
#ifndef ZARNOFT_PLATFORM_FILE_REPLACE_H_
#define ZARNOFT_PLATFORM_FILE_REPLACE_H_

#include <string>

#include "platform/file_system.h"
#include "platform/status.h"

namespace zarnoft {

// Puts `text` in place of the regular file `path` (no link: the caller resolves one). `alt` is
// what the file is now (Stat), nullptr for a new file, which is put in place with a rename that
// never replaces, so that a file that appeared meanwhile is kept. On any failure the old file
// is untouched (the in-place update aside), no temporary file is left, and the reason is
// returned.
Status TextErsetzen(FileSystem* fs, const std::string& path, const FileInfo* alt,
                    const std::string& text);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_FILE_REPLACE_H_
