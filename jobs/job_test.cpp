#include "jobs/job.h"

#include <gtest/gtest.h>

#include "jobs/job_texts.h"

namespace zarnoft {
namespace {

LaufErgebnis Ergebnis(bool abgebrochen, int fehler = 0) {
  LaufErgebnis e;
  e.abgebrochen = abgebrochen;
  e.fehler = fehler;
  return e;
}

TVergleichThread Job(const std::string& herkunft, VorgangsArt art = VorgangsArt::kSynchronisieren) {
  TVergleichThread j;
  j.Herkunft = herkunft;
  j.Ziel = herkunft + "-ziel";
  j.Art = art;
  return j;
}

double At(int y, int mo, int d, int h, int mi, int s) {
  LocalTime lt;
  lt.year = y, lt.month = mo, lt.day = d, lt.hour = h, lt.minute = mi, lt.second = s;
  return DayCountFromLocal(lt);
}

TEST(SammlungTest, TakenJobsGoToTheFrontLoadedOnesToTheEnd) {
  Sammlung s;
  TVergleichThread* a = s.Anhaengen(Job("/a"));
  s.Anhaengen(Job("/b"));
  TVergleichThread* neu = s.Vorn(Job("/neu"));
  ASSERT_EQ(s.Anzahl(), 3u);
  EXPECT_EQ(s.An(0)->Herkunft, "/neu");
  EXPECT_EQ(s.An(1)->Herkunft, "/a");
  EXPECT_EQ(s.An(2)->Herkunft, "/b");
  // Records keep their address when others are put in front of them.
  EXPECT_EQ(s.An(1), a);
  EXPECT_EQ(s.InZeile(1), neu);
  EXPECT_EQ(s.InZeile(0), nullptr);
  EXPECT_EQ(s.InZeile(4), nullptr);
  EXPECT_EQ(s.An(3), nullptr);
}

TEST(SammlungTest, RemovingByPositionKeepsTheOrderOfTheRest) {
  Sammlung s;
  for (const char* p : {"/a", "/b", "/c"}) s.Anhaengen(Job(p));
  std::unique_ptr<TVergleichThread> weg = s.Entfernen(1);
  ASSERT_NE(weg, nullptr);
  EXPECT_EQ(weg->Herkunft, "/b");
  ASSERT_EQ(s.Anzahl(), 2u);
  EXPECT_EQ(s.An(0)->Herkunft, "/a");
  EXPECT_EQ(s.An(1)->Herkunft, "/c");
  EXPECT_EQ(s.Entfernen(2), nullptr);
  EXPECT_EQ(s.Anzahl(), 2u);
}

TEST(SammlungTest, FindsTheJobOfAThreadOnlyWhileItIsInTheCollection) {
  const LaufHandle t1 = LaufHandle::Neu(), t2 = LaufHandle::Neu();
  Sammlung s;
  s.Anhaengen(Job("/a"));
  TVergleichThread* b = s.Anhaengen(Job("/b"));
  b->Thread = t1;
  EXPECT_EQ(s.MitThread(t1), b);
  EXPECT_EQ(s.MitThread(t2), nullptr);
  // Idle jobs have no thread; a null thread must not find them.
  EXPECT_EQ(s.MitThread(LaufHandle()), nullptr);
  s.Entfernen(1);
  EXPECT_EQ(s.MitThread(t1), nullptr);
}

TEST(JobTest, HandsOverTheTenValuesInOrder) {
  TVergleichThread j;
  j.Herkunft = "/quelle";
  j.Ziel = "/ziel";
  j.Art = VorgangsArt::kArchivieren;
  j.Doppelt = 9;  // bit 3 set by a prepared file: passed on unchanged
  j.Aufruf = 45000.25;
  j.Zaehler = 1234;
  j.ZaehlArt = true;
  j.Unterverzeichnisse = false;
  VergleichsWerte w = VergleichsWerteFuer(j, "/loesch/", LoeschModus::kNie);
  EXPECT_EQ(w.Herkunft, "/quelle");
  EXPECT_EQ(w.Ziel, "/ziel");
  EXPECT_EQ(w.LoeschenWohin, "/loesch/");
  EXPECT_EQ(w.Art, VorgangsArt::kArchivieren);
  EXPECT_EQ(w.Doppelt, 9);
  EXPECT_EQ(w.Loeschen, LoeschModus::kNie);
  EXPECT_EQ(w.Aufruf, 45000.25);
  EXPECT_EQ(w.Zaehler, 1234);
  EXPECT_TRUE(w.ZaehlArt);
  EXPECT_FALSE(w.Unterverzeichnisse);

  j.Doppelt = -1;
  EXPECT_EQ(VergleichsWerteFuer(j, "", static_cast<LoeschModus>(0)).Doppelt, -1);
}

TEST(JobTest, ExpectedFileCountTakesTheLargerSideAndTheTargetOnEqualCounts) {
  TVergleichThread j;
  ZaehlerSetzen(&j, 10, 3);
  EXPECT_EQ(j.Zaehler, 10);
  EXPECT_TRUE(j.ZaehlArt);
  ZaehlerSetzen(&j, 7, 7);
  EXPECT_EQ(j.Zaehler, 7);
  EXPECT_FALSE(j.ZaehlArt);
  ZaehlerSetzen(&j, 0, 5);
  EXPECT_EQ(j.Zaehler, 5);
  EXPECT_FALSE(j.ZaehlArt);
  ZaehlerSetzen(&j, int64_t{1} << 40, 0);
  EXPECT_EQ(j.Zaehler, INT32_MAX);
}

TEST(JobTest, OnlyACompleteRunBecomesTheLastRun) {
  const LaufHandle t = LaufHandle::Neu();
  ManualClock uhr;
  uhr.SetLocal(LocalTime{2024, 3, 1, 14, 5, 32, 0});
  const LaufErgebnis gelungen{false, 0, FileTime{1709298000, 1}, FileTime{1709298330, 2}, {}, 0};
  TVergleichThread j;
  j.Thread = t;
  EXPECT_FALSE(LaufBeendet(&j, Ergebnis(/*abgebrochen=*/true), &uhr));
  EXPECT_TRUE(j.Thread.Leer());
  EXPECT_EQ(j.Aufruf, 0);

  j.Thread = t;
  EXPECT_TRUE(LaufBeendet(&j, gelungen, &uhr));
  EXPECT_TRUE(j.Thread.Leer());
  EXPECT_DOUBLE_EQ(j.Aufruf, At(2024, 3, 1, 14, 5, 32));
  EXPECT_EQ(j.LaufBeginn, gelungen.beginn);
  EXPECT_EQ(j.LaufEnde, gelungen.ende);
  EXPECT_EQ(VergleichsWerteFuer(j, "/l", LoeschModus::kNormal).LaufEnde, gelungen.ende);

  // A later cancelled run, or one with failures, keeps the earlier completion, instants and
  // all: the next run looks at the same changes again.
  uhr.Advance(3600);
  EXPECT_FALSE(LaufBeendet(&j, Ergebnis(true), &uhr));
  EXPECT_FALSE(LaufBeendet(&j, Ergebnis(false, /*fehler=*/2), &uhr));
  EXPECT_DOUBLE_EQ(j.Aufruf, At(2024, 3, 1, 14, 5, 32));
  EXPECT_EQ(j.LaufEnde, gelungen.ende);
}

// --- Texts -------------------------------------------------------------------------------------

TEST(JobTextsTest, StatusColumnByRunState) {
  const LaufHandle t = LaufHandle::Neu();
  TVergleichThread j = Job("/a", VorgangsArt::kSynchronisieren);
  EXPECT_EQ(StatusSpalte(j, true), "1:Keiner");
  EXPECT_EQ(StatusSpalte(j, false), "1:abgbr.");
  j.Aufruf = At(2023, 11, 5, 14, 5, 32);
  EXPECT_EQ(StatusSpalte(j, false), "1:14:05:32");
  j.Art = VorgangsArt::kKopieren;
  j.Thread = t;  // running wins over an earlier completion
  EXPECT_EQ(StatusSpalte(j, true), "2:läuft");
  j.Thread = LaufHandle();
  j.Art = static_cast<VorgangsArt>(-5);
  j.Aufruf = 0;
  EXPECT_EQ(StatusSpalte(j, true), "-5:Keiner");
}

TEST(JobTextsTest, PathColumnsMarkSubdirectoriesAndAreShortened) {
  TextMeasure zeichen = [](const std::string& s) { return static_cast<int>(s.size()) * 7; };
  EXPECT_EQ(PfadSpalte("/home/a", true, 1000, zeichen), "/home/a +");
  EXPECT_EQ(PfadSpalte("/home/a", false, 1000, zeichen), "/home/a");
  const std::string lang = "/home/anna/projekte/alt/bericht";
  const std::string kurz = PfadSpalte(lang, true, 20 * 7, zeichen);
  EXPECT_LE(zeichen(kurz), 20 * 7);
  EXPECT_NE(kurz.find(".."), std::string::npos);
  EXPECT_TRUE(kurz.ends_with("/bericht +")) << kurz;

  TVergleichThread j = Job("/q", VorgangsArt::kArchivieren);
  j.Unterverzeichnisse = true;
  TabellenZeile z = ZeileFuer(j, false, {65, 1000, 1000}, zeichen);
  EXPECT_EQ(z, (TabellenZeile{"3:abgbr.", "/q +", "/q-ziel +"}));
  EXPECT_EQ(SpaltenKoepfe(), (std::vector<std::string>{"Status", "Herkunft", "Ziel"}));
  // Each column shortens its own text to its own width.
  j.Ziel = lang;
  z = ZeileFuer(j, false, {65, 1000, 20 * 7}, zeichen);
  EXPECT_EQ(z[kHerkunftSpalte], "/q +");
  EXPECT_NE(z[kZielSpalte].find(".."), std::string::npos) << z[kZielSpalte];
  EXPECT_EQ(LeereZeile(), TabellenZeile(TabellenSpalten().size()));
}

TEST(JobTextsTest, StatusDescriptionFollowsKindAndSubMode) {
  StatusBeschreibung s;
  TVergleichThread j = Job("/a", VorgangsArt::kSynchronisieren);
  j.Doppelt = 3;
  StatusBeschreiben(j, true, &s);
  EXPECT_EQ(s.ErsteZeile, "Neuere Dateien übertragen:");
  EXPECT_EQ(s.ZweiteZeile, "(Ziel behalten bei doppelter Änderung)");
  EXPECT_TRUE(s.ZweiteSichtbar);

  j.Art = VorgangsArt::kKopieren;
  j.Doppelt = 2;
  StatusBeschreiben(j, true, &s);
  EXPECT_EQ(s.ErsteZeile, "Herkunft auf Ziel schreiben");
  EXPECT_EQ(s.ZweiteZeile, "(Herkunft und Ziel prüfen)");

  j.Art = VorgangsArt::kArchivieren;
  j.Doppelt = 1;
  StatusBeschreiben(j, true, &s);
  EXPECT_EQ(s.ErsteZeile, "Herkunft archivieren");
  EXPECT_EQ(s.ZweiteZeile, "(Komplett)");
}

TEST(JobTextsTest, UnlistedValuesKeepThePreviousText) {
  StatusBeschreibung s;
  TVergleichThread j = Job("/a", VorgangsArt::kSynchronisieren);
  j.Doppelt = 9;  // not in the table: the label keeps its initial text
  StatusBeschreiben(j, false, &s);
  EXPECT_EQ(s.ErsteZeile, "Neuere Dateien übertragen:");
  EXPECT_EQ(s.ZweiteZeile, "Dateien doppelt geändert:");
  EXPECT_TRUE(s.ZweiteSichtbar);

  j.Art = VorgangsArt::kKopieren;
  j.Doppelt = 0;
  StatusBeschreiben(j, false, &s);
  j.Art = VorgangsArt::kArchivieren;
  j.Doppelt = 5;  // not a sub-mode of kind 3: the kind-2 text stays
  StatusBeschreiben(j, false, &s);
  EXPECT_EQ(s.ErsteZeile, "Herkunft archivieren");
  EXPECT_EQ(s.ZweiteZeile, "(Nur Herkunft prüfen)");

  j.Art = static_cast<VorgangsArt>(7);  // unknown kind: first line stays, second hidden
  StatusBeschreiben(j, false, &s);
  EXPECT_EQ(s.ErsteZeile, "Herkunft archivieren");
  EXPECT_FALSE(s.ZweiteSichtbar);

  s.Leeren();
  EXPECT_EQ(s.ErsteZeile, "");
  EXPECT_EQ(s.Abgleich, "");
}

TEST(JobTextsTest, AbgleichLineByRunState) {
  const LaufHandle t = LaufHandle::Neu();
  StatusBeschreibung s;
  TVergleichThread j = Job("/a", VorgangsArt::kSynchronisieren);
  StatusBeschreiben(j, true, &s);
  EXPECT_EQ(s.Abgleich, "Kein Erstabgleich erbeten.");
  StatusBeschreiben(j, false, &s);
  EXPECT_EQ(s.Abgleich, "Erstabgleich abgebrochen.");
  j.Aufruf = At(2024, 2, 29, 9, 7, 3);
  StatusBeschreiben(j, false, &s);
  EXPECT_EQ(s.Abgleich, "Letzter um 29.02.2024 09:07:03");
  j.Aufruf = At(2024, 2, 29, 0, 0, 0);
  StatusBeschreiben(j, false, &s);
  EXPECT_EQ(s.Abgleich, "Letzter um 29.02.2024");
  j.Thread = t;
  StatusBeschreiben(j, false, &s);
  EXPECT_EQ(s.Abgleich, "Erstabgleich läuft.");
}

TEST(JobTextsTest, ScheduleListInBootShutdownIdleOrder) {
  TVergleichThread j;
  EXPECT_TRUE(ZeitenListe(j).empty());
  j.Idle = true;
  j.Booten = true;
  j.Herunterfahren = true;
  j.Zeiten.push_back(TZeitEintrag{1, 8, 30, true});
  EXPECT_EQ(ZeitenListe(j),
            (std::vector<std::string>{"Beim Booten", "Beim Herunterfahren", "Beim Leerlauf"}));
  j.Booten = false;
  EXPECT_EQ(ZeitenListe(j), (std::vector<std::string>{"Beim Herunterfahren", "Beim Leerlauf"}));
}

TEST(JobTextsTest, KindAndSubModeItems) {
  ASSERT_EQ(ArtEintraege().size(), 3u);
  EXPECT_EQ(ArtEintraege()[1], "2: Herkunft auf Ziel kopieren");
  EXPECT_EQ(DoppeltEintraege(VorgangsArt::kSynchronisieren).size(), 6u);
  EXPECT_EQ(DoppeltEintraege(VorgangsArt::kSynchronisieren)[5], "Keine Aktion");
  EXPECT_EQ(DoppeltEintraege(VorgangsArt::kKopieren),
            (std::vector<std::string>{"Herkunft geändert", "Ziel geändert", "Egal welches"}));
  EXPECT_EQ(DoppeltEintraege(VorgangsArt::kArchivieren),
            (std::vector<std::string>{"Inkrementell", "Gesamt"}));
  EXPECT_TRUE(DoppeltEintraege(VorgangsArt::kKeine).empty());
  EXPECT_TRUE(DoppeltEintraege(static_cast<VorgangsArt>(4)).empty());
  EXPECT_EQ(DoppeltVorwahl(VorgangsArt::kSynchronisieren), 0);
  EXPECT_EQ(DoppeltVorwahl(VorgangsArt::kKopieren), 2);
  EXPECT_EQ(DoppeltVorwahl(VorgangsArt::kArchivieren), 0);
  EXPECT_EQ(DoppeltVorwahl(VorgangsArt::kKeine), -1);
  // Every preselection names an existing item.
  for (VorgangsArt art :
       {VorgangsArt::kSynchronisieren, VorgangsArt::kKopieren, VorgangsArt::kArchivieren}) {
    EXPECT_LT(static_cast<size_t>(DoppeltVorwahl(art)), DoppeltEintraege(art).size());
  }
}

TEST(JobTextsTest, RunEndLogLine) {
  TVergleichThread j = Job("/a");
  EXPECT_EQ(VergleichEndeText(j, Ergebnis(true)), "Vergleich abgebrochen: /a - /a-ziel");
  EXPECT_EQ(VergleichEndeText(j, Ergebnis(false, 2)), "Vergleich mit Fehlern: /a - /a-ziel");
  EXPECT_EQ(VergleichEndeText(j, LaufErgebnis{}), "Vergleich beendet: /a - /a-ziel");
  EXPECT_EQ(LaufendeVergleicheText(2), "Anzahl laufender Vergleiche im Hintergrund: 2");
}

}  // namespace
}  // namespace zarnoft
