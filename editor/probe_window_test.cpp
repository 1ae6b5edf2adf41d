#include "editor/probe_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/date_time.h"

namespace zarnoft {
namespace {

Aktion A(AktionsArt art, AktionsSeite seite, const std::string& rel, int64_t h, int64_t z,
         int64_t h_sec = 0, int64_t z_sec = 0) {
  Aktion a;
  a.art = art;
  a.seite = seite;
  a.rel = rel;
  a.herkunft = {h, FileTime{h_sec, 0}};
  a.ziel = {z, FileTime{z_sec, 0}};
  return a;
}

std::vector<std::string> Pfade(const ProbeListe& l) {
  std::vector<std::string> p;
  for (const ProbeZeile& z : l.Zeilen()) p.push_back(z.zellen[kProbePfad]);
  return p;
}

// The table, its counts and its order: sizes and dates sort as numbers (a 10-byte file after a
// 9-byte one, a side without the file first), a second click turns the order round, and ties
// keep the order of the path.
TEST(ProbeListeTest, CellsCountsAndEachColumnsOrder) {
  const FileTime t = FromLocal(LocalTime{2026, 12, 8, 21, 4, 5, 0});
  Gesammelt g;
  g.aktionen = {
      A(AktionsArt::kKopieren, AktionsSeite::kZiel, "b/neu.txt", 10, -1, t.sec),
      A(AktionsArt::kLoeschen, AktionsSeite::kHerkunft, "alt/", -1, -1),
      A(AktionsArt::kKopieren, AktionsSeite::kZiel, "a.txt", 9, 1200, t.sec - 60, t.sec - 120),
      A(AktionsArt::kKopieren, AktionsSeite::kHerkunft, "c\x01.txt", 1000, 5, 100, t.sec + 60),
      A(AktionsArt::kNachfragen, AktionsSeite::kBeide, "d.txt", 1, 2, 5, 6),
  };
  g.hinweise = {
      "Löschschutz: Dieser Lauf würde in /z 30 von 40 Dateien löschen (75 %) und "
      "fragt vorher."};
  g.fehler = {{"Lesen fehlgeschlagen: /q/x", "Keine Berechtigung"}};
  g.fehler_anzahl = 1;
  ProbeListe l("", "/media/stick", g);

  EXPECT_EQ(l.Titel(), "Probelauf – / → /media/stick");
  EXPECT_EQ(l.Warnungen(), g.hinweise);
  EXPECT_EQ(l.Zaehlung(),
            "kopieren > Herkunft: 1 (5 Bytes), kopieren > Ziel: 2 (19 Bytes), löschen > "
            "Herkunft: 1, nachfragen > beide: 1, Fehler: 1");
  EXPECT_EQ(l.Fehler(), std::vector<std::string>{"Lesen fehlgeschlagen: /q/x: Keine Berechtigung"});
  // The run's order until the user sorts.
  EXPECT_EQ(l.SortSpalte(), -1);
  EXPECT_EQ(Pfade(l),
            (std::vector<std::string>{"b/neu.txt", "alt/", "a.txt", "c\\x01.txt", "d.txt"}));
  const ProbeZeile& neu = l.Zeilen()[0];
  EXPECT_EQ(neu.zellen, (std::vector<std::string>{"kopieren > Ziel", "b/neu.txt", "10",
                                                  "08.12.2026 21:04:05", "", ""}));

  struct Fall {
    int spalte;
    std::vector<std::string> pfade;
  };
  const Fall faelle[] = {
      {kProbeAktion, {"c\\x01.txt", "a.txt", "b/neu.txt", "alt/", "d.txt"}},
      {kProbePfad, {"a.txt", "alt/", "b/neu.txt", "c\\x01.txt", "d.txt"}},
      {kProbeHGroesse, {"alt/", "d.txt", "a.txt", "b/neu.txt", "c\\x01.txt"}},
      {kProbeHDatum, {"alt/", "d.txt", "c\\x01.txt", "a.txt", "b/neu.txt"}},
      {kProbeZGroesse, {"alt/", "b/neu.txt", "d.txt", "c\\x01.txt", "a.txt"}},
      {kProbeZDatum, {"alt/", "b/neu.txt", "d.txt", "a.txt", "c\\x01.txt"}},
  };
  for (const Fall& f : faelle) {
    l.Sortieren(f.spalte);
    EXPECT_TRUE(l.Aufsteigend());
    EXPECT_EQ(Pfade(l), f.pfade) << "Spalte " << f.spalte;
    l.Sortieren(f.spalte);
    EXPECT_FALSE(l.Aufsteigend());
    std::vector<std::string> ab = Pfade(l);
    std::reverse(ab.begin(), ab.end());
    // Turned round; rows with the same key keep the order of their paths.
    if (f.spalte == kProbePfad) {
      EXPECT_EQ(ab, f.pfade);
    }
  }
  l.Sortieren(kProbeSpalten);  // no such column: nothing changes
  EXPECT_EQ(l.SortSpalte(), kProbeZDatum);

  EXPECT_EQ(ProbeListe("/q", "/z", {}).Zaehlung(), "Nichts zu tun.");
}

// What the collector keeps: every action of a probe, none of a real run; failures up to a bound
// but counted all; reports from another thread while the GUI thread takes them.
TEST(LaufSammlerTest, KeepsWhatTheWindowShowsAcrossThreads) {
  LaufSammler probe(true);
  LaufSammler lauf(false);
  std::thread t([&] {
    for (int i = 0; i < 1000; ++i) {
      const Aktion a = A(AktionsArt::kKopieren, AktionsSeite::kZiel, std::to_string(i), 1, -1);
      probe.Getan(a);
      lauf.Getan(a);
      lauf.Fehler({"Kopieren fehlgeschlagen: /q/" + std::to_string(i), ""});
    }
    probe.Hinweis("x");
  });
  size_t aktionen = 0;
  std::vector<std::string> hinweise;
  auto nehmen = [&] {
    Gesammelt g = probe.Nehmen();
    aktionen += g.aktionen.size();
    hinweise.insert(hinweise.end(), g.hinweise.begin(), g.hinweise.end());
  };
  for (int i = 0; i < 50; ++i) nehmen();
  t.join();
  nehmen();
  EXPECT_EQ(aktionen, 1000u);
  EXPECT_EQ(hinweise, std::vector<std::string>{"x"});
  Gesammelt l = lauf.Nehmen();
  EXPECT_TRUE(l.aktionen.empty());
  EXPECT_EQ(l.fehler.size(), LaufSammler::kBehalteneFehler);
  EXPECT_EQ(l.fehler_anzahl, 1000);
  EXPECT_EQ(l.fehler.front().text, "Kopieren fehlgeschlagen: /q/0");
}

class FakeProbeAnsicht : public ProbeAnsicht {
 public:
  void KopfSetzen(const ProbeListe& l) override { titel = l.Titel(); }
  void ZeilenSetzen(const std::vector<ProbeZeile>& z, int s, bool) override {
    zeilen = z.size();
    spalte = s;
  }
  void Meldung(const std::string& text) override { meldungen.push_back(text); }
  void Schliessen() override { ++geschlossen; }
  std::string titel;
  size_t zeilen = 0;
  int spalte = -2;
  std::vector<std::string> meldungen;
  int geschlossen = 0;
};

// The window fills its view, sorts on a heading's click, and "Jetzt synchronisieren" closes it
// once the run started, or says why not and stays.
TEST(ProbefensterTest, ShowsSortsAndStartsTheRun) {
  Gesammelt g;
  g.aktionen = {A(AktionsArt::kKopieren, AktionsSeite::kZiel, "a", 1, -1)};
  std::vector<std::string> antworten = {"Der Auftrag läuft bereits.", ""};
  FakeProbeAnsicht v;
  Probefenster w(&v, ProbeListe("/q", "/z", g), [&] {
    std::string a = antworten.front();
    antworten.erase(antworten.begin());
    return a;
  });
  w.Zeigen();
  EXPECT_EQ(v.titel, "Probelauf – /q → /z");
  EXPECT_EQ(v.zeilen, 1u);
  EXPECT_EQ(v.spalte, -1);
  w.SpalteClick(kProbeHGroesse);
  EXPECT_EQ(v.spalte, kProbeHGroesse);
  w.JetztClick();
  EXPECT_EQ(v.meldungen, std::vector<std::string>{"Der Auftrag läuft bereits."});
  EXPECT_EQ(v.geschlossen, 0);
  w.JetztClick();
  EXPECT_EQ(v.geschlossen, 1);
}

}  // namespace
}  // namespace zarnoft
