#include "runner/collection_add.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "jobs/collection_file.h"
#include "jobs/job_take.h"
#include "runner/collection_lock.h"
#include "runner/sync_runner.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::TempTree;

class AnlegenTest : public ::testing::Test {
 protected:
  AnlegenTest() {
    herkunft_ = baum_.Mkdir("quelle");
    ziel_ = baum_.Mkdir("ziel");
    baum_.Write("quelle/a.txt", "a");
    baum_.Write("quelle/b.txt", "b");
    baum_.Write("quelle/unter/c.txt", "c");
    baum_.Write("ziel/x.txt", "x");
  }
  AnlegenWerte Werte(const std::string& sammlung) const {
    AnlegenWerte w;
    w.sammlung = baum_.Path(sammlung);
    w.herkunft = herkunft_;
    w.ziel = ziel_;
    return w;
  }
  int Anlegen(const AnlegenWerte& w) {
    return SammlungAnlegen(w, baum_.root(), FileSystem::Default(), aus_);
  }
  // What the editor's save writes for a collection of these jobs, front first.
  std::string WieDerEditor(const std::vector<TVergleichThread>& jobs) {
    Sammlung s;
    for (const TVergleichThread& j : jobs) s.Anhaengen(j);
    SammlungsZustand z;
    z.SammlungsDatei = baum_.Path("editor.syc");
    SammlungSpeichern(s, &z, SammlungsDienste{});
    return baum_.Read("editor.syc");
  }

  // The value of the first "Kennung" key of a collection's text.
  static std::string KennungIn(const std::string& text) {
    const size_t a = text.find("\nKennung=");
    if (a == std::string::npos) return "";
    const size_t anfang = a + 9;
    return text.substr(anfang, text.find('\n', anfang) - anfang);
  }

  TempTree baum_;
  std::string herkunft_;
  std::string ziel_;
  std::FILE* aus_ = std::fopen("/dev/null", "w");
  ~AnlegenTest() override { std::fclose(aus_); }
};

TEST_F(AnlegenTest, ANewCollectionIsTheFileTheEditorSavesAfterTheSameTake) {
  struct Fall {
    int art;
    int doppelt;  // -1: the kind's preselection
    int unter;
    int erwartet_doppelt;
  };
  // No size listing has counted the files: the expected count is that of a take before the
  // editor's listings finished, 0.
  const Fall faelle[] = {{1, -1, 0, 0}, {2, -1, 1, 2}, {3, -1, 0, 0},
                         {1, 4, 1, 4},  {2, 0, 0, 0},  {3, 1, 1, 1}};
  int n = 0;
  for (const Fall& f : faelle) {
    const std::string name = "neu" + std::to_string(++n) + ".syc";
    AnlegenWerte w = Werte(name);
    w.art = f.art;
    w.doppelt = f.doppelt;
    w.unterverzeichnisse = f.unter;
    ASSERT_EQ(Anlegen(w), kSyncOk) << name;

    UebernahmeWerte u;
    u.herkunft = herkunft_;
    u.ziel = ziel_;
    u.unterverzeichnisse = f.unter == 1;
    u.art_position = f.art - 1;
    u.doppelt_position = f.erwartet_doppelt;
    // The identity is new with every take; it is the editor's form, and the rest is the same.
    const std::string text = baum_.Read(name);
    TVergleichThread erwartet = UebernommenerJob(u);
    erwartet.Kennung = KennungIn(text);
    EXPECT_EQ(erwartet.Kennung.find_first_not_of("0123456789abcdef"), std::string::npos) << name;
    EXPECT_EQ(erwartet.Kennung.size(), 16u) << name;
    EXPECT_EQ(text, WieDerEditor({erwartet})) << name;
  }
}

TEST_F(AnlegenTest, AnExistingCollectionGetsTheJobInFrontAndKeepsWhatItHeld) {
  AnlegenWerte w = Werte("alt.syc");
  w.art = 2;
  ASSERT_EQ(Anlegen(w), kSyncOk);
  // A second job, written by hand with a comment and a key of its own, as an administrator may.
  std::string text = baum_.Read("alt.syc");
  text += "; von Hand\n[Eigenes]\nSchluessel=bleibt\n";
  baum_.Write("alt.syc", text);
  w.herkunft = ziel_;
  w.ziel = herkunft_;
  w.art = 1;
  ASSERT_EQ(Anlegen(w), kSyncOk);

  Sammlung s;
  SammlungsZustand z;
  oeffnen(baum_.Path("alt.syc"), &s, &z, SammlungsDienste{});
  ASSERT_EQ(s.Anzahl(), 2u);
  EXPECT_EQ(s.An(0)->Herkunft, ziel_);  // the new job is job 1
  EXPECT_EQ(s.An(0)->Art, VorgangsArt::kSynchronisieren);
  EXPECT_EQ(s.An(1)->Herkunft, herkunft_);
  EXPECT_EQ(s.An(1)->Doppelt, 2);
  const std::string neu = baum_.Read("alt.syc");
  EXPECT_NE(neu.find("; von Hand"), std::string::npos);
  EXPECT_NE(neu.find("Schluessel=bleibt"), std::string::npos);
}

