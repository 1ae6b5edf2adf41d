#include "editor/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "settings/ini_file.h"
#include "testing/fake_main_view.h"
#include "testing/main_window_kit.h"
#include "testing/recording_log.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using E = Steuerelement;
using testing::FakeAnsicht;
using testing::FakeLaeufe;
using testing::FakeListing;
using testing::RecordingLog;
using testing::TempTree;

using testing::HauptfensterTest;
using testing::kOhneSofortSync;

TEST_F(HauptfensterTest, StartsEmptyWithDefaults) {
  Start();
  EXPECT_EQ(geometrie.Breite, 427);
  EXPECT_EQ(geometrie.Hoehe, 400);
  EXPECT_FALSE(geometrie.AnGespeicherterStelle());
  EXPECT_EQ(ansicht.titel, "Zarnoft");
  EXPECT_EQ(ansicht.panel[1], "Unverändert");
  for (E e : {E::kSetzen, E::kLoesch, E::kHolen, E::kSyncNow}) EXPECT_FALSE(ansicht.Aktiv(e));
  EXPECT_EQ(ansicht.eintraege[E::kArt].size(), 3u);
  EXPECT_EQ(ansicht.Position(E::kArt), 0);
  EXPECT_EQ(ansicht.eintraege[E::kDoppelt].front(), "Nachfragen");
  EXPECT_EQ(ansicht.Position(E::kDoppelt), 0);
  EXPECT_EQ(ansicht.tabelle.koepfe, (std::vector<std::string>{"Status", "Herkunft", "Ziel"}));
  ASSERT_EQ(ansicht.tabelle.zeilen.size(), 1u);
  EXPECT_EQ(Zeile(1)[kStatusSpalte], "");
  EXPECT_EQ(ansicht.texte[E::kLAnzVergl], "Anzahl laufender Vergleiche im Hintergrund: 0");
  EXPECT_EQ(f->Zustand().SammlungsVerzeichnis, orte.sammlungs_verzeichnis);
  EXPECT_TRUE(f->Einstellungen().SofortSync);
  EXPECT_EQ(f->Einstellungen().LoeschenWohin, orte.programm_verzeichnis + "Loesch");
  EXPECT_TRUE(log.Has(LogStufe::kDebugAusfuehrlich, "Main: InI wird geladen"));
  EXPECT_TRUE(log.Has(LogStufe::kDebug, "Main: FormCreate erledigt"));
  EXPECT_FALSE(tree.Exists("prog/Main.sda"));  // reading creates nothing
}

TEST_F(HauptfensterTest, TakeRunsTheJobAtOnceAndCountsRunningComparisons) {
  Start();
  listing.dateien[1] = 7;  // the source's listing completed with 7 files, the target's not
  const std::string q = tree.Mkdir("a/q");
  const std::string z = tree.Mkdir("a/z");
  ansicht.Tippen(E::kHerkunft, q);
  EXPECT_FALSE(ansicht.Aktiv(E::kSetzen));
  ansicht.Tippen(E::kZiel, z);
  EXPECT_TRUE(ansicht.Aktiv(E::kSetzen));
  EXPECT_EQ(listing.starts.back(), "2 " + z + " 0");
  f->SetzenClick();

  ASSERT_EQ(f->Jobs().Anzahl(), 1u);
  ASSERT_EQ(laeufe.laeufe.size(), 1u);
  const VergleichsWerte& w = laeufe.laeufe[0].werte;
  EXPECT_EQ(w.Herkunft, q);
  EXPECT_EQ(w.Ziel, z);
  EXPECT_EQ(w.LoeschenWohin, orte.programm_verzeichnis + "Loesch");
  EXPECT_EQ(w.Art, VorgangsArt::kSynchronisieren);
  EXPECT_EQ(w.Doppelt, 0);
  EXPECT_EQ(w.Loeschen, LoeschModus::kNormal);
  EXPECT_EQ(w.Aufruf, 0);
  EXPECT_EQ(w.Zaehler, 7);
  EXPECT_TRUE(w.ZaehlArt);
  EXPECT_FALSE(w.Unterverzeichnisse);
  EXPECT_EQ(Zeile(1)[kStatusSpalte], "1:läuft");
  EXPECT_EQ(ansicht.texte[E::kStatus2], "Erstabgleich läuft.");
  EXPECT_EQ(ansicht.panel[0], "Verzeichnis übernehmen");
  EXPECT_EQ(ansicht.panel[1], "Geändert");
  EXPECT_TRUE(ansicht.Aktiv(E::kLoesch));
  EXPECT_TRUE(ansicht.Aktiv(E::kHolen));
  EXPECT_FALSE(ansicht.Aktiv(E::kSyncNow));
  for (auto [stufe, text] :
       {std::pair{LogStufe::kDebugAusfuehrlich, "Main:  Vorgang übernehmen startet"},
        {LogStufe::kDebugAusfuehrlich, "Main: Datensatz angelegt"},
        {LogStufe::kDebugAusfuehrlich, "Main:  Thread für Vergleich gestartet"},
        {LogStufe::kDebugAusfuehrlich, "Main:  Werte in Tabelle übernommen"},
        {LogStufe::kGrundbefehl, "Eing: Vorgang übernehmen"}}) {
    EXPECT_TRUE(log.Has(stufe, text)) << text;
  }

  // A second job goes to the front; two run.
  NehmenNeu("b");
  EXPECT_EQ(Job(2).Herkunft, q);
  EXPECT_EQ(ansicht.texte[E::kLAnzVergl], "Anzahl laufender Vergleiche im Hintergrund: 2");
  EXPECT_EQ(Job(2).Zaehler, 7);

  laeufe.Beenden(0);
  EXPECT_EQ(ansicht.texte[E::kLAnzVergl], "Anzahl laufender Vergleiche im Hintergrund: 1");
  EXPECT_EQ(Zeile(2)[kStatusSpalte], "1:14:05:32");
  EXPECT_TRUE(Job(2).Thread.Leer());
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Vergleich beendet: " + q + " - " + z));
  laeufe.Beenden(1, /*abgebrochen=*/true);
  EXPECT_EQ(ansicht.texte[E::kLAnzVergl], "Anzahl laufender Vergleiche im Hintergrund: 0");
  EXPECT_EQ(Job(1).Aufruf, 0);
  EXPECT_EQ(Zeile(1)[kStatusSpalte], "1:Keiner");
  EXPECT_EQ(log.CountPrefix("Vergleich abgebrochen: "), 1);

  // The description of row 2 after its run.
  ansicht.Waehlen(2);
  f->AnzeigeMouseMove(2);
  EXPECT_EQ(ansicht.texte[E::kStatus1], "Neuere Dateien übertragen:");
  EXPECT_EQ(ansicht.texte[E::kStatus3], "(Nachfragen bei doppelter Änderung)");
  EXPECT_TRUE(ansicht.sichtbar[E::kStatus3]);
  EXPECT_EQ(ansicht.texte[E::kStatus2], "Letzter um 01.03.2024 14:05:32");
}

