// Small conversions between the core's texts and Qt's, shared by the windows.
#ifndef ZARNOFT_UI_QT_TEXTS_H_
#define ZARNOFT_UI_QT_TEXTS_H_

#include <QIcon>
#include <QString>
#include <QStyle>
#include <string>

namespace zarnoft {

inline QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
inline std::string S(const QString& s) {
  return s.toStdString();
}

// A message text of the core, whose lines are broken by "\r", for a Qt message box. Paths in it
// are kept from breaking at their "/" (an invisible joiner follows each "/"), so that the box
// breaks lines between words only.
QString MeldungsText(const std::string& text);

// An icon of the desktop's theme by its freedesktop name, or Qt's built-in one when the theme
// has none.
QIcon StandardSymbol(const char* themen_name, QStyle::StandardPixmap ersatz);

}  // namespace zarnoft

#endif  // ZARNOFT_UI_QT_TEXTS_H_
