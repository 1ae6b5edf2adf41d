// Helpers for the tests of the Qt windows: waiting with the event loop running, and answering
// modal boxes and dialogs that a command opens.
#ifndef ZARNOFT_UI_UI_TEST_KIT_H_
#define ZARNOFT_UI_UI_TEST_KIT_H_

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

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
    // As read: without the invisible joiners that keep paths on one line.
    if (text != nullptr) *text = box->text().remove(QChar(0x2060));
    if (QAbstractButton* b = box->button(knopf)) b->click();
  });
}

// The texts of `fenster` that are cut: every visible label (one line, not wrapped), check box,
// radio button and group title whose text is wider than the room its widget gives it, as
// "<name>: <text>". Empty when everything can be read whole.
inline std::vector<std::string> AbgeschnitteneTexte(QWidget* fenster) {
  std::vector<std::string> cut;
  auto melden = [&cut](QWidget* w, const QString& text) {
    cut.push_back(
        (w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName())
            .toStdString() +
        ": " + text.toStdString());
  };
  for (QWidget* w : fenster->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(fenster)) continue;
    if (auto* l = qobject_cast<QLabel*>(w)) {
      if (l->wordWrap() || l->text().isEmpty() || Qt::mightBeRichText(l->text())) continue;
      QString text = l->text();
      text.remove('&');
      if (l->fontMetrics().horizontalAdvance(text) > l->contentsRect().width() - 2 * l->margin())
        melden(l, l->text());
    } else if (qobject_cast<QCheckBox*>(w) != nullptr ||
               qobject_cast<QRadioButton*>(w) != nullptr) {
      auto* b = static_cast<QAbstractButton*>(w);
      if (b->width() < b->sizeHint().width()) melden(b, b->text());
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
      QString titel = g->title();
      titel.remove('&');
      if (g->fontMetrics().horizontalAdvance(titel) > g->width() - 16) melden(g, g->title());
    }
  }
  return cut;
}

}  // namespace zarnoft::testing

#endif  // ZARNOFT_UI_UI_TEST_KIT_H_
