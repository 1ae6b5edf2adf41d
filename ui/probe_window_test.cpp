#include "ui/probe_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "ui/help.h"
#include "ui/ui_test_kit.h"

namespace zarnoft {
namespace {

Gesammelt Probe() {
  Gesammelt g;
  for (int i = 0; i < 3; ++i) {
    Aktion a;
    a.rel = "d/" + std::to_string(i) + ".txt";
    a.herkunft.groesse = 10 - i;
    g.aktionen.push_back(a);
  }
  g.hinweise = {
      "Löschschutz: Dieser Lauf würde in /z 30 von 40 Dateien löschen (75 %) und "
      "fragt vorher."};
  return g;
}

// The keyboard never starts a real run by accident: Enter and Esc close the window; the run
// starts by its button only. A heading's click sorts and marks the column.
TEST(TProbelaufTest, KeysCloseHeadingsSortAndTheButtonStartsTheRun) {
  std::vector<std::string> antworten = {"Der Auftrag läuft bereits.", ""};
  int gestartet = 0;
  Probefenster::Jetzt jetzt = [&] {
    ++gestartet;
    std::string a = antworten.front();
    antworten.erase(antworten.begin());
    return a;
  };
  for (int taste : {Qt::Key_Return, Qt::Key_Escape}) {
    QPointer<TProbelauf> w = new TProbelauf(nullptr, ProbeListe("/q", "/z", Probe()), jetzt);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_TRUE(w->findChild<QLabel*>("Warnung")->isVisible());
    EXPECT_EQ(w->findChild<QLabel*>("Zaehlung")->text(), "kopieren > Ziel: 3 (27 Bytes)");
    EXPECT_FALSE(w->findChild<QLabel*>("Fehler")->isVisible());
    QTest::keyClick(w->Tabelle(), static_cast<Qt::Key>(taste));
    EXPECT_TRUE(testing::Warten([&] { return w.isNull(); })) << taste;
  }
  EXPECT_EQ(gestartet, 0);

  QPointer<TProbelauf> w = new TProbelauf(nullptr, ProbeListe("/q", "/z", Probe()), jetzt);
  w->show();
  QTableView* t = w->Tabelle();
  t->horizontalHeader()->sectionClicked(kProbeHGroesse);
  EXPECT_EQ(w->Zelle(0, kProbePfad), "d/2.txt");
  EXPECT_EQ(w->Zelle(2, kProbeHGroesse), "10");
  EXPECT_TRUE(t->horizontalHeader()->isSortIndicatorShown());
  EXPECT_EQ(t->horizontalHeader()->sortIndicatorSection(), kProbeHGroesse);
  // The run cannot start: a box says why and the window stays.
  QPushButton* knopf = w->findChild<QPushButton*>("Jetzt");
  EXPECT_EQ(knopf->text(), "&Jetzt synchronisieren");
  EXPECT_FALSE(knopf->isDefault());
  QString text;
  testing::BoxBeantworten(QMessageBox::Ok, &text);
  knopf->click();
  EXPECT_EQ(text, "Der Auftrag läuft bereits.");
  QApplication::processEvents();
  EXPECT_FALSE(w.isNull());
  knopf->click();
  EXPECT_EQ(gestartet, 2);
  EXPECT_TRUE(testing::Warten([&] { return w.isNull(); }));
}

// The plan of an undo in the same window: its own title, button, box caption and help.
TEST(TProbelaufTest, TheUndosPlanNamesItsButtonCaptionAndHelpAfterTheUndo) {
  Probefenster::Jetzt jetzt = [] { return std::string("Der Auftrag läuft gerade."); };
  QPointer<TProbelauf> w =
      new TProbelauf(nullptr, ProbeListe("/q", "/z", Probe(), ProbeZweck::kRueckgaengig), jetzt);
  w->show();
  EXPECT_EQ(w->windowTitle(), "Rückgängig – /q → /z");
  EXPECT_EQ(HilfeKontext(w), 112);
  QPushButton* knopf = w->findChild<QPushButton*>("Jetzt");
  EXPECT_EQ(knopf->text(), "&Jetzt rückgängig machen");
  QString titel;
  testing::BeiModal([&titel](QWidget* box) {
    titel = box->windowTitle();
    if (auto* b = qobject_cast<QMessageBox*>(box)) b->accept();
  });
  knopf->click();
  EXPECT_EQ(titel, "Letzten Lauf rückgängig machen");
  w->close();
  EXPECT_TRUE(testing::Warten([&] { return w.isNull(); }));
}

}  // namespace
}  // namespace zarnoft
