// The application's general error handler, as text: what an error that reaches the event loop
// (a refused settings write, "Kann nicht nach <path> schreiben") shows and logs. The main window
// logic uses it for errors of its commands, the Qt application object for anything else that
// reaches the event loop, so that both read the same. Any thread (no state).
#ifndef ZARNOFT_EDITOR_GENERAL_ERROR_H_
#define ZARNOFT_EDITOR_GENERAL_ERROR_H_

#include <string>

#include "log/log.h"

namespace zarnoft {

// The application title: the task bar, and the caption of the general error box.
inline constexpr const char* kAnwendungsTitel = "Zarnoft - Einstellungen";
// The level of the general error's log line.
inline constexpr LogStufe kAllgemeinerFehlerStufe = LogStufe::kWarnung;

// The box text (stop icon, one OK button): the error's text with "." appended.
inline std::string AllgemeinerFehlerText(const std::string& fehler) {
  return fehler + ".";
}
// The log line.
inline std::string AllgemeinerFehlerLogZeile(const std::string& fehler) {
  return "Main: " + fehler + ".";
}

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_GENERAL_ERROR_H_
