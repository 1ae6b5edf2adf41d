// Shared by the files of Hauptfenster only: the command wrapper and the fixed texts of the
// dialogs. Not part of the window's interface.
#ifndef ZARNOFT_EDITOR_MAIN_WINDOW_INTERNAL_H_
#define ZARNOFT_EDITOR_MAIN_WINDOW_INTERNAL_H_

#include <exception>
#include <string>

#include "editor/main_window.h"
#include "jobs/job_take.h"

namespace zarnoft {

// The caption without a collection; with one it is kFensterTitel + " - " + file name.
inline constexpr const char* kFensterTitel = "Zarnoft";

// Runs one command. An error that would otherwise reach the event loop ends the command there
// and is shown by the general error handler; the program goes on.
template <typename F>
void Hauptfenster::Befehl(F f) {
  try {
    f();
  } catch (const std::exception& e) {
    AllgemeinerFehler(e.what());
  }
}

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_MAIN_WINDOW_INTERNAL_H_
