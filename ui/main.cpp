// The editor's entry point: the application with its German texts and error handler, then the
// main window.
#include "platform/date_time.h"
#include "ui/application.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
  zarnoft::PinTimeZone();
  zarnoft::ZarnoftAnwendung app(argc, argv);
  zarnoft::TZarnoft window;
  window.show();
  return app.exec();
}
