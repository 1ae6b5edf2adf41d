// The log writer's questions as Qt message boxes: the failure question (Abbrechen, Wiederholen,
// Ignorieren) and the error of a log file that cannot be set up.
//
// The writer calls on the thread whose log line failed. On the GUI thread the box is modal there;
// from a run's thread it is a request on the GUI caller, shown without a nested event loop, and
// a box closed without an answer, or a program that is closing, counts as Ignorieren (the log
// goes on trying, nothing is lost).
#ifndef ZARNOFT_UI_LOG_QUESTION_H_
#define ZARNOFT_UI_LOG_QUESTION_H_

#include "log/log_writer.h"
#include "platform/gui_call.h"

namespace zarnoft {

class QtLogFrage : public LogFrage {
 public:
  // `gui` must outlive the object; hand it to the writer with LogSchreiber::SetFrage.
  explicit QtLogFrage(GuiCaller* gui) : gui_(gui) {}

  LogAntwort FehlerFrage(const std::string& titel, const std::string& text) override;
  void StartFehler(const std::string& meldung) override;

 private:
  GuiCaller* gui_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_UI_LOG_QUESTION_H_
