#include "jobs/collection_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cmath>

#include "settings/ini_file.h"
#include "settings/ini_snapshot.h"
#include "testing/recording_log.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::RecordingLog;
using testing::TempTree;

double At(int y, int mo, int d, int h, int mi, int s) {
  LocalTime lt;
  lt.year = y, lt.month = mo, lt.day = d, lt.hour = h, lt.minute = mi, lt.second = s;
  return DayCountFromLocal(lt);
}

TVergleichThread Job(const std::string& name, int32_t art = 1) {
  TVergleichThread j;
  j.Herkunft = "/q/" + name;
  j.Ziel = "/z/" + name;
  j.Art = static_cast<VorgangsArt>(art);
  return j;
}

class CollectionFileTest : public ::testing::Test {
 protected:
  SammlungsZustand ZustandFuer(const std::string& datei) {
    SammlungsZustand z;
    z.SammlungsVerzeichnis = tree.root() + "/";
    z.SammlungsDatei = datei;
    return z;
  }
  void Speichern(const Sammlung& s, const std::string& datei) {
    SammlungsZustand z = ZustandFuer(datei);
    z.Geaendert = true;
    gespeichert = SammlungSpeichern(s, &z, {&log, nullptr});
    EXPECT_FALSE(z.Geaendert);
  }
  Sammlung Oeffnen(const std::string& datei) {
    Sammlung s;
    zustand.Geaendert = true;
    geoeffnet = oeffnen(tree.Path(datei), &s, &zustand, {&log, nullptr});
    EXPECT_FALSE(zustand.Geaendert);
    return s;
  }

  TempTree tree;
  RecordingLog log;
  SammlungsZustand zustand;
  SammlungGeoeffnet geoeffnet;
  SammlungGespeichert gespeichert;
};

TEST_F(CollectionFileTest, FreshFileLayout) {
  Sammlung s;
  TVergleichThread a = Job("a");
  a.Booten = true;
  a.Unterverzeichnisse = true;
  a.Doppelt = -1;
  a.Zaehler = 5;
  a.Aufruf = At(2023, 11, 5, 14, 5, 32);
  a.LaufBeginn = FileTime{1699189500, 7};
  a.LaufEnde = FileTime{1699189532, 250000000};
  a.Zeiten = {TZeitEintrag{3, 8, 30, true}};
  a.Kennung = "0123456789abcdef";
  s.Anhaengen(a);
  s.Anhaengen(Job("b", 2));
  Speichern(s, "neu.syc");

  const AufrufTeile t = AufrufZerlegen(a.Aufruf);
  EXPECT_EQ(t.S, 14 * 3600 + 5 * 60 + 32);
  EXPECT_EQ(tree.Read("neu.syc"),
            "[Allgemein]\nVersion=2\nAnzahl=2\n\n"
            "[Vorgang 1]\nBooten=1\nHerunterfahren=0\nIdle=0\nHerkunft=/q/a\nZiel=/z/a\n"
            "Unterverzeichnisse=1\nArt=1\nDoppelt=-1\nZaehler=5\nZaehlArt=0\nAufrufT=" +
                std::to_string(t.T) +
                "\nAufrufS=50732\nLaufBeginnUTC=1699189500.000000007\n"
                "LaufEndeUTC=1699189532.250000000\nKennung=0123456789abcdef\nZeiten=1\n\n" +
                "[Zeit V1 Z1]\nTag=3\nStunde=8\nMinute=30\nNachholen=1\n\n"
                "[Vorgang 2]\nBooten=0\nHerunterfahren=0\nIdle=0\nHerkunft=/q/b\nZiel=/z/b\n"
                "Unterverzeichnisse=0\nArt=2\nDoppelt=0\nZaehler=0\nZaehlArt=0\nAufrufT=0\n"
                "AufrufS=0\nLaufBeginnUTC=0\nLaufEndeUTC=0\nKennung=\nZeiten=0\n");
  EXPECT_EQ(gespeichert.datei, "neu.syc");
  EXPECT_EQ(gespeichert.jobs, 2);
  EXPECT_TRUE(log.Has(LogStufe::kSpeichernLaden, "neu.syc gespeichert"));
}