TEST_F(HauptfensterTest, WithoutSofortSyncRunNowStartsTheSelectedJob) {
  Start(kOhneSofortSync);
  listing.dateien[1] = 5;
  listing.dateien[2] = 5;  // equal counts: the target wins
  NehmenNeu("a");
  EXPECT_TRUE(laeufe.laeufe.empty());
  EXPECT_EQ(Zeile(1)[kStatusSpalte], "1:abgbr.");
  EXPECT_EQ(Job(1).Zaehler, 5);
  EXPECT_FALSE(Job(1).ZaehlArt);
  EXPECT_TRUE(ansicht.Aktiv(E::kSyncNow));

  f->SyncNowClick();
  EXPECT_TRUE(log.Has(LogStufe::kGrundbefehl, "Main: Sync Now startet"));
  ASSERT_EQ(laeufe.laeufe.size(), 1u);
  EXPECT_FALSE(ansicht.Aktiv(E::kSyncNow));
  EXPECT_EQ(Zeile(1)[kStatusSpalte], "1:läuft");
  ansicht.Waehlen(1);
  EXPECT_FALSE(ansicht.Aktiv(E::kSyncNow));
  f->SyncNowClick();  // a running job is not started again
  EXPECT_EQ(laeufe.laeufe.size(), 1u);
  laeufe.Beenden(0);
  EXPECT_TRUE(ansicht.Aktiv(E::kSyncNow));

  // No thread can be started: an error box, the job stays idle and nothing is counted.
  laeufe.kein_thread = true;
  f->SyncNowClick();
  EXPECT_EQ(ansicht.meldungen.back().titel, "Fehler");
  EXPECT_EQ(f->AnzahlVergleiche(), 0);
  EXPECT_TRUE(Job(1).Thread.Leer());
  EXPECT_TRUE(ansicht.Aktiv(E::kSyncNow));
}

TEST_F(HauptfensterTest, TakeAsksToCreateAMissingSource) {
  Start();
  const std::string q = tree.Path("neu/tief/q");
  const std::string z = tree.Mkdir("z");
  ansicht.antworten = {Antwort::kOk};
  Nehmen(q, z);
  ASSERT_EQ(ansicht.meldungen.size(), 1u);
  const Meldungsbox& box = ansicht.meldungen[0];
  EXPECT_EQ(box.titel, "Verzeichnis fehlt");
  EXPECT_EQ(box.text, "Das Verzeichnis " + q + " existiert nicht. Soll es erstellt werden?");
  EXPECT_EQ(box.knoepfe, Knoepfe::kOkAbbrechen);
  EXPECT_EQ(box.symbol, Symbol::kFrage);
  EXPECT_TRUE(log.Has(LogStufe::kDebugAusfuehrlich, "Main: Verzeichnis erstellen: " + q));
  EXPECT_TRUE(tree.Exists("neu/tief/q"));
  EXPECT_EQ(f->Jobs().Anzahl(), 1u);
}

TEST_F(HauptfensterTest, CancelledOrFailedCreationAddsNothing) {
  Start();
  // Cancel at the source: the (also missing) target is not asked about.
  ansicht.antworten = {Antwort::kAbbrechen};
  Nehmen(tree.Path("fehlt1"), tree.Path("fehlt2"));
  EXPECT_EQ(ansicht.meldungen.size(), 1u);
  EXPECT_TRUE(f->Jobs().Leer());
  EXPECT_EQ(ansicht.panel[1], "Geändert");
  EXPECT_FALSE(tree.Exists("fehlt1"));

  // OK, but the target cannot be created: its parent is a file.
  tree.Write("datei", "x");
  const std::string z = tree.Path("datei/z");
  ansicht.antworten = {Antwort::kOk};
  Nehmen(tree.Mkdir("q"), z);
  EXPECT_EQ(ansicht.LetzteMeldung(), "Das Verzeichnis kann nicht erstellt werden!");
  EXPECT_EQ(ansicht.meldungen.back().symbol, Symbol::kAusrufezeichen);
  EXPECT_TRUE(log.Has(LogStufe::kDateiAenderung, "Warn: Verzeichnis nicht zu erstellen: " + z));
  EXPECT_TRUE(f->Jobs().Leer());

  // A file where the target should be: no offer to create it.
  ansicht.meldungen.clear();
  Nehmen(tree.Path("q"), tree.Path("datei"));
  ASSERT_EQ(ansicht.meldungen.size(), 1u);
  EXPECT_EQ(ansicht.meldungen[0].knoepfe, Knoepfe::kOk);
  EXPECT_NE(ansicht.LetzteMeldung().find(tree.Path("datei")), std::string::npos);
  EXPECT_TRUE(f->Jobs().Leer());
  EXPECT_TRUE(laeufe.laeufe.empty());
}

TEST_F(HauptfensterTest, TakeCleansTypedPathsAndRefusesRelativeOnes) {
  Start();
  const std::string q = tree.Mkdir("q");
  const std::string z = tree.Mkdir("z");
  Nehmen("  " + q + "/ ", z + "//");
  ASSERT_EQ(f->Jobs().Anzahl(), 1u);
  EXPECT_EQ(Job(1).Herkunft, q);
  EXPECT_EQ(Job(1).Ziel, z);

  Nehmen("daten/q", z);
  EXPECT_EQ(ansicht.meldungen.back().titel, "Verzeichnis ungültig");
  EXPECT_EQ(ansicht.LetzteMeldung(),
            "Das Verzeichnis daten/q ist nicht vollständig angegeben.\rBitte geben Sie den "
            "ganzen Pfad an, beginnend mit \"/\".");
  Nehmen(q, "   ");
  EXPECT_EQ(ansicht.LetzteMeldung(), "Bitte geben Sie ein Verzeichnis an.");
  EXPECT_EQ(f->Jobs().Anzahl(), 1u);
}

