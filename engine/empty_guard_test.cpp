#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "engine/empty_guard.h"
#include "testing/run_test_kit.h"

namespace zarnoft {
namespace {

using testing::HookLauf;

struct Leer : HookLauf {
  Leer() {
    k.Art = VorgangsArt::kSynchronisieren;
    k.Letzter = LetzterLauf::AusDos(DosFromLocal(ToLocal(testing::Local(2024, 1, 1))));
  }
};

TEST(LeereSeiteErlaubt, FragtNurBeiEinerLeerenSeite) {
  for (int antwort : {0, 1, kKeineAntwort}) {
    SCOPED_TRACE(antwort);
    Leer t;
    t.baum.Write("z/datei", "x");
    t.fenster.antworten = {antwort};
    EXPECT_EQ(LeereSeiteErlaubt(t.k), antwort == 0);
    ASSERT_EQ(t.fenster.fragen.size(), 1u);
    const Frage& f = t.fenster.fragen[0];
    EXPECT_EQ(f.titel, "Warnung");
    EXPECT_EQ(f.text, "Das Verzeichnis " + t.k.Herkunft + " ist leer, das Verzeichnis " + t.k.Ziel +
                          " nicht.\rIst das Laufwerk vielleicht nicht eingehängt?\r\rTrotzdem "
                          "abgleichen? Dabei können Dateien in " +
                          t.k.Ziel + " gelöscht werden.");
    EXPECT_EQ(f.knoepfe, (std::vector<std::string>{"&Ja", "&Nein"}));
    EXPECT_EQ(f.standard, 1);
    EXPECT_EQ(f.abbrechen, 1);
    EXPECT_EQ(t.log.Has(LogStufe::kWarnung,
                        "Vergl: Abgleich abgelehnt, Verzeichnis leer: " + t.k.Herkunft),
              antwort != 0);
  }
  {
    Leer t;  // the target is the empty one
    t.baum.Mkdir("h/unter");
    EXPECT_FALSE(LeereSeiteErlaubt(t.k));
    EXPECT_TRUE(
        t.log.Has(LogStufe::kWarnung, "Vergl: Abgleich abgelehnt, Verzeichnis leer: " + t.k.Ziel));
  }
  {
    Leer t;  // both empty, then both filled, then a first run or another kind: no question
    EXPECT_TRUE(LeereSeiteErlaubt(t.k));
    t.baum.Write("h/a", "1");
    t.baum.Write("z/b", "2");
    EXPECT_TRUE(LeereSeiteErlaubt(t.k));
    t.baum.Write("h/a", "1");
    ::unlink(t.baum.Path("z/b").c_str());
    t.k.Letzter = LetzterLauf();
    EXPECT_TRUE(LeereSeiteErlaubt(t.k));
    t.k.Letzter = LetzterLauf::AusDos(5);
    t.k.Art = VorgangsArt::kKopieren;
    EXPECT_TRUE(LeereSeiteErlaubt(t.k));
    EXPECT_TRUE(t.fenster.fragen.empty());
  }
}

}  // namespace
}  // namespace zarnoft
