#include "engine/walk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "copy/copier.h"
#include "copy/file_copy.h"
#include "platform/date_time.h"
#include "platform/gui_call.h"
#include "platform/path_helpers.h"
#include "testing/fake_window.h"
#include "testing/record_kit.h"
#include "testing/recording_log.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::FakeWindow;
using testing::Local;
using testing::RecordingLog;
using testing::SetTimes;
using testing::TempTree;

// Fails one listing, one directory creation or one existence test on purpose. (The walk
// decides in name order, which the tests about what comes first rely on.)
class GestoertesFs : public FileSystemWrapper {
 public:
  GestoertesFs() : FileSystemWrapper(FileSystem::Default()) {}
  Status ListDirectory(const std::string& d, std::vector<FileInfo>* o) override {
    if (d == liste_fehlt) return Status::FromErrno(EACCES);
    return target()->ListDirectory(d, o);
  }
  Status CreateDirectory(const std::string& p) override {
    if (p == anlegen_scheitert) return Status::FromErrno(EROFS);
    return target()->CreateDirectory(p);
  }
  Status IsEnterableDirectory(const std::string& p) override {
    if (p == unerreichbar) return Status::FromErrno(EIO);
    return target()->IsEnterableDirectory(p);
  }
  std::string liste_fehlt, anlegen_scheitert, unerreichbar;
};

// Records every copy request ("h/a.txt>z/a.txt", relative to the tree) and hands it on to the
// run's real copy step.
class Aufzeichner : public KopierDienst {
 public:
  Aufzeichner(const std::string& wurzel, KopierDienst* weiter) : wurzel_(wurzel), weiter_(weiter) {}
  KopierErgebnis Kopieren(const std::string& von, const std::string& nach, int64_t groesse,
                          const ZielBlick* gesehen = nullptr) override {
    kopien.push_back(Kurz(von) + ">" + Kurz(nach));
    groessen.push_back(groesse);
    if (bei_kopie) bei_kopie();
    return weiter_->Kopieren(von, nach, groesse, gesehen);
  }
  KopierErgebnis KopierenNeu(const std::string& von, const std::string& nach, int64_t groesse,
                             std::string* genommen) override {
    kopien.push_back(Kurz(von) + ">" + Kurz(nach));
    groessen.push_back(groesse);
    if (bei_kopie) bei_kopie();
    return weiter_->KopierenNeu(von, nach, groesse, genommen);
  }
  std::string Kurz(const std::string& p) const { return p.substr(wurzel_.size() + 1); }
  std::set<std::string> Menge() const { return {kopien.begin(), kopien.end()}; }

  std::vector<std::string> kopien;
  std::vector<int64_t> groessen;
  std::function<void()> bei_kopie;

 private:
  std::string wurzel_;
  KopierDienst* weiter_;
};

class WalkTest : public ::testing::Test {
 protected:
  WalkTest() {
    baum.Mkdir("h");
    baum.Mkdir("z");
    H = baum.Path("h");
    Z = baum.Path("z");
    k.Herkunft = H;
    k.Ziel = Z;
    k.LoeschenWohin = baum.Path("lager") + "/";
    k.Art = VorgangsArt::kSynchronisieren;
    k.Doppelt = Zahl(DoppelRegel::kKeineAktion);  // a double change is left alone
    k.Loeschen = LoeschModus::kNormal;
    k.ZaehlArt = true;
    k.Unterverzeichnisse = true;
    k.fs = &fs;
    k.uhr = &uhr;
    k.log = &log;
    k.fenster = &run;
    k.kopierer = &aufzeichner;
    k.stop = &stop;
    // Every status change a test makes lies before `basis`, so that the test places entries
    // before and after the last run freely with the access times it sets.
    FileTime jetzt = Clock::System()->Now();
    basis = FileTime{(jetzt.sec + 30 * 86400) / 2 * 2, 0};
    k.Letzter = LetzterLauf::AusDos(DosFromFileTime(basis));
  }

  FileTime Vor(int stunden) const { return FileTime{basis.sec - stunden * 3600, 0}; }
  FileTime Nach(int stunden) const { return FileTime{basis.sec + stunden * 3600, 0}; }

  std::string Datei(const std::string& rel, const std::string& inhalt, FileTime mtime,
                    FileTime atime) {
    std::string p = baum.Write(rel, inhalt);
    SetTimes(p, mtime, atime);
    return p;
  }
  std::string Datei(const std::string& rel, const std::string& inhalt, FileTime t) {
    return Datei(rel, inhalt, t, t);
  }
  void Alt(const std::string& rel, FileTime t) { SetTimes(baum.Path(rel), t, t); }

  // A record of the last run that lists `namen` (paths below the roots, their directories with
  // them) as both sides hold them now; a side that lacks a name is recorded with the other's look.
  void StandMit(const std::vector<std::string>& namen) {
    testing::StandMit(&stand, baum.Path("stand"), H, Z, namen);
    k.stand_alt = &stand;
  }

