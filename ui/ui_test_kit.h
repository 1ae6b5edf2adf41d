// Helpers for the tests of the Qt windows: waiting with the event loop running, and answering
// modal boxes and dialogs that a command opens.
#ifndef ZARNOFT_UI_UI_TEST_KIT_H_
#define ZARNOFT_UI_UI_TEST_KIT_H_

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <functional>

namespace zarnoft::testing {

// Runs the event loop until `bedingung` holds or `ms` have passed; returns the condition.
inline bool Warten(const std::function<bool()>& bedingung, int ms = 10000) {
  QElapsedTimer t;
  t.start();
  while (!bedingung()) {
    if (t.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// The next modal window that opens (a message box, a file dialog) is handed to `tun` from a
// timer, so that a command that waits in it can go on.
inline void BeiModal(std::function<void(QWidget*)> tun) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, tun] {
    QWidget* w = QApplication::activeModalWidget();
    if (w == nullptr) return;
    timer->stop();
    timer->deleteLater();
    tun(w);
  });
  timer->start();
}

// Answers the next message box with one of its standard buttons; the box's text goes to *text.
inline void BoxBeantworten(QMessageBox::StandardButton knopf, QString* text = nullptr) {
  BeiModal([knopf, text](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box == nullptr) return;
    if (text != nullptr) *text = box->text();
    if (QAbstractButton* b = box->button(knopf)) b->click();
  });
}

}  // namespace zarnoft::testing

#endif  // ZARNOFT_UI_UI_TEST_KIT_H_