TEST_F(CollectionFileTest, RoundTripKeepsEveryFieldAndTheLastRunToTheSecond) {
  Sammlung s;
  TVergleichThread a = Job("a", 3);
  a.Herkunft = "/home/jörg/Büro";  // UTF-8
  a.Unterverzeichnisse = true;
  a.Doppelt = -1;
  a.Zaehler = -7;
  a.ZaehlArt = true;
  a.Herunterfahren = true;
  a.Idle = true;
  // A hair below 14:05:32 still stores 14:05:32.
  a.Aufruf = At(2023, 11, 5, 14, 5, 32) - 0.1 / 86400;
  a.LaufBeginn = FileTime{1699189500, 123456789};
  a.LaufEnde = FileTime{1699189532, 1};
  a.Zeiten = {TZeitEintrag{-3, 23, 59, false}, TZeitEintrag{7, 0, 0, true}};
  s.Anhaengen(a);
  s.Anhaengen(Job("b", 2));
  Speichern(s, "rund.syc");

  Sammlung r = Oeffnen("rund.syc");
  ASSERT_EQ(r.Anzahl(), 2u);
  const TVergleichThread& b = *r.An(0);
  EXPECT_EQ(b.Herkunft, a.Herkunft);
  EXPECT_EQ(b.Ziel, a.Ziel);
  EXPECT_TRUE(b.Unterverzeichnisse);
  EXPECT_EQ(Zahl(b.Art), 3);
  EXPECT_EQ(b.Doppelt, -1);
  EXPECT_EQ(b.Zaehler, -7);
  EXPECT_TRUE(b.ZaehlArt);
  EXPECT_FALSE(b.Booten);
  EXPECT_TRUE(b.Herunterfahren);
  EXPECT_TRUE(b.Idle);
  EXPECT_EQ(b.Zeiten, a.Zeiten);
  EXPECT_TRUE(b.Thread.Leer());
  EXPECT_EQ(LongTimeText(LocalFromDayCount(b.Aufruf)), "14:05:32");
  EXPECT_NEAR(b.Aufruf, At(2023, 11, 5, 14, 5, 32), 1e-9);
  EXPECT_EQ(b.LaufBeginn, a.LaufBeginn);  // to the nanosecond
  EXPECT_EQ(b.LaufEnde, a.LaufEnde);
  EXPECT_EQ(r.An(1)->Herkunft, "/q/b");
  EXPECT_EQ(r.An(1)->Aufruf, 0);
  EXPECT_EQ(r.An(1)->LaufEnde, FileTime{});
}

TEST_F(CollectionFileTest, ExclusionsKeepTheirBytesAndLeaveWithTheirJob) {
  Sammlung s;
  TVergleichThread a = Job("a");
  s.Anhaengen(Job("b"));
  s.Anhaengen(a);
  Speichern(s, "aus.syc");
  const std::string ohne = tree.Read("aus.syc");
  EXPECT_EQ(ohne.find("Ausnahmen"), std::string::npos);  // no patterns, no key

  // A value written by hand, with an escaped "|", a backslash and blanks, is read as patterns
  // and written back as it was.
  const std::string wert = "*.tmp|a\\|b|c\\d| mit Leerzeichen |node_modules/";
  IniFile(tree.Path("aus.syc")).WriteString("Vorgang 2", "Ausnahmen", wert);
  const std::string mit = tree.Read("aus.syc");
  Sammlung r = Oeffnen("aus.syc");
  EXPECT_EQ(r.An(1)->Ausnahmen, (std::vector<std::string>{"*.tmp", "a|b", "c\\d",
                                                          " mit Leerzeichen ", "node_modules/"}));
  EXPECT_TRUE(r.An(0)->Ausnahmen.empty());
  Speichern(r, "aus.syc");
  EXPECT_EQ(tree.Read("aus.syc"), mit);

  // A job without patterns that takes the section of one with patterns leaves none behind.
  r.Entfernen(1);
  r.Anhaengen(Job("c"));
  Speichern(r, "aus.syc");
  std::string erwartet = ohne;
  erwartet.replace(erwartet.find("/q/a"), 4, "/q/c");
  erwartet.replace(erwartet.find("/z/a"), 4, "/z/c");
  EXPECT_EQ(tree.Read("aus.syc"), erwartet);
}

