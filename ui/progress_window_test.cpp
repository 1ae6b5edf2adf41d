#include "ui/progress_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/comparison.h"
#include "platform/date_time.h"
#include "testing/temp_tree.h"
#include "ui/editor.h"
#include "ui/gui_caller.h"
#include "ui/ui_test_kit.h"

namespace zarnoft {
namespace {

using testing::Warten;

TEST(TKopie, ShowsItsDesignTextsThenTheSnapshotAndNeverClosesByItself) {
  TKopie w;
  w.FortschrittOeffnen("/home/anna/Dokumente", "/media/stick/Dokumente", true, 10);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.windowTitle(), "Kopier- und Vergleichsfortschritt");
  EXPECT_GE(w.width(), TKopie::kBreite);
  EXPECT_GE(w.height(), TKopie::kHoehe);
  EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(w.Feld("VonDir"), "/home/anna/Dokumente");
  EXPECT_EQ(w.Feld("UV"), "1");
  EXPECT_EQ(w.Feld("Art"), "Abgleich, kopieren neuerer Dateien");
  EXPECT_EQ(w.Feld("AnzahlDat"), "Anzahl Dateien: ");
  EXPECT_EQ(w.Feld("KB"), "Bytes:");
  EXPECT_EQ(w.Feld("GVerzeichnisse"), "0 %");

  w.Stand().ArtSetzen("Herkunft auf Ziel (neuere Herkunft)");
  w.Stand().VerzeichnisZeigen("/Briefe/");
  w.Stand().DateiZaehlen(12, 100);
  w.Stand().NeueDatei({"/home/anna/Dokumente/Briefe/a.txt", "Anzahl Dateien: 1.234 kopiert",
                       "Summe: 123 kB / Akt.: 2,048 kB"});
  w.Stand().SchrittFertig();
  // The window shows the snapshot from its timer, without being told.
  ASSERT_TRUE(Warten([&] { return w.Feld("GDateien") == "1 %"; }));
  EXPECT_EQ(w.Feld("Art"), "Herkunft auf Ziel (neuere Herkunft)");
  EXPECT_EQ(w.Feld("AktVerz"), "/Briefe/");
  EXPECT_EQ(w.Feld("GVerzeichnisse"), "100 %");
  EXPECT_EQ(w.Feld("AnzahlDat"), "Anzahl Dateien: 1.234 kopiert");
  EXPECT_EQ(w.Feld("KB"), "Summe: 123 kB / Akt.: 2,048 kB");
  EXPECT_EQ(w.Feld("GDatei"), "0 %");