  void Laufen() {
    Verzeichnisvergleich w(k);
    w.VerzeichnisVergleichen("");
    w.Entfernen();
    gezaehlt = w.Gezaehlt();
  }
  bool Geprueft(const std::string& name) const {
    return log.Has(LogStufe::kDateizugriff, "Vergl: Prüfe Datei: " + name);
  }
  // The lines logged while one file was decided, from its "Prüfe Datei" line on.
  std::vector<std::string> ZeilenZu(const std::string& name) const {
    std::vector<std::string> r;
    bool drin = false;
    for (const std::string& t : log.Texts()) {
      if (t.rfind("Vergl: Prüfe Datei: ", 0) == 0 || t.rfind("Vergl: ****", 0) == 0)
        drin = t == "Vergl: Prüfe Datei: " + name;
      if (drin) r.push_back(t);
    }
    return r;
  }

  TempTree baum;
  std::string H, Z;
  GestoertesFs fs;
  RecordingLog log;
  FakeWindow fenster;
  DirectCaller gui;
  Fortschritt run{&gui, &fenster};
  ManualClock uhr;
  std::atomic<bool> stop{false};
  Kopierer kopierer{&fs, &log, &run, true};
  Aufzeichner aufzeichner{baum.root(), &kopierer};
  LaufKontext k;
  StandLeser stand;
  FileTime basis;
  int32_t gezaehlt = 0;
};

TEST_F(WalkTest, TwoWayTableRowByRow) {
  Datei("h/r1.txt", "herkunft", Vor(5));  // 1: equal dates, whatever the content
  Datei("z/r1.txt", "anders", Vor(5));
  Datei("h/r2.txt", "h", Nach(1));  // 2: both changed since the last run
  Datei("z/r2.txt", "zz", Nach(2));
  Datei("h/r3.txt", "neuer", Nach(2));  // 3: source newer
  Datei("z/r3.txt", "alt", Vor(1));
  Datei("h/r4.txt", "vier", Vor(2), Vor(1));    // 4: target lacks it, not in the record: new
  Datei("h/r5.txt", "fuenf", Vor(2), Vor(1));   // 5: target lacks it, as the last run left it
  Datei("h/r5gleich.txt", "x", Vor(2), basis);  // 4: in the record, but changed since
  Datei("h/r6.txt", "alt", Vor(3));             // 6: target newer
  Datei("z/r6.txt", "neuer ziel", Vor(1));
  Datei("z/r7.txt", "sieben", Vor(2), Vor(1));  // 7: source lacks it, new
  Datei("z/r8.txt", "acht", Vor(2), Vor(1));    // 8: source lacks it, as the last run left it
  StandMit({"r5.txt", "r5gleich.txt", "r8.txt"});
  Datei("h/r5gleich.txt", "y", Vor(2), basis);  // rewritten with its old date kept

  Laufen();

  EXPECT_EQ(aufzeichner.Menge(), (std::set<std::string>{"h/r3.txt>z/r3.txt", "h/r4.txt>z/r4.txt",
                                                        "h/r5gleich.txt>z/r5gleich.txt",
                                                        "z/r6.txt>h/r6.txt", "z/r7.txt>h/r7.txt"}));
  EXPECT_EQ(baum.Read("z/r1.txt"), "anders");
  EXPECT_EQ(baum.Read("h/r2.txt"), "h");
  EXPECT_EQ(baum.Read("z/r2.txt"), "zz");
  EXPECT_EQ(baum.Read("z/r3.txt"), "neuer");
  EXPECT_EQ(baum.Read("z/r4.txt"), "vier");
  EXPECT_FALSE(baum.Exists("h/r5.txt"));
  EXPECT_FALSE(baum.Exists("z/r5.txt"));
  EXPECT_EQ(baum.Read("z/r5gleich.txt"), "y");
  EXPECT_EQ(baum.Read("h/r6.txt"), "neuer ziel");
  EXPECT_EQ(baum.Read("h/r7.txt"), "sieben");
  EXPECT_FALSE(baum.Exists("z/r8.txt"));
  EXPECT_FALSE(baum.Exists("h/r8.txt"));

  EXPECT_TRUE(log.Has(LogStufe::kDateizugriff, "Vergl:              ... Keine Änderung"));
  EXPECT_TRUE(log.Has(LogStufe::kWarnung,
                      "Vergl: Doppelt geändert: " + Z + "/r2.txt und " + H + "/r2.txt"));
  // The copy comes first, its decision's lines follow.
  std::vector<std::string> r3 = ZeilenZu("r3.txt");
  ASSERT_GE(r3.size(), 4u);
  EXPECT_EQ(r3[r3.size() - 2], "Vergl: Kopiert: r3.txt aus Verzeichnis " + H);
  EXPECT_EQ(r3[r3.size() - 3], "Vergl: Kopie abgeschlossen");
  EXPECT_EQ(r3.back(), "Vergl:              Andere Version vor letztem Sync geändert");
  EXPECT_TRUE(log.Has(LogStufe::kDateiAenderung, "Vergl: Kopiert: r4.txt aus Verzeichnis " + H));
  EXPECT_TRUE(
      log.Has(LogStufe::kDiagnose,
              "Vergl:                Zugriff nach letztem Sync, trotz gelöscht unter " + Z));
  EXPECT_EQ(ZeilenZu("r5.txt"),
            (std::vector<std::string>{
                "Vergl: Prüfe Datei: r5.txt",
                "Vergl: Herkunftsfile: " + DosLogText(DosFromFileTime(Vor(2))) +
                    " Zielfile: unbekannt Vergleichsdatum: " + DosLogText(k.Letzter.Dos())}));
  // A deletion waits until the walk is done; its lines follow it there.
  const std::vector<std::string> alle = log.Texts();
  auto fertig = std::find(alle.begin(), alle.end(), "Vergl: **** Verzeichnis fertig: /");
  auto r5 = std::find(alle.begin(), alle.end(), "Vergl: Gelöscht: r5.txt aus Verzeichnis " + H);
  ASSERT_TRUE(fertig < r5 && r5 + 1 < alle.end());
  EXPECT_EQ(r5[1], "Vergl:                weil nicht in " + Z + " gefunden");
  EXPECT_TRUE(log.Has(LogStufe::kDateiAenderung, "Vergl: Kopiert: r6.txt aus Verzeichnis " + Z));
  EXPECT_TRUE(log.Has(LogStufe::kDiagnose,
                      "Vergl:                Andere Version nach letztem Sync geändert"));
  EXPECT_TRUE(
      log.Has(LogStufe::kDiagnose,
              "Vergl:                Zugriff nach letztem Sync, trotz gelöscht unter " + H));
  EXPECT_TRUE(log.Has(LogStufe::kDateiAenderung, "Vergl: Gelöscht: r8.txt aus Verzeichnis " + Z));
  EXPECT_TRUE(
      log.Has(LogStufe::kDiagnose, "Vergl:                weil nicht in " + H + " gefunden"));
}

