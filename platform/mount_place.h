// Where a directory lies when a bind mount shows it somewhere else: the path by which this
// process reaches the same directory without that mount, for FileSystem::Location.
#ifndef ZARNOFT_PLATFORM_MOUNT_PLACE_H_
#define ZARNOFT_PLATFORM_MOUNT_PLACE_H_

#include <string>

#include "platform/file_system.h"
#include "platform/status.h"

namespace zarnoft {

// `real` is an existing directory's path with every link resolved. The mount table
// (/proc/self/mountinfo) only proposes places: the directory a mount shows is looked for
// through the other mounts of its file system and, in a chroot or container whose root is not
// the file system's, along the tails of the mount's root path; a place counts only when device
// and inode are those of the mount's own root. Without a mount table, or without another place,
// the path is `real` itself.
Status MountOrt(const std::string& real, FsLocation* out);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_MOUNT_PLACE_H_
