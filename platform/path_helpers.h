// Path helpers shared by the windows, the runs and the job editor: the parts of a path, the one
// rule for a trailing "/" and for joining, a path as typed (trimmed, "~" for the home directory),
// a path shortened for display, and a directory created with its parents. Paths are byte strings
// with "/" as separator. Any thread.
#ifndef ZARNOFT_PLATFORM_PATH_HELPERS_H_
#define ZARNOFT_PLATFORM_PATH_HELPERS_H_

#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_system.h"

namespace zarnoft {

// A root keeps no trailing "/": "/home/anna/" gives "/home/anna", and the root "/" itself becomes
// the empty string, so that root + "/" + name reads "/name".
std::string StripTrailingSlash(const std::string& path);
// A directory with its final "/", appended when missing: "/a" gives "/a/", "" (the root "/" as a
// root is written) gives "/".
std::string WithTrailingSlash(const std::string& path);
// `dir` and `name` joined with a "/" between them when `dir` lacks one; an empty `dir` gives
// `name` alone.
std::string JoinPath(const std::string& dir, const std::string& name);
// A path as the user typed it: blanks, tabs and line ends around it cut off, and a leading "~"
// (alone or before "/") replaced by `home`: "~" gives `home`, "~/a" gives JoinPath(home, "a").
// An empty `home` (none known) leaves the "~" as it stands.
std::string TrimmedWithHome(const std::string& text, const std::string& home);
// The directory part including its final "/", or "" when there is none.
std::string DirectoryPart(const std::string& path);
// The part after the last "/".
std::string NamePart(const std::string& path);
// The n-th version of a path that must not replace what stands under its name: n = 1 gives the
// path itself, n >= 2 gives " (n)" before the extension of its last element (from its last "."
// on, a leading "." not counting): "/a/Brief.doc" gives "/a/Brief (2).doc", "/a/.profile" gives
// "/a/.profile (2)".
std::string NumberedPath(const std::string& path, int n);

// The pixel width of a text in some font. The Qt layer passes its font metrics; tests pass a
// fixed width per character. Called on the thread that calls ShortenPathToWidth.
using TextMeasure = std::function<int(const std::string&)>;

// Fits a path into `width` by replacing its middle with "..": the head (up to the first "/"
// from the third character on) stays, then "..", then as many trailing elements as fit; the last
// element stays even when the result is still too wide. A path that fits is returned unchanged.
std::string ShortenPathToWidth(const std::string& path, int width, const TextMeasure& measure);

// Creates a directory with all missing parents; true when the whole path is an enterable
// directory afterwards. Failed creations are ignored (the result tells). Never changes the
// current directory.
bool CreateDirectoryPath(const std::string& path, FileSystem* fs = nullptr);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_PATH_HELPERS_H_
