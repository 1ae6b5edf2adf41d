// Texts made safe for a line-oriented log or a terminal: a file name may hold any byte but "/"
// and NUL, and a line feed, a carriage return or an escape sequence in a name must neither start
// a forged log line nor steer a terminal. One name is always one line.
#ifndef ZARNOFT_LOG_LOG_ESCAPE_H_
#define ZARNOFT_LOG_LOG_ESCAPE_H_

#include <string>

namespace zarnoft {

// Writes control characters as C escapes ("\n", "\r", "\t", others and DEL as "\x1b"), bytes that
// are not UTF-8 (and the C1 controls) as "\xff", and the backslash itself as "\\", so that the
// text can be read back unambiguously. Valid UTF-8 text passes unchanged. With `zeilen` the
// carriage return, which the program's own messages use as their line break, is left as it is.
std::string EscapeControls(const std::string& text, bool zeilen = false);

}  // namespace zarnoft

#endif  // ZARNOFT_LOG_LOG_ESCAPE_H_