TEST_F(HauptfensterTest, FetchFillsTheFieldsForEachKind) {
  Start();
  const std::string syc = tree.Write("jobs.syc",
                                     "[Allgemein]\nVersion=2\nAnzahl=4\n"
                                     "[Vorgang 1]\nHerkunft=/q/1\nZiel=/z/1\nArt=2\nDoppelt=1\n"
                                     "Unterverzeichnisse=1\nBooten=1\n"
                                     "[Vorgang 2]\nHerkunft=/q/2\nZiel=/z/2\nArt=3\nDoppelt=1\n"
                                     "[Vorgang 3]\nHerkunft=/q/3\nZiel=/z/3\nArt=0\n"
                                     "[Vorgang 4]\nHerkunft=/q/4\nZiel=/z/4\nArt=1\nDoppelt=9\n");
  f->FormShow({syc});
  ASSERT_EQ(f->Jobs().Anzahl(), 4u);
  EXPECT_EQ(ansicht.titel, "Zarnoft - jobs.syc");
  EXPECT_EQ(ansicht.panel[1], "Geladen");

  struct Fall {
    int zeile;
    int art;
    std::vector<std::string> modi;
    int doppelt;
    std::string label;  // "" = the sub-mode list is hidden
  };
  const Fall faelle[] = {
      {1, 1, {"Herkunft geändert", "Ziel geändert", "Egal welches"}, 1, "Wann:"},
      {2, 2, {"Inkrementell", "Gesamt"}, 1, "Umfang:"},
      {3, -1, {}, -1, ""},
      {4, 0, DoppeltEintraege(VorgangsArt::kSynchronisieren), -1,
       "Bei Doppelten:"},  // 9 is no item: none selected
  };
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.zeile);
    ansicht.Waehlen(fall.zeile);
    f->HolenClick();
    EXPECT_EQ(ansicht.Text(E::kHerkunft), "/q/" + std::to_string(fall.zeile));
    EXPECT_EQ(ansicht.Position(E::kArt), fall.art);
    EXPECT_EQ(ansicht.eintraege[E::kDoppelt], fall.modi);
    EXPECT_EQ(ansicht.Position(E::kDoppelt), fall.doppelt);
    EXPECT_EQ(ansicht.layout.DoppeltSichtbar, !fall.label.empty());
    if (!fall.label.empty()) {
      EXPECT_EQ(ansicht.layout.LDoppeltText, fall.label);
    }
  }
  // The first job's switches, and the listings restarted for both sides at the end.
  ansicht.Waehlen(1);
  f->HolenClick();
  EXPECT_TRUE(ansicht.Angehakt(E::kUnterverzeichnisse));
  EXPECT_TRUE(ansicht.Angehakt(E::kAStart));
  EXPECT_FALSE(ansicht.Angehakt(E::kAEnde));
  ASSERT_GE(listing.starts.size(), 2u);
  EXPECT_EQ(listing.starts[listing.starts.size() - 2], "1 /q/1 1");
  EXPECT_EQ(listing.starts.back(), "2 /z/1 1");
  EXPECT_TRUE(ansicht.Aktiv(E::kSetzen));
  EXPECT_TRUE(log.Has(LogStufe::kBefehl, "Main: Eintrag wird zurückgeschrieben"));
  EXPECT_TRUE(log.Has(LogStufe::kDebugAusfuehrlich, "Main: Zeiten starten"));
}

// The patterns belong to the edit fields: the dialog edits them, a take puts them into the new
// job (and marks the collection changed), a fetch brings back the fetched job's, and the status
// description names them only for a job that has any.
TEST_F(HauptfensterTest, ExclusionsAreEditedTakenFetchedAndDescribed) {
  Start(kOhneSofortSync);
  EXPECT_EQ(ansicht.texte[E::kAusnahmen], "Au&snahmen...");
  NehmenNeu("ohne");
  EXPECT_EQ(ansicht.texte[E::kStatus4], "");
  EXPECT_FALSE(ansicht.sichtbar[E::kStatus4]);

  // Cancel changes nothing; OK with a list replaces the edited job's patterns.
  ansicht.Tippen(E::kHerkunft, " ~/Quelle/ ");
  f->AusnahmenClick();
  ASSERT_EQ(ansicht.ausnahmen_aufrufe.size(), 1u);
  EXPECT_EQ(ansicht.ausnahmen_aufrufe[0].herkunft, std::string(getenv("HOME")) + "/Quelle");
  EXPECT_TRUE(f->Ausnahmen().empty());
  const std::vector<std::string> muster = {"*.tmp", "node_modules/", "a\\|b"};
  ansicht.ausnahmen_antworten.push_back(muster);
  f->AusnahmenClick();
  EXPECT_EQ(f->Ausnahmen(), muster);
  EXPECT_EQ(ansicht.texte[E::kAusnahmen], "Au&snahmen (3)...");
  EXPECT_TRUE(log.Has(LogStufe::kGrundbefehl, "Eing: Ausnahmen geändert"));
  // Both sizes are listed again, leaving out what the patterns leave out.
  EXPECT_EQ(listing.starts.back(), "2 " + tree.Path("ohne/z") + " 0 3 Muster");
  EXPECT_EQ(Job(1).Ausnahmen, std::vector<std::string>());  // not taken yet

  ansicht.antworten.push_back(Antwort::kNein);  // save the collection first? no
  f->BNeuClick();
  EXPECT_EQ(ansicht.panel[1], "Unverändert");
  NehmenNeu("mit");
  EXPECT_EQ(ansicht.panel[1], "Geändert");
  ASSERT_EQ(f->Jobs().Anzahl(), 1u);
  EXPECT_EQ(Job(1).Ausnahmen, muster);
  EXPECT_EQ(ansicht.texte[E::kStatus4], "Ausnahmen: 3 Muster");
  EXPECT_TRUE(ansicht.sichtbar[E::kStatus4]);
  NehmenNeu("ohne2");  // the list stays with the fields, as the directories do
  EXPECT_EQ(Job(1).Ausnahmen, muster);

  // The dialog opens with the edited list; a fetch replaces it with the job's own.
  ansicht.ausnahmen_antworten.push_back(std::vector<std::string>{});
  f->AusnahmenClick();
  EXPECT_EQ(ansicht.ausnahmen_aufrufe.back().muster, muster);
  EXPECT_TRUE(f->Ausnahmen().empty());
  EXPECT_EQ(ansicht.texte[E::kAusnahmen], "Au&snahmen...");
  ansicht.Waehlen(2);
  f->HolenClick();
  EXPECT_EQ(f->Ausnahmen(), muster);
  EXPECT_EQ(ansicht.texte[E::kAusnahmen], "Au&snahmen (3)...");

  // Saved and opened again, the job keeps its list byte for byte.
  const std::string datei = tree.Path("sammlung.syc");
  ansicht.dateien.push_back(datei);
  f->BSpeichernClick();
  ansicht.dateien.push_back(datei);
  f->BOffnenClick();
  ASSERT_EQ(f->Jobs().Anzahl(), 2u);
  EXPECT_EQ(Job(1).Ausnahmen, muster);
  EXPECT_EQ(Job(2).Ausnahmen, muster);
  EXPECT_EQ(ansicht.texte[E::kStatus4], "Ausnahmen: 3 Muster");

  // An empty collection shows no exclusions line.
  f->BNeuClick();
  EXPECT_FALSE(ansicht.sichtbar[E::kStatus4]);
}

