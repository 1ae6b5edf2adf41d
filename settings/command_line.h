// The editor's command line before any window exists: `zarnoft --help` and `zarnoft --version`
// print their German text and end the program, so that they work without a display. Everything
// else (the collection to open, Qt's own options) is left to the application.
#ifndef ZARNOFT_SETTINGS_COMMAND_LINE_H_
#define ZARNOFT_SETTINGS_COMMAND_LINE_H_

#include <string>
#include <vector>

namespace zarnoft {

struct EditorAufruf {
  bool beenden = false;  // print `text` on stdout and end with status 0
  std::string text;
};

// Looks at the first argument only: the one argument of the editor names a collection, and a
// collection named "--help" is not worth an exception.
EditorAufruf EditorAufrufLesen(int argc, const char* const* argv);

// The editor's arguments once Qt has taken its own: the collection to open first, without a
// leading "--" (which only says that the next argument is a collection, whatever it looks like).
std::vector<std::string> EditorArgumente(int argc, const char* const* argv);

// The --help text.
const char* EditorHilfe();

}  // namespace zarnoft

#endif  // ZARNOFT_SETTINGS_COMMAND_LINE_H_
