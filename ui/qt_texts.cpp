#include "ui/qt_texts.h"

#include <QApplication>

namespace zarnoft {

namespace {

// A path up to this length stands whole on one line of a box.
constexpr qsizetype kPfadAmStueck = 60;
// WORD JOINER: no line break on either side, and nothing to see.
constexpr char16_t kWortVerbinder = 0x2060;

}  // namespace

QString MeldungsText(const std::string& text) {
  QString t = Q(text);
  t.replace('\r', '\n');
  // The box's line breaking would break a path after any "/" ("/ tmp/b/BIG"). A path is kept on
  // one line by joining each "/" to what follows it; a very long one still breaks at its "/",
  // but never right after its leading one.
  QString aus;
  aus.reserve(t.size() + t.size() / 8);
  qsizetype wort_anfang = 0;
  for (qsizetype i = 0; i < t.size(); ++i) {
    const QChar c = t[i];
    if (c.isSpace()) wort_anfang = i + 1;
    aus += c;
    if (c != '/' || i + 1 >= t.size() || t[i + 1].isSpace()) continue;
    qsizetype wort_ende = i;
    while (wort_ende < t.size() && !t[wort_ende].isSpace()) ++wort_ende;
    if (i == wort_anfang || wort_ende - wort_anfang <= kPfadAmStueck) aus += QChar(kWortVerbinder);
  }
  return aus;
}

QIcon StandardSymbol(const char* themen_name, QStyle::StandardPixmap ersatz) {
  return QIcon::fromTheme(themen_name, QApplication::style()->standardIcon(ersatz));
}

}  // namespace zarnoft
