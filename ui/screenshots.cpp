// Renders the editor's windows into PNG files, for a person to look at: run by
// scripts/screenshots.sh under a virtual display with a window manager, so that the pictures
// show the windows with their frames as a desktop shows them.
//
//   zarnoft_screenshots OUTPUT_DIR [SUFFIX]
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "copy/progress_texts.h"
#include "editor/size_listing.h"
#include "engine/run_journal.h"
#include "log/log.h"
#include "platform/date_time.h"
#include "testing/temp_tree.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/exclusions_dialog.h"
#include "ui/help.h"
#include "ui/main_window.h"
#include "ui/probe_window.h"
#include "ui/progress_window.h"
#include "ui/settings_dialog.h"
#include "ui/ui_test_kit.h"

namespace zarnoft {
namespace {

QString g_ziel;
QString g_suffix;
int g_fehler = 0;

// Saves the part of the screen that holds all of `fenster` with their frames.
void BereichAufnehmen(const std::vector<QWidget*>& fenster, const QString& name) {
  for (QWidget* w : fenster) {
    testing::Warten([w] { return w->isVisible(); }, 3000);
    // Until the window manager has put its frame around the window.
    testing::Warten([w] { return w->frameGeometry().top() < w->geometry().top(); }, 3000);
  }
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 700) QApplication::processEvents(QEventLoop::AllEvents, 20);
  QRect r;
  for (QWidget* w : fenster) r = r.united(w->frameGeometry());
  QPixmap bild = fenster.front()->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
  QString pfad = g_ziel + "/" + name + g_suffix + ".png";
  if (!bild.save(pfad)) {
    std::fprintf(stderr, "Kann %s nicht schreiben\n", qPrintable(pfad));
    ++g_fehler;
  } else {
    std::printf("%s\n", qPrintable(pfad));
  }
}

// Waits until the window manager has framed and drawn the window, then saves its frame.
void Aufnehmen(QWidget* w, const QString& name) {
  BereichAufnehmen({w}, name);
}

// Runs that start and never end, so that a job shows as running.
class Starter : public LaufStarter {
 public:
  LaufHandle Starten(const VergleichsWerte& w, Ende ende,
                     std::shared_ptr<LaufBericht> bericht) override {
    enden_.push_back(std::move(ende));
    griffe_.push_back(LaufHandle::Neu());
    berichte_.push_back(std::move(bericht));
    probe_.push_back(w.Probelauf);
    return griffe_.back();
  }
  // Ends the last run started, after `fuellen` has reported into its report what it did.
  void LetztenBeenden(const std::function<int(LaufBericht*)>& fuellen) {
    const size_t i = enden_.size() - 1;
    LaufErgebnis e;
    e.fehler = fuellen(berichte_[i].get());
    e.probelauf = probe_[i];
    if (enden_[i]) std::exchange(enden_[i], nullptr)(griffe_[i], e);
  }
  void StopAnfordern(LaufHandle) override {}
  void Schliessen() override {}
  void AlleBeenden() {
    for (size_t i = 0; i < enden_.size(); ++i)
      if (enden_[i]) std::exchange(enden_[i], nullptr)(griffe_[i], {});
  }
  LaufHandle RueckgaengigStarten(const RueckgaengigWerte&, RueckgaengigEnde ende,
                                 std::shared_ptr<LaufBericht> bericht) override {
    rueckgaengig_ = std::move(ende);
    rueckgaengig_bericht_ = std::move(bericht);
    rueckgaengig_griff_ = LaufHandle::Neu();
    return rueckgaengig_griff_;
  }
  // Ends the undo under way with what `fuellen` reported and returned.
  void RueckgaengigBeenden(const std::function<RueckgaengigErgebnis(LaufBericht*)>& fuellen) {
    if (rueckgaengig_)
      std::exchange(rueckgaengig_, nullptr)(rueckgaengig_griff_,
                                            fuellen(rueckgaengig_bericht_.get()));
  }

