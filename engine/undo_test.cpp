// Taking a run back: over generated tree pairs of every kind, policy and deletion mode, a run and
// its undo leave both trees as they were, content and dates; a run stopped at any moment leaves a
// journal whose undo restores what it touched; what changed after the run is never touched.
#include "engine/undo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "engine/comparison.h"
#include "engine/kept_runs.h"
#include "engine/run_journal.h"
#include "testing/tree_pair_kit.h"

namespace zarnoft {
namespace {

using testing::Abbild;
using testing::Liste;
using testing::Paar;
using testing::TempTree;

RueckgaengigErgebnis Zuruecknehmen(Paar& p, Liste* l, bool probe = false) {
  ManualClock uhr(FileTime{p.basis.sec + 5 * 3600, 0});
  RueckgaengigWerte w;
  w.Herkunft = p.w.Herkunft;
  w.Ziel = p.w.Ziel;
  w.Probelauf = probe;
  // The job's last run is the one just done (as the job records it once it is done).
  w.LaufBeginn = FileTime{p.basis.sec + 4 * 3600, 0};
  w.LaufEnde = w.LaufBeginn;
  RueckgaengigDienste d;
  d.uhr = &uhr;
  d.bericht = l;
  d.stand_verzeichnis = p.baum.Path("stand") + "/";
  return LetztenLaufRueckgaengig(w, d);
}

std::string Beschreibung(const Paar& p, uint32_t seed) {
  return "seed " + std::to_string(seed) + ", Art " + std::to_string(Zahl(p.w.Art)) + ", Doppelt " +
         std::to_string(p.w.Doppelt) + ", Loeschen " + std::to_string(Zahl(p.w.Loeschen));
}

TEST(RueckgaengigTest, RunThenUndoLeavesBothTreesAsTheyWereAndThePlanIsWhatTheUndoDoes) {
  const uint32_t start = 20261209;
  const int paare = 200;
  std::set<std::string> arten;
  for (int i = 0; i < paare; ++i) {
    const uint32_t seed = start + static_cast<uint32_t>(i);
    Paar p(seed);
    const auto h = Abbild(p.w.Herkunft, true);
    const auto z = Abbild(p.w.Ziel, true);
    Liste lauf;
    p.Laufen(false, &lauf);
    for (const std::string& a : lauf.zeilen) arten.insert(a.substr(0, a.find(" > ")));
    Liste plan;
    RueckgaengigErgebnis probe = Zuruecknehmen(p, &plan, true);
    Liste echt;
    RueckgaengigErgebnis e = Zuruecknehmen(p, &echt);
    // A run that changed nothing kept nothing, and there is nothing to take back.
    if (!e.abgelehnt.empty()) {
      ASSERT_TRUE(lauf.zeilen.empty() || p.w.Art == VorgangsArt::kArchivieren ||
                  lauf.zeilen.size() ==
                      static_cast<size_t>(std::count_if(lauf.zeilen.begin(), lauf.zeilen.end(),
                                                        [](const std::string& z) {
                                                          return z.rfind("nachfragen", 0) == 0 ||
                                                                 z.rfind("belassen", 0) == 0;
                                                        })))
          << Beschreibung(p, seed) << ": " << e.abgelehnt;
    }
    ASSERT_EQ(e.fehler, 0) << Beschreibung(p, seed) << ": " << echt.fehler[0];
    ASSERT_EQ(plan.zeilen, echt.zeilen) << Beschreibung(p, seed);
    ASSERT_EQ(probe.schritte, e.schritte);
    ASSERT_EQ(Abbild(p.w.Herkunft, true), h) << Beschreibung(p, seed);
    ASSERT_EQ(Abbild(p.w.Ziel, true), z) << Beschreibung(p, seed);
  }
  // The runs taken back did every kind of change.
  for (const char* art :
       {"kopieren", "löschen", "auslagern", "anlegen", "archivieren", "beide behalten"})
    EXPECT_TRUE(arten.count(art)) << art;
}

// A file system that dies after a number of changes: from then on every change fails, as if the
// process had been killed there (what the run writes into its open journal still goes through,
// so the journal names steps that never happened, too).
class Sterbend : public FileSystemWrapper {
 public:
  Sterbend(int ueberlebt) : FileSystemWrapper(FileSystem::Default()), rest_(ueberlebt) {}
  bool Tot() { return rest_.fetch_sub(1) <= 0; }
  Status Aus() { return Status::FromErrno(EIO); }