TEST_F(HauptfensterTest, DeletingARunningJobStopsItsRunWithoutWaiting) {
  Start();
  NehmenNeu("a");
  f->LoeschClick();
  EXPECT_TRUE(laeufe.laeufe[0].stop);
  EXPECT_TRUE(f->Jobs().Leer());
  ASSERT_EQ(ansicht.tabelle.zeilen.size(), 1u);
  EXPECT_EQ(Zeile(1)[kHerkunftSpalte], "");
  EXPECT_FALSE(ansicht.Aktiv(E::kLoesch));
  EXPECT_FALSE(ansicht.Aktiv(E::kHolen));
  // Nothing of the deleted job's description stays, its second line included.
  for (E e : {E::kStatus1, E::kStatus2, E::kStatus3}) EXPECT_EQ(ansicht.texte[e], "");
  EXPECT_FALSE(ansicht.sichtbar[E::kStatus3]);
  EXPECT_EQ(f->AnzahlVergleiche(), 1);
  EXPECT_TRUE(log.Has(LogStufe::kGrundbefehl, "Eing: Eingabe wird gelöscht"));
  EXPECT_TRUE(log.Has(LogStufe::kDebugAusfuehrlich, "Main: Vorgang gelöscht"));

  // The end notification finds no job: the count drops, nothing else happens.
  laeufe.Beenden(0);
  EXPECT_EQ(f->AnzahlVergleiche(), 0);
  EXPECT_TRUE(log.Has(LogStufe::kDebugAusfuehrlich, "Main: Vergleichthread gelöscht"));
  EXPECT_EQ(log.CountPrefix("Vergleich "), 0);
}

TEST_F(HauptfensterTest, RunsThatDidNotCompleteKeepTheLastRun) {
  Start(kOhneSofortSync);
  NehmenNeu("a");
  f->SyncNowClick();
  laeufe.Beenden(0);
  const double erster = Job(1).Aufruf;
  EXPECT_NE(erster, 0);
  ansicht.dateien = {tree.Path("j.syc")};
  f->BSpeichernClick();
  ASSERT_EQ(ansicht.panel[1], "Gespeichert");

  uhr.Advance(3600);
  f->SyncNowClick();
  laeufe.Beenden(1, /*abgebrochen=*/true);
  EXPECT_NE(Zeile(1)[kStatusSpalte], "1:Fehler");
  f->SyncNowClick();
  // The run reports its failures on its own thread, into what the window collects.
  std::thread lauf([&] {
    for (int i = 1; i <= 5; ++i)
      laeufe.laeufe[2].bericht->Fehler({"Kopieren fehlgeschlagen: /q/" + std::to_string(i),
                                        i == 1 ? "Kein Platz mehr auf dem Gerät" : ""});
  });
  lauf.join();
  laeufe.Beenden(2, false, /*fehler=*/5);
  EXPECT_EQ(Job(1).Aufruf, erster);
  // Failures are told apart from a cancel in the grid and the description, which lists the
  // first of them.
  EXPECT_EQ(Zeile(1)[kStatusSpalte], "1:Fehler");
  EXPECT_EQ(ansicht.texte[E::kStatus2], "Letzter Abgleich mit Fehlern");
  const std::string liste =
      "Kopieren fehlgeschlagen: /q/1: Kein Platz mehr auf dem Gerät\n"
      "Kopieren fehlgeschlagen: /q/2\nKopieren fehlgeschlagen: /q/3\n... und 2 weitere";
  EXPECT_EQ(ansicht.texte[E::kStatus5], liste);
  EXPECT_TRUE(ansicht.sichtbar[E::kStatus5]);
  // A probe run is no run of the job: the failures of the last one stay.
  f->ProbelaufClick();
  laeufe.Beenden(3);
  EXPECT_EQ(Zeile(1)[kStatusSpalte], "1:Fehler");
  EXPECT_EQ(ansicht.texte[E::kStatus5], liste);
  f->SyncNowClick();
  laeufe.Beenden(4, /*abgebrochen=*/true);
  EXPECT_FALSE(ansicht.sichtbar[E::kStatus5]);
  EXPECT_EQ(Zeile(1)[kStatusSpalte].rfind("1:", 0), 0u);
  EXPECT_NE(Zeile(1)[kStatusSpalte], "1:Fehler");
  EXPECT_EQ(ansicht.panel[1], "Gespeichert");
  EXPECT_EQ(log.CountPrefix("Vergleich abgebrochen: "), 2);
  EXPECT_EQ(log.CountPrefix("Vergleich mit Fehlern: "), 1);
}