TEST(LaufUtcTest, InstantsReadBackOrAreUnknown) {
  EXPECT_EQ(UtcLesen("1700000000"), (FileTime{1700000000, 0}));
  EXPECT_EQ(UtcLesen("1700000000.5"), (FileTime{1700000000, 500000000}));
  EXPECT_EQ(UtcLesen(UtcText(FileTime{42, 999999999})), (FileTime{42, 999999999}));
  // A damaged value is no instant: the job's Aufruf decides then.
  for (const char* kaputt : {"", "0", "-5", "12x", "1.", "1.1234567890", "99999999999999999999"})
    EXPECT_EQ(UtcLesen(kaputt), FileTime{}) << kaputt;
  EXPECT_EQ(UtcText(FileTime{}), "0");
}

TEST(AufrufTest, DaysAndSeconds) {
  AufrufTeile t = AufrufZerlegen(45000.5);
  EXPECT_EQ(t.T, 45000);
  EXPECT_EQ(t.S, 43200);
  EXPECT_EQ(AufrufZusammensetzen(45000, 43200), 45000.5);
  t = AufrufZerlegen(0);
  EXPECT_EQ(t.T, 0);
  EXPECT_EQ(t.S, 0);
  // Before the epoch both parts are cut toward zero and read back to the same moment.
  t = AufrufZerlegen(-1.25);
  EXPECT_EQ(t.T, -1);
  EXPECT_EQ(t.S, -21599);
  // Values that no real date has must not overflow.
  t = AufrufZerlegen(1e300);
  EXPECT_GT(t.T, 0);
  t = AufrufZerlegen(std::nan(""));
  EXPECT_EQ(t.T, 0);
}

TEST_F(CollectionFileTest, ShrinkingEraseStaleJobsAndTheirTimeEntries) {
  Sammlung s;
  for (int i = 1; i <= 5; ++i) {
    TVergleichThread j = Job("j" + std::to_string(i));
    j.Zeiten = {TZeitEintrag{}, TZeitEintrag{}};
    s.Anhaengen(j);
  }
  Speichern(s, "s.syc");
  IniFile(tree.Path("s.syc")).WriteString("Fremd", "Schluessel", "bleibt");
  IniFile(tree.Path("s.syc")).WriteString("Vorgang 1", "Eigenes", "bleibt auch");
  s.Entfernen(4);
  s.Entfernen(3);
  Speichern(s, "s.syc");

  IniSnapshot ini = IniSnapshot::Load(tree.Path("s.syc"));
  EXPECT_EQ(ini.ReadInteger("Allgemein", "Anzahl", 0), 3);
  EXPECT_TRUE(ini.HasSection("Vorgang 3"));
  EXPECT_TRUE(ini.HasSection("Zeit V3 Z2"));
  for (const char* weg :
       {"Vorgang 4", "Vorgang 5", "Zeit V4 Z1", "Zeit V4 Z2", "Zeit V5 Z1", "Zeit V5 Z2"}) {
    EXPECT_FALSE(ini.HasSection(weg)) << weg;
  }
  EXPECT_EQ(ini.ReadString("Fremd", "Schluessel", ""), "bleibt");
  EXPECT_EQ(ini.ReadString("Vorgang 1", "Eigenes", ""), "bleibt auch");
}

TEST_F(CollectionFileTest, VersionOneFileIsUpgradedOnDisk) {
  tree.Write("alt.syc",
             "[Allgemein]\nVersion=1\nAnzahl=2\n"
             "[Vorgang 1]\nArt=2\nDoppelt=0\nHerkunft=/a\n"
             "[Vorgang 2]\nArt=1\nDoppelt=4\n");
  Sammlung s = Oeffnen("alt.syc");
  ASSERT_EQ(s.Anzahl(), 2u);
  EXPECT_EQ(s.An(0)->Doppelt, 2);
  EXPECT_EQ(s.An(1)->Doppelt, 4);
  EXPECT_EQ(zustand.SammlungsVersion, 2);
  IniSnapshot ini = IniSnapshot::Load(tree.Path("alt.syc"));
  EXPECT_EQ(ini.ReadInteger("Vorgang 1", "Doppelt", -9), 2);
  EXPECT_EQ(ini.ReadInteger("Vorgang 2", "Doppelt", -9), 4);
  EXPECT_EQ(ini.ReadInteger("Allgemein", "Version", -9), 2);
  EXPECT_EQ(ini.ReadString("Vorgang 1", "Herkunft", ""), "/a");

  // Read as version 2 now: a kind-2 job keeps whatever sub-mode it has.
  IniFile(tree.Path("alt.syc")).WriteInteger("Vorgang 1", "Doppelt", 1);
  EXPECT_EQ(Oeffnen("alt.syc").An(0)->Doppelt, 1);
}