  Status DeleteFile(const std::string& p) override {
    return Tot() ? Aus() : target()->DeleteFile(p);
  }
  Status RenameNoReplace(const std::string& f, const std::string& t) override {
    return Tot() ? Aus() : target()->RenameNoReplace(f, t);
  }
  Status RenameReplace(const std::string& f, const std::string& t) override {
    return Tot() ? Aus() : target()->RenameReplace(f, t);
  }
  Status CreateDirectory(const std::string& p) override {
    return Tot() ? Aus() : target()->CreateDirectory(p);
  }
  Status RemoveDirectory(const std::string& p) override {
    return Tot() ? Aus() : target()->RemoveDirectory(p);
  }
  Status CreateHardLink(const std::string& v, const std::string& n) override {
    return Tot() ? Aus() : target()->CreateHardLink(v, n);
  }
  Status SetTimes(const std::string& p, FileTime a, FileTime m) override {
    return Tot() ? Aus() : target()->SetTimes(p, a, m);
  }
  Status SetMode(const std::string& p, uint32_t m) override {
    return Tot() ? Aus() : target()->SetMode(p, m);
  }
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m,
                                                Status* s) override {
    if (Tot()) {
      if (s != nullptr) *s = Aus();
      return nullptr;
    }
    return target()->CreateExclusive(p, m, s);
  }