// "Probelauf" runs the selected job as a probe; at its end the probe window lists what the run
// reported, and its button starts the real run of that job - only while it is still the job in
// the collection and idle. The probe records nothing.
TEST_F(HauptfensterTest, AProbeRunShowsItsWindowWhoseButtonStartsTheRealRun) {
  Start(kOhneSofortSync);
  NehmenNeu("b");
  NehmenNeu("a");
  ansicht.Waehlen(2);
  const std::string herkunft = Job(2).Herkunft;
  f->ProbelaufClick();
  EXPECT_TRUE(log.Has(LogStufe::kGrundbefehl, "Main: Probelauf startet"));
  ASSERT_EQ(laeufe.laeufe.size(), 1u);
  EXPECT_TRUE(laeufe.laeufe[0].werte.Probelauf);
  EXPECT_EQ(laeufe.laeufe[0].werte.Herkunft, herkunft);
  EXPECT_EQ(Zeile(2)[kStatusSpalte], "1:läuft");
  EXPECT_FALSE(ansicht.Aktiv(E::kSyncNow));
  f->ProbelaufClick();  // one run per job
  EXPECT_EQ(laeufe.laeufe.size(), 1u);

  std::thread lauf([&] {
    Aktion a;
    a.rel = "d/a.txt";
    a.herkunft.groesse = 4096;
    laeufe.laeufe[0].bericht->Getan(a);
    laeufe.laeufe[0].bericht->Hinweis("Löschschutz: Dieser Lauf würde ...");
  });
  lauf.join();
  const std::string marker = ansicht.panel[1];
  laeufe.Beenden(0);
  EXPECT_EQ(Job(2).Aufruf, 0);
  EXPECT_EQ(ansicht.panel[1], marker);
  EXPECT_EQ(Zeile(2)[kStatusSpalte], "1:abgbr.");
  EXPECT_EQ(log.CountPrefix("Probelauf beendet: "), 1);
  ASSERT_EQ(ansicht.proben.size(), 1u);
  const ProbeListe& liste = ansicht.proben[0].liste;
  EXPECT_EQ(liste.Titel(), "Probelauf – " + herkunft + " → " + Job(2).Ziel);
  ASSERT_EQ(liste.Zeilen().size(), 1u);
  EXPECT_EQ(liste.Zeilen()[0].zellen[kProbePfad], "d/a.txt");
  EXPECT_EQ(liste.Warnungen(), std::vector<std::string>{"Löschschutz: Dieser Lauf würde ..."});

  Probefenster::Jetzt jetzt = ansicht.proben[0].jetzt;
  EXPECT_EQ(jetzt(), "");
  ASSERT_EQ(laeufe.laeufe.size(), 2u);
  EXPECT_FALSE(laeufe.laeufe[1].werte.Probelauf);
  EXPECT_EQ(laeufe.laeufe[1].werte.Herkunft, herkunft);
  EXPECT_EQ(jetzt(), "Der Auftrag läuft bereits.");
  laeufe.Beenden(1);
  EXPECT_NE(Job(2).Aufruf, 0);

  // A cancelled probe, or one of a job deleted meanwhile, opens no window.
  f->ProbelaufClick();
  laeufe.Beenden(2, /*abgebrochen=*/true);
  f->ProbelaufClick();
  f->LoeschClick();
  laeufe.Beenden(3);
  EXPECT_EQ(ansicht.proben.size(), 1u);
  // The window's button no longer finds its job, also when a new one took its place.
  NehmenNeu("c");
  EXPECT_EQ(jetzt(), "Der Auftrag ist nicht mehr in der Sammlung.");
  EXPECT_EQ(laeufe.laeufe.size(), 4u);
}

TEST_F(HauptfensterTest, NewAsksAboutAnUnsavedCollection) {
  Start(kOhneSofortSync);
  NehmenNeu("a");
  NehmenNeu("b");

  ansicht.antworten = {Antwort::kAbbrechen};
  f->BNeuClick();
  const Meldungsbox& box = ansicht.meldungen.back();
  EXPECT_EQ(box.titel, "Ungespeichert");
  EXPECT_EQ(box.text,
            "Synchronisationsvorgaben wurden noch nicht gespeichert.\r Soll jetzt gespeichert "
            "werden?");
  EXPECT_EQ(box.knoepfe, Knoepfe::kJaNeinAbbrechen);
  EXPECT_EQ(box.symbol, Symbol::kAusrufezeichen);
  EXPECT_EQ(f->Jobs().Anzahl(), 2u);

  ansicht.antworten = {Antwort::kJa};
  ansicht.dateien = {std::nullopt};  // the save dialog is cancelled
  f->BNeuClick();
  EXPECT_EQ(f->Jobs().Anzahl(), 2u);
  EXPECT_EQ(ansicht.panel[1], "Geändert");
  EXPECT_EQ(ansicht.datei_dialoge.back().titel, "Syncronisationsverzeichnisse speichern");

  ansicht.antworten = {Antwort::kNein};
  f->BNeuClick();
  EXPECT_TRUE(f->Jobs().Leer());
  EXPECT_EQ(ansicht.titel, "Zarnoft");
  EXPECT_EQ(ansicht.panel[1], "Unverändert");
  EXPECT_EQ(log.CountPrefix("Eing: Eingabe wird gelöscht"), 2);
  EXPECT_FALSE(ansicht.Aktiv(E::kLoesch));
}