// A file system on which every write is refused.
class SchreibgeschuetztesFs : public FileSystemWrapper {
 public:
  SchreibgeschuetztesFs() : FileSystemWrapper(FileSystem::Default()) {}
  std::unique_ptr<WritableFile> CreateExclusive(const std::string&, uint32_t, Status* s) override {
    if (s != nullptr) *s = Status::FromErrno(EROFS);
    return nullptr;
  }
};

TEST_F(CollectionFileTest, ReadOnlyVersionOneFileIsStillReadInFull) {
  const std::string text =
      "[Allgemein]\nVersion=1\nAnzahl=2\n[Vorgang 1]\nArt=2\n[Vorgang 2]\nArt=2\n";
  tree.Write("ro.syc", text);
  SchreibgeschuetztesFs fs;
  Sammlung s;
  const SammlungGeoeffnet g = oeffnen(tree.Path("ro.syc"), &s, &zustand, {&log, &fs});
  ASSERT_EQ(s.Anzahl(), 2u);
  EXPECT_EQ(s.An(1)->Doppelt, 2);
  EXPECT_EQ(zustand.SammlungsVersion, 2);
  EXPECT_EQ(log.CountPrefix("Warn: Kann nicht nach "), 1);
  EXPECT_TRUE(g.gelesen);
  EXPECT_TRUE(log.Has(LogStufe::kSpeichernLaden, "Main: ro.syc geöffnet"));
  EXPECT_EQ(tree.Read("ro.syc"), text);
}

TEST_F(CollectionFileTest, VersionDecidesWhetherTheFileIsRead) {
  const std::string jobs = "Anzahl=2\n[Vorgang 1]\nHerkunft=/a\n[Vorgang 2]\nHerkunft=/b\n";
  struct Fall {
    std::string version;
    size_t jobs;
  };
  for (const Fall& f : {Fall{"", 0}, Fall{"Version=0\n", 0}, Fall{"Version=-1\n", 0},
                        Fall{"Version=256\n", 0}, Fall{"Version=255\n", 0}, Fall{"Version=2\n", 2},
                        Fall{"Version=3\n", 2}, Fall{"Version=abc\n", 0}}) {
    tree.Write("v.syc", "[Allgemein]\n" + f.version + jobs);
    log.Leeren();
    EXPECT_EQ(Oeffnen("v.syc").Anzahl(), f.jobs) << f.version;
    EXPECT_EQ(geoeffnet.gelesen, f.jobs > 0) << f.version;
    // Read or not, the file counts as opened.
    EXPECT_TRUE(log.Has(LogStufe::kSpeichernLaden, "Main: v.syc geöffnet")) << f.version;
    EXPECT_EQ(geoeffnet.name, tree.Path("v.syc"));
  }
}

TEST_F(CollectionFileTest, OpeningReportsAndSetsTheFileNames) {
  Sammlung s = Oeffnen("fehlt.syc");
  EXPECT_TRUE(s.Leer());
  EXPECT_FALSE(tree.Exists("fehlt.syc"));
  EXPECT_EQ(zustand.SammlungsDatei, "fehlt.syc");
  EXPECT_EQ(zustand.SammlungsVerzeichnis, tree.root() + "/");
  EXPECT_EQ(zustand.SammlungsVersion, 0);
  EXPECT_TRUE(log.Has(LogStufe::kSpeichernLaden, "Main: fehlt.syc geöffnet"));
  EXPECT_FALSE(log.Has("Main: Werte in Tabelle übernommen"));
  EXPECT_EQ(geoeffnet.name, tree.Path("fehlt.syc"));
  EXPECT_FALSE(geoeffnet.gelesen);

  tree.Write("da.syc", "[Allgemein]\nVersion=2\nAnzahl=1\n[Vorgang 1]\nArt=1\n");
  EXPECT_EQ(Oeffnen("da.syc").Anzahl(), 1u);
  EXPECT_TRUE(log.Has(LogStufe::kDebugAusfuehrlich, "Main: Werte in Tabelle übernommen"));
  EXPECT_TRUE(geoeffnet.gelesen);

  // Without a window and without a log.
  Sammlung t;
  SammlungsZustand z;
  oeffnen(tree.Path("da.syc"), &t, &z, {});
  EXPECT_EQ(t.Anzahl(), 1u);
}