 private:
  std::atomic<int> rest_;
};

TEST(RueckgaengigTest, RunStoppedAtAnyMomentIsTakenBackByItsJournal) {
  const uint32_t start = 7000;
  for (int i = 0; i < 40; ++i) {
    const uint32_t seed = start + static_cast<uint32_t>(i);
    Paar p(seed);
    const auto h = Abbild(p.w.Herkunft, true);
    const auto z = Abbild(p.w.Ziel, true);
    Sterbend fs(static_cast<int>(seed % 40));
    p.Laufen(false, nullptr, FileTime{p.basis.sec + 4 * 3600, 0}, &fs);
    Liste echt;
    RueckgaengigErgebnis e = Zuruecknehmen(p, &echt);
    ASSERT_EQ(e.fehler, 0) << Beschreibung(p, seed) << ": " << echt.fehler[0];
    ASSERT_EQ(Abbild(p.w.Herkunft, true), h) << Beschreibung(p, seed);
    ASSERT_EQ(Abbild(p.w.Ziel, true), z) << Beschreibung(p, seed);
  }
}

// A copy job over one file, run once: the target's version is replaced, then the user edits it.
struct Einfach {
  Einfach() {
    w.Herkunft = baum.Mkdir("h");
    w.Ziel = baum.Mkdir("z");
    w.LoeschenWohin = baum.Path("lager");
    w.Art = VorgangsArt::kKopieren;
    w.Doppelt = static_cast<int>(KopierPruefung::kNurHerkunft);
    w.LoeschGrenze = 0;
  }
  void Laufen(VergleichsWerte werte, Liste* l = nullptr) {
    LaufDienste d;
    d.uhr = &uhr;
    d.bericht = l;
    d.stand_verzeichnis = baum.Path("stand") + "/";
    Vergleiche::Starten(werte, d, nullptr).Warten();
    uhr.Advance(60);
  }
  RueckgaengigErgebnis Zurueck(Liste* l = nullptr, const std::string& lauf = "",
                               bool probe = false) {
    RueckgaengigWerte r;
    r.Herkunft = w.Herkunft;
    r.Ziel = w.Ziel;
    r.Lauf = lauf;
    r.Probelauf = probe;
    RueckgaengigDienste d;
    d.uhr = &uhr;
    d.bericht = l;
    d.stand_verzeichnis = baum.Path("stand") + "/";
    uhr.Advance(60);
    return LetztenLaufRueckgaengig(r, d);
  }
  TempTree baum;
  ManualClock uhr{Clock::System()->Now()};
  VergleichsWerte w;
};

TEST(RueckgaengigTest, AnEditAfterTheRunIsKeptAndReported) {
  Einfach t;
  testing::SetMtime(t.baum.Write("h/a.txt", "neu"), FileTime{t.uhr.Now().sec - 100, 0});
  testing::SetMtime(t.baum.Write("z/a.txt", "alt"), FileTime{t.uhr.Now().sec - 200, 0});
  testing::SetMtime(t.baum.Write("h/b.txt", "neu b"), FileTime{t.uhr.Now().sec - 100, 0});
  testing::SetMtime(t.baum.Write("z/b.txt", "alt b"), FileTime{t.uhr.Now().sec - 200, 0});
  t.Laufen(t.w);
  ASSERT_EQ(t.baum.Read("z/a.txt"), "neu");
  t.baum.Write("z/a.txt", "bearbeitet");
  Liste l;
  RueckgaengigErgebnis e = t.Zurueck(&l);
  EXPECT_EQ(t.baum.Read("z/a.txt"), "bearbeitet");
  EXPECT_EQ(t.baum.Read("z/b.txt"), "alt b");
  EXPECT_EQ(e.fehler, 1);
  EXPECT_EQ(SchritteText(e), "1 Schritt (1 wiederhergestellt, 0 gelöscht, 0 angelegt), 1 Fehler");
  ASSERT_EQ(l.fehler.size(), 1u);
  EXPECT_NE(l.fehler[0].find("Seit dem Lauf geändert"), std::string::npos) << l.fehler[0];
  // The undo can be taken back in its turn.
  RueckgaengigErgebnis wieder = t.Zurueck();
  EXPECT_TRUE(wieder.abgelehnt.empty()) << wieder.abgelehnt;
  EXPECT_EQ(t.baum.Read("z/b.txt"), "neu b");
}

// The editor shows the plan first and undoes on the user's word: a run that became the newest
// meanwhile is not taken back in place of the one shown.
TEST(RueckgaengigTest, UndoOfTheRunShownRefusesWhenAnotherRunCameSince) {
  Einfach t;
  t.baum.Write("h/a.txt", "a");
  t.Laufen(t.w);
  const RueckgaengigErgebnis plan = t.Zurueck(nullptr, "", /*probe=*/true);
  ASSERT_TRUE(plan.abgelehnt.empty()) << plan.abgelehnt;
  EXPECT_EQ(plan.zaehlung.geloescht, 1);
  t.baum.Write("h/b.txt", "b");
  t.Laufen(t.w);
  RueckgaengigErgebnis e = t.Zurueck(nullptr, plan.lauf);
  EXPECT_NE(e.abgelehnt.find("Vorschau"), std::string::npos) << e.abgelehnt;
  EXPECT_TRUE(t.baum.Exists("z/a.txt"));
  EXPECT_TRUE(t.baum.Exists("z/b.txt"));
  const RueckgaengigErgebnis neu = t.Zurueck(nullptr, "", /*probe=*/true);
  e = t.Zurueck(nullptr, neu.lauf);
  EXPECT_TRUE(e.abgelehnt.empty()) << e.abgelehnt;
  EXPECT_TRUE(t.baum.Exists("z/a.txt"));
  EXPECT_FALSE(t.baum.Exists("z/b.txt"));
}

TEST(RueckgaengigTest, AfterAnUndoTheNextTwoWayRunDeletesNothingOnTheUndoneRunsAccount) {
  Einfach t;
  t.w.Art = VorgangsArt::kSynchronisieren;
  t.w.Doppelt = static_cast<int>(DoppelRegel::kNeuerenBehalten);
  const FileTime alt{t.uhr.Now().sec - 3600, 0};
  for (const char* seite : {"h/", "z/"}) {
    testing::SetTimes(t.baum.Write(std::string(seite) + "x.txt", "x"), alt, alt);
    testing::SetTimes(t.baum.Write(std::string(seite) + "anker", "a"), alt, alt);
  }
  t.Laufen(t.w);  // in step: the record lists x.txt on both sides
  VergleichsWerte w = t.w;
  w.LaufBeginn = FileTime{t.uhr.Now().sec - 60, 0};
  w.LaufEnde = w.LaufBeginn;
  std::filesystem::remove(t.baum.Path("h/x.txt"));
  t.Laufen(w);  // deleted in the source: goes in the target too
  ASSERT_FALSE(t.baum.Exists("z/x.txt"));
  RueckgaengigErgebnis e = t.Zurueck();
  ASSERT_TRUE(e.abgelehnt.empty()) << e.abgelehnt;
  EXPECT_EQ(e.vorher_beginn, w.LaufBeginn);
  ASSERT_TRUE(t.baum.Exists("z/x.txt"));
  // The job's last run is the one before again; x.txt stands in the target only, and the record
  // of the undone run would take that for a deletion in the source.
  Liste l;
  t.Laufen(w, &l);
  EXPECT_TRUE(t.baum.Exists("z/x.txt"));
  for (const std::string& a : l.zeilen) EXPECT_EQ(a.rfind("löschen", 0), std::string::npos) << a;
}

TEST(RueckgaengigTest, ReservedDirectoryThatIsALinkStopsRunAndUndo) {
  Einfach t;
  t.baum.Write("h/a.txt", "neu");
  t.baum.Mkdir("woanders");
  std::filesystem::create_directory_symlink(t.baum.Path("woanders"), t.baum.Path("z/.zarnoft"));
  Liste l;
  t.Laufen(t.w, &l);
  EXPECT_FALSE(t.baum.Exists("z/a.txt"));
  EXPECT_TRUE(std::filesystem::is_empty(t.baum.Path("woanders")));
  RueckgaengigErgebnis e = t.Zurueck();
  EXPECT_NE(e.abgelehnt.find("Verknüpfung"), std::string::npos) << e.abgelehnt;
}

TEST(RueckgaengigTest, BadJournalsAreRefusedAndChangeNothing) {
  const std::string kopf = JournalKopfText(JournalKopf{"/h", "/z", {1, 0}, {}, {}, 0});
  const std::string schritt = "geschrieben\tZ\ta.txt\t\t3\t1\t0\t7\t0\n";
  struct Fall {
    std::string text;
    const char* grund;
  } faelle[] = {
      {kopf + schritt.substr(0, 10), "abgeschnitten"},
      {kopf.substr(0, 30) + "\n", "Kopf"},
      {kopf + "gelöscht\tZ\ta\t\t0\t0\t0\t0\t0\n", "beschädigt"},
      {kopf + "geschrieben\tZ\ta\t\tx\t0\t0\t0\t0\n", "beschädigt"},
      {kopf + "geschrieben\tZ\ta\\q\t\t0\t0\t0\t0\t0\n", "beschädigt"},
      {"zarnoft-journal 2\n", "neueren Programmversion"},
      {"irgendwas\n", "kein Protokoll"},
  };
  for (const Fall& f : faelle) {
    JournalKopf k;
    std::vector<JournalEintrag> e;
    std::string fehler;
    EXPECT_FALSE(JournalLesen(f.text, &k, &e, &fehler)) << f.text;
    EXPECT_NE(fehler.find(f.grund), std::string::npos) << fehler;
  }
  JournalKopf k;
  std::vector<JournalEintrag> e;
  std::string fehler;
  ASSERT_TRUE(JournalLesen(kopf + schritt, &k, &e, &fehler)) << fehler;
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].inode, 7u);

  // The last run's journal garbled: the undo refuses and changes nothing.
  Einfach t;
  t.baum.Write("h/a.txt", "neu");
  t.baum.Write("z/a.txt", "alt");
  t.Laufen(t.w);
  std::vector<BehaltenerLauf> laeufe =
      BehalteneLaeufe(FileSystem::Default(), t.w.Herkunft, t.w.Ziel);
  ASSERT_EQ(laeufe.size(), 1u);
  const std::string pfad = JournalPfad(t.w.Ziel, laeufe[0].name);
  std::string text;
  ASSERT_TRUE(FileSystem::Default()->ReadWholeFile(pfad, &text).ok());
  t.baum.Write(pfad.substr(t.baum.root().size() + 1), text + "kaputt");
  RueckgaengigErgebnis r = t.Zurueck();
  EXPECT_NE(r.abgelehnt.find("abgeschnitten"), std::string::npos) << r.abgelehnt;
  EXPECT_EQ(t.baum.Read("z/a.txt"), t.baum.Read("h/a.txt"));
  // Roots that are gone: nothing is done.
  std::filesystem::remove_all(t.baum.Path("h"));
  EXPECT_NE(t.Zurueck().abgelehnt.find("nicht gefunden"), std::string::npos);
}