TEST_F(HauptfensterTest, SaveOpenRoundTripThroughTheDialogs) {
  Start(kOhneSofortSync);
  NehmenNeu("a");
  const std::string syc = tree.Path("jobs.syc");
  ansicht.dateien = {syc};
  ansicht.anzeigen.clear();
  f->BSpeichernClick();
  EXPECT_EQ(ansicht.anzeigen, (std::vector<std::string>{"Panel0 Speichern...", "Nachrichten",
                                                        "Titel Zarnoft - jobs.syc",
                                                        "Panel1 Gespeichert", "Panel0 "}));
  EXPECT_TRUE(log.Has(LogStufe::kSpeichernLaden, "jobs.syc gespeichert"));
  const DateiDialog& d = ansicht.datei_dialoge.back();
  EXPECT_EQ(d.verzeichnis, orte.sammlungs_verzeichnis);
  EXPECT_EQ(d.endung, "syc");
  EXPECT_EQ(d.filter.size(), 2u);
  EXPECT_FALSE(d.ueberschreiben_fragen);
  EXPECT_EQ(ansicht.titel, "Zarnoft - jobs.syc");
  EXPECT_EQ(ansicht.panel[1], "Gespeichert");
  EXPECT_EQ(f->Zustand().SammlungsVerzeichnis, tree.root() + "/");

  // Saved, so New asks nothing; Open with unsaved changes saves first (Yes) into the same file.
  f->BNeuClick();
  EXPECT_TRUE(f->Jobs().Leer());
  ansicht.dateien = {syc};
  ansicht.anzeigen.clear();
  f->BOffnenClick();
  // The grid is drawn once emptied and once with the jobs read; the caption names the file
  // first as given, then by its name.
  EXPECT_EQ(ansicht.anzeigen,
            (std::vector<std::string>{"Panel0 Öffnen...", "Nachrichten", "Tabelle",
                                      "Panel1 Unverändert", "Tabelle", "Titel Zarnoft - " + syc,
                                      "Panel1 Geladen", "Panel0 ", "Titel Zarnoft - jobs.syc"}));
  EXPECT_EQ(ansicht.datei_dialoge.back().titel, "Syncronisationsvorgaben");
  EXPECT_TRUE(ansicht.datei_dialoge.back().muss_existieren);
  ASSERT_EQ(f->Jobs().Anzahl(), 1u);
  EXPECT_EQ(ansicht.panel[1], "Geladen");
  EXPECT_EQ(ansicht.titel, "Zarnoft - jobs.syc");

  NehmenNeu("b");
  ansicht.antworten = {Antwort::kJa};
  ansicht.dateien = {syc, syc};
  f->BOffnenClick();
  EXPECT_EQ(f->Jobs().Anzahl(), 2u);  // both jobs were saved before the file was opened again
  EXPECT_EQ(ansicht.panel[1], "Geladen");
  // Each job keeps the identity it got when it was taken, through saving and opening.
  EXPECT_EQ(f->Jobs().An(0)->Kennung.size(), 16u);
  EXPECT_NE(f->Jobs().An(0)->Kennung, f->Jobs().An(1)->Kennung);
}

TEST_F(HauptfensterTest, SaveUnderAsksBeforeReplacingAnotherCollection) {
  Start(kOhneSofortSync);
  NehmenNeu("a");
  const std::string andere = tree.Path("andere.syc");
  tree.Write("andere.syc", "[Main]\nAnzahl=0\n");
  const std::string vorher = tree.Read("andere.syc");

  // No: nothing is written and the dialog comes again, at the file chosen; then Cancel.
  ansicht.antworten = {Antwort::kNein};
  ansicht.dateien = {andere, std::nullopt};
  f->Speichernunter1Click();
  ASSERT_EQ(ansicht.meldungen.size(), 1u);
  const Meldungsbox& box = ansicht.meldungen[0];
  EXPECT_EQ(box.text, "andere.syc existiert bereits. Soll sie ersetzt werden?");
  EXPECT_EQ(box.knoepfe, Knoepfe::kJaNein);
  EXPECT_EQ(box.standard, Antwort::kNein);
  ASSERT_EQ(ansicht.datei_dialoge.size(), 2u);
  EXPECT_EQ(ansicht.datei_dialoge[1].dateiname, "andere.syc");
  EXPECT_EQ(tree.Read("andere.syc"), vorher);
  EXPECT_EQ(ansicht.panel[1], "Geändert");
  EXPECT_TRUE(f->Zustand().SammlungsDatei.empty());

  // Yes replaces it; saving again under the collection's own name asks nothing.
  ansicht.antworten = {Antwort::kJa};
  ansicht.dateien = {andere};
  f->Speichernunter1Click();
  EXPECT_EQ(ansicht.panel[1], "Gespeichert");
  EXPECT_NE(tree.Read("andere.syc"), vorher);
  ansicht.dateien = {andere};
  f->Speichernunter1Click();
  EXPECT_EQ(ansicht.meldungen.size(), 2u);

  // A new name asks nothing either.
  ansicht.dateien = {tree.Path("neu.syc")};
  f->Speichernunter1Click();
  EXPECT_EQ(ansicht.meldungen.size(), 2u);
  EXPECT_TRUE(tree.Exists("neu.syc"));
}

TEST_F(HauptfensterTest, SaveToAReadOnlyCollectionShowsTheGeneralError) {
  Start(kOhneSofortSync);
  NehmenNeu("a");
  const std::string syc = tree.Path("jobs.syc");
  ansicht.dateien = {syc};
  f->BSpeichernClick();
  NehmenNeu("b");
  ASSERT_EQ(chmod(syc.c_str(), 0444), 0);
  const std::string vorher = tree.Read("jobs.syc");

  f->BSpeichernClick();
  const Meldungsbox& box = ansicht.meldungen.back();
  EXPECT_EQ(box.titel, "Zarnoft - Einstellungen");
  EXPECT_EQ(box.text, "Kann nicht nach " + syc + " schreiben.");
  EXPECT_EQ(box.symbol, Symbol::kStopp);
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Main: Kann nicht nach " + syc + " schreiben."));
  EXPECT_EQ(ansicht.panel[0], "Speichern...");
  EXPECT_EQ(ansicht.panel[1], "Geändert");
  EXPECT_EQ(tree.Read("jobs.syc"), vorher);

  // Closing: Yes to saving fails as well, so the window stays open.
  ansicht.antworten = {Antwort::kJa};
  EXPECT_FALSE(f->FormClose(geometrie));
  EXPECT_EQ(tree.Read("prog/Main.sda"), kOhneSofortSync);  // settings untouched
}

TEST_F(HauptfensterTest, CommandLineCollection) {
  Start();
  f->FormShow({});
  f->FormShow({"nil"});
  EXPECT_TRUE(ansicht.meldungen.empty());
  EXPECT_EQ(ansicht.titel, "Zarnoft");

  // "Nil" is a file name: a collection not there yet opens empty, with a note.
  const std::string fehlt = tree.Path("Nil");
  ansicht.anzeigen.clear();
  f->FormShow({fehlt});
  // Nothing read: the grid is drawn only once, when emptied.
  EXPECT_EQ(ansicht.anzeigen,
            (std::vector<std::string>{"Panel0 Öffnen...", "Nachrichten", "Tabelle",
                                      "Panel1 Unverändert", "Titel Zarnoft - " + fehlt,
                                      "Panel1 Geladen", "Panel0 ", "Titel Zarnoft - Nil"}));
  EXPECT_EQ(ansicht.meldungen.back().symbol, Symbol::kInformation);
  EXPECT_EQ(ansicht.titel, "Zarnoft - Nil");
  EXPECT_EQ(ansicht.panel[1], "Geladen");

  struct Fall {
    std::string pfad;
    std::string text;
  };
  std::vector<Fall> faelle = {
      {tree.Mkdir("ordner.syc"), " ist ein Verzeichnis und keine Auftragssammlung."},
      {tree.Write("bild.syc", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)),
       " ist keine Auftragssammlung."},
  };
  if (geteuid() != 0) {
    std::string p = tree.Write("geheim.syc", "[Allgemein]\nVersion=2\n");
    chmod(p.c_str(), 0);
    faelle.push_back({"", ""});
    faelle.back().pfad = p;
    faelle.back().text = "Die Auftragssammlung " + p + " kann nicht gelesen werden.";
  }
  for (const Fall& fall : faelle) {
    SCOPED_TRACE(fall.pfad);
    f->FormShow({fall.pfad});
    const Meldungsbox& box = ansicht.meldungen.back();
    EXPECT_EQ(box.titel, "Fehler");
    EXPECT_EQ(box.symbol, Symbol::kStopp);
    const std::string erwartet = fall.text[0] == ' ' ? fall.pfad + fall.text : fall.text;
    EXPECT_EQ(box.text, erwartet);
    EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Main: " + erwartet));
    EXPECT_EQ(ansicht.titel, "Zarnoft - Nil");  // nothing else was opened
  }
}