TEST_F(CollectionFileTest, DefaultsOfMissingKeysAndSections) {
  tree.Write("d.syc",
             "[Allgemein]\nVersion=2\nAnzahl=3\n"
             "[Vorgang 1]\nZeiten=2\nZaehler=keineZahl\nUnterverzeichnisse=ja\n"
             "[Zeit V1 Z1]\nTag=1\nMinute=15\n"
             "[Zeit V1 Z2]\nStunde=0x10\nNachholen=2\n"
             "[Vorgang 3]\nArt=3\nHerkunft=/drei\n");
  Sammlung s = Oeffnen("d.syc");
  ASSERT_EQ(s.Anzahl(), 2u);
  const TVergleichThread& a = *s.An(0);
  ASSERT_EQ(a.Zeiten.size(), 2u);
  EXPECT_EQ(a.Zeiten[0], (TZeitEintrag{1, 12, 15, false}));
  EXPECT_EQ(a.Zeiten[1], (TZeitEintrag{0, 16, 0, true}));
  EXPECT_EQ(a.Zaehler, 0);
  EXPECT_FALSE(a.Unterverzeichnisse);
  EXPECT_EQ(Zahl(a.Art), 0);
  // The file names three jobs and holds two: what it holds is read, nothing is made up, and the
  // mismatch is told.
  EXPECT_EQ(s.An(1)->Herkunft, "/drei");
  EXPECT_EQ(geoeffnet.AnzahlFehler(), "Die Sammlung nennt 3 Aufträge, enthält 2");
}

TEST_F(CollectionFileTest, AJobCountThatDoesNotMatchTheSectionsIsTold) {
  struct Fall {
    std::string anzahl;  // "" = no key
    std::vector<int> abschnitte;
    std::string fehler;
    size_t jobs;
  };
  const Fall faelle[] = {
      {"2", {1, 2}, "", 2},
      {"0", {}, "", 0},
      {"", {}, "", 0},
      {"5", {1, 2, 3}, "Die Sammlung nennt 5 Aufträge, enthält 3", 3},  // cut off
      {"2", {1, 2, 3}, "Die Sammlung nennt 2 Aufträge, enthält 3", 3},
      {"3", {1, 2, 4}, "Die Sammlung nennt 3 Aufträge, enthält 3", 3},  // a gap
      {"-1", {1}, "Die Sammlung nennt -1 Aufträge, enthält 1", 1},
      {"99999999999", {1, 2}, "Die Sammlung nennt 99999999999 Aufträge, enthält 2", 2},
      {"", {1}, "Die Sammlung nennt 0 Aufträge, enthält 1", 1},
  };
  for (const Fall& f : faelle) {
    std::string text = "[Allgemein]\nVersion=2\n";
    if (!f.anzahl.empty()) text += "Anzahl=" + f.anzahl + "\n";
    for (int n : f.abschnitte)
      text += "[Vorgang " + std::to_string(n) + "]\nHerkunft=/h" + std::to_string(n) + "\n";
    tree.Write("c.syc", text);
    Sammlung s = Oeffnen("c.syc");
    EXPECT_EQ(geoeffnet.AnzahlFehler(), f.fehler) << f.anzahl;
    EXPECT_EQ(s.Anzahl(), f.jobs) << f.anzahl;
    if (!f.fehler.empty() && !f.abschnitte.empty()) {
      EXPECT_EQ(s.An(s.Anzahl() - 1)->Herkunft, "/h" + std::to_string(f.abschnitte.back()));
      // Saving what was opened gives a file whose count is right again.
      SammlungsZustand z = ZustandFuer("c.syc");
      SammlungSpeichern(s, &z, {});
      Oeffnen("c.syc");
      EXPECT_TRUE(geoeffnet.AnzahlStimmt) << f.anzahl;
    }
  }
}