// A run sizes the kept runs from their journals' headers and kept steps alone (a first copy's
// journal has a line per file): the overview agrees with the full reader, and a garbled or
// cut-off step (a killed run) costs only that step.
TEST(RueckgaengigTest, AJournalsOverviewAgreesWithTheFullReader) {
  std::string text = JournalKopfText(JournalKopf{"/h\tt", "/z", {5, 6}, {1, 2}, {3, 4}, 7});
  uint64_t erwartet = 0;
  int64_t groesse = 10;
  for (JournalSchritt s :
       {JournalSchritt::kDatum, JournalSchritt::kAngelegt, JournalSchritt::kBehalten,
        JournalSchritt::kGeschrieben, JournalSchritt::kEntfernt, JournalSchritt::kVerzeichnis,
        JournalSchritt::kAusgelagert, JournalSchritt::kUmbenannt}) {
    JournalEintrag e;
    e.schritt = s;
    e.rel = "a\tb\\c";
    e.zweit = "x\ty";
    e.groesse = groesse *= 3;
    if (s == JournalSchritt::kBehalten || s == JournalSchritt::kEntfernt) erwartet += e.groesse;
    text += JournalZeile(e);
  }
  JournalKopf k;
  std::vector<JournalEintrag> e;
  std::string fehler;
  ASSERT_TRUE(JournalLesen(text, &k, &e, &fehler)) << fehler;
  JournalKopf u;
  uint64_t bytes = 0;
  ASSERT_TRUE(JournalUeberblick(text, &u, &bytes));
  EXPECT_EQ(u.herkunft, k.herkunft);
  EXPECT_EQ(u.ziel, k.ziel);
  EXPECT_EQ(u.beginn, k.beginn);
  EXPECT_EQ(bytes, erwartet);

  JournalEintrag b;
  b.schritt = JournalSchritt::kBehalten;
  b.groesse = 1000;
  const std::string zeile = JournalZeile(b);
  const std::string beschaedigt = "behalten\tZ\ta\t\tx\t0\t0\t0\t0\n";
  ASSERT_TRUE(
      JournalUeberblick(text + beschaedigt + zeile.substr(0, zeile.size() - 1), &u, &bytes));
  EXPECT_EQ(bytes, erwartet);
  EXPECT_FALSE(JournalUeberblick("zarnoft-journal 2\n", &u, &bytes));
  EXPECT_FALSE(JournalUeberblick(text.substr(0, 30), &u, &bytes));
}

