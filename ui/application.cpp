#include "ui/application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <exception>

#include "log/log_writer.h"
#include "ui/program_icon.h"

namespace zarnoft {

void DeutschEinrichten(QApplication* app) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  auto* qt_de = new QTranslator(app);
  if (qt_de->load(QLocale(QLocale::German), "qtbase", "_",
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app->installTranslator(qt_de);
}

void AllgemeinerFehler(const QString& text) {
  const std::string fehler = text.toStdString();
  LogZeile(kAllgemeinerFehlerStufe, AllgemeinerFehlerLogZeile(fehler));
  QMessageBox box(QMessageBox::Critical, kAnwendungsTitel,
                  QString::fromStdString(AllgemeinerFehlerText(fehler)), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

ZarnoftAnwendung::ZarnoftAnwendung(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("zarnoft");
  // The desktop entry's name, so that the desktop shows the entry's icon and name for our
  // windows; the icon itself for every window.
  setDesktopFileName("zarnoft");
  setWindowIcon(ProgrammSymbol());
  // The title is not made the display name: Qt would append it to every window caption.
  DeutschEinrichten(this);
}

bool ZarnoftAnwendung::notify(QObject* empfaenger, QEvent* ereignis) {
  try {
    return QApplication::notify(empfaenger, ereignis);
  } catch (const std::exception& e) {
    AllgemeinerFehler(QString::fromStdString(e.what()));
  } catch (...) {
    AllgemeinerFehler("Unbekannter Fehler");
  }
  return false;
}

}  // namespace zarnoft
