// The editor's entry point: German texts for Qt's own buttons, then the main window.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/date_time.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
  zarnoft::PinTimeZone();
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QTranslator qt_de;
  if (qt_de.load(QLocale(QLocale::German), "qtbase", "_",
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&qt_de);

  zarnoft::TZarnoft window;
  window.show();
  return app.exec();
}
