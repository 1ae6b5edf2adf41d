// Helpers of the single-file copy (Kopierer::DateiKopieren in file_copy.cpp).
//
// A copy is written into a hidden temporary file beside the target and renamed over the target
// only when content, date and permission bits are in place, so that no half-written file ever
// stands under the target's name and an earlier target survives every failure and every cancel.
#ifndef ZARNOFT_COPY_FILE_COPY_H_
#define ZARNOFT_COPY_FILE_COPY_H_

#include <cstdint>
#include <string>

namespace zarnoft {

// Files below this size are copied in one go; from this size on in steps.
constexpr int64_t kStufenGrenze = 100000;
// The number of equal steps of a stepped copy (a remainder follows).
constexpr int kSchritte = 99;

// The temporary name for writing `nach`: in the same directory, hidden, derived from the
// target's name (".name.zarnoft-<12 hex digits>"), or ".zarnoft-tmp-<12 hex digits>" when the
// derived name would be longer than a file name may be. The low 32 bits of `zufall` give the
// first 8 digits; the last 4 check the rest of the name.
std::string KopierTempName(const std::string& nach, uint64_t zufall);

// Whether a file name is one of those temporary names, check digits included. Such a file stands
// in a tree only while a copy writes it, or after a run was killed; a name that merely looks
// like one (other digits) is a file like any other.
bool IstKopierTempName(const std::string& name);

}  // namespace zarnoft

#endif  // ZARNOFT_COPY_FILE_COPY_H_
