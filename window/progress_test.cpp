#include "window/progress.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "testing/fake_window.h"

namespace zarnoft {
namespace {

using std::chrono::milliseconds;
using testing::FakeWindow;

TEST(FortschrittTest, DisplayNeverWaitsAndTheWindowShowsTheLatestStateCoalesced) {
  QueueCaller gui;  // served by this thread, and only when the test says so
  FakeWindow fenster;
  fenster.mitschreiben = false;
  std::atomic<bool> angezeigt{false};
  std::atomic<bool> fertig{false};
  std::thread lauf([&] {
    Fortschritt f(&gui, &fenster);
    f.ArtSetzen("Archivieren gesamt");
    for (int i = 1; i <= 5000; ++i) {
      if (i % 100 == 1) f.VerzeichnisZeigen("/d" + std::to_string(i / 100) + "/");
      f.DateiZaehlen(i, GaugeProzent(i, 10000));
    }
    f.NeueDatei({"/h/gross.bin", "Anzahl Dateien: 0 kopiert", "Summe: 5 kB / Akt.: 5,000 kB"});
    for (int i = 0; i < 120; ++i) f.SchrittFertig();
    angezeigt = true;  // all of it without one served call
    f.DateiFertig("Anzahl Dateien: 1 kopiert");
    f.FortschrittSchliessen();
    fertig = true;
  });
  while (!angezeigt) std::this_thread::sleep_for(milliseconds(1));
  // A repaint in the middle of the run shows a consistent state at once.
  EXPECT_TRUE(fenster.Auffrischen());
  EXPECT_EQ(fenster.gezeigt.gezaehlt, 5000);
  EXPECT_EQ(fenster.gezeigt.datei_prozent, 100);  // the per-file gauge holds at its maximum
  ASSERT_TRUE(gui.ServeUntil([&] { return fertig.load(); }, milliseconds(5000)));
  lauf.join();

  // The run's close shows the final state before the window closes.
  Fortschrittsstand erwartet;
  erwartet.art = "Archivieren gesamt";
  erwartet.verzeichnis = "/d49/";
  erwartet.gezaehlt = 5000;
  erwartet.verzeichnisse_prozent = 50;
  erwartet.akt_datei = "/h/gross.bin";
  erwartet.datei_prozent = 100;
  erwartet.anzahl_text = "Anzahl Dateien: 1 kopiert";
  erwartet.kb_text = "Summe: 5 kB / Akt.: 5,000 kB";
  EXPECT_EQ(fenster.gezeigt, erwartet);
  EXPECT_LE(fenster.gezeigt_anzahl, 3);
  EXPECT_EQ(fenster.calls, std::vector<std::string>{"Schliessen"});
  EXPECT_FALSE(fenster.Auffrischen());  // nothing new
}

TEST(FortschrittTest, MitschriftSeesEveryChangeInOrder) {
  DirectCaller gui;
  FakeWindow fenster;
  Fortschritt f(&gui, &fenster);
  f.VerzeichnisZeigen("/");
  f.DateiZaehlen(1, 50);
  f.NeueDatei({"/a", "Anzahl Dateien: 0 kopiert", "Summe: 0 kB / Akt.: 1 Bytes"});
  f.SchrittFertig();
  f.DateiFertig("Anzahl Dateien: 1 kopiert");
  EXPECT_EQ(fenster.calls, (std::vector<std::string>{
                               "Verz /", "Zaehlen 1 50",
                               "NeueDatei /a|Anzahl Dateien: 0 kopiert|Summe: 0 kB / Akt.: 1 Bytes",
                               "Schritt", "Fertig Anzahl Dateien: 1 kopiert"}));
  // An untouched display keeps the window's design texts.
  EXPECT_EQ(Fortschrittsstand().art, "Abgleich, kopieren neuerer Dateien");
  EXPECT_EQ(Fortschrittsstand().anzahl_text, "Anzahl Dateien: ");
  EXPECT_EQ(Fortschrittsstand().kb_text, "Bytes:");
}

TEST(FortschrittTest, CancelledOrUnservedRunAsksNothingAndEndsByItself) {
  DirectCaller gui;
  FakeWindow fenster;
  fenster.antworten = {0, 0};
  std::atomic<bool> handle_abbruch{false};
  Fortschritt f(&gui, &fenster, &handle_abbruch);
  Frage frage;
  frage.knoepfe = {"&Ja", "&Nein"};
  EXPECT_EQ(f.FrageStellen(frage), 0);
  handle_abbruch = true;  // the owner cancels (program closing)
  EXPECT_TRUE(f.Abbruch());
  EXPECT_EQ(f.FrageStellen(frage), kKeineAntwort);
  EXPECT_EQ(fenster.fragen.size(), 1u);

  // A GUI thread that no longer serves: the run counts as cancelled and never waits.
  QueueCaller weg;
  weg.Einstellen();
  FakeWindow fenster2;
  std::thread([&] {
    Fortschritt g(&weg, &fenster2);
    g.FortschrittOeffnen("/h", "/z", true, 5);
    EXPECT_TRUE(g.Abbruch());
    g.Fehlermeldung("Fehler");
    g.FortschrittSchliessen();
  }).join();
  EXPECT_TRUE(fenster2.calls.empty());
}

}  // namespace
}  // namespace zarnoft