TEST_F(HauptfensterTest, ClosingWritesTheSettingsAndAsksOnlyWhenUnsaved) {
  Start("[Data]\nSyncDirData=2\n");
  FensterGeometrie jetzt;
  jetzt.Breite = 600;
  jetzt.Hoehe = 500;
  jetzt.PosX = 10;
  jetzt.PosY = 20;
  f->Beenden1Click();
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Eing: Programm wird beendet"));
  EXPECT_EQ(ansicht.schliessen, 1);
  EXPECT_TRUE(f->FormClose(jetzt));
  EXPECT_TRUE(ansicht.meldungen.empty());
  EXPECT_EQ(MainSda("Form", "Hoehe"), "500");
  EXPECT_EQ(MainSda("Form", "Breite"), "600");
  EXPECT_EQ(MainSda("Form", "PosX"), "10");
  EXPECT_EQ(MainSda("Allgemein", "Version"), "1");
  EXPECT_EQ(MainSda("Data", "SyncDir"), orte.sammlungs_verzeichnis);
  EXPECT_TRUE(log.Has(LogStufe::kDebugAusfuehrlich, "Main: InI allgemein zurückschreiben"));
  EXPECT_TRUE(log.Has(LogStufe::kDebug, "Main: FormClose erledigt"));
}

TEST_F(HauptfensterTest, ClosingWithUnsavedChangesEachAnswer) {
  Start(kOhneSofortSync);
  NehmenNeu("a");
  ansicht.antworten = {Antwort::kAbbrechen};
  EXPECT_FALSE(f->FormClose(geometrie));
  EXPECT_TRUE(log.Has(LogStufe::kDebugAusfuehrlich,
                      "Main: Bei Beenden ungespeichert - Speichern abfragen"));
  EXPECT_EQ(ansicht.meldungen.back().standard, Antwort::kJa);
  EXPECT_EQ(tree.Read("prog/Main.sda"), kOhneSofortSync);  // settings untouched

  ansicht.antworten = {Antwort::kJa};
  ansicht.dateien = {std::nullopt};  // never saved: the save dialog, cancelled
  EXPECT_FALSE(f->FormClose(geometrie));
  EXPECT_EQ(tree.Read("prog/Main.sda"), kOhneSofortSync);

  ansicht.antworten = {Antwort::kNein};
  EXPECT_TRUE(f->FormClose(geometrie));
  EXPECT_EQ(MainSda("Form", "Breite"), "427");
}

TEST_F(HauptfensterTest, TheWindowOpensAtTheSizeItsFontNeedsAndIsLaidOutForIt) {
  // No Main.sda: the stored default width is below what this font needs.
  ansicht.bedarf.status = 330;
  ansicht.bedarf.zeiten = 140;
  Start();
  EXPECT_EQ(geometrie.Breite, 330 + 20 + 140);
  // The window's first resize comes with that width.
  f->FormResize(geometrie.Breite, geometrie.Hoehe);
  EXPECT_EQ(ansicht.layout.Breite, geometrie.Breite);
  EXPECT_EQ(ansicht.layout.StatusBreite, 330);
  // A kind-1 job described at the smallest width: the group has room for its texts (6 px a
  // character in this view), the captions' column included.
  NehmenNeu("a");
  f->FormResize(1, 1);
  int laengste = 0;
  for (E e : {E::kStatus1, E::kStatus2, E::kStatus3})
    laengste = std::max(laengste, ansicht.TextBreite(ansicht.texte[e]));
  EXPECT_EQ(ansicht.texte[E::kStatus3], "(Nachfragen bei doppelter Änderung)");
  EXPECT_GE(ansicht.layout.StatusBreite, laengste);
  EXPECT_EQ(ansicht.layout.Breite, 490);
  for (const std::string& t : StatusTexteMuster()) EXPECT_LE(ansicht.TextBreite(t), 330) << t;
}

TEST_F(HauptfensterTest, ClosingWithRunsUnderWayCancelsThemFirst) {
  Start();
  NehmenNeu("a");
  NehmenNeu("b");
  ansicht.antworten = {Antwort::kNein};
  EXPECT_FALSE(f->FormClose(geometrie));
  EXPECT_EQ(ansicht.meldungen.back().text,
            "Es laufen noch 2 Vergleiche. Sollen sie abgebrochen werden?");
  EXPECT_EQ(ansicht.meldungen.back().knoepfe, Knoepfe::kJaNein);
  EXPECT_FALSE(laeufe.geschlossen);

  ansicht.antworten = {Antwort::kJa, Antwort::kNein};  // cancel the runs; do not save
  EXPECT_FALSE(f->FormClose(geometrie));
  EXPECT_TRUE(laeufe.geschlossen);
  EXPECT_TRUE(tree.Exists("prog/Main.sda"));
  EXPECT_FALSE(f->FormClose(geometrie));  // a second close while waiting asks nothing
  EXPECT_EQ(ansicht.meldungen.size(), 3u);

  laeufe.Beenden(0, true);
  EXPECT_EQ(ansicht.schliessen, 0);
  laeufe.Beenden(1, true);
  EXPECT_EQ(ansicht.schliessen, 1);  // the window closes itself after the last run
  EXPECT_TRUE(f->FormClose(geometrie));
  EXPECT_EQ(ansicht.meldungen.size(), 3u);
}

