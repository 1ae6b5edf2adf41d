#include "ui/help.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

namespace zarnoft {
namespace {

TEST(HilfeDatei, HasATopicForEveryContextNumberOfTheWindowsAndNoDeadLink) {
  const HilfeDatei& d = HilfeDatei::Eingebaut();
  for (int n :
       {1, 5, 12, 100, 101, 103, 104, 105, 106, 107, 108, 111, 112, 300, 301, 302, 303, 304}) {
    ASSERT_NE(d.Thema(n), nullptr) << n;
    QString html = d.Html(n);
    EXPECT_FALSE(html.contains('{')) << n << ": unresolved link";
  }
  EXPECT_EQ(d.Thema(2), nullptr);
}

TEST(HilfeDatei, ParsesParagraphsBulletsLinksAndEscapes) {
  HilfeDatei d = HilfeDatei::Lesen(
      "# comment\nbefore\n= 7 Eins <b>\nA line\ncontinued.\n\n- erster\n- zweiter {8}\n"
      "after {99}\n=8 Zwei\nText\n");
  ASSERT_EQ(d.Themen().size(), 2);
  EXPECT_EQ(d.Themen()[0].titel, "Eins <b>");
  EXPECT_EQ(d.Html(7),
            "<h3>Eins &lt;b&gt;</h3><p>A line continued.</p><ul><li>erster</li>"
            "<li>zweiter <a href=\"thema:8\">Zwei</a></li></ul><p>after {99}</p>");
  // A pop-up cannot follow a link: the sentence keeps its words, the topic is listed below.
  EXPECT_EQ(d.PopupHtml(7),
            "<h3>Eins &lt;b&gt;</h3><p>A line continued.</p><ul><li>erster</li>"
            "<li>zweiter</li></ul><p>after {99}</p>"
            "<p>Siehe auch:</p><ul><li>Zwei</li></ul>");
  EXPECT_EQ(d.Suchen("ZWEI"), QList<int>({7, 8}));
  EXPECT_EQ(d.Suchen("zweiter erster"), QList<int>({7}));
  EXPECT_EQ(d.Suchen(""), QList<int>({7, 8}));
}

TEST(HilfeFenster, F1ShowsTheTopicOfTheNearestParentAndLinksAndBackWork) {
  QWidget fenster;
  HilfeKontextSetzen(&fenster, 100);
  auto* feld = new QLineEdit(&fenster);
  auto* gruppe = new QWidget(&fenster);
  HilfeKontextSetzen(gruppe, 105);
  auto* innen = new QLineEdit(gruppe);
  HilfeFenster hilfe(&fenster);
  HilfeTasteEinrichten(&hilfe);
  fenster.show();
  fenster.activateWindow();

  innen->setFocus();
  QTest::keyClick(innen, Qt::Key_F1);
  EXPECT_TRUE(hilfe.isVisible());
  EXPECT_EQ(hilfe.AktuellesThema(), 105);

  feld->setFocus();
  QTest::keyClick(feld, Qt::Key_F1);
  EXPECT_EQ(hilfe.AktuellesThema(), 100);
  // The main window's topic links to the new-collection topic; back returns.
  emit hilfe.Browser()->anchorClicked(QUrl("thema:101"));
  EXPECT_EQ(hilfe.AktuellesThema(), 101);
  for (auto* b : hilfe.findChildren<QPushButton*>())
    if (b->text() == "&Zurück") b->click();
  EXPECT_EQ(hilfe.AktuellesThema(), 100);
}

TEST(HilfeFenster, SearchFiltersTheTopicListAndEnterOpensTheFirst) {
  HilfeFenster hilfe(nullptr);
  hilfe.SuchenZeigen();
  QTest::keyClicks(hilfe.SuchFeld(), "verschieben");
  ASSERT_GE(hilfe.Liste()->count(), 1);
  EXPECT_LT(hilfe.Liste()->count(), HilfeDatei::Eingebaut().Themen().size());
  QTest::keyClick(hilfe.SuchFeld(), Qt::Key_Return);
  EXPECT_TRUE(hilfe.Browser()->toPlainText().contains("verschieben", Qt::CaseInsensitive));
  QTest::keyClick(&hilfe, Qt::Key_Escape);
  EXPECT_FALSE(hilfe.isVisible());
}

}  // namespace
}  // namespace zarnoft
