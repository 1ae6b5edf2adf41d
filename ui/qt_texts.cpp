#include "ui/qt_texts.h"

#include <QApplication>

namespace zarnoft {

QString MeldungsText(const std::string& text) {
  QString t = Q(text);
  t.replace('\r', '\n');
  return t;
}

QIcon StandardSymbol(const char* themen_name, QStyle::StandardPixmap ersatz) {
  return QIcon::fromTheme(themen_name, QApplication::style()->standardIcon(ersatz));
}

}  // namespace zarnoft
