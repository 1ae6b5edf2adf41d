// Whether the two directories of a job overlap: one is the other or lies inside it. A run over
// such a pair would copy its own copies again (a bind mount of a source subdirectory as the
// target nests copies level upon level), or delete in one side what it just wrote into the
// other, so the run refuses to start.
//
// The test does not rest on the paths as written: links are resolved, and each existing
// directory is identified by device and inode along its parents, also from the place a bind
// mount shows (FileSystem::Location), so that a bind mount, a second mount of the same file
// system or a path through a link is seen for what it is, in a chroot or container too. Any
// thread.
#ifndef ZARNOFT_ENGINE_OVERLAP_H_
#define ZARNOFT_ENGINE_OVERLAP_H_

#include <string>

#include "platform/file_system.h"

namespace zarnoft {

bool Ueberschneiden(FileSystem* fs, const std::string& herkunft, const std::string& ziel);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_OVERLAP_H_
