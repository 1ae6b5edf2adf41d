// The names of the temporary files in which a file is written beside its real name before a
// rename puts it in place (platform/temp_file.h): the copy of a run and the rewrite of a stored
// file use the same names, so that the walk of a run skips both and removes the leftovers of a
// writer that died.
//
// Any thread.
#ifndef ZARNOFT_PLATFORM_TEMP_NAME_H_
#define ZARNOFT_PLATFORM_TEMP_NAME_H_

#include <cstdint>
#include <string>

namespace zarnoft {

// The temporary name for writing `nach`: in the same directory, hidden, derived from the
// target's name (".name.zarnoft-<12 hex digits>"), or ".zarnoft-tmp-<12 hex digits>" when the
// derived name would be longer than a file name may be. The low 32 bits of `zufall` give the
// first 8 digits; the last 4 check the rest of the name.
std::string KopierTempName(const std::string& nach, uint64_t zufall);

// Whether a file name is one of those temporary names, check digits included. Such a file stands
// in a tree only while a copy writes it, or after a run was killed; a name that merely looks
// like one (other digits) is a file like any other.
bool IstKopierTempName(const std::string& name);

// Whether `name` is a temporary name derived from the file name `fuer` (the long form only: the
// short form does not tell whose it is).
bool IstKopierTempNameVon(const std::string& name, const std::string& fuer);

// A fresh value for KopierTempName: distinct within the process, unpredictable across
// processes. A clash is still possible; creating the file exclusively catches it.
uint64_t TempZufall();

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_TEMP_NAME_H_