  // The close box (or the window manager's close entry) does nothing; Esc cancels.
  QCloseEvent schliessen;
  QApplication::sendEvent(&w, &schliessen);
  EXPECT_FALSE(schliessen.isAccepted());
  EXPECT_FALSE(w.Abbruch());
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_TRUE(w.Abbruch());
  EXPECT_TRUE(w.isVisible());
  w.FortschrittSchliessen();
  EXPECT_FALSE(w.isVisible());
}

TEST(TKopie, AQuestionIsWindowModalAndAnsweredLaterWithoutANestedLoop) {
  TKopie w;
  w.FortschrittOeffnen("/a", "/b", false, 0);
  Frage f;
  f.titel = "Warnung";
  f.text = "Zeile 1\rZeile 2";
  f.knoepfe = {"&Ja", "&Nein", "&Ignorieren", "&Alles"};
  f.abbrechen = 1;
  int antwort = -2;
  w.FrageStellen(f, [&](int a) { antwort = a; });
  // FrageStellen has returned: the box waits on its own.
  ASSERT_NE(w.OffeneBox(), nullptr);
  EXPECT_EQ(antwort, -2);
  EXPECT_EQ(w.OffeneBox()->windowModality(), Qt::WindowModal);
  EXPECT_EQ(w.OffeneBox()->text(), "Zeile 1\nZeile 2");
  auto knoepfe = w.OffeneBox()->buttons();
  ASSERT_EQ(knoepfe.size(), 4);
  for (QAbstractButton* b : knoepfe)
    if (b->text() == "&Ignorieren") b->click();
  EXPECT_TRUE(Warten([&] { return antwort == 2; }));

  // Esc gives the cancel button's answer.
  w.FrageStellen(f, [&](int a) { antwort = a; });
  QTest::keyClick(w.OffeneBox(), Qt::Key_Escape);
  EXPECT_TRUE(Warten([&] { return antwort == 1; }));
}

TEST(TKopie, EveryKindTextFitsAndEachRunsBoxLiesOverItsOwnWindow) {
  TKopie eins;
  TKopie zwei;
  eins.FortschrittOeffnen("/a", "/b", true, 0);
  zwei.FortschrittOeffnen("/c", "/d", false, 0);
  for (const char* art : kArtTexte) {
    eins.Stand().ArtSetzen(art);
    eins.Auffrischen();
    EXPECT_EQ(testing::AbgeschnitteneTexte(&eins), std::vector<std::string>()) << art;
  }
  // Both ask at once, before any window manager could have placed them.
  Frage f;
  f.titel = "Warnung";
  f.text = "Frage";
  f.knoepfe = {"&Ja", "&Nein"};
  eins.FrageStellen(f, [](int) {});
  zwei.FrageStellen(f, [](int) {});
  ASSERT_TRUE(Warten([&] {
    return eins.OffeneBox() != nullptr && eins.OffeneBox()->isVisible() &&
           zwei.OffeneBox() != nullptr && zwei.OffeneBox()->isVisible();
  }));
  const QRect box1 = eins.OffeneBox()->frameGeometry();
  const QRect box2 = zwei.OffeneBox()->frameGeometry();
  EXPECT_TRUE(eins.frameGeometry().contains(box1.center()));
  EXPECT_TRUE(zwei.frameGeometry().contains(box2.center()));
  EXPECT_NE(box1.topLeft(), box2.topLeft());
  EXPECT_NE(eins.pos(), zwei.pos());
  eins.FortschrittSchliessen();
  zwei.FortschrittSchliessen();

  // A window opened after both have gone takes the first place again.
  TKopie drei;
  drei.FortschrittOeffnen("/e", "/f", false, 0);
  EXPECT_EQ(drei.pos(), eins.pos());
  drei.FortschrittSchliessen();
}

// Copies slowly, so that a test can act while a large file is being copied.
class LangsamesDateisystem : public FileSystemWrapper {
 public:
  LangsamesDateisystem() : FileSystemWrapper(FileSystem::Default()) {}
  Status CopyData(ReadableFile* f, WritableFile* t, uint64_t n, uint64_t* c) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return FileSystemWrapper::CopyData(f, t, n, c);
  }
};

// A tree with one large file, and a second pair whose file changed on both sides since the last
// run, so that its run asks.
class LaufTest : public ::testing::Test {
 protected:
  static constexpr size_t kGross = 16u << 20;

  void SetUp() override {
    std::string gross = tree_.Path("q/gross.bin");
    tree_.Mkdir("q");
    tree_.Mkdir("z");
    std::ofstream(gross, std::ios::binary).write(std::string(kGross, 'x').data(), kGross);
    tree_.Write("a/Brief.txt", "Herkunft");
    tree_.Write("b/Brief.txt", "Ziel");
    testing::SetMtime(tree_.Path("a/Brief.txt"), testing::Local(2024, 3, 1, 14, 5, 10));
    testing::SetMtime(tree_.Path("b/Brief.txt"), testing::Local(2024, 3, 2, 9, 0, 0));
  }

  LaufHandle Starten(const std::string& h, const std::string& z, VorgangsArt art, double aufruf,
                     std::vector<TKopie*>* fenster, LaufErgebnis* ergebnis) {
    VergleichsWerte w;
    w.Herkunft = h;
    w.Ziel = z;
    w.Art = art;
    w.Doppelt = 0;
    w.Aufruf = aufruf;
    w.LoeschenWohin = tree_.Path("loesch");
    LaufDienste d;
    d.gui = &gui_;
    d.fs = &langsam_;
    d.fenster = [fenster] {
      auto* k = new TKopie;
      fenster->push_back(k);
      return std::unique_ptr<FortschrittFenster>(k);
    };
    return Vergleiche::Starten(
        w, d, [ergebnis](const LaufHandle&, const LaufErgebnis& e) { *ergebnis = e; });
  }

  testing::TempTree tree_;
  LangsamesDateisystem langsam_;
  QtCaller gui_;
};