 private:
  RueckgaengigEnde rueckgaengig_;
  std::shared_ptr<LaufBericht> rueckgaengig_bericht_;
  LaufHandle rueckgaengig_griff_;
  std::vector<Ende> enden_;
  std::vector<LaufHandle> griffe_;
  std::vector<std::shared_ptr<LaufBericht>> berichte_;
  std::vector<bool> probe_;
};

// A probe run's report: what it would do to a pair of photo folders, with the deletion guard's
// warning.
int ProbeFuellen(LaufBericht* b) {
  const FileTime t = FromLocal(LocalTime{2026, 12, 8, 21, 4, 0, 0});
  auto aktion = [&](AktionsArt art, AktionsSeite seite, const std::string& rel, int64_t h,
                    int64_t z, int alter) {
    Aktion a;
    a.art = art;
    a.seite = seite;
    a.rel = rel;
    a.herkunft = {h, FileTime{t.sec - alter * 3600, 0}};
    a.ziel = {z, FileTime{t.sec - alter * 7200, 0}};
    b->Getan(a);
  };
  aktion(AktionsArt::kAnlegen, AktionsSeite::kZiel, "Urlaub 2026/", -1, -1, 0);
  for (int i = 1; i <= 6; ++i)
    aktion(AktionsArt::kKopieren, AktionsSeite::kZiel,
           "Urlaub 2026/IMG_40" + std::to_string(10 + i) + ".jpg", 3200000 + 104729 * i, -1, i);
  aktion(AktionsArt::kKopieren, AktionsSeite::kHerkunft, "Familie/Geburtstag.odt", 48211, 51200,
         30);
  aktion(AktionsArt::kNachfragen, AktionsSeite::kBeide, "Familie/Adressen.ods", 18022, 17310, 5);
  for (int i = 1; i <= 24; ++i)
    aktion(AktionsArt::kLoeschen, AktionsSeite::kZiel,
           "Alt/scan" + std::to_string(100 + i) + ".pdf", -1, 250000 + 1000 * i, 48);
  b->Hinweis(
      "Löschschutz: Dieser Lauf würde in /media/stick/Bilder 24 von 40 Dateien löschen (60 %) "
      "und fragt vorher.");
  return 0;
}

// The plan of taking back the last run of a pair of document folders: versions put back, what
// the run made removed, and a file edited since, which stays.
RueckgaengigErgebnis PlanFuellen(LaufBericht* b) {
  const FileTime t = FromLocal(LocalTime{2026, 12, 9, 6, 15, 0, 0});
  RueckgaengigErgebnis e;
  e.lauf = LaufName(t);
  auto schritt = [&](AktionsArt art, const std::string& rel, int64_t groesse) {
    Aktion a;
    a.art = art;
    a.rel = rel;
    a.ziel = {groesse, FileTime{t.sec - 86400, 0}};
    b->Getan(a);
    ++e.schritte;
  };
  schritt(AktionsArt::kWiederherstellen, "Briefe/Rechnung Dezember.odt", 24576);
  schritt(AktionsArt::kWiederherstellen, "Briefe/Kündigung Versicherung.odt", 18211);
  for (int i = 1; i <= 5; ++i)
    schritt(AktionsArt::kLoeschen, "Briefe/2026/Entwurf " + std::to_string(i) + ".txt", 1203 * i);
  schritt(AktionsArt::kLoeschen, "Briefe/2026/", -1);
  schritt(AktionsArt::kAnlegen, "Steuer 2025/", -1);
  b->Fehler({"Seit dem Lauf geändert, bleibt: /media/stick/Dokumente/Briefe/Notizen.txt", ""});
  e.fehler = 1;
  return e;
}

void HauptfensterAufnehmen(testing::TempTree& tree) {
  tree.Write("prog/Main.sda", "[Data]\nSofortSync=0\n");
  KeinProtokoll log;
  Starter starter;
  // The size labels count what the directories hold.
  HauptListingAnzeige listing_anzeige;
  GroessenListings listings(
      &listing_anzeige,
      [](std::function<void()> f) {
        QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
      },
      nullptr, nullptr);
  HauptDienste d;
  d.log = &log;
  d.laeufe = &starter;
  d.listing = &listings;
  TZarnoft w(d);
  listing_anzeige.Verbinden(&w, [&w] { return w.Panel2Breite(); });
  w.FormCreate(PortableDateiOrte(tree.Path("prog/")));
  w.show();
  w.Logik().FormShow({});
  auto* herkunft = qobject_cast<QLineEdit*>(w.Element("Herkunft"));
  auto* ziel = qobject_cast<QLineEdit*>(w.Element("Ziel"));
  auto* art = qobject_cast<QComboBox*>(w.Element("Art"));
  const char* paare[3][2] = {{"home/anna/Dokumente", "media/stick/Dokumente"},
                             {"home/anna/Bilder", "srv/archiv/Bilder"},
                             {"home/anna/Projekte/zarnoft", "media/sicherung/Projekte"}};
  for (int i = 0; i < 40; ++i) {
    tree.Write("home/anna/Projekte/zarnoft/datei" + std::to_string(i) + ".cpp",
               std::string(1000 + 997 * i, 'x'));
    tree.Write("media/sicherung/Projekte/alt" + std::to_string(i) + ".tar",
               std::string(52000, 'y'));
  }
  for (int i = 0; i < 3; ++i) {
    herkunft->setText(QString::fromStdString(tree.Mkdir(paare[i][0])));
    ziel->setText(QString::fromStdString(tree.Mkdir(paare[i][1])));
    art->setCurrentIndex(i);
    emit art->activated(i);
    if (i == 2) {
      // The last job leaves out the usual patterns, which the status description names.
      testing::BeiModal([](QWidget* d) {
        for (QPushButton* k : d->findChildren<QPushButton*>())
          if (k->text() == "&Übliche Ausnahmen") k->click();
        if (auto* dialog = qobject_cast<QDialog*>(d)) dialog->accept();
      });
      w.Logik().AusnahmenClick();
    }
    w.Logik().SetzenClick();
  }
  // The middle job runs.
  w.Anzeige()->setCurrentCell(1, 0);
  w.Logik().SyncNowClick();
  w.resize(640, 560);
  QApplication::processEvents();
  w.Anzeige()->setCurrentCell(0, 0);
  w.Logik().AnzeigeMouseMove(1);
  testing::Warten([&] {
    return !listings.Laeuft(ListingSeite::kHerkunft) && !listings.Laeuft(ListingSeite::kZiel);
  });
  Aufnehmen(&w, "hauptfenster");

  // Closing with a run under way asks first; then, with the run ended, about unsaved changes.
  testing::BeiModal([](QWidget* box) {
    Aufnehmen(box, "schliessen-laeufe");
    if (auto* b = qobject_cast<QMessageBox*>(box)) b->button(QMessageBox::No)->click();
  });
  w.close();
  starter.AlleBeenden();
  testing::BeiModal([](QWidget* box) {
    Aufnehmen(box, "schliessen-frage");
    if (auto* b = qobject_cast<QMessageBox*>(box)) {
      std::printf("%s: %s\n", qPrintable(b->windowTitle()), qPrintable(b->text()));
      if (QAbstractButton* k = b->button(QMessageBox::Cancel))
        k->click();
      else
        b->reject();
    }
  });
  w.close();

  // The first job's last run met failures: the status description lists them.
  w.resize(640, 560);
  w.Anzeige()->setCurrentCell(0, 0);
  w.Logik().SyncNowClick();
  starter.LetztenBeenden([](LaufBericht* b) {
    b->Fehler({"Kopieren fehlgeschlagen: /home/anna/Projekte/zarnoft/datei7.cpp",
               "Kein Platz mehr auf dem Gerät"});
    for (int i = 8; i < 20; ++i)
      b->Fehler({"Kopieren fehlgeschlagen: /home/anna/Projekte/zarnoft/datei" + std::to_string(i) +
                     ".cpp",
                 "Kein Platz mehr auf dem Gerät"});
    return 13;
  });
  w.Logik().AnzeigeMouseMove(2);
  w.Logik().AnzeigeMouseMove(1);
  QApplication::processEvents();
  QApplication::processEvents();
  Aufnehmen(&w, "hauptfenster-fehler");

  // A probe of the middle job, and the window that lists what the run would do.
  w.Anzeige()->setCurrentCell(1, 0);
  w.Logik().ProbelaufClick();
  starter.LetztenBeenden(ProbeFuellen);
  auto* probe = w.findChild<TProbelauf*>();
  if (probe != nullptr) {
    QApplication::processEvents();
    Aufnehmen(probe, "probelauf");
    probe->close();
  } else {
    std::fprintf(stderr, "Kein Probelauf-Fenster\n");
    ++g_fehler;
  }

  // The plan of taking the document job's last run back, in the same window.
  QApplication::processEvents();
  w.Anzeige()->setCurrentCell(2, 0);
  w.Logik().RueckgaengigClick();
  starter.RueckgaengigBeenden(PlanFuellen);
  TProbelauf* plan = nullptr;
  for (TProbelauf* p : w.findChildren<TProbelauf*>())
    if (p->isVisible() && p->windowTitle().startsWith("Rückgängig")) plan = p;
  if (plan != nullptr) {
    QApplication::processEvents();
    Aufnehmen(plan, "rueckgaengig");
    plan->close();
  } else {
    std::fprintf(stderr, "Kein Rückgängig-Fenster\n");
    ++g_fehler;
  }

  // The smallest window.
  w.resize(427, 416 + w.height() - w.centralWidget()->height());
  Aufnehmen(&w, "hauptfenster-klein");
  testing::BoxBeantworten(QMessageBox::No);
  w.close();
}

// The first start: no Main.sda yet, so the window opens at its stored default size, centred.
void ErsterStartAufnehmen(testing::TempTree& tree) {
  tree.Mkdir("erst");
  KeinProtokoll log;
  Starter starter;
  HauptDienste d;
  d.log = &log;
  d.laeufe = &starter;
  TZarnoft w(d);
  w.FormCreate(PortableDateiOrte(tree.Path("erst/")));
  w.show();
  w.Logik().FormShow({});
  Aufnehmen(&w, "erster-start");

  // A kind-1 job selected at the smallest width the window allows.
  auto* herkunft = qobject_cast<QLineEdit*>(w.Element("Herkunft"));
  auto* ziel = qobject_cast<QLineEdit*>(w.Element("Ziel"));
  herkunft->setText(QString::fromStdString(tree.Mkdir("home/anna/Musik")));
  ziel->setText(QString::fromStdString(tree.Mkdir("media/stick/Musik")));
  w.Logik().SetzenClick();
  w.Logik().SyncNowClick();
  starter.AlleBeenden();
  w.resize(1, 1);
  w.Anzeige()->setCurrentCell(0, 0);
  w.Logik().AnzeigeMouseMove(1);
  QApplication::processEvents();
  Aufnehmen(&w, "hauptfenster-klein-art1");
  testing::BoxBeantworten(QMessageBox::No);
  w.close();
}

// Each tab of the settings dialog, with the hint of a control in its status bar.
void EinstellungenAufnehmen(testing::TempTree& tree) {
  TEinstellungen dialog(nullptr, PortableDateiOrte(tree.Path("prog/")));
  dialog.show();
  auto* tabs = dialog.findChild<QTabWidget*>();
  const char* namen[4][2] = {{"einstellungen-programm", "LogLev"},
                             {"einstellungen-synchronisation", "SLVersch"},
                             {"einstellungen-hauptprogramm", "ZeitBoot"},
                             {"einstellungen-editor", "SSync"}};
  for (int i = 0; i < tabs->count(); ++i) {
    tabs->setCurrentIndex(i);
    QEvent betreten(QEvent::Enter);
    QApplication::sendEvent(dialog.findChild<QWidget*>(namen[i][1]), &betreten);
    Aufnehmen(&dialog, namen[i][0]);
  }
  dialog.close();
}

void InfoAufnehmen(testing::TempTree& tree) {
  TAboutBox box(nullptr, tree.Path("prog/Main.sda"));
  testing::BeiModal([](QWidget* w) {
    Aufnehmen(w, "info");
    if (auto* d = qobject_cast<QDialog*>(w)) d->accept();
  });
  box.Zeigen(kSammlungsFormat);
  // Before any collection was opened or saved.
  TAboutBox erst(nullptr, tree.Path("prog/Main.sda"));
  testing::BeiModal([](QWidget* w) {
    Aufnehmen(w, "info-ohne-sammlung");
    if (auto* d = qobject_cast<QDialog*>(w)) d->accept();
  });
  erst.Zeigen(0);
}

// The exclusions dialog with the usual patterns and one of the user's, over a source in which
// they leave a few entries out, once its count has come in.
void AusnahmenAufnehmen(testing::TempTree& tree) {
  for (const char* p : {"home/anna/Projekte/notizen.txt", "home/anna/Projekte/notizen.txt~",
                        "home/anna/Projekte/.cache/a", "home/anna/Projekte/.cache/b",
                        "home/anna/Projekte/web/node_modules/x.js", "home/anna/Projekte/a.tmp"})
    tree.Write(p, "x");
  std::vector<std::string> muster = UeblicheAusnahmen();
  muster.push_back("*.tmp");
  TAusnahmen d(nullptr, tree.Path("home/anna/Projekte"), true, muster, FileSystem::Default());
  d.show();
  auto* zaehlung = d.findChild<QLabel*>("Zaehlung");
  testing::Warten([zaehlung] { return !zaehlung->text().contains("wird gezählt"); });
  Aufnehmen(&d, "ausnahmen");
  d.reject();
}

void HilfeAufnehmen() {
  HilfeFenster h(nullptr);
  h.ThemaZeigen(100);
  Aufnehmen(&h, "hilfe");
  h.close();
}

void KopieAufnehmen() {
  TKopie k;
  k.FortschrittOeffnen("/home/anna/Projekte/zarnoft", "/media/sicherung/Projekte/zarnoft", true,
                       1840);
  k.Stand().ArtSetzen("Abgleich, kopieren neuerer Dateien");
  k.Stand().VerzeichnisZeigen("/Dokumentation/Handbuch/Bilder/");
  for (int i = 1; i <= 733; ++i) k.Stand().DateiZaehlen(i, i * 100 / 1840);
  k.Stand().NeueDatei({"/home/anna/Projekte/zarnoft/Dokumentation/Handbuch/Bilder/hauptfenster.png",
                       "Anzahl Dateien: 1.234 kopiert", "Summe: 5,500 MB / Akt.: 2,048 kB"});
  for (int i = 0; i < 42; ++i) k.Stand().SchrittFertig();
  k.Auffrischen();
  Aufnehmen(&k, "fortschritt");

  // The double-change question of a run, over its progress window.
  Frage f;
  f.symbol = Frage::Symbol::kWarnung;
  f.titel = "Warnung";
  f.text =
      "Die Datei /Briefe/Angebot.odt\rwurde sowohl im Verzeichnis\r1: /home/anna/Dokumente"
      "\r   (geändert 01.03.2024 14:05:10)\rals auch im Verzeichnis\r2: /media/stick/Dokumente"
      "\r   (geändert 02.03.2024 09:00:00)\rgeändert.\r\r Soll die Datei im Verzeichnis 1 "
      "erhalten bleiben?\r\rJa: 1 auf 2 kopieren, Nein: 2 auf 1 kopieren,\rAlle: beide bleiben "
      "erhalten (als V1 und V2),\rIgnorieren: keine Aktion durchführen";
  f.knoepfe = {"&Ja", "&Nein", "&Ignorieren", "&Alles"};
  f.abbrechen = 1;
  k.FrageStellen(f, [](int) {});
  Aufnehmen(k.OffeneBox(), "doppelt-frage");
  k.FortschrittSchliessen();

  // A copy job copying a file of a gigabyte.
  TKopie g;
  g.FortschrittOeffnen("/home/anna/Filme", "/media/sicherung/Filme", true, 12);
  g.Stand().ArtSetzen("Herkunft auf Ziel (Herkunft oder Ziel neuer)");
  g.Stand().VerzeichnisZeigen("/2024/");
  g.Stand().NeueDatei({"/home/anna/Filme/2024/urlaub.mkv", "Anzahl Dateien: 3 kopiert",
                       KbText(1052, 576000, 1048576000)});
  for (int i = 0; i < 37; ++i) g.Stand().SchrittFertig();
  g.Auffrischen();
  Aufnehmen(&g, "fortschritt-1gb");
  g.FortschrittSchliessen();

  // Two runs ask at once: each box over its own window.
  TKopie eins;
  TKopie zwei;
  eins.FortschrittOeffnen("/home/anna/Dokumente", "/media/stick/Dokumente", true, 100);
  zwei.FortschrittOeffnen("/home/anna/Bilder", "/srv/archiv/Bilder", true, 100);
  Frage leer;
  leer.symbol = Frage::Symbol::kWarnung;
  leer.titel = "Warnung";
  leer.text =
      "Das Verzeichnis /media/stick/Dokumente ist leer, das Verzeichnis "
      "/home/anna/Dokumente nicht.\rIst das Laufwerk vielleicht nicht eingehängt?\r\r"
      "Trotzdem abgleichen? Dabei können Dateien in /home/anna/Dokumente gelöscht werden.";
  leer.knoepfe = {"&Ja", "&Nein"};
  leer.standard = 1;
  eins.FrageStellen(leer, [](int) {});
  Frage fehler = leer;
  fehler.text =
      "Die Datei /home/anna/Bilder/2024/strand.jpg kann nicht nach "
      "/srv/archiv/Bilder/2024/strand.jpg kopiert werden:\rKein Platz auf dem Gerät";
  zwei.FrageStellen(fehler, [](int) {});
  testing::Warten([&] { return eins.OffeneBox() != nullptr && zwei.OffeneBox() != nullptr; });
  BereichAufnehmen({&eins, &zwei, eins.OffeneBox(), zwei.OffeneBox()}, "zwei-fragen");
  eins.FortschrittSchliessen();
  zwei.FortschrittSchliessen();
}

}  // namespace
}  // namespace zarnoft

int main(int argc, char** argv) {
  zarnoft::PinTimeZone();
  zarnoft::ZarnoftAnwendung app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "Aufruf: zarnoft_screenshots ZIELVERZEICHNIS [ANHANG]\n");
    return 2;
  }
  zarnoft::g_ziel = QString::fromLocal8Bit(argv[1]);
  zarnoft::g_suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
  QDir().mkpath(zarnoft::g_ziel);
  zarnoft::testing::TempTree tree;
  zarnoft::ErsterStartAufnehmen(tree);
  zarnoft::HauptfensterAufnehmen(tree);
  // The pointer rests in a corner, away from the windows and their hints.
  QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight());
  zarnoft::EinstellungenAufnehmen(tree);
  zarnoft::InfoAufnehmen(tree);
  zarnoft::AusnahmenAufnehmen(tree);
  zarnoft::HilfeAufnehmen();
  zarnoft::KopieAufnehmen();
  return zarnoft::g_fehler == 0 ? 0 : 1;
}
