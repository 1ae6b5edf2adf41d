// The editor's application object: German texts for Qt's own buttons and dialogs, the
// application title, and the general error handler.
//
// An exception that reaches the event loop (a refused settings write, "Kann nicht nach <path>
// schreiben", or any other std::exception thrown by a handler) is not fatal: it is shown in an
// error box captioned with the application title, written to the log at level 1, and the program
// goes on with the next event.
//
// GUI thread only.
#ifndef ZARNOFT_UI_APPLICATION_H_
#define ZARNOFT_UI_APPLICATION_H_

#include <QApplication>
#include <QString>

#include "editor/general_error.h"

namespace zarnoft {

// Installs Qt's German translation (standard buttons read "Ja", "Nein", "Abbrechen") and makes
// German the default locale. The translator lives as long as the application.
void DeutschEinrichten(QApplication* app);

// The general error box: error icon, one OK button, the application title as caption, the text
// with "." appended; it is logged at level 1 first (texts from editor/general_error.h).
void AllgemeinerFehler(const QString& text);

class ZarnoftAnwendung : public QApplication {
 public:
  ZarnoftAnwendung(int& argc, char** argv);

  // Delivers the event; an exception thrown while handling it goes to AllgemeinerFehler.
  bool notify(QObject* empfaenger, QEvent* ereignis) override;
};

}  // namespace zarnoft

#endif  // ZARNOFT_UI_APPLICATION_H_
