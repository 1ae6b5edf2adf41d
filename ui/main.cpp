// The editor's entry point: the application with its German texts and general error handler,
// then the editor's windows in their order, then the event loop until the main window closes.
#include "platform/date_time.h"
#include "ui/application.h"
#include "ui/editor.h"

int main(int argc, char** argv) {
  zarnoft::PinTimeZone();
  zarnoft::ZarnoftAnwendung app(argc, argv);
  std::vector<std::string> argumente(argv + 1, argv + argc);
  zarnoft::Editor editor(zarnoft::DateiOrteDesProgramms());
  editor.Zeigen(argumente);
  return app.exec();
}
