// Small text helpers shared by the windows, the runs and the job editor.
#ifndef ZARNOFT_PLATFORM_PATH_HELPERS_H_
#define ZARNOFT_PLATFORM_PATH_HELPERS_H_

#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_system.h"

namespace zarnoft {

// The pixel width of a text in some font. The Qt layer passes its font metrics; tests pass a
// fixed width per character. Called on the thread that calls ShortenPathToWidth.
using TextMeasure = std::function<int(const std::string&)>;

// Fits a path into `width` by replacing its middle with "..": the head (up to the first "/"
// from the third character on) stays, then "..", then as many trailing elements as fit; the last
// element stays even when the result is still too wide. A path that fits is returned unchanged.
std::string ShortenPathToWidth(const std::string& path, int width, const TextMeasure& measure);

// A count of millions and units with "." grouping the thousands: (0, 1234) gives "1.234",
// (12, 345) gives "12.000.345".
std::string FormatDottedNumber(int64_t millions, int64_t units);
// The same for a plain count.
std::string FormatDottedNumber(int64_t count);

// Creates a directory with all missing parents; true when the whole path is an enterable
// directory afterwards. Failed creations are ignored (the result tells). Never changes the
// current directory.
bool CreateDirectoryPath(const std::string& path, FileSystem* fs = nullptr);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_PATH_HELPERS_H_
