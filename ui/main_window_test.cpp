#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <map>
#include <vector>

#include "testing/recording_log.h"
#include "testing/temp_tree.h"
#include "ui/help.h"
#include "ui/probe_window.h"
#include "ui/ui_test_kit.h"

namespace zarnoft {
namespace {

// Records the runs that the window starts; they end when the test says so.
class Starter : public LaufStarter {
 public:
  struct Lauf {
    VergleichsWerte werte;
    Ende ende;
    bool gestoppt = false;
    LaufHandle griff;
    std::shared_ptr<LaufBericht> bericht;
  };
  std::vector<Lauf> laeufe;

  LaufHandle Starten(const VergleichsWerte& w, Ende ende,
                     std::shared_ptr<LaufBericht> bericht) override {
    // A handle of no thread: the run ends when the test says so.
    laeufe.push_back({w, std::move(ende), false, LaufHandle::Neu(), std::move(bericht)});
    return laeufe.back().griff;
  }
  struct Rueckgaengig {
    RueckgaengigWerte werte;
    RueckgaengigEnde ende;
    LaufHandle griff;
  };
  std::vector<Rueckgaengig> rueckgaengig;
  LaufHandle RueckgaengigStarten(const RueckgaengigWerte& w, RueckgaengigEnde ende,
                                 std::shared_ptr<LaufBericht>) override {
    rueckgaengig.push_back({w, std::move(ende), LaufHandle::Neu()});
    return rueckgaengig.back().griff;
  }
  void StopAnfordern(LaufHandle) override {
    for (Lauf& l : laeufe) l.gestoppt = true;
  }
  void Schliessen() override {}
};

class TZarnoftTest : public ::testing::Test {
 protected:
  TZarnoftTest() {
    tree_.Write("prog/Main.sda", "[Data]\nSofortSync=0\n");
    dienste_.log = &log_;
    dienste_.laeufe = &starter_;
    w_ = std::make_unique<TZarnoft>(dienste_);
    w_->FormCreate(PortableDateiOrte(tree_.Path("prog/")));
    w_->show();
    w_->Logik().FormShow({});
  }
  ~TZarnoftTest() override {
    // Nothing changed since the last save answer: close without the question.
    testing::BoxBeantworten(QMessageBox::No);
    w_->close();
  }

  template <typename T>
  T* E(const char* name) {
    return qobject_cast<T*>(w_->Element(name));
  }

  // Types both directories and takes the job.
  void Nehmen(const std::string& herkunft, const std::string& ziel) {
    E<QLineEdit>("Herkunft")->clear();
    QTest::keyClicks(E<QLineEdit>("Herkunft"), QString::fromStdString(herkunft));
    E<QLineEdit>("Ziel")->clear();
    QTest::keyClicks(E<QLineEdit>("Ziel"), QString::fromStdString(ziel));
    E<QToolButton>("Setzen")->click();
  }

