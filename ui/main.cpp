// The editor's entry point: the application with its German texts and general error handler,
// then the editor's windows in their order, then the event loop until the main window closes.
#include <cstdio>

#include "platform/date_time.h"
#include "platform/stop_signals.h"
#include "settings/command_line.h"
#include "ui/application.h"
#include "ui/editor.h"

int main(int argc, char** argv) {
  // --help and --version answer before Qt looks for a display.
  const zarnoft::EditorAufruf aufruf = zarnoft::EditorAufrufLesen(argc, argv);
  if (aufruf.beenden) {
    std::fputs(aufruf.text.c_str(), stdout);
    return 0;
  }
  zarnoft::PinTimeZone();
  // Before any thread starts: SIGHUP, SIGTERM and SIGINT close the editor cleanly.
  zarnoft::StoppSignaleEinrichten();
  zarnoft::ZarnoftAnwendung app(argc, argv);
  const std::vector<std::string> argumente = zarnoft::EditorArgumente(argc, argv);
  zarnoft::Editor editor(zarnoft::DateiOrteDesProgramms());
  editor.Zeigen(argumente);
  return app.exec();
}
