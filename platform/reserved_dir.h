// The program's own directory at the top of a job's roots, ".zarnoft": it holds the root's
// identity (engine/root_identity.h) and what a run keeps of the user's files. The name is
// reserved at any depth: the walk never enters, lists, copies or deletes an entry of that name,
// and the size listing does not count it, so that the program's own files never travel to the
// other side and a user's folder of that name is left alone.
//
// The directory belongs to the user alone (mode 0700). Anything of that name that is not such
// a directory (a link above all) is never followed: the run stops and says so.
//
// Pure functions and constants; any thread.
#ifndef ZARNOFT_PLATFORM_RESERVED_DIR_H_
#define ZARNOFT_PLATFORM_RESERVED_DIR_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace zarnoft {

constexpr char kReserviertName[] = ".zarnoft";
// Permission bits of the reserved directory and of the files in it: the user's only.
constexpr uint32_t kReserviertVerzeichnisBits = 0700;
constexpr uint32_t kReserviertDateiBits = 0600;

inline bool IstReserviert(const std::string& name) {
  return name == kReserviertName;
}

// Removes the entries of the reserved name from a listing.
void ReservierteWeglassen(std::vector<FileInfo>* eintraege);

// The reserved directory of a root ("" for "/"): root + "/.zarnoft".
inline std::string ReserviertesVerzeichnis(const std::string& wurzel) {
  return wurzel + "/" + kReserviertName;
}

// Makes sure that the root's reserved directory is a directory of the user's, creating it (mode
// 0700) when it is missing. Fails with *fehler set to a German reason when something else has
// the name (a link, a file, a directory of another user); a failed creation (a read-only medium)
// is returned as the Status with *fehler empty.
Status ReserviertesVerzeichnisBereiten(FileSystem* fs, const std::string& wurzel,
                                       std::string* fehler);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_RESERVED_DIR_H_