TEST_F(AnlegenTest, BadValuesAndPathsLeaveEverythingAsItWas) {
  baum_.Write("datei", "keine Sammlung, kein Verzeichnis");
  baum_.Write("text.syc", "[Andere]\nSchluessel=1\n");
  baum_.Write("binaer.syc", std::string("\x01\x02[Allgemein]", 13));
  baum_.Mkdir("ordner.syc");
  const std::string abgeschnitten =
      "[Allgemein]\nVersion=2\nAnzahl=3\n\n[Vorgang 1]\nHerkunft=/a\nZiel=/b\nArt=1\n";
  baum_.Write("kurz.syc", abgeschnitten);
  struct Fall {
    const char* name;
    AnlegenWerte w;
  };
  auto mit = [&](auto aendern) {
    AnlegenWerte w = Werte("neu.syc");
    aendern(w);
    return w;
  };
  const Fall faelle[] = {
      {"Art 0", mit([](AnlegenWerte& w) { w.art = 0; })},
      {"Art 4", mit([](AnlegenWerte& w) { w.art = 4; })},
      {"Doppelt 3 bei Art 2", mit([](AnlegenWerte& w) { w.art = 2, w.doppelt = 3; })},
      {"Doppelt 6 bei Art 1", mit([](AnlegenWerte& w) { w.doppelt = 6; })},
      {"Doppelt 2 bei Art 3", mit([](AnlegenWerte& w) { w.art = 3, w.doppelt = 2; })},
      {"Unterverzeichnisse 2", mit([](AnlegenWerte& w) { w.unterverzeichnisse = 2; })},
      {"leeres Muster", mit([](AnlegenWerte& w) {
         w.ausnahmen = {"*.tmp", ""};
       })},
      {"offene Klammer", mit([](AnlegenWerte& w) { w.ausnahmen = {"[ab"}; })},
      {"fehlende Herkunft", mit([&](AnlegenWerte& w) { w.herkunft = baum_.Path("fehlt"); })},
      {"Ziel ist eine Datei", mit([&](AnlegenWerte& w) { w.ziel = baum_.Path("datei"); })},
      {"leeres Ziel", mit([](AnlegenWerte& w) { w.ziel = "  "; })},
      {"Sammlung ist ein Verzeichnis", mit([&](AnlegenWerte& w) { w.sammlung = "ordner.syc"; })},
      {"Textdatei ohne Sammlung", mit([&](AnlegenWerte& w) { w.sammlung = "text.syc"; })},
      {"Binärdatei", mit([&](AnlegenWerte& w) { w.sammlung = "binaer.syc"; })},
      {"abgeschnittene Sammlung", mit([&](AnlegenWerte& w) { w.sammlung = "kurz.syc"; })},
  };
  for (const Fall& f : faelle) {
    EXPECT_EQ(Anlegen(f.w), kSyncAufruf) << f.name;
  }
  EXPECT_FALSE(baum_.Exists("neu.syc"));
  EXPECT_FALSE(baum_.Exists("fehlt"));  // a missing directory is named, not created
  EXPECT_EQ(baum_.Read("text.syc"), "[Andere]\nSchluessel=1\n");
  EXPECT_EQ(baum_.Read("kurz.syc"), abgeschnitten);
}

// The patterns go into the job in the order given, a repeated one once, and the collection keeps
// them byte for byte, a "|" inside a pattern included.
TEST_F(AnlegenTest, PatternsGoIntoTheNewJob) {
  AnlegenWerte w = Werte("muster.syc");
  w.ausnahmen = {"*.tmp", "node_modules/", "a\\|b", "*.tmp", "!wichtig.tmp"};
  ASSERT_EQ(Anlegen(w), kSyncOk);
  Sammlung s;
  SammlungsZustand z;
  oeffnen(baum_.Path("muster.syc"), &s, &z, SammlungsDienste{});
  ASSERT_EQ(s.Anzahl(), 1u);
  EXPECT_EQ(s.An(0)->Ausnahmen,
            (std::vector<std::string>{"*.tmp", "node_modules/", "a\\|b", "!wichtig.tmp"}));
}

TEST_F(AnlegenTest, RelativePathsAreTakenFromTheWorkingDirectory) {
  AnlegenWerte w;
  w.sammlung = "rel.syc";
  w.herkunft = "./quelle/";
  w.ziel = "ziel";
  ASSERT_EQ(Anlegen(w), kSyncOk);
  Sammlung s;
  SammlungsZustand z;
  oeffnen(baum_.Path("rel.syc"), &s, &z, SammlungsDienste{});
  ASSERT_EQ(s.Anzahl(), 1u);
  EXPECT_EQ(s.An(0)->Herkunft, herkunft_);
  EXPECT_EQ(s.An(0)->Ziel, ziel_);
}

TEST_F(AnlegenTest, ACollectionInUseByARunIsNotChanged) {
  AnlegenWerte w = Werte("belegt.syc");
  ASSERT_EQ(Anlegen(w), kSyncOk);
  const std::string vorher = baum_.Read("belegt.syc");
  SammlungsSperre lauf;
  ASSERT_EQ(lauf.Sperren(baum_.Path("belegt.syc")), SammlungsSperre::Ergebnis::kGesperrt);
  EXPECT_EQ(Anlegen(w), kSyncAufruf);
  EXPECT_EQ(baum_.Read("belegt.syc"), vorher);
}

}  // namespace
}  // namespace zarnoft