TEST_F(CollectionFileTest, EightBitFieldsKeepTheirLowBits) {
  tree.Write("b.syc",
             "[Allgemein]\nVersion=2\nAnzahl=1\n"
             "[Vorgang 1]\nDoppelt=265\nArt=4294967298\nZeiten=1\n"
             "[Zeit V1 Z1]\nTag=200\nStunde=-129\nMinute=0x1FF\n");
  Sammlung s = Oeffnen("b.syc");
  ASSERT_EQ(s.Anzahl(), 1u);
  EXPECT_EQ(s.An(0)->Doppelt, 9);
  EXPECT_EQ(Zahl(s.An(0)->Art), 2);
  EXPECT_EQ(s.An(0)->Zeiten[0], (TZeitEintrag{-56, 127, -1, false}));
}

TEST_F(CollectionFileTest, NonsenseValuesLoadWithoutAllocatingPerClaimedJob) {
  const std::string lang(5000, 'x');
  tree.Write("n.syc",
             "[Allgemein]\nVersion=2\nAnzahl=2000000000\n"
             "[Vorgang 1]\nArt=7\nZaehler=-5\nHerkunft=/" +
                 lang +
                 "\nZeiten=2000000000\n"
                 "[Zeit V1 Z3]\nTag=1\n"
                 "[Vorgang 2]\nArt=2\n"
                 "[Vorgang 3]\nArt=3\n");
  Sammlung s = Oeffnen("n.syc");
  ASSERT_EQ(s.Anzahl(), 3u);
  EXPECT_EQ(Zahl(s.An(0)->Art), 7);
  EXPECT_EQ(s.An(0)->Zaehler, -5);
  EXPECT_EQ(s.An(0)->Herkunft.size(), 1023u);
  // Entries 1 and 2 are missing and take defaults; nothing beyond entry 3 is made up.
  ASSERT_EQ(s.An(0)->Zeiten.size(), 3u);
  EXPECT_EQ(s.An(0)->Zeiten[2].Tag, 1);
  EXPECT_EQ(s.An(0)->Zeiten[0].Stunde, 12);

  // A single far-away section does not make up two billion jobs either.
  tree.Write("w.syc",
             "[Allgemein]\nVersion=2\nAnzahl=2000000000\n[Vorgang 1]\nArt=1\n"
             "[Vorgang 2000000000]\nArt=3\n[Vorgang 1]\nArt=9\n[Zeit V1 Z1999999999]\n");
  s = Oeffnen("w.syc");
  ASSERT_GE(s.Anzahl(), 2u);
  EXPECT_LE(s.Anzahl(), 10002u);
  EXPECT_EQ(Zahl(s.An(0)->Art), 1);  // a repeated section is read as one, first value first
  EXPECT_EQ(Zahl(s.An(s.Anzahl() - 1)->Art), 3);

  // Saving such a collection over the file costs only the sections that exist.
  SammlungsZustand z = ZustandFuer("w.syc");
  Sammlung klein;
  klein.Anhaengen(Job("k"));
  SammlungSpeichern(klein, &z, {});
  IniSnapshot ini = IniSnapshot::Load(tree.Path("w.syc"));
  EXPECT_FALSE(ini.HasSection("Vorgang 2000000000"));
  EXPECT_EQ(ini.ReadInteger("Allgemein", "Anzahl", 0), 1);
}

TEST_F(CollectionFileTest, GarbageAndTruncatedFilesLoadWithoutCrashing) {
  std::string garbage;
  uint32_t x = 12345;
  for (int i = 0; i < 20000; ++i) {
    x = x * 1103515245 + 12345;
    garbage += static_cast<char>(x >> 24);
  }
  tree.Write("g.syc", garbage);
  EXPECT_TRUE(Oeffnen("g.syc").Leer());
  EXPECT_FALSE(geoeffnet.gelesen);

  tree.Write("g2.syc", "[Allgemein]\nVersion=2\nAnzahl=1\n[Vorgang 1]\nHerkunft=" + garbage);
  Sammlung s = Oeffnen("g2.syc");
  ASSERT_EQ(s.Anzahl(), 1u);

  Sammlung voll;
  TVergleichThread j = Job("t");
  j.Zeiten = {TZeitEintrag{}};
  voll.Anhaengen(j);
  voll.Anhaengen(Job("u"));
  Speichern(voll, "t.syc");
  const std::string text = tree.Read("t.syc");
  for (size_t cut : {text.size() / 3, text.size() / 2, text.size() - 3}) {
    tree.Write("t2.syc", text.substr(0, cut));
    Sammlung t = Oeffnen("t2.syc");
    EXPECT_LE(t.Anzahl(), 2u);
  }
}