TEST_F(LaufTest, CancelledWithTheButtonInTheMiddleOfALargeFileLeavesNoHalfFile) {
  std::vector<TKopie*> fenster;
  LaufErgebnis e;
  LaufHandle h = Starten(tree_.Path("q"), tree_.Path("z"), VorgangsArt::kKopieren, 0, &fenster, &e);
  ASSERT_TRUE(Warten([&] { return !fenster.empty(); }));
  TKopie* w = fenster[0];
  // Wait until the copy is under way, then click as a user would.
  ASSERT_TRUE(Warten([&] {
    QString p = w->Feld("GDateien");
    return p != "0 %" && p != "100 %";
  }));
  QTest::mouseClick(w->Abbrechen(), Qt::LeftButton);
  ASSERT_TRUE(Warten([&] { return h.Beendet(); }));
  EXPECT_TRUE(e.abgebrochen);
  // The copy was given up: no target file, complete or partial, and no temporary file.
  // Nothing but the program's own directory, which the run made before it copied.
  QStringList da = QDir(QString::fromStdString(tree_.Path("z")))
                       .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
  da.removeAll(QStringLiteral(".zarnoft"));
  EXPECT_TRUE(da.isEmpty()) << da.join(' ').toStdString();
}

TEST_F(LaufTest, TwoRunsSideBySideOneAsksTheOtherFinishes) {
  std::vector<TKopie*> fenster;
  LaufErgebnis frage_e, kopie_e;
  double vorher = DayCountFromLocal(ToLocal(testing::Local(2024, 2, 1)));
  LaufHandle frage = Starten(tree_.Path("a"), tree_.Path("b"), VorgangsArt::kSynchronisieren,
                             vorher, &fenster, &frage_e);
  QMessageBox* box = nullptr;
  ASSERT_TRUE(Warten([&] {
    for (TKopie* k : fenster)
      if (k->OffeneBox() != nullptr) box = k->OffeneBox();
    return box != nullptr;
  }));
  EXPECT_EQ(box->windowTitle(), "Warnung");

  // While the question is open the GUI serves the other run to its end.
  LaufHandle kopie =
      Starten(tree_.Path("q"), tree_.Path("z"), VorgangsArt::kKopieren, 0, &fenster, &kopie_e);
  ASSERT_TRUE(Warten([&] { return kopie.Beendet(); }, 60000));
  EXPECT_FALSE(kopie_e.abgebrochen);
  EXPECT_EQ(QFileInfo(QString::fromStdString(tree_.Path("z/gross.bin"))).size(),
            static_cast<qint64>(kGross));
  EXPECT_FALSE(frage.Beendet());

  // "Ja": the source's version is copied onto the target.
  for (QAbstractButton* b : box->buttons())
    if (b->text() == "&Ja") b->click();
  ASSERT_TRUE(Warten([&] { return frage.Beendet(); }));
  EXPECT_EQ(tree_.Read("b/Brief.txt"), "Herkunft");
}

// Closing the editor while a run copies a large file: the run is cancelled, the window closes after
// its end, and no target file is left half-written.
TEST_F(LaufTest, ClosingWithARunUnderWayCancelsItAndLeavesNoHalfFile) {
  tree_.Write("prog/Main.sda", "[Data]\nSofortSync=1\n");
  auto editor =
      std::make_unique<Editor>(PortableDateiOrte(tree_.Path("prog/")), FensterFabrik(), &langsam_);
  TZarnoft& w = editor->Fenster();
  editor->Zeigen({});
  qobject_cast<QLineEdit*>(w.Element("Herkunft"))->setText(QString::fromStdString(tree_.Path("q")));
  qobject_cast<QLineEdit*>(w.Element("Ziel"))->setText(QString::fromStdString(tree_.Path("z")));
  w.Logik().SetzenClick();
  TKopie* kopie = nullptr;
  ASSERT_TRUE(Warten([&] {
    for (QWidget* t : QApplication::topLevelWidgets())
      if (auto* k = qobject_cast<TKopie*>(t); k != nullptr && k->isVisible()) kopie = k;
    return kopie != nullptr && kopie->Feld("GDateien") != "0 %";
  }));

  QString laeufe;
  testing::BeiModal([&](QWidget* box) {
    laeufe = qobject_cast<QMessageBox*>(box)->text();
    testing::BoxBeantworten(QMessageBox::No);  // then: unsaved, do not save
    qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
  });
  w.close();
  EXPECT_EQ(laeufe, "Es läuft noch 1 Vergleich. Soll er abgebrochen werden?");
  ASSERT_TRUE(Warten([&] { return !w.isVisible(); }, 30000));
  EXPECT_EQ(w.Logik().AnzahlVergleiche(), 0);
  editor.reset();
  // Nothing but the program's own directory, which the run made before it copied.
  QStringList da = QDir(QString::fromStdString(tree_.Path("z")))
                       .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
  da.removeAll(QStringLiteral(".zarnoft"));
  EXPECT_TRUE(da.isEmpty()) << da.join(' ').toStdString();
}

}  // namespace
}  // namespace zarnoft