TEST(RueckgaengigTest, KeptRunsGoByAgeAndByShareOfTheFreeSpace) {
  const FileTime jetzt{100 * 86400, 0};
  auto lauf = [&](const char* name, int tage_alt, uint64_t bytes) {
    return BehaltenerLauf{name, FileTime{jetzt.sec - tage_alt * 86400, 0}, bytes};
  };
  const std::vector<BehaltenerLauf> laeufe = {lauf("a", 40, 10), lauf("b", 20, 50),
                                              lauf("c", 10, 30), lauf("d", 1, 200)};
  struct Fall {
    int tage;
    int anteil;
    uint64_t frei;
    std::vector<std::string> weg;
  } faelle[] = {
      {30, 100, 1000000, {"a"}},                // by age only
      {0, 100, 1000000, {"a", "b", "c", "d"}},  // 0 days: nothing is kept
      {60, 10, 2800, {"a"}},                    // 290 bytes allowed: the oldest goes
      {60, 10, 2000, {"a", "b", "c"}},          // 200 allowed: down to the last run
      {60, 10, 0, {"a", "b", "c"}},             // no room at all: the last run stays all the same
  };
  for (const Fall& f : faelle)
    EXPECT_EQ(Auszusortieren(laeufe, jetzt, f.tage, f.anteil, f.frei), f.weg)
        << f.tage << " " << f.anteil << " " << f.frei;

  // At the start of a run the job's kept runs older than the setting go, both sides' stores too.
  Einfach t;
  t.baum.Write("h/a.txt", "neu");
  t.baum.Write("z/a.txt", "alt");
  t.Laufen(t.w);
  ASSERT_EQ(BehalteneLaeufe(FileSystem::Default(), t.w.Herkunft, t.w.Ziel).size(), 1u);
  const std::string erster = BehalteneLaeufe(FileSystem::Default(), t.w.Herkunft, t.w.Ziel)[0].name;
  t.uhr.Advance(31 * 86400);
  t.baum.Write("h/a.txt", "neuer");
  t.Laufen(t.w);
  std::vector<BehaltenerLauf> danach =
      BehalteneLaeufe(FileSystem::Default(), t.w.Herkunft, t.w.Ziel);
  ASSERT_EQ(danach.size(), 1u);
  EXPECT_NE(danach[0].name, erster);
  EXPECT_FALSE(t.baum.Exists("z/.zarnoft/laeufe/" + erster));
  EXPECT_FALSE(t.baum.Exists("z/.zarnoft/laeufe/" + erster + ".journal"));
}

}  // namespace
}  // namespace zarnoft
