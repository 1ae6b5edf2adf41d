// Shared by the files of Hauptfenster only: the command wrapper and the fixed texts of the
// dialogs. Not part of the window's interface.
#ifndef ZARNOFT_EDITOR_MAIN_WINDOW_INTERNAL_H_
#define ZARNOFT_EDITOR_MAIN_WINDOW_INTERNAL_H_

#include <exception>
#include <string>

#include "editor/main_window.h"

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

// The source or target typed into a field, made fit for a job: blanks at the ends removed, "~"
// for the home directory expanded, trailing "/" removed ("/" itself stays). False with a German
// message in *fehler when no absolute path results (empty, or relative).
bool JobPfadAusFeld(const std::string& feld, std::string* pfad, std::string* fehler);

// Whether `pfad` can be opened as a job collection. A missing file counts as one (it reads as an
// empty collection and is created by saving). Otherwise false with a German message naming the
// path: a directory, a special file, an unreadable file, a file that holds binary data.
enum class SammlungsPruefung { kLesbar, kFehlt, kUngeeignet };
SammlungsPruefung SammlungPruefen(const std::string& pfad, FileSystem* fs, std::string* fehler);

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_MAIN_WINDOW_INTERNAL_H_
