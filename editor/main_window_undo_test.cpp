// "Letzten Lauf rückgängig machen" in the main window's logic: the plan on a thread of its own
// and in the probe window, the undo on the user's word, the job's last run set back, and every
// way it can be refused or end without its job.
#include <gtest/gtest.h>

#include <thread>

#include "engine/run_journal.h"
#include "testing/main_window_kit.h"

namespace zarnoft {
namespace {

using E = Steuerelement;
using testing::HauptfensterTest;
using testing::kOhneSofortSync;

// What the undo's thread reports: a step, and a file changed since the run.
void Melden(LaufBericht* b) {
  std::thread([b] {
    Aktion a;
    a.art = AktionsArt::kWiederherstellen;
    a.rel = "brief.txt";
    a.ziel.groesse = 3;
    b->Getan(a);
    b->Fehler({"Seit dem Lauf geändert, bleibt: /z/notiz.txt", ""});
  }).join();
}

RueckgaengigErgebnis Ergebnis(const std::string& lauf) {
  RueckgaengigErgebnis e;
  e.lauf = lauf;
  e.schritte = 1;
  e.zaehlung.wiederhergestellt = 1;
  e.fehler = 1;
  return e;
}

TEST_F(HauptfensterTest, UndoShowsItsPlanThenTakesTheRunBackAndSetsTheJobsLastRunBack) {
  Start(kOhneSofortSync);
  NehmenNeu("a");
  ansicht.Waehlen(1);
  f->SyncNowClick();
  laeufe.Beenden(0);
  const double aufruf = Job(1).Aufruf;
  ASSERT_NE(aufruf, 0);

  f->RueckgaengigClick();
  EXPECT_TRUE(log.Has(LogStufe::kGrundbefehl, "Main: Rückgängig startet"));
  ASSERT_EQ(laeufe.rueckgaengig.size(), 1u);
  const RueckgaengigWerte& plan = laeufe.rueckgaengig[0].werte;
  EXPECT_TRUE(plan.Probelauf);
  EXPECT_EQ(plan.Herkunft, Job(1).Herkunft);
  EXPECT_EQ(plan.Aufruf, aufruf);
  EXPECT_TRUE(plan.Lauf.empty());
  // The job counts as running: nothing else of it starts meanwhile.
  EXPECT_EQ(Zeile(1)[kStatusSpalte], "1:läuft");
  EXPECT_EQ(ansicht.texte[E::kLAnzVergl], "Anzahl laufender Vergleiche im Hintergrund: 1");
  f->RueckgaengigClick();
  f->SyncNowClick();
  f->ProbelaufClick();
  EXPECT_EQ(laeufe.rueckgaengig.size(), 1u);
  EXPECT_EQ(laeufe.laeufe.size(), 1u);
  EXPECT_EQ(ansicht.meldungen.size(), 1u);
  EXPECT_EQ(ansicht.LetzteMeldung(),
            "Der Auftrag läuft gerade. Sein letzter Lauf kann erst nach dessen Ende rückgängig "
            "gemacht werden.");

  const std::string name = LaufName(testing::Local(2024, 3, 1, 14, 0, 0));
  Melden(laeufe.rueckgaengig[0].bericht.get());
  laeufe.RueckgaengigBeenden(0, Ergebnis(name));
  EXPECT_EQ(Job(1).Aufruf, aufruf);  // the plan changes nothing
  EXPECT_EQ(ansicht.texte[E::kLAnzVergl], "Anzahl laufender Vergleiche im Hintergrund: 0");
  EXPECT_EQ(log.CountPrefix("Rückgängig geplant: "), 1);
  ASSERT_EQ(ansicht.proben.size(), 1u);
  const ProbeListe& liste = ansicht.proben[0].liste;
  EXPECT_EQ(liste.Zweck(), ProbeZweck::kRueckgaengig);
  EXPECT_EQ(liste.Titel(), "Rückgängig – " + Job(1).Herkunft + " → " + Job(1).Ziel);
  EXPECT_EQ(std::string(liste.Knopf()), "&Jetzt rückgängig machen");
  EXPECT_EQ(liste.Warnungen(),
            std::vector<std::string>{"Rückgängig gemacht wird der Lauf vom 01.03.2024 14:00:00, "
                                     "soweit seither nichts geändert wurde."});
  ASSERT_EQ(liste.Zeilen().size(), 1u);
  EXPECT_EQ(liste.Zeilen()[0].zellen[kProbeAktion], "wiederherstellen > Ziel");
  EXPECT_EQ(liste.Fehler(),
            std::vector<std::string>{"Seit dem Lauf geändert, bleibt: /z/notiz.txt"});

  // The window's button takes back the run it showed, and no other.
  Probefenster::Jetzt jetzt = ansicht.proben[0].jetzt;
  EXPECT_EQ(jetzt(), "");
  EXPECT_TRUE(log.Has(LogStufe::kGrundbefehl, "Main: Rückgängig: Jetzt rückgängig machen"));
  ASSERT_EQ(laeufe.rueckgaengig.size(), 2u);
  EXPECT_FALSE(laeufe.rueckgaengig[1].werte.Probelauf);
  EXPECT_EQ(laeufe.rueckgaengig[1].werte.Lauf, name);
  EXPECT_EQ(jetzt(), "Der Auftrag läuft gerade.");

  Melden(laeufe.rueckgaengig[1].bericht.get());
  RueckgaengigErgebnis e = Ergebnis(name);
  e.vorher_aufruf = 45000.5;
  e.vorher_beginn = FileTime{1700000000, 0};
  e.vorher_ende = FileTime{1700000060, 0};
  laeufe.RueckgaengigBeenden(1, e);
  EXPECT_EQ(Job(1).Aufruf, 45000.5);
  EXPECT_EQ(Job(1).LaufBeginn, e.vorher_beginn);
  EXPECT_EQ(Job(1).LaufEnde, e.vorher_ende);
  EXPECT_EQ(ansicht.panel[1], "Geändert");
  // What the undo left alone shows as a run's failures do.
  EXPECT_EQ(Zeile(1)[kStatusSpalte], "1:Fehler");
  EXPECT_EQ(ansicht.texte[E::kStatus5], "Seit dem Lauf geändert, bleibt: /z/notiz.txt");
  EXPECT_EQ(log.CountPrefix("Rückgängig mit Fehlern: "), 1);
  const Meldungsbox& box = ansicht.meldungen.back();
  EXPECT_EQ(box.titel, "Letzten Lauf rückgängig machen");
  EXPECT_EQ(box.symbol, Symbol::kAusrufezeichen);
  EXPECT_EQ(box.text,
            "Der Lauf vom 01.03.2024 14:00:00 ist rückgängig gemacht:\r1 Schritt (1 "
            "wiederhergestellt, 0 gelöscht, 0 angelegt), 1 Fehler.\rWas seit dem Lauf geändert "
            "wurde, bleibt:\rSeit dem Lauf geändert, bleibt: /z/notiz.txt");

  // The next run of the job clears the marks, as after a run.
  f->SyncNowClick();
  laeufe.Beenden(1);
  EXPECT_FALSE(ansicht.sichtbar[E::kStatus5]);
}

// A refusal is said in a box and changes nothing; a plan whose job went shows no window; an undo
// that cannot start says so; closing waits for an undo under way.
TEST_F(HauptfensterTest, UndoRefusalsJobsGoneAndClosingWhileItRuns) {
  Start(kOhneSofortSync);
  NehmenNeu("a");
  ansicht.Waehlen(1);
  f->RueckgaengigClick();
  RueckgaengigErgebnis abgelehnt;
  abgelehnt.abgelehnt =
      "Für diesen Auftrag ist kein Lauf aufbewahrt, der rückgängig gemacht werden kann.";
  laeufe.RueckgaengigBeenden(0, abgelehnt);
  EXPECT_EQ(ansicht.LetzteMeldung(), abgelehnt.abgelehnt);
  EXPECT_EQ(ansicht.meldungen.back().titel, "Letzten Lauf rückgängig machen");
  EXPECT_TRUE(ansicht.proben.empty());
  EXPECT_EQ(log.CountPrefix("Rückgängig abgelehnt: "), 1);
  EXPECT_TRUE(Job(1).Thread.Leer());

  // A plan shown, and the real undo refused after all (the journal was damaged since).
  f->RueckgaengigClick();
  laeufe.RueckgaengigBeenden(1, Ergebnis("20240301T130000Z"));
  ASSERT_EQ(ansicht.proben.size(), 1u);
  Probefenster::Jetzt jetzt = ansicht.proben[0].jetzt;
  EXPECT_EQ(jetzt(), "");
  abgelehnt.vorher_aufruf = 123;
  laeufe.RueckgaengigBeenden(2, abgelehnt);
  EXPECT_EQ(Job(1).Aufruf, 0);

  // The job deleted while its plan was worked out: no window; its button finds no job either.
  f->RueckgaengigClick();
  f->LoeschClick();
  laeufe.RueckgaengigBeenden(3, Ergebnis("20240301T130000Z"));
  EXPECT_EQ(ansicht.proben.size(), 1u);
  EXPECT_EQ(ansicht.texte[E::kLAnzVergl], "Anzahl laufender Vergleiche im Hintergrund: 0");
  NehmenNeu("b");
  EXPECT_EQ(jetzt(), "Der Auftrag ist nicht mehr in der Sammlung.");

  laeufe.kein_thread = true;
  ansicht.Waehlen(1);
  f->RueckgaengigClick();
  EXPECT_EQ(ansicht.meldungen.back().titel, "Fehler");
  EXPECT_EQ(ansicht.LetzteMeldung().rfind("Das Rückgängigmachen kann nicht gestartet werden:", 0),
            0u);
  laeufe.kein_thread = false;

  // Closing waits for the undo under way and closes at its end.
  f->RueckgaengigClick();
  ansicht.antworten = {Antwort::kJa, Antwort::kNein};
  EXPECT_FALSE(f->FormClose(geometrie));
  f->RueckgaengigClick();  // nothing new starts meanwhile
  EXPECT_EQ(laeufe.rueckgaengig.size(), 5u);
  EXPECT_EQ(ansicht.schliessen, 0);
  laeufe.RueckgaengigBeenden(4, abgelehnt);
  EXPECT_EQ(ansicht.schliessen, 1);
  EXPECT_TRUE(f->FormClose(geometrie));
}

}  // namespace
}  // namespace zarnoft