  testing::TempTree tree_;
  testing::RecordingLog log_;
  Starter starter_;
  HauptDienste dienste_;
  std::unique_ptr<TZarnoft> w_;
};

TEST_F(TZarnoftTest, TakeFetchAndDeleteThroughTheWidgets) {
  EXPECT_FALSE(E<QToolButton>("Setzen")->isEnabled());
  Nehmen(tree_.Mkdir("a"), tree_.Mkdir("b"));
  Nehmen(tree_.Mkdir("c"), tree_.Mkdir("d"));
  QTableWidget* grid = w_->Anzeige();
  ASSERT_EQ(grid->rowCount(), 2);
  // The newest job comes first; its path is shortened to the column where it does not fit.
  EXPECT_TRUE(grid->item(0, 1)->text().endsWith("/c")) << grid->item(0, 1)->text().toStdString();
  EXPECT_EQ(grid->item(1, 0)->text(), "1:abgbr.");
  EXPECT_EQ(w_->PanelText(1), "Geändert");
  EXPECT_TRUE(starter_.laeufe.empty());  // "SofortSync" is off

  // Fetch the second row of kind 2 after changing the fields.
  E<QComboBox>("Art")->setCurrentIndex(1);
  emit E<QComboBox>("Art")->activated(1);
  EXPECT_EQ(E<QLabel>("LDoppelt")->text(), "Wann:");
  grid->setCurrentCell(1, 0);
  E<QToolButton>("Holen")->click();
  EXPECT_EQ(E<QLineEdit>("Herkunft")->text().toStdString(), tree_.Path("a"));
  EXPECT_EQ(E<QComboBox>("Art")->currentIndex(), 0);
  EXPECT_EQ(E<QComboBox>("Doppelt")->count(), 6);

  // Run it now, then delete it while it runs: the run is asked to stop.
  E<QToolButton>("SyncNow")->click();
  ASSERT_EQ(starter_.laeufe.size(), 1u);
  EXPECT_EQ(starter_.laeufe[0].werte.Herkunft, tree_.Path("a"));
  EXPECT_FALSE(E<QToolButton>("SyncNow")->isEnabled());
  EXPECT_EQ(E<QLabel>("LAnzVergl")->text(), "Anzahl laufender Vergleiche im Hintergrund: 1");
  E<QToolButton>("Loesch")->click();
  EXPECT_EQ(grid->rowCount(), 1);
  EXPECT_TRUE(starter_.laeufe[0].gestoppt);
  LaufErgebnis abgebrochen;
  abgebrochen.abgebrochen = true;
  starter_.laeufe[0].ende(LaufHandle{}, abgebrochen);
  EXPECT_EQ(E<QLabel>("LAnzVergl")->text(), "Anzahl laufender Vergleiche im Hintergrund: 0");
}

TEST_F(TZarnoftTest, TakeOfAMissingDirectoryAsksAndCancelKeepsTheCollectionEmpty) {
  QString frage;
  testing::BoxBeantworten(QMessageBox::Cancel, &frage);
  Nehmen(tree_.Path("fehlt"), tree_.Mkdir("b"));
  EXPECT_EQ(frage.toStdString(), "Das Verzeichnis " + tree_.Path("fehlt") +
                                     " existiert nicht. Soll es erstellt werden?");
  EXPECT_EQ(w_->Anzeige()->rowCount(), 1);
  EXPECT_EQ(w_->Anzeige()->item(0, 1)->text(), "");
}

// "Ausnahmen..." opens the dialog for the job being edited; its list goes into the job that is
// taken next, and the status description names it whole at the smallest size and wider.
TEST_F(TZarnoftTest, TheExclusionsButtonEditsTheJobsPatterns) {
  auto* knopf = E<QPushButton>("Ausnahmen");
  ASSERT_NE(knopf, nullptr);
  EXPECT_EQ(knopf->text(), "Au&snahmen...");
  testing::BeiModal([](QWidget* w) {
    auto* eingabe = w->findChild<QLineEdit*>("Eingabe");
    ASSERT_NE(eingabe, nullptr);
    QTest::keyClicks(eingabe, "*.tmp");
    QTest::keyClick(eingabe, Qt::Key_Return);  // adds; does not close the dialog
    QTest::keyClicks(eingabe, "node_modules/");
    QTest::keyClick(eingabe, Qt::Key_Return);
    if (auto* d = qobject_cast<QDialog*>(w)) d->accept();
  });
  knopf->click();
  EXPECT_EQ(w_->Logik().Ausnahmen(), (std::vector<std::string>{"*.tmp", "node_modules/"}));
  EXPECT_EQ(knopf->text(), "Au&snahmen (2)...");
  Nehmen(tree_.Mkdir("a"), tree_.Mkdir("b"));
  w_->Logik().AnzeigeMouseMove(1);
  EXPECT_EQ(E<QLabel>("Status4")->text(), "Ausnahmen: 2 Muster");
  EXPECT_TRUE(E<QLabel>("Status4")->isVisible());
  for (QSize groesse : {QSize(1, 1), QSize(575, 460)}) {
    w_->resize(groesse + QSize(0, w_->height() - w_->centralWidget()->height()));
    QApplication::processEvents();
    EXPECT_EQ(testing::AbgeschnitteneTexte(w_.get()), std::vector<std::string>());
    EXPECT_GE(knopf->width(), knopf->sizeHint().width());
    EXPECT_LE(knopf->geometry().right(), w_->centralWidget()->width());
    EXPECT_FALSE(knopf->geometry().intersects(E<QWidget>("Anzeige")->geometry()));
    EXPECT_LE(E<QLabel>("Status4")->geometry().bottom(),
              E<QWidget>("Status")->contentsRect().bottom());
  }
}

// A run's failures are listed in the status description, each line within the group (the
// group grows for them and the grid gives the room), until the job's next run.
TEST_F(TZarnoftTest, FailuresOfTheLastRunAreListedInsideTheStatusGroup) {
  Nehmen(tree_.Mkdir("a"), tree_.Mkdir("b"));
  w_->Anzeige()->setCurrentCell(0, 0);
  E<QToolButton>("SyncNow")->click();
  ASSERT_EQ(starter_.laeufe.size(), 1u);
  const std::string lang(300, 'x');
  for (int i = 0; i < 4; ++i)
    starter_.laeufe[0].bericht->Fehler({"Kopieren fehlgeschlagen: /a/" + lang + std::to_string(i),
                                        "Kein Platz mehr auf dem Gerät"});
  const int gruppe = E<QWidget>("Status")->height();
  LaufErgebnis e;
  e.fehler = 4;
  starter_.laeufe[0].ende(starter_.laeufe[0].griff, e);
  QApplication::processEvents();
  auto* fehler = E<QLabel>("Status5");
  EXPECT_TRUE(fehler->isVisible());
  EXPECT_EQ(w_->Anzeige()->item(0, 0)->text(), "1:Fehler");
  EXPECT_EQ(E<QLabel>("Status2")->text(), "Letzter Abgleich mit Fehlern");
  const QStringList zeilen = fehler->text().split('\n');
  ASSERT_EQ(zeilen.size(), 4);
  EXPECT_TRUE(zeilen[0].endsWith("x0: Kein Platz mehr auf dem Gerät")) << zeilen[0].toStdString();
  EXPECT_EQ(zeilen[3], "... und 1 weitere");
  EXPECT_TRUE(fehler->toolTip().contains(QString::fromStdString("/a/" + lang + "0")));
  for (const QString& z : zeilen)
    EXPECT_LE(fehler->fontMetrics().horizontalAdvance(z), fehler->width()) << z.toStdString();
  EXPECT_LE(fehler->geometry().bottom(), E<QWidget>("Status")->contentsRect().bottom());
  const int mit_fehlern = E<QWidget>("Status")->height();
  EXPECT_GT(mit_fehlern, gruppe);

  E<QToolButton>("SyncNow")->click();
  starter_.laeufe[1].ende(starter_.laeufe[1].griff, {});
  QApplication::processEvents();
  EXPECT_FALSE(fehler->isVisible());
  EXPECT_LT(E<QWidget>("Status")->height(), mit_fehlern);
}

// "Extras > Probelauf" runs the selected job as a probe; its end opens the probe window, not
// modal, whose "Jetzt synchronisieren" starts the real run and closes it.
TEST_F(TZarnoftTest, TheProbeMenuEntryOpensTheProbeWindowAtTheProbesEnd) {
  Nehmen(tree_.Mkdir("a"), tree_.Mkdir("b"));
  w_->Anzeige()->setCurrentCell(0, 0);
  w_->findChild<QAction*>("Probelauf1")->trigger();
  ASSERT_EQ(starter_.laeufe.size(), 1u);
  EXPECT_TRUE(starter_.laeufe[0].werte.Probelauf);
  Aktion a;
  a.rel = "neu.txt";
  a.herkunft.groesse = 12;
  starter_.laeufe[0].bericht->Getan(a);
  LaufErgebnis e;
  e.probelauf = true;
  starter_.laeufe[0].ende(starter_.laeufe[0].griff, e);
  auto* probe = w_->findChild<TProbelauf*>();
  ASSERT_NE(probe, nullptr);
  EXPECT_TRUE(probe->isVisible());
  EXPECT_FALSE(probe->isModal());
  EXPECT_EQ(probe->windowTitle().toStdString(),
            "Probelauf – " + tree_.Path("a") + " → " + tree_.Path("b"));
  EXPECT_EQ(probe->Zeilen(), 1);
  probe->findChild<QPushButton*>("Jetzt")->click();
  ASSERT_EQ(starter_.laeufe.size(), 2u);
  EXPECT_FALSE(starter_.laeufe[1].werte.Probelauf);
  EXPECT_TRUE(testing::Warten([&] { return w_->findChild<TProbelauf*>() == nullptr; }));
  starter_.laeufe[1].ende(starter_.laeufe[1].griff, {});
}

// "Extras > Letzten Lauf rückgängig machen" shows the undo's plan in the probe window, with the
// undo's button.
TEST_F(TZarnoftTest, TheUndoMenuEntryShowsThePlanInTheProbeWindow) {
  Nehmen(tree_.Mkdir("a"), tree_.Mkdir("b"));
  w_->Anzeige()->setCurrentCell(0, 0);
  QAction* eintrag = w_->findChild<QAction*>("Rueckgaengig1");
  ASSERT_NE(eintrag, nullptr);
  EXPECT_EQ(eintrag->text(), "&Letzten Lauf rückgängig machen");
  eintrag->trigger();
  ASSERT_EQ(starter_.rueckgaengig.size(), 1u);
  EXPECT_TRUE(starter_.rueckgaengig[0].werte.Probelauf);
  RueckgaengigErgebnis e;
  e.lauf = "20261209T051500Z";
  starter_.rueckgaengig[0].ende(starter_.rueckgaengig[0].griff, e);
  auto* plan = w_->findChild<TProbelauf*>();
  ASSERT_NE(plan, nullptr);
  EXPECT_EQ(plan->findChild<QPushButton*>("Jetzt")->text(), "&Jetzt rückgängig machen");
  plan->close();
  EXPECT_TRUE(testing::Warten([&] { return w_->findChild<TProbelauf*>() == nullptr; }));
}

// The window's access keys - the menu bar's and those of the controls - are each used once, so
// that Alt with a letter always reaches one place ("Au&snahmen..." among them).
TEST_F(TZarnoftTest, AccessKeysDoNotClash) {
  std::map<QChar, QString> tasten;
  auto taste = [&](const QString& text) {
    const int i = text.indexOf('&');
    if (i < 0 || i + 1 >= text.size()) return;
    const QChar c = text[i + 1].toLower();
    EXPECT_EQ(tasten.count(c), 0u) << text.toStdString() << " / " << tasten[c].toStdString();
    tasten[c] = text;
  };
  for (QAction* a : w_->menuBar()->actions()) taste(a->text());
  for (QWidget* c : w_->centralWidget()->findChildren<QWidget*>()) {
    if (auto* l = qobject_cast<QLabel*>(c); l != nullptr && l->buddy() != nullptr) taste(l->text());
    if (auto* k = qobject_cast<QAbstractButton*>(c)) taste(k->text());
  }
  EXPECT_EQ(tasten.count('s'), 1u);
  // Within each menu, too ("&Probelauf" beside "&Einstellungen").
  for (QAction* m : w_->menuBar()->actions()) {
    tasten.clear();
    for (QAction* a : m->menu()->actions()) taste(a->text());
  }
  EXPECT_EQ(tasten.size(), 4u);  // the help menu's
  QAction* probe = w_->findChild<QAction*>("Probelauf1");
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->text(), "&Probelauf");
}

// Every visible control lies inside the client area, no two overlap, and no text is wider than
// its control, at the smallest size and wider, for each kind.
TEST_F(TZarnoftTest, NothingOverlapsAndNoTextIsCut) {
  for (QSize groesse : {QSize(427, 416), QSize(475, 500), QSize(800, 600)}) {
    for (int art = 0; art < 3; ++art) {
      E<QComboBox>("Art")->setCurrentIndex(art);
      emit E<QComboBox>("Art")->activated(art);
      w_->centralWidget()->setMinimumSize(0, 0);
      w_->resize(groesse + QSize(0, w_->height() - w_->centralWidget()->height()));
      QApplication::processEvents();
      QWidget* client = w_->centralWidget();
      std::vector<QWidget*> sichtbar;
      for (QWidget* c : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (c->isVisible() && c->objectName() != "StatusBar") sichtbar.push_back(c);
      for (QWidget* c : sichtbar) {
        SCOPED_TRACE(c->objectName().toStdString() + " " + std::to_string(groesse.width()));
        EXPECT_TRUE(client->rect().contains(c->geometry())) << c->metaObject()->className();
        if (auto* l = qobject_cast<QLabel*>(c)) {
          QString text = l->text();
          text.remove('&');
          EXPECT_LE(l->fontMetrics().horizontalAdvance(text), l->contentsRect().width())
              << l->text().toStdString();
        }
        for (QWidget* d : sichtbar) {
          if (c < d) {
            EXPECT_FALSE(c->geometry().intersects(d->geometry()))
                << c->objectName().toStdString() << " / " << d->objectName().toStdString();
          }
        }
      }
    }
  }
}

// A kind-1 job that ran, described at the smallest size, at the size of a first start and wide:
// every text of the window can be read whole, the status description's included, and the
// window is laid out for the width it has.
TEST_F(TZarnoftTest, EveryTextFitsAtTheSmallestTheDefaultAndAWideSize) {
  Nehmen(tree_.Mkdir("quelle/mit/einem/langen/namen"), tree_.Mkdir("ziel"));
  w_->Anzeige()->setCurrentCell(0, 0);
  w_->Logik().SyncNowClick();
  starter_.laeufe.back().ende(starter_.laeufe.back().griff, {});
  w_->Logik().AnzeigeMouseMove(1);
  ASSERT_EQ(E<QLabel>("Status3")->text(), "(Nachfragen bei doppelter Änderung)");
  ASSERT_TRUE(E<QLabel>("Status2")->text().startsWith("Letzter um "));
  for (QSize groesse : {QSize(1, 1), QSize(575, 460), QSize(1000, 700)}) {
    SCOPED_TRACE(groesse.width());
    w_->resize(groesse + QSize(0, w_->height() - w_->centralWidget()->height()));
    QApplication::processEvents();
    const int b = w_->centralWidget()->width();
    EXPECT_EQ(testing::AbgeschnitteneTexte(w_.get()), std::vector<std::string>());
    EXPECT_EQ(w_->Anzeige()->width(), b);
    EXPECT_EQ(w_->Element("StatusBar")->width(), b);
    EXPECT_LE(w_->Element("Zeiten")->geometry().right(), b);
  }
}

TEST_F(TZarnoftTest, HintsShowAsToolTipsAndTheirLongPartInPanelZero) {
  QWidget* setzen = w_->Element("Setzen");
  EXPECT_EQ(setzen->toolTip(), "Vergleich in Liste übernehmen");
  QStatusTipEvent tip(setzen->statusTip());
  QApplication::sendEvent(w_.get(), &tip);
  EXPECT_EQ(w_->PanelText(0), "Vergleich in Liste übernehmen");
  // Leaving the control brings the activity back.
  QStatusTipEvent leer{QString()};
  QApplication::sendEvent(w_.get(), &leer);
  EXPECT_EQ(w_->PanelText(0), "");
}

TEST_F(TZarnoftTest, F1OnAFieldOpensItsTopic) {
  E<QLineEdit>("Ziel")->setFocus();
  QTest::keyClick(E<QLineEdit>("Ziel"), Qt::Key_F1);
  EXPECT_TRUE(w_->Hilfe()->isVisible());
  EXPECT_EQ(w_->Hilfe()->AktuellesThema(), 106);
}

}  // namespace
}  // namespace zarnoft
