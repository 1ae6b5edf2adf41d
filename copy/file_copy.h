// Helpers of the single-file copy (Kopierer::DateiKopieren in file_copy.cpp).
//
// A copy is written into a hidden temporary file beside the target and renamed over the target
// only when content, date and permission bits are in place, so that no half-written file ever
// stands under the target's name and an earlier target survives every failure and every cancel.
#ifndef ZARNOFT_COPY_FILE_COPY_H_
#define ZARNOFT_COPY_FILE_COPY_H_

#include <cstdint>
#include <string>

#include "platform/temp_name.h"  // KopierTempName, IstKopierTempName

namespace zarnoft {

// Files below this size are copied in one go; from this size on in steps.
constexpr int64_t kStufenGrenze = 100000;
// The number of equal steps of a stepped copy (a remainder follows).
constexpr int kSchritte = 99;

}  // namespace zarnoft

#endif  // ZARNOFT_COPY_FILE_COPY_H_
