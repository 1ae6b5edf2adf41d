// The settings dialog and the about box through their real widgets, offscreen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "testing/temp_tree.h"
#include "ui/about_box.h"
#include "ui/qt_texts.h"
#include "ui/settings_dialog.h"
#include "ui/ui_test_kit.h"

namespace zarnoft {
namespace {

using testing::TempTree;

template <typename W>
W* Kind(QWidget* w, const char* name) {
  W* k = w->findChild<W*>(name);
  EXPECT_NE(k, nullptr) << name;
  return k;
}

class EinstellungenTest : public ::testing::Test {
 protected:
  std::string Dir() { return baum.root() + "/"; }
  bool Enthaelt(const std::string& text) {
    return baum.Exists("Main.sda") && baum.Read("Main.sda").find(text) != std::string::npos;
  }
  TempTree baum;
  TEinstellungen dialog{nullptr, PortableDateiOrte(baum.root() + "/")};
};

TEST_F(EinstellungenTest, EveryTabOpensWithItsControlsAndOkWritesTheFile) {
  dialog.show();
  auto* tabs = dialog.findChild<QTabWidget*>();
  ASSERT_EQ(tabs->count(), 4);
  const QStringList titel = {"&Programm", "S&ynchronisation", "Hauptprogramm", "&Editor"};
  for (int i = 0; i < 4; ++i) {
    tabs->setCurrentIndex(i);
    EXPECT_EQ(tabs->tabText(i), titel[i]);
    EXPECT_TRUE(tabs->widget(i)->isVisible());
  }
  EXPECT_EQ(dialog.windowTitle(), "Einstellungen");
  EXPECT_GE(dialog.width(), 349);
  EXPECT_GE(dialog.height(), 330);
  EXPECT_EQ(Kind<QComboBox>(&dialog, "LogLev")->count(), 8);
  EXPECT_EQ(Kind<QLineEdit>(&dialog, "Datei")->text().toStdString(), Dir() + "zarnoft.log");
  EXPECT_FALSE(Kind<QSpinBox>(&dialog, "SLVAnz")->isVisible());
  EXPECT_FALSE(Kind<QCheckBox>(&dialog, "Idle")->isEnabled());
  EXPECT_TRUE(Kind<QPushButton>(&dialog, "Ja")->isDefault());

  // "&Standardverzeichnis" shows the standard directory; a number beyond its range is held.
  EXPECT_FALSE(Kind<QLineEdit>(&dialog, "SyncVerz")->isVisible());
  Kind<QRadioButton>(&dialog, "Dateiablage1")->click();
  EXPECT_TRUE(Kind<QLineEdit>(&dialog, "SyncVerz")->isVisible());
  Kind<QSpinBox>(&dialog, "ZeitBoot")->setValue(70);
  Kind<QPushButton>(&dialog, "Ja")->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(Enthaelt("SyncDirData=1\n"));
  EXPECT_TRUE(Enthaelt("BootZeit=60\n"));
}

// Every setting of the table that the dialog shows has its control, found by the descriptor's
// name, and comes back from it as it was shown.
TEST_F(EinstellungenTest, EverySettingOfTheTableShowsInItsControlAndComesBack) {
  EinstellungenFelder f;
  for (const Einstellung* e : kEinstellungen) {
    if (e->feldart == Feldart::kKeins) continue;
    // A value that is no default: the other switch position, the second item, a path.
    if (e->art == Wertart::kSchalter) f.werte.SchalterSetzen(*e, e->vorgabe == 0);
    if (e->art == Wertart::kZahl) f.werte.ZahlSetzen(*e, e->bereich.min + 1);
    if (e->art == Wertart::kText) f.werte.TextSetzen(*e, std::string("/t/") + e->schluessel);
    ASSERT_NE(f.werte, EinstellungenFelder().werte) << e->schluessel;
  }
  f.SLVAnz = 7;
  dialog.FelderZeigen(f);
  EXPECT_EQ(dialog.FelderLesen(), f);
}

TEST_F(EinstellungenTest, EscapeReloadsButTheTitleBarsCloseKeepsTheEditsAndWritesNothing) {
  dialog.show();
  auto* level = Kind<QComboBox>(&dialog, "LogLev");
  level->setCurrentIndex(5);
  dialog.close();  // the title bar's close
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(baum.Exists("Main.sda"));
  dialog.show();
  EXPECT_EQ(level->currentIndex(), 5);
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(level->currentIndex(), 0);
  EXPECT_FALSE(baum.Exists("Main.sda"));
}

TEST_F(EinstellungenTest, TypedRotationTextIsStoredAsNoItem) {
  dialog.show();
  auto* rotation = Kind<QComboBox>(&dialog, "Logrotieren");
  rotation->setEditText("jeden zweiten Dienstag");
  QTest::keyClick(&dialog, Qt::Key_Return);  // Enter is OK
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(Enthaelt("LArt=-1\n"));
}

TEST_F(EinstellungenTest, ThePointerShowsTheLongHintOfTheControlOrItsGroup) {
  dialog.show();
  auto* status = dialog.findChild<QStatusBar*>();
  auto betreten = [](QWidget* w) {
    QEvent e(QEvent::Enter);
    QApplication::sendEvent(w, &e);
  };
  auto verlassen = [](QWidget* w) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
  };
  betreten(Kind<QCheckBox>(&dialog, "HintShow"));
  EXPECT_EQ(status->currentMessage(), "Ohne Haken: Hilfe neben Zeiger unterdrücken");
  betreten(Kind<QComboBox>(&dialog, "LogLev"));
  EXPECT_EQ(status->currentMessage(), "Was soll geloggt werden?");
  // From a radio button without a hint of its own back into its group.
  auto* tabs = dialog.findChild<QTabWidget*>();
  tabs->setCurrentIndex(1);
  auto* normal = Kind<QRadioButton>(&dialog, "SLNormal");
  betreten(normal);
  verlassen(normal);
  EXPECT_EQ(status->currentMessage(), "Sicherheitseinstellungen beim Löschen von Dateien");
  verlassen(Kind<QWidget>(&dialog, "Loeschen"));
  EXPECT_EQ(status->currentMessage(), "");
}

TEST(MeldungsTextTest, LinesBreakBetweenWordsNotInsidePaths) {
  const QString j(QChar(0x2060));
  EXPECT_EQ(MeldungsText("Das Verzeichnis /tmp/a/BIG ist leer.\rNoch / da"),
            "Das Verzeichnis /" + j + "tmp/" + j + "a/" + j + "BIG ist leer.\nNoch / da");
  // A path too long for one line may break at its inner "/", never after the leading one.
  const std::string lang = "/" + std::string(40, 'x') + "/" + std::string(40, 'y');
  EXPECT_EQ(MeldungsText(lang), "/" + j + QString(40, 'x') + "/" + QString(40, 'y'));
}

TEST(AboutBoxTest, ShowsTheVersionsAndTheCollectionVersionOfEachShowing) {
  TempTree baum;
  TAboutBox box(nullptr, baum.Path("Main.sda"));
  EXPECT_EQ(box.windowTitle(), "Zarnoft");
  EXPECT_EQ(box.Label("ProductName")->text(), "Zarnoft - Editor");
  EXPECT_EQ(box.Label("Version")->text(), "1.0.5.57");
  EXPECT_EQ(box.Label("Engine")->text(), "1.1.5.5");
  EXPECT_EQ(box.Label("VPrg")->text(), "1");
  EXPECT_EQ(box.Label("VSyncPrg")->text(), "(Speichere mit 2)");
  EXPECT_FALSE(box.Label("ProgramIcon")->pixmap().isNull());
  for (int version : {0, 2}) {
    QTimer::singleShot(0, &box, [&] {
      EXPECT_TRUE(box.isVisible());
      // Before any collection, too, every text can be read whole.
      EXPECT_EQ(testing::AbgeschnitteneTexte(&box), std::vector<std::string>()) << version;
      QTest::keyClick(&box, Qt::Key_Return);
    });
    box.Zeigen(version);
    EXPECT_FALSE(box.isVisible());
  }
  EXPECT_EQ(box.Label("VSync")->text(), "2");
  EXPECT_GE(box.width(), 298);
  EXPECT_GE(box.height(), 225);
}

TEST(AboutBoxTest, LicenceAndCommentFitTheDesignedBox) {
  TempTree baum;
  TAboutBox box(nullptr, baum.Path("Main.sda"));
  // The legal notice on one line, the comment with the licence on at most three, within the
  // designed width.
  QLabel* kommentar = box.Label("Comments");
  EXPECT_NE(kommentar->text().indexOf("GNU GPL, Version 3 oder neuer"), -1);
  const int zeile = kommentar->fontMetrics().lineSpacing();
  EXPECT_LE(kommentar->heightForWidth(kommentar->minimumWidth()), 3 * zeile);
  QLabel* recht = box.Label("LegalNotice");
  EXPECT_LE(recht->sizeHint().width(), 298 - 40);
}

}  // namespace
}  // namespace zarnoft