TEST_F(WalkTest, SizesHandedOverAreThoseOfTheCopiedSide) {
  Datei("h/a.txt", "123", Vor(3));
  Datei("z/a.txt", "1234567", Vor(1));         // row 6: the target's size
  Datei("z/b.txt", "12345", Vor(2), Nach(1));  // row 7
  Laufen();
  ASSERT_EQ(aufzeichner.kopien, (std::vector<std::string>{"z/a.txt>h/a.txt", "z/b.txt>h/b.txt"}));
  EXPECT_EQ(aufzeichner.groessen, (std::vector<int64_t>{7, 5}));
}

TEST_F(WalkTest, NeverRunJobCopiesOneSidedFilesAndDeletesNothing) {
  k.Letzter = LetzterLauf();
  Datei("h/beide.txt", "h", Vor(2));
  Datei("z/beide.txt", "z", Vor(1));
  Datei("h/nurh.txt", "h", Vor(2), Vor(2));
  Datei("z/nurz.txt", "z", Vor(2), Vor(2));
  Datei("h/gleich.txt", "h", Vor(3));
  Datei("z/gleich.txt", "h", Vor(3));
  Laufen();
  EXPECT_EQ(aufzeichner.Menge(),
            (std::set<std::string>{"h/nurh.txt>z/nurh.txt", "z/nurz.txt>h/nurz.txt"}));
  EXPECT_EQ(log.CountPrefix("Vergl: Doppelt geändert: "), 1);
  EXPECT_EQ(log.CountPrefix("Vergl: Gelöscht: "), 0);
}

TEST_F(WalkTest, DateLineShowsTheThreeDatesOrUnbekannt) {
  k.Art = VorgangsArt::kKopieren;
  k.Letzter = LetzterLauf::AusDos(DosFromFileTime(Local(2024, 6, 1, 12, 0, 0)));
  Datei("h/brief.txt", "x", Local(2024, 3, 1, 14, 5, 9));
  Datei("z/brief.txt", "y", Local(2023, 12, 24, 18, 30, 0));
  Laufen();
  EXPECT_EQ(ZeilenZu("brief.txt")[1],
            "Vergl: Herkunftsfile: 01.03.24 14:05:08  Zielfile: 24.12.23 18:30:00  "
            "Vergleichsdatum: 01.06.24 12:00:00 ");
  k.Letzter = LetzterLauf();
  testing::RemoveTree(baum.Path("z/brief.txt"));
  Laufen();
  EXPECT_TRUE(log.Has(LogStufe::kDiagnose,
                      "Vergl: Herkunftsfile: 01.03.24 14:05:08  Zielfile: unbekannt "
                      "Vergleichsdatum: unbekannt"));
}

// Copy jobs by check mode: which files a run copies from the source onto the target.
struct KopierFall {
  KopierPruefung pruefung;
  std::set<std::string> kopiert;
};

class CopyJobTest : public WalkTest, public ::testing::WithParamInterface<KopierFall> {};