// A disk that fills up: every write of a file fails after its first bytes.
class VolleFestplatte : public FileSystemWrapper {
 public:
  VolleFestplatte() : FileSystemWrapper(FileSystem::Default()) {}
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m,
                                                Status* s) override {
    std::unique_ptr<WritableFile> f = FileSystemWrapper::CreateExclusive(p, m, s);
    if (!f) return f;
    return std::make_unique<Halbe>(std::move(f));
  }

 private:
  class Halbe : public WritableFile {
   public:
    explicit Halbe(std::unique_ptr<WritableFile> f) : f_(std::move(f)) {}
    Status Write(const char* d, size_t n) override {
      f_->Write(d, n / 2);
      return Status::FromErrno(ENOSPC);
    }
    Status Sync() override { return f_->Sync(); }
    Status Close() override { return f_->Close(); }

   private:
    std::unique_ptr<WritableFile> f_;
  };
};

TEST_F(CollectionFileTest, RefusedSaveLeavesTheOldFileCaptionAndMarker) {
  Sammlung s;
  for (int i = 0; i < 5; ++i) s.Anhaengen(Job("alt" + std::to_string(i)));
  Speichern(s, "voll.syc");
  const std::string vorher = tree.Read("voll.syc");

  Sammlung neu;
  neu.Anhaengen(Job("a"));
  VolleFestplatte fs;
  SammlungsZustand z = ZustandFuer("voll.syc");
  z.Geaendert = true;
  try {
    SammlungSpeichern(neu, &z, {&log, &fs});
    FAIL() << "no error";
  } catch (const IniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Kann nicht nach " + tree.Path("voll.syc") + " schreiben");
  }
  EXPECT_TRUE(z.Geaendert);                               // still unsaved
  EXPECT_EQ(log.CountPrefix("voll.syc gespeichert"), 1);  // from the first save only
  // The old collection is whole: not half old and half new. No temporary file is left.
  EXPECT_EQ(tree.Read("voll.syc"), vorher);
  std::vector<FileInfo> names;
  ASSERT_TRUE(FileSystem::Default()->ListDirectory(tree.root(), &names));
  EXPECT_EQ(names.size(), 1u);

  // A write-protected file is refused also for root.
  ASSERT_TRUE(FileSystem::Default()->SetMode(tree.Path("voll.syc"), 0444));
  EXPECT_THROW(SammlungSpeichern(neu, &z, {}), IniWriteError);
  EXPECT_EQ(tree.Read("voll.syc"), vorher);
  // So is a directory that does not exist.
  z.SammlungsVerzeichnis = tree.Path("fehlt/");
  EXPECT_THROW(SammlungSpeichern(neu, &z, {}), IniWriteError);
}

TEST_F(CollectionFileTest, PathJoinsDirectoryAndFileName) {
  SammlungsZustand z;
  z.SammlungsDatei = "a.syc";
  EXPECT_EQ(z.Pfad(), "a.syc");
  z.SammlungsVerzeichnis = "/home/x";
  EXPECT_EQ(z.Pfad(), "/home/x/a.syc");
  z.SammlungsVerzeichnis = "/home/x/";
  EXPECT_EQ(z.Pfad(), "/home/x/a.syc");
}

