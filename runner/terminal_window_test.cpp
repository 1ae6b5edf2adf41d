#include "runner/terminal_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace zarnoft {
namespace {

Frage Konflikt() {
  Frage f;
  f.anlass = Frage::Anlass::kDoppelteAenderung;
  f.titel = "Warnung";
  f.text = "Die Datei /a\rwurde geändert.";
  f.knoepfe = {"&Ja", "&Nein", "&Ignorieren", "&Alles"};
  f.standard = 0;
  f.abbrechen = 1;
  return f;
}

// Answers a question from `eingabe` and returns the answer; *aus gets what was shown.
int Antwort(const std::string& eingabe, const Frage& f, std::string* aus, bool fragen = true,
            bool leer_erlaubt = false) {
  std::FILE* ein = std::tmpfile();
  std::fputs(eingabe.c_str(), ein);
  std::rewind(ein);
  std::FILE* raus = std::tmpfile();
  TerminalOptionen o;
  o.fragen = fragen;
  o.leer_erlaubt = leer_erlaubt;
  o.ein = ein;
  o.aus = raus;
  int a = -2;
  {
    TerminalFenster w(o);
    w.FrageStellen(f, [&](int x) { a = x; });
  }
  std::rewind(raus);
  aus->clear();
  char buf[512];
  while (std::fgets(buf, sizeof buf, raus)) *aus += buf;
  std::fclose(ein);
  std::fclose(raus);
  return a;
}

TEST(TerminalFenster, AnswersByAcceleratorLetterAndEnterGivesTheDefault) {
  std::string aus;
  EXPECT_EQ(Antwort("j\n", Konflikt(), &aus), 0);
  EXPECT_NE(aus.find("Die Datei /a\nwurde geändert."), std::string::npos);  // CR as line break
  EXPECT_NE(aus.find("(j = Ja, n = Nein, i = Ignorieren, a = Alles)"), std::string::npos);
  EXPECT_EQ(Antwort("N\n", Konflikt(), &aus), 1);
  EXPECT_EQ(Antwort("x\ni\n", Konflikt(), &aus), 2);  // asks again after a wrong answer
  EXPECT_NE(aus.find("Bitte eine der Antworten"), std::string::npos);
  EXPECT_EQ(Antwort("a\n", Konflikt(), &aus), 3);
  EXPECT_EQ(Antwort("\n", Konflikt(), &aus), 0);
  EXPECT_EQ(Antwort("", Konflikt(), &aus), kKeineAntwort);  // end of input: closed box
  // Without a terminal nothing is asked: as if the box had been closed without an answer.
  EXPECT_EQ(Antwort("j\n", Konflikt(), &aus, /*fragen=*/false), kNiemandGefragt);
  EXPECT_TRUE(aus.empty());
}

TEST(TerminalFenster, EmptySideQuestionFollowsTheOptionNeverTheTerminal) {
  Frage f;
  f.anlass = Frage::Anlass::kLeereSeite;
  f.titel = "Warnung";
  f.knoepfe = {"&Ja", "&Nein"};
  f.standard = 1;
  f.abbrechen = 1;
  std::string aus;
  EXPECT_EQ(Antwort("j\n", f, &aus), 1);
  EXPECT_NE(aus.find("Antwort: Nein (mit --leer-erlaubt würde abgeglichen)\n"), std::string::npos)
      << aus;
  EXPECT_EQ(Antwort("", f, &aus, true, /*leer_erlaubt=*/true), 0);
  EXPECT_NE(aus.find("Antwort: Ja (--leer-erlaubt)\n"), std::string::npos) << aus;
}

TEST(TerminalFenster, ErrorsAreCountedAndReportedWhenTheWindowGoes) {
  std::FILE* raus = std::tmpfile();
  TerminalOptionen o;
  o.aus = raus;
  int fehler = -1;
  {
    TerminalFenster w(o);
    w.BeimEnde([&] { fehler = w.Fehler(); });
    int geschlossen = 0;
    w.Fehlermeldung("Fehler beim Öffnen der Quelldatei\r/a/b", [&](int) { ++geschlossen; });
    w.Fehlermeldung("zweiter", [&](int) { ++geschlossen; });
    EXPECT_EQ(geschlossen, 2);
  }
  EXPECT_EQ(fehler, 2);
  std::rewind(raus);
  char buf[256];
  ASSERT_NE(std::fgets(buf, sizeof buf, raus), nullptr);
  EXPECT_STREQ(buf, "Fehler: Fehler beim Öffnen der Quelldatei\n");
  std::fclose(raus);
  EXPECT_EQ(Kuerzel("&Ignorieren"), 'i');
  EXPECT_EQ(Kuerzel("ohne"), 0);
}

}  // namespace
}  // namespace zarnoft