TEST_P(CopyJobTest, CopiesByCheckModeAndNeverLooksAtTargetOnlyFiles) {
  k.Art = VorgangsArt::kKopieren;
  k.Doppelt = Zahl(GetParam().pruefung);
  k.Letzter = LetzterLauf::AusDos(DosFromFileTime(Local(2024, 6, 1)));
  Datei("h/neu.txt", "neu", Local(2024, 7, 1));
  Datei("h/zielgeaendert.txt", "herkunft", Local(2024, 1, 1));
  Datei("z/zielgeaendert.txt", "ziel", Local(2024, 7, 1));
  Datei("h/alt.txt", "alt h", Local(2024, 1, 1));
  Datei("z/alt.txt", "alt z", Local(2024, 2, 1));
  Datei("z/nurziel.txt", "bleibt", Local(2020, 1, 1));
  Laufen();

  EXPECT_EQ(aufzeichner.Menge(), GetParam().kopiert);
  EXPECT_EQ(baum.Read("z/alt.txt"), "alt z");
  EXPECT_EQ(baum.Read("z/nurziel.txt"), "bleibt");
  EXPECT_FALSE(baum.Exists("h/nurziel.txt"));
  EXPECT_FALSE(Geprueft("nurziel.txt"));
  if (GetParam().kopiert.count("h/neu.txt>z/neu.txt")) {
    EXPECT_EQ(baum.Read("z/neu.txt"), "neu");
    EXPECT_TRUE(log.Has(LogStufe::kDateiAenderung, "Vergl: Herkunft kopiere neu.txt aus /"));
  }
  if (GetParam().kopiert.count("h/zielgeaendert.txt>z/zielgeaendert.txt")) {
    EXPECT_EQ(baum.Read("z/zielgeaendert.txt"), "herkunft");
    EXPECT_TRUE(
        log.Has(LogStufe::kDateiAenderung, "Vergl: Wegen Ziel kopiere zielgeaendert.txt aus /"));
  } else {
    EXPECT_EQ(baum.Read("z/zielgeaendert.txt"), "ziel");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pruefmodus, CopyJobTest,
    ::testing::Values(
        KopierFall{KopierPruefung::kNurHerkunft, {"h/neu.txt>z/neu.txt"}},
        KopierFall{KopierPruefung::kNurZiel, {"h/zielgeaendert.txt>z/zielgeaendert.txt"}},
        KopierFall{KopierPruefung::kBeide,
                   {"h/neu.txt>z/neu.txt", "h/zielgeaendert.txt>z/zielgeaendert.txt"}}));

TEST_F(WalkTest, DirectoriesVisitedRemovedOrCreatedWithEverythingBelowNew) {
  const int64_t e = k.Letzter.Dos();
  Datei("h/beide/x.txt", "neu", Nach(1));  // on both sides: visited
  Datei("z/beide/x.txt", "alt", Vor(1));
  Datei("h/alt/f.txt", "f", Vor(2), Vor(2));  // deleted in the target since the last run
  Alt("h/alt", Vor(1));
  // New: not in the record, so its files are copied, whatever their dates.
  Datei("h/neu/f.txt", "f", Vor(2), Vor(2));
  Datei("h/neu/tief/g.txt", "g", Vor(2), Vor(2));
  SetTimes(baum.Path("h/neu"), Vor(1), Nach(1));
  // Deleted in the target since, but a file inside it is new: that file is kept and copied.
  Datei("h/innen/g.txt", "g", Vor(2), Vor(2));
  Alt("h/innen", Vor(1));
  Datei("z/zalt/f.txt", "f", Vor(2), Vor(2));
  Alt("z/zalt", Vor(1));
  Datei("z/zneu/f.txt", "f", Vor(2), Vor(2));
  SetTimes(baum.Path("z/zneu"), Vor(1), Nach(1));
  StandMit({"beide/x.txt", "alt/f.txt", "innen", "zalt/f.txt"});

  Laufen();

  EXPECT_EQ(baum.Read("z/beide/x.txt"), "neu");
  EXPECT_FALSE(baum.Exists("h/alt"));
  EXPECT_FALSE(baum.Exists("z/alt"));
  EXPECT_EQ(baum.Read("z/neu/f.txt"), "f");
  EXPECT_EQ(baum.Read("z/neu/tief/g.txt"), "g");
  EXPECT_EQ(baum.Read("z/innen/g.txt"), "g");
  EXPECT_FALSE(baum.Exists("z/zalt"));
  EXPECT_FALSE(baum.Exists("h/zalt"));
  EXPECT_EQ(baum.Read("h/zneu/f.txt"), "f");
  EXPECT_EQ(k.Letzter.Dos(), e);

  std::vector<std::string> t = log.Texts();
  EXPECT_EQ(t.front(), "Vergl: **** Verzeichnis: ");
  // The removals follow the walk.
  EXPECT_EQ(t.back(), "Vergl: Verzeichnis inkl. Unterverzeichnisse gelöscht: " + Z + "/zalt/");
  EXPECT_LT(std::find(t.begin(), t.end(), "Vergl: **** Verzeichnis fertig: /"),
            std::find(t.begin(), t.end(),
                      "Vergl: Verzeichnis inkl. Unterverzeichnisse gelöscht: " + H + "/alt/"));
  EXPECT_TRUE(log.Has(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis: /beide"));
  EXPECT_TRUE(log.Has(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis: /neu/tief"));
  EXPECT_TRUE(log.Has(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis fertig: /neu/tief/"));
  // Shown on the way in and again on the way back.
  auto verz = std::find(fenster.calls.begin(), fenster.calls.end(), "Verz /beide/");
  ASSERT_NE(verz, fenster.calls.end());
  EXPECT_EQ(*std::find_if(verz + 1, fenster.calls.end(),
                          [](const std::string& c) { return c.rfind("Verz ", 0) == 0; }),
            "Verz /");
  EXPECT_EQ(fenster.calls.front(), "Verz /");
}

TEST_F(WalkTest, CopyJobCreatesAMissingSubdirectoryInsteadOfRemovingIt) {
  k.Art = VorgangsArt::kKopieren;
  k.Doppelt = Zahl(KopierPruefung::kNurHerkunft);
  Datei("h/alt/f.txt", "f", Vor(2), Vor(2));
  Alt("h/alt", Vor(1));
  Datei("z/nurziel/g.txt", "g", Vor(2), Vor(2));
  Alt("z/nurziel", Vor(1));
  Laufen();
  EXPECT_EQ(baum.Read("h/alt/f.txt"), "f");
  EXPECT_EQ(baum.Read("z/alt/f.txt"), "f");
  EXPECT_TRUE(baum.Exists("z/nurziel/g.txt"));
  EXPECT_FALSE(baum.Exists("h/nurziel"));
}

TEST_F(WalkTest, DirectoryThatCannotBeCreatedIsLeftOutAndTheRunGoesOn) {
  k.Letzter = LetzterLauf();
  Datei("h/a/f.txt", "f", Vor(2));
  Datei("h/b.txt", "b", Vor(2));
  fs.anlegen_scheitert = Z + "/a";
  Laufen();
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Vergl: Verzeichnis nicht erstellt: " + Z +
                                              "/a (Das Dateisystem ist nur lesbar)"));
  EXPECT_EQ(k.Fehler, 1);
  EXPECT_FALSE(log.Has(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis: /a"));
  EXPECT_EQ(aufzeichner.kopien, (std::vector<std::string>{"h/b.txt>z/b.txt"}));
  EXPECT_TRUE(baum.Exists("h/a/f.txt"));
}

TEST_F(WalkTest, WithoutSubdirectoriesTheyAreCountedAndLeftAlone) {
  k.Letzter = LetzterLauf();
  for (VorgangsArt art : {VorgangsArt::kSynchronisieren, VorgangsArt::kKopieren}) {
    SCOPED_TRACE(Zahl(art));
    TempTree t;
    k.Herkunft = t.Path("h");
    k.Ziel = t.Path("z");
    k.Art = art;
    k.Doppelt = art == VorgangsArt::kSynchronisieren ? Zahl(DoppelRegel::kKeineAktion)
                                                     : Zahl(KopierPruefung::kBeide);
    k.Unterverzeichnisse = false;
    t.Write("h/unter/f.txt", "f");
    t.Write("h/a.txt", "a");
    t.Write("z/nurziel/g.txt", "g");
    t.Mkdir("z/beide");
    t.Mkdir("h/beide");
    RecordingLog l;
    k.log = &l;
    Verzeichnisvergleich w(k);
    w.VerzeichnisVergleichen("");
    w.Entfernen();
    EXPECT_EQ(w.Gezaehlt(), 3);  // a.txt, beide, unter: counted on the source side
    EXPECT_TRUE(t.Exists("z/a.txt"));
    EXPECT_FALSE(t.Exists("z/unter"));
    EXPECT_FALSE(t.Exists("h/nurziel"));
    EXPECT_TRUE(t.Exists("z/nurziel/g.txt"));
    EXPECT_TRUE(l.Has(LogStufe::kDateizugriff, "Vergl: Prüfe Datei: unter"));
    EXPECT_EQ(l.CountPrefix("Vergl: **** Verzeichnis: "), 1);
    EXPECT_EQ(l.CountPrefix("Vergl: Übersprungen"), 0);
  }
}

TEST_F(WalkTest, CountsBySideAndDrivesTheGauge) {
  k.Letzter = LetzterLauf();
  k.Zaehler = 4;
  Datei("h/a.txt", "a", Vor(1));
  Datei("z/a.txt", "a", Vor(1));
  Datei("h/b.txt", "b", Vor(1));
  Datei("h/c.txt", "c", Vor(1));
  Datei("z/d.txt", "d", Vor(1));
  Datei("h/sub/e.txt", "e", Vor(1));
  Datei("z/sub/e.txt", "e", Vor(1));

  k.ZaehlArt = true;  // every source file
  Laufen();
  EXPECT_EQ(gezaehlt, 4);
  EXPECT_EQ(fenster.Count("Zaehlen "), 4);
  EXPECT_EQ(fenster.Count("Zaehlen 2 50"), 1);
  EXPECT_EQ(fenster.Count("Zaehlen 4 100"), 1);

  // Every source file that the target has too, and every target file the source lacks. After
  // the first run both sides hold all five files.
  k.ZaehlArt = false;
  k.Zaehler = 0;
  fenster.calls.clear();
  Laufen();
  EXPECT_EQ(gezaehlt, 5);
  EXPECT_EQ(fenster.Count("Zaehlen 5 0"), 1);

  TempTree t;
  k.Herkunft = t.Path("h");
  k.Ziel = t.Path("z");
  t.Write("h/a.txt", "a");
  t.Write("h/b.txt", "b");
  t.Write("z/a.txt", "a");
  t.Write("z/c.txt", "c");
  Laufen();
  EXPECT_EQ(gezaehlt, 2);  // a.txt (on both sides) and c.txt (target only)
  k.Art = VorgangsArt::kKopieren;
  testing::RemoveTree(t.Path("z/b.txt"));
  t.Write("z/d.txt", "d");
  Laufen();
  EXPECT_EQ(gezaehlt, 2);  // a.txt and c.txt; a copy job never looks at target-only files
}

TEST_F(WalkTest, CancelLetsThePassUnderWayDecideWithoutCopyingAndReadsNothingMore) {
  k.Letzter = LetzterLauf();
  for (const char* n : {"a1", "a2", "a3"}) Datei(std::string("h/") + n, n, Vor(1));
  Datei("h/z_sub/f.txt", "f", Vor(1));
  Datei("z/z_sub/g.txt", "g", Vor(1));
  Datei("z/nurziel.txt", "z", Vor(1));
  aufzeichner.bei_kopie = [&] { fenster.AbbrechenClick(); };
  Laufen();
  EXPECT_TRUE(Geprueft("a1") && Geprueft("a2") && Geprueft("a3"));
  EXPECT_EQ(aufzeichner.kopien.size(), 3u);
  EXPECT_FALSE(baum.Exists("z/a1"));  // nothing is copied once cancelled
  EXPECT_TRUE(log.Has(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis: /z_sub"));
  EXPECT_FALSE(Geprueft("f.txt"));
  EXPECT_FALSE(Geprueft("g.txt"));
  EXPECT_FALSE(Geprueft("nurziel.txt"));
  EXPECT_TRUE(log.Has(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis fertig: /"));
}

TEST_F(WalkTest, StopRequestVisitsNoFurtherDirectoryButFinishesTheOneUnderWay) {
  k.Letzter = LetzterLauf();
  Datei("h/a1", "a", Vor(1));
  Datei("h/a2", "a", Vor(1));
  Datei("h/z_sub/f.txt", "f", Vor(1));
  Datei("z/nurziel.txt", "z", Vor(1));
  aufzeichner.bei_kopie = [&] { stop = true; };
  Laufen();
  EXPECT_TRUE(baum.Exists("z/a1") && baum.Exists("z/a2"));
  EXPECT_TRUE(baum.Exists("z/z_sub"));  // created, but not visited
  EXPECT_FALSE(log.Has(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis: /z_sub"));
  EXPECT_FALSE(baum.Exists("z/z_sub/f.txt"));
  EXPECT_EQ(baum.Read("h/nurziel.txt"), "z");  // the target pass under way still runs
}

TEST_F(WalkTest, SpecialFilesAreNeverOpenedAndNamedOncePerRun) {
  k.Letzter = LetzterLauf();
  ASSERT_EQ(::mkfifo(baum.Path("h/rohr").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo(baum.Path("z/nurrohr").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo(baum.Path("z/datei.txt").c_str(), 0644), 0);
  Datei("h/datei.txt", "d", Vor(1));
  for (VorgangsArt art : {VorgangsArt::kSynchronisieren, VorgangsArt::kKopieren}) {
    k.Art = art;
    k.Doppelt = 0;
    k.Hinweise.clear();
    k.Uebersprungen = 0;
    RecordingLog l;
    k.log = &l;
    Laufen();
    EXPECT_TRUE(aufzeichner.kopien.empty());
    const bool sync = art == VorgangsArt::kSynchronisieren;
    std::vector<std::string> erwartet = {Z + "/datei.txt: keine reguläre Datei, übersprungen",
                                         H + "/rohr: keine reguläre Datei, übersprungen"};
    if (sync) erwartet.push_back(Z + "/nurrohr: keine reguläre Datei, übersprungen");
    EXPECT_EQ(k.Hinweise, erwartet);
    EXPECT_EQ(k.Uebersprungen, sync ? 3 : 2);
    EXPECT_EQ(k.Fehler, 0);
    EXPECT_TRUE(l.Has(LogStufe::kWarnung, "Vergl: " + erwartet[0]));
    EXPECT_EQ(gezaehlt, 1);  // datei.txt; the source FIFO is not counted
  }
  EXPECT_FALSE(baum.Exists("z/rohr"));
}

TEST_F(WalkTest, AFileDatedInTheFutureNeverReplacesAnotherVersion) {
  // The run began an hour after the last run; "zukunft" files are dated a day after that.
  k.Laufbeginn = Nach(1);
  const FileTime zukunft = Nach(30);
  Datei("h/kamera.jpg", "2031", zukunft);
  Datei("z/kamera.jpg", "alt", Vor(5));
  Datei("h/bearbeitet.txt", "neu", FileTime{basis.sec + 1800, 0});
  Datei("z/bearbeitet.txt", "2031", zukunft);
  Datei("z/nurziel.jpg", "neu", zukunft);
  k.Doppelt = Zahl(DoppelRegel::kNeuerenBehalten);
  Laufen();
  EXPECT_EQ(baum.Read("z/kamera.jpg"), "alt");
  EXPECT_EQ(baum.Read("h/kamera.jpg"), "2031");
  EXPECT_EQ(baum.Read("h/bearbeitet.txt"), "neu");  // no double change won by the future date
  EXPECT_EQ(baum.Read("z/bearbeitet.txt"), "2031");
  EXPECT_EQ(baum.Read("h/nurziel.jpg"), "neu");  // new on one side: copied as any new file
  EXPECT_EQ(k.Hinweise, (std::vector<std::string>{"Datum in der Zukunft: " + Z + "/bearbeitet.txt",
                                                  "Datum in der Zukunft: " + H + "/kamera.jpg"}));
  // bearbeitet.txt was written on both sides since the last run: the future date hides a double
  // change, which stays undecided so that no later run lets the dated file win.
  EXPECT_EQ(k.Fehler, 1);
  EXPECT_EQ(log.CountPrefix("Vergl: Doppelte Änderung nicht entschieden: " + H + "/bearbeitet.txt"),
            1);
  EXPECT_EQ(log.CountPrefix("Vergl: Doppelt geändert: "), 0);
}

TEST_F(WalkTest, FileBroughtInWithOldTimesAfterTheLastRunIsCopiedNotDeleted) {
  // cp -a keeps the old write and access times; only the status change tells it is new.
  FileTime jetzt = Clock::System()->Now();
  k.Letzter = LetzterLauf::AusDos(DosFromFileTime(FileTime{jetzt.sec - 86400, 0}));
  FileTime alt{jetzt.sec - 10 * 86400, 0};
  Datei("h/kopiert.txt", "h", alt, alt);
  Datei("z/auch.txt", "z", alt, alt);
  Laufen();
  EXPECT_EQ(baum.Read("z/kopiert.txt"), "h");
  EXPECT_EQ(baum.Read("h/auch.txt"), "z");
  EXPECT_EQ(log.CountPrefix("Vergl: Gelöscht: "), 0);
}

TEST_F(WalkTest, SymbolicLinksAreCopiedAsLinksAndNeverFollowed) {
  k.Art = VorgangsArt::kKopieren;
  k.Doppelt = Zahl(KopierPruefung::kNurHerkunft);
  k.Letzter = LetzterLauf();
  Datei("h/unter/f.txt", "f", Vor(1));
  ASSERT_EQ(::symlink("unter/f.txt", baum.Path("h/link").c_str()), 0);
  ASSERT_EQ(::symlink("unter", baum.Path("h/verzlink").c_str()), 0);
  Laufen();
  EXPECT_TRUE(aufzeichner.Menge().count("h/verzlink>z/verzlink"));
  EXPECT_FALSE(log.Has(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis: /verzlink"));
  std::string text;
  ASSERT_TRUE(FileSystem::Default()->ReadLink(baum.Path("z/link"), &text));
  EXPECT_EQ(text, "unter/f.txt");
  ASSERT_TRUE(FileSystem::Default()->ReadLink(baum.Path("z/verzlink"), &text));
  EXPECT_EQ(text, "unter");
  EXPECT_EQ(baum.Read("z/unter/f.txt"), "f");
}

TEST_F(WalkTest, ArchiveJobArchivesEverySourceFileWhateverTheTargetHoldsUnderItsName) {
  k.Art = VorgangsArt::kArchivieren;
  k.Doppelt = Zahl(ArchivUmfang::kGesamt);
  uhr.Set(Local(2024, 3, 1, 14, 5, 9));
  Datei("h/a.txt", "a", Vor(1));
  baum.Mkdir("z/a.txt");
  Datei("h/unter/b.txt", "b", Vor(1));
  Laufen();
  EXPECT_EQ(baum.Read("z/a.txt vom 2024_03_01 14_05_09"), "a");
  EXPECT_EQ(baum.Read("z/unter/b.txt vom 2024_03_01 14_05_09"), "b");
}

TEST_F(WalkTest, TemporaryFilesOfABrokenOffCopyAreLeftAlone) {
  k.Letzter = LetzterLauf();
  const std::string h_tmp = NamePart(KopierTempName(H + "/brief.txt", 42));
  const std::string z_tmp = NamePart(KopierTempName(Z + "/" + std::string(300, 'x'), 43));
  ASSERT_TRUE(IstKopierTempName(h_tmp) && IstKopierTempName(z_tmp));
  Datei("h/" + h_tmp, "halb", Vor(1));
  Datei("z/" + z_tmp, "halb", Vor(1));
  Laufen();
  EXPECT_TRUE(aufzeichner.kopien.empty());
  EXPECT_EQ(gezaehlt, 0);
}

TEST_F(WalkTest, UnsafeDeletionsAreRefused) {
  // A file and a directory of the same name: neither replaces the other.
  Datei("h/x", "datei", Vor(2), Vor(2));
  baum.Mkdir("z/x");
  baum.Mkdir("h/y");
  Alt("h/y", Vor(1));
  Datei("z/y", "datei", Vor(2), Vor(2));
  // An unreadable source directory: its target side is not taken for deleted in the source.
  baum.Mkdir("h/geheim");
  Datei("z/geheim/alt.txt", "alt", Vor(2), Vor(2));
  fs.liste_fehlt = H + "/geheim/";
  StandMit({"x", "y", "geheim/alt.txt"});
  Laufen();
  EXPECT_TRUE(baum.Exists("h/x") && baum.Exists("z/x") && baum.Exists("h/y") && baum.Exists("z/y"));
  EXPECT_TRUE(log.Has(
      LogStufe::kWarnung,
      "Vergl: Übersprungen, Datei und Verzeichnis gleichen Namens: " + H + "/x / " + Z + "/x"));
  EXPECT_TRUE(log.Has(
      LogStufe::kWarnung,
      "Vergl: Übersprungen, Datei und Verzeichnis gleichen Namens: " + H + "/y / " + Z + "/y"));
  EXPECT_TRUE(log.Has(LogStufe::kWarnung,
                      "Vergl: Verzeichnis nicht lesbar: " + H + "/geheim/ (Keine Berechtigung)"));
  EXPECT_TRUE(baum.Exists("z/geheim/alt.txt"));
  EXPECT_EQ(log.CountPrefix("Vergl: Gelöscht: "), 0);
  EXPECT_EQ(k.Fehler, 3);  // each is a failure of the run
}

TEST_F(WalkTest, NoDeletionWhenTheOtherSideIsGone) {
  Datei("h/alt.txt", "alt", Vor(2), Vor(2));
  fs.unerreichbar = Z + "/";
  StandMit({"alt.txt"});
  Laufen();
  EXPECT_TRUE(baum.Exists("h/alt.txt"));
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Vergl: Nicht gelöscht: " + H + "/alt.txt, " + Z +
                                              "/ nicht erreichbar (Eingabe-/Ausgabefehler)"));
  EXPECT_EQ(k.Fehler, 1);
}

TEST_F(WalkTest, FilesChangedAfterTheListingAreDecidedOnTheirFreshDates) {
  Datei("h/a.txt", "a", Vor(2), Nach(1));  // copied first
  Datei("h/b.txt", "b", Vor(2), Vor(1));   // unused when listed: would be deleted
  Datei("h/c.txt", "c", Nach(1));          // newer than the target when listed
  Datei("z/c.txt", "alt", Vor(1));
  aufzeichner.bei_kopie = [&] {
    if (aufzeichner.kopien.size() != 1) return;
    SetTimes(baum.Path("h/b.txt"), Vor(2), Nach(2));
    Datei("z/c.txt", "gerade gespeichert", Nach(2));
  };
  Laufen();
  EXPECT_EQ(baum.Read("z/b.txt"), "b");
  EXPECT_TRUE(baum.Exists("h/b.txt"));
  EXPECT_EQ(baum.Read("z/c.txt"), "gerade gespeichert");  // now changed on both sides
  EXPECT_TRUE(
      log.Has(LogStufe::kWarnung, "Vergl: Doppelt geändert: " + Z + "/c.txt und " + H + "/c.txt"));
}

// A target saved after the walk's fresh look but before its copy begins is the user's newest
// version: the copy must compare with that look, not with a look of its own, and keep it.
TEST_F(WalkTest, ATargetSavedBetweenTheLookAndTheCopyIsKept) {
  Datei("h/a.txt", "neu", Nach(1));
  Datei("z/a.txt", "alt", Vor(1));
  aufzeichner.bei_kopie = [&] { Datei("z/a.txt", "eben gespeichert", Nach(2)); };
  Laufen();
  EXPECT_EQ(baum.Read("z/a.txt"), "eben gespeichert");
  EXPECT_EQ(baum.Read("h/a.txt"), "neu");
  EXPECT_TRUE(
      log.Has(LogStufe::kWarnung, "Vergl: Während des Kopierens geändert: " + Z + "/a.txt"));
}

}  // namespace
}  // namespace zarnoft