TEST_F(CollectionFileTest, RunnerWritesOnlyTheLastRunOfOneJob) {
  Sammlung s;
  s.Anhaengen(Job("a"));
  s.Anhaengen(Job("b"));
  Speichern(s, "r.syc");
  const std::string vorher = tree.Read("r.syc");
  TVergleichThread lauf = Job("b");
  lauf.Aufruf = At(2024, 6, 1, 8, 0, 1);
  lauf.LaufBeginn = FileTime{1717221600, 5};
  lauf.LaufEnde = FileTime{1717221601, 6};
  EXPECT_TRUE(AufrufSchreiben(tree.Path("r.syc"), 2, lauf));
  Sammlung r = Oeffnen("r.syc");
  EXPECT_EQ(r.An(0)->Aufruf, 0);
  EXPECT_NEAR(r.An(1)->Aufruf, At(2024, 6, 1, 8, 0, 1), 1e-9);
  EXPECT_EQ(r.An(1)->LaufEnde, lauf.LaufEnde);
  // Everything else is byte for byte as before.
  const AufrufTeile t = AufrufZerlegen(At(2024, 6, 1, 8, 0, 1));
  std::string erwartet = vorher;
  const size_t p = erwartet.find("AufrufT=0", erwartet.find("[Vorgang 2]"));
  erwartet.replace(p, 49,
                   "AufrufT=" + std::to_string(t.T) + "\nAufrufS=" + std::to_string(t.S) +
                       "\nLaufBeginnUTC=1717221600.000000005\nLaufEndeUTC=1717221601.000000006");
  EXPECT_EQ(tree.Read("r.syc"), erwartet);
}

TEST_F(CollectionFileTest, TheRunsDateGoesOnlyIntoTheSameJob) {
  const double datum = At(2024, 6, 1, 8, 0, 1);
  TVergleichThread a = Job("a");
  a.Kennung = "aaaaaaaaaaaaaaaa";
  TVergleichThread b = Job("b");
  b.Kennung = "bbbbbbbbbbbbbbbb";
  Sammlung s;
  s.Anhaengen(a);
  s.Anhaengen(b);
  Speichern(s, "k.syc");
  TVergleichThread lauf = b;  // read as job 2, running while the editor reorders and saves
  lauf.Aufruf = datum;
  Sammlung umgestellt;
  umgestellt.Anhaengen(b);
  umgestellt.Anhaengen(a);
  Speichern(umgestellt, "k.syc");
  EXPECT_TRUE(AufrufSchreiben(tree.Path("k.syc"), 2, lauf));
  Sammlung r = Oeffnen("k.syc");
  EXPECT_NEAR(r.An(0)->Aufruf, datum, 1e-9);
  EXPECT_EQ(r.An(1)->Aufruf, 0);
  // A job deleted meanwhile gets no date, and nothing else does either.
  Sammlung nur_a;
  nur_a.Anhaengen(a);
  Speichern(nur_a, "k.syc");
  const std::string vorher = tree.Read("k.syc");
  EXPECT_FALSE(AufrufSchreiben(tree.Path("k.syc"), 2, lauf));
  EXPECT_EQ(tree.Read("k.syc"), vorher);
  // Its identity kept by a hand that gave it another target: the date would be another pair's.
  TVergleichThread anders = b;
  anders.Ziel = "/woanders";
  Sammlung geaendert;
  geaendert.Anhaengen(anders);
  Speichern(geaendert, "k.syc");
  const std::string von_hand = tree.Read("k.syc");
  EXPECT_FALSE(AufrufSchreiben(tree.Path("k.syc"), 1, lauf));
  EXPECT_EQ(tree.Read("k.syc"), von_hand);

  // A collection written before jobs had identities: only the section that still names the
  // same directories and kind; opening it changes no byte.
  const std::string alt =
      "[Allgemein]\nVersion=2\nAnzahl=2\n[Vorgang 1]\nHerkunft=/q/b\nZiel=/z/b\nArt=1\n"
      "[Vorgang 2]\nHerkunft=/q/a\nZiel=/z/a\nArt=1\n";
  tree.Write("alt.syc", alt);
  Sammlung o = Oeffnen("alt.syc");
  EXPECT_EQ(o.An(0)->Kennung, "");
  EXPECT_EQ(tree.Read("alt.syc"), alt);
  TVergleichThread alt_b = Job("b");  // was job 2 when its run began
  alt_b.Aufruf = datum;
  EXPECT_FALSE(AufrufSchreiben(tree.Path("alt.syc"), 2, alt_b));
  EXPECT_EQ(tree.Read("alt.syc"), alt);
  TVergleichThread alt_a = Job("a");
  alt_a.Aufruf = datum;
  EXPECT_TRUE(AufrufSchreiben(tree.Path("alt.syc"), 2, alt_a));
  EXPECT_NEAR(Oeffnen("alt.syc").An(1)->Aufruf, datum, 1e-9);
}

}  // namespace
}  // namespace zarnoft
