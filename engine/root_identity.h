// A root's identity: what tells one directory from another that takes its place (another stick
// mounted at the same mount point, a target edited to another folder). The record of a
// two-way job's last run (engine/run_record.h) belongs to the pair of its roots' identities, so
// a directory that is not the one the record was made with has no record: nothing is deleted.
//
// A root that can be written keeps a random identifier in ".zarnoft/kennung"
// (platform/reserved_dir.h), made at its first two-way run. A root that cannot be written (a
// read-only medium) is known by its path, its device and the inode of its top directory.
//
// A marker that is not a regular file of the user's, or a link (the marker or ".zarnoft"), is
// never followed: the run stops with the German reason.
//
// Any thread; one call per root and run.
#ifndef ZARNOFT_ENGINE_ROOT_IDENTITY_H_
#define ZARNOFT_ENGINE_ROOT_IDENTITY_H_

#include <string>

#include "platform/file_system.h"

namespace zarnoft {

// The marker's name inside the reserved directory.
constexpr char kKennungName[] = "kennung";

struct Wurzelkennung {
  std::string kennung;
  bool neu = false;  // made by this call: the root had none before
};

// Reads the root's identity or, when it has none, makes one. False with *fehler set when the
// run must stop (a marker that is not the program's; a root that cannot be queried).
bool WurzelkennungBestimmen(FileSystem* fs, const std::string& wurzel, Wurzelkennung* k,
                            std::string* fehler);

// The same without writing anything (a probe run): a root that has no identity yet gets an empty
// one (no record can belong to it); a root without the program's directory is known by its path,
// as a real run would know it on a medium it cannot write.
bool WurzelkennungLesen(FileSystem* fs, const std::string& wurzel, Wurzelkennung* k,
                        std::string* fehler);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_ROOT_IDENTITY_H_