TEST_F(HauptfensterTest, AStopSignalCancelsTheRunsAndSavesNothing) {
  Start();
  NehmenNeu("a");  // an unsaved collection with a run under way
  f->SignalBeenden();
  EXPECT_EQ(ansicht.schliessen, 1);
  EXPECT_FALSE(f->FormClose(geometrie));  // no question: the run is cancelled at once
  EXPECT_TRUE(ansicht.meldungen.empty());
  EXPECT_TRUE(laeufe.geschlossen);
  laeufe.Beenden(0, true);
  EXPECT_EQ(ansicht.schliessen, 2);
  EXPECT_TRUE(f->FormClose(geometrie));
  EXPECT_TRUE(ansicht.meldungen.empty());
  EXPECT_FALSE(tree.Exists("prog/Main.sda"));  // not even the window's size
  EXPECT_TRUE(f->Jobs().An(0)->Aufruf == 0);   // the cancelled run is not recorded
}

TEST_F(HauptfensterTest, EndOfARunAfterTheWindowIsGoneTouchesNothing) {
  Start();
  NehmenNeu("a");
  f.reset();
  EXPECT_TRUE(laeufe.geschlossen);
  laeufe.Beenden(0);  // under AddressSanitizer: no use of the freed window
}

TEST_F(HauptfensterTest, UnwritableSettingsAreReportedAndTheProgramStillCloses) {
  tree.Mkdir("prog/Main.sda");  // a directory where the settings file belongs
  Start();
  f->FormShow({});
  ASSERT_EQ(ansicht.meldungen.size(), 1u);
  EXPECT_NE(ansicht.meldungen[0].text.find(" ist ein Verzeichnis."), std::string::npos);
  EXPECT_TRUE(f->FormClose(geometrie));
  ASSERT_EQ(ansicht.meldungen.size(), 2u);
  EXPECT_EQ(ansicht.meldungen[1].titel, "Zarnoft - Einstellungen");
  EXPECT_EQ(ansicht.meldungen[1].text,
            "Kann nicht nach " + orte.EinstellungsDatei() + " schreiben.");
}

TEST_F(HauptfensterTest, KindPickAndResizeLayOutTheSubModeList) {
  Start();
  f->FormResize(460, 500);
  EXPECT_EQ(ansicht.layout.LDoppeltText, "Bei Doppelten:");
  EXPECT_EQ(ansicht.layout.DoppeltBreite, 90);
  f->FormResize(476, 500);
  EXPECT_EQ(ansicht.layout.LDoppeltText, "Bei doppelt geänderten Dateien:");
  EXPECT_EQ(ansicht.layout.DoppeltBreite, 160);
  EXPECT_EQ(ansicht.tabelle.breiten[1], (476 - 65) / 2 - 4);
  ansicht.ArtWaehlen(1);
  EXPECT_EQ(ansicht.eintraege[E::kDoppelt].size(), 3u);
  EXPECT_EQ(ansicht.Position(E::kDoppelt), 2);
  EXPECT_EQ(ansicht.layout.LDoppeltText, "Wann:");
  f->FormResize(100, 100);
  EXPECT_EQ(ansicht.layout.Breite, 427);
  EXPECT_EQ(ansicht.layout.Hoehe, 416);
}

TEST_F(HauptfensterTest, FolderButtonsSetTheFieldWhenConfirmed) {
  Start();
  ansicht.Tippen(E::kHerkunft, "/alt");
  ansicht.ordner = {std::nullopt, std::string("/neu")};
  f->HVerzBClick();
  EXPECT_EQ(ansicht.Text(E::kHerkunft), "/alt");
  EXPECT_EQ(ansicht.ordner_dialoge[0].text, "Bitte wählen Sie das Herkunftsverzeichnis aus.");
  EXPECT_EQ(ansicht.ordner_dialoge[0].auswahl, "/alt");
  f->HVerzBClick();
  EXPECT_EQ(ansicht.Text(E::kHerkunft), "/neu");
  EXPECT_EQ(listing.starts.back(), "1 /neu 0");
  EXPECT_TRUE(log.Has(LogStufe::kBefehl, "Main: Herkunftsverzeichnis wählen"));
}

TEST_F(HauptfensterTest, ADamagedSettingsFileIsSaidAndNothingIsDeletedOrWrittenUntilSaved) {
  // What a crash leaves of a file that said "move aside": the runs must not fall back to delete.
  const std::string kaputt("[Data]\nLoeschen=3\nLoesch", 23);
  Start(kaputt);
  EXPECT_EQ(f->Einstellungen().Loeschen, LoeschModus::kNie);
  const std::vector<std::string> zeilen = log.Texts();
  EXPECT_TRUE(std::any_of(zeilen.begin(), zeilen.end(), [](const std::string& z) {
    return z.find("ist beschädigt (endet mitten in einer Zeile)") != std::string::npos;
  }));
  f->FormShow({});
  ASSERT_FALSE(ansicht.meldungen.empty());
  EXPECT_NE(ansicht.meldungen.back().text.find("Niemals löschen"), std::string::npos);
  // Closing writes nothing into it: the next start must still see it damaged.
  EXPECT_TRUE(f->FormClose(geometrie));
  EXPECT_EQ(tree.Read("prog/Main.sda"), kaputt);

  // The settings dialog writes a sound file; from then on its deletion mode holds.
  tree.Write("prog/Main.sda", "[Data]\nLoeschen=3\n");
  f->Einstellungen1Click();
  EXPECT_EQ(f->Einstellungen().Loeschen, LoeschModus::kAuslagern);
}

TEST_F(HauptfensterTest, SettingsDialogReloadsTheJobSettings) {
  Start();
  NehmenNeu("a");
  laeufe.Beenden(0, true);
  EXPECT_EQ(Zeile(1)[kStatusSpalte], "1:Keiner");
  tree.Write("prog/Main.sda", kOhneSofortSync);
  f->Einstellungen1Click();
  EXPECT_EQ(ansicht.einstellungen, 1);
  EXPECT_FALSE(f->Einstellungen().SofortSync);
  EXPECT_EQ(Zeile(1)[kStatusSpalte], "1:abgbr.");
}

}  // namespace
}  // namespace zarnoft
