#include "editor/settings_dialog.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

#include "settings/ini_file.h"
#include "settings/main_settings.h"
#include "testing/recording_log.h"
#include "testing/settings_samples.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using namespace main_sda;
using testing::RecordingLog;
using testing::TempTree;

LoeschModus Modus(const EinstellungenFelder& f) {
  return static_cast<LoeschModus>(f.werte.Zahl(kLoeschen));
}

// The dialog's controls, without a display.
class FakeAnsicht : public EinstellungenAnsicht {
 public:
  EinstellungenFelder FelderLesen() override { return felder; }
  void FelderZeigen(const EinstellungenFelder& f) override { felder = f; }
  void SyncVerzSichtbar(bool s) override { sync_verz_sichtbar = s; }
  void SLVerschFolgen(bool a) override { slv_aktiv = a; }
  bool OrdnerWaehlen(const std::string& prompt, const std::string& anfang,
                     std::string* gewaehlt) override {
    prompts.push_back(prompt + "|" + anfang);
    if (ordner.empty()) return false;
    *gewaehlt = ordner;
    return true;
  }
  bool LogdateiWaehlen(const std::string&, std::string* gewaehlt) override {
    if (logdatei.empty()) return false;
    *gewaehlt = logdatei;
    return true;
  }
  void FehlerZeigen(const std::string& text) override { fehler.push_back(text); }
  void StatusZeigen(const std::string& text) override { status = text; }

  EinstellungenFelder felder;
  bool sync_verz_sichtbar = true;
  bool slv_aktiv = true;
  std::vector<std::string> prompts;
  std::string ordner;    // what the folder dialog answers; "" cancels
  std::string logdatei;  // what the save dialog answers; "" cancels
  std::vector<std::string> fehler;
  std::string status;
};

class SettingsDialogTest : public ::testing::Test {
 protected:
  std::string Dir() { return baum.root() + "/"; }
  std::string Sda() { return baum.Path("Main.sda"); }
  TEinstellungenLogik& Logik(bool debug = false) {
    logik = std::make_unique<TEinstellungenLogik>(&ansicht, PortableDateiOrte(Dir()), debug,
                                                  nullptr, &log);
    logik->FormCreate();
    return *logik;
  }

  TempTree baum;
  FakeAnsicht ansicht;
  RecordingLog log;
  std::unique_ptr<TEinstellungenLogik> logik;
};

TEST_F(SettingsDialogTest, WithoutASettingsFileTheDialogShowsTheDefaults) {
  Logik();
  EinstellungenFelder w;
  w.werte.TextSetzen(kLDat, Dir() + "zarnoft.log");
  w.werte.TextSetzen(kLoeschenWohin, Dir() + "Loesch");
  w.werte.TextSetzen(kSyncDir, Dir());
  EXPECT_EQ(ansicht.felder, w);
  EXPECT_FALSE(ansicht.sync_verz_sichtbar);
  EXPECT_FALSE(ansicht.slv_aktiv);
  EXPECT_FALSE(baum.Exists("Main.sda"));  // loading writes nothing
}

TEST_F(SettingsDialogTest, OkWithoutChangesWritesEveryKeyInItsOrder) {
  Logik().JaClick();
  EXPECT_EQ(baum.Read("Main.sda"),
            "[Allgemein]\nVersion=1\nLDat=" + Dir() +
                "zarnoft.log\nLLev=0\nHint=1\nLWarn=1\nLArt=0\nLAnz=0\n"
                "\n[Form]\nPosS=0\n"
                "\n[Data]\nSyncDirData=0\nSyncDir=" +
                Dir() +
                "\nSofortSync=1\nWarnungen=0\nFehler=0\nLoeschen=1\nLoeschenWohin=" + Dir() +
                "Loesch\nLoeschGrenze=50\nRueckgaengigTage=30\nRueckgaengigAnteil=10\n"
                "\n[Hauptprogramm]\nBoot=1\nZeit=1\nIdle=1\nShut=1\nBootZeit=5\nIdleZeit=5\n");
  EXPECT_TRUE(ansicht.fehler.empty());
}

TEST_F(SettingsDialogTest, NonsenseValuesShowAsTheNearestChoice) {
  baum.Write("Main.sda",
             "[Allgemein]\nLLev=99\nLArt=42\nLAnz=-4\nLWarn=ja\n"
             "[Form]\nPosS=5\n"
             "[Data]\nSyncDirData=-2\nLoeschen=259\n"
             "[Hauptprogramm]\nBootZeit=abc\nIdleZeit=1\n");
  Logik();
  EXPECT_EQ(ansicht.felder.werte.Zahl(kLLev), 7);
  EXPECT_EQ(ansicht.felder.werte.Zahl(kLArt), -1);  // no item: the box is empty
  EXPECT_EQ(ansicht.felder.werte.Zahl(kLAnz), 0);
  EXPECT_TRUE(ansicht.felder.werte.Schalter(kLWarn));
  EXPECT_EQ(ansicht.felder.werte.Zahl(kPosS), 1);
  EXPECT_EQ(ansicht.felder.werte.Zahl(kSyncDirData), 0);
  EXPECT_EQ(Modus(ansicht.felder), LoeschModus::kAuslagern);  // 259 is 3 to a run
  EXPECT_TRUE(ansicht.slv_aktiv);
  EXPECT_EQ(ansicht.felder.werte.Zahl(kBootZeit), 5);
  EXPECT_EQ(ansicht.felder.werte.Zahl(kIdleZeit), 2);

  baum.Write("Main.sda",
             "[Allgemein]\nLLev=-3\n[Hauptprogramm]\nIdleZeit=20\n[Data]\nLoeschen=7\n");
  ansicht.felder.werte.ZahlSetzen(kLoeschen, Zahl(LoeschModus::kNie));
  logik->AbbruchClick();
  EXPECT_EQ(ansicht.felder.werte.Zahl(kLLev), 0);
  EXPECT_EQ(ansicht.felder.werte.Zahl(kIdleZeit), 15);
  EXPECT_EQ(Modus(ansicht.felder), LoeschModus::kNie);  // 7 leaves the choice as it was
}

// The dialog shows the deletion mode the runs take from any stored number, so that its OK never
// writes a mode that deletes more than the runs did.
TEST_F(SettingsDialogTest, ADeletionModeBeyondAnIntShowsWhatTheRunsDo) {
  baum.Write("Main.sda", "[Data]\nLoeschen=4294967298\nLoeschGrenze=4294967297\n");
  EditorEinstellungen lauf;
  EinstellungenLesen(PortableDateiOrte(Dir()), &lauf);
  EXPECT_EQ(lauf.Loeschen, LoeschModus::kNie);
  EXPECT_EQ(lauf.LoeschGrenze, kLoeschGrenzeStandard);
  Logik().JaClick();
  EXPECT_EQ(Modus(ansicht.felder), LoeschModus::kNie);
  EXPECT_NE(baum.Read("Main.sda").find("Loeschen=2\n"), std::string::npos);
  EXPECT_NE(baum.Read("Main.sda").find("LoeschGrenze=50\n"), std::string::npos);
}

TEST_F(SettingsDialogTest, LevelsEightAndNineOnlyInTheDebugBuild) {
  EXPECT_EQ(LogLevEintraege(false).size(), 8u);
  EXPECT_EQ(LogLevEintraege(false).back(), "7 - Dateizugriffe mit Diagnose");
  EXPECT_EQ(LogLevEintraege(true).back(), "9 - Ausführliches Debugging");
  // The lists hold an item for every value the settings' ranges allow.
  EXPECT_EQ(static_cast<int>(LogLevEintraege(true).size()), kLLev.bereich.max + 1);
  EXPECT_EQ(static_cast<int>(LogrotierenEintraege().size()), kLArt.bereich.max + 1);
  baum.Write("Main.sda", "[Allgemein]\nLLev=9\n");
  Logik(true);
  EXPECT_EQ(ansicht.felder.werte.Zahl(kLLev), 9);
  Logik(false).JaClick();
  EXPECT_EQ(ansicht.felder.werte.Zahl(kLLev), 7);
  EXPECT_NE(baum.Read("Main.sda").find("LLev=7\n"), std::string::npos);
}

TEST_F(SettingsDialogTest, TypedRotationTextIsStoredAsMinusOneAndShownEmpty) {
  Logik();
  ansicht.felder.werte.ZahlSetzen(kLArt, -1);
  logik->JaClick();
  EXPECT_NE(baum.Read("Main.sda").find("LArt=-1\n"), std::string::npos);
  ansicht.felder.werte.ZahlSetzen(kLArt, 3);
  logik->AbbruchClick();
  EXPECT_EQ(ansicht.felder.werte.Zahl(kLArt), -1);
}

TEST_F(SettingsDialogTest, CancelThrowsAwayTheChangesAndTheRulesFollowTheChoices) {
  baum.Write("Main.sda", "[Data]\nSyncDirData=1\nSyncDir=/daten/jobs\n");
  Logik();
  EXPECT_TRUE(ansicht.sync_verz_sichtbar);
  ansicht.felder.werte.ZahlSetzen(kSyncDirData, 0);
  logik->DateiablageClick();
  EXPECT_FALSE(ansicht.sync_verz_sichtbar);
  ansicht.felder.werte.TextSetzen(kSyncDir, "/anders");
  ansicht.felder.werte.ZahlSetzen(kLoeschen, Zahl(LoeschModus::kAuslagern));
  logik->SLVerschClick();
  EXPECT_TRUE(ansicht.slv_aktiv);
  logik->AbbruchClick();
  EXPECT_EQ(ansicht.felder.werte.Zahl(kSyncDirData), 1);
  EXPECT_EQ(ansicht.felder.werte.Text(kSyncDir), "/daten/jobs");
  EXPECT_EQ(Modus(ansicht.felder), LoeschModus::kNormal);
  EXPECT_TRUE(ansicht.sync_verz_sichtbar);
  EXPECT_FALSE(ansicht.slv_aktiv);
  EXPECT_FALSE(baum.Read("Main.sda").find("/anders") != std::string::npos);
}

TEST_F(SettingsDialogTest, FolderButtonsTakeTheChoiceAndSLWahlSelectsMovingAside) {
  Logik();
  ansicht.felder.werte.ZahlSetzen(kLoeschen, Zahl(LoeschModus::kNie));
  logik->SLWahlClick();  // cancelled
  EXPECT_EQ(Modus(ansicht.felder), LoeschModus::kNie);
  ansicht.ordner = "/mnt/sicher";
  logik->SLWahlClick();
  EXPECT_EQ(ansicht.felder.werte.Text(kLoeschenWohin), "/mnt/sicher");
  EXPECT_EQ(Modus(ansicht.felder), LoeschModus::kAuslagern);
  EXPECT_TRUE(ansicht.slv_aktiv);
  logik->VerzWahlClick();
  EXPECT_EQ(ansicht.felder.werte.Text(kSyncDir), "/mnt/sicher");
  EXPECT_EQ(ansicht.prompts.at(0),
            "Wohin sollen die zu löschenden Dateien gespeichert werden?|" + Dir() + "Loesch");
  EXPECT_EQ(ansicht.prompts.at(2), "Bitte wählen Sie das Standardverzeichnis aus.|" + Dir());
  ansicht.logdatei = "/var/tmp/z.log";
  logik->Button1Click();
  EXPECT_EQ(ansicht.felder.werte.Text(kLDat), "/var/tmp/z.log");
}

TEST_F(SettingsDialogTest, MovingAsideCreatesTheFolderLevelByLevelAndOtherwiseDropsSyncDat) {
  Logik();
  ansicht.felder.werte.TextSetzen(kLoeschenWohin, baum.Path("a/b/Loesch"));
  ansicht.felder.werte.ZahlSetzen(kLoeschen, Zahl(LoeschModus::kAuslagern));
  logik->JaClick();
  EXPECT_EQ(baum.Read("a/b/Loesch/Sync.dat"), "[Main]\nMax=1\n");
  EXPECT_EQ(log.Texts(), (std::vector<std::string>{
                             "Vergl: Verzeichnis angelegt:" + baum.Path("a/"),
                             "Vergl: Verzeichnis angelegt:" + baum.Path("a/b/"),
                             "Vergl: Verzeichnis angelegt:" + baum.Path("a/b/Loesch/"),
                         }));
  ansicht.felder.werte.ZahlSetzen(kLoeschen, Zahl(LoeschModus::kNormal));
  logik->JaClick();
  EXPECT_FALSE(baum.Exists("a/b/Loesch/Sync.dat"));
  EXPECT_TRUE(baum.Exists("a/b/Loesch"));
}

// Refuses to create directories below one path, as a read-only file system does.
class NurLesbar : public FileSystemWrapper {
 public:
  NurLesbar(std::string unter) : FileSystemWrapper(FileSystem::Default()), unter_(unter) {}
  Status CreateDirectory(const std::string& p) override {
    if (p.rfind(unter_, 0) != 0) return target()->CreateDirectory(p);
    return Status::FromErrno(EROFS);
  }

 private:
  std::string unter_;
};

TEST_F(SettingsDialogTest, AFolderThatCannotBeCreatedIsReportedWithItsPathAndReason) {
  baum.Write("datei", "x");
  Logik();
  ansicht.felder.werte.ZahlSetzen(kLoeschen, Zahl(LoeschModus::kAuslagern));
  ansicht.felder.werte.TextSetzen(kLoeschenWohin, baum.Path("datei/Loesch"));
  logik->JaClick();
  ASSERT_EQ(ansicht.fehler.size(), 1u);
  EXPECT_EQ(ansicht.fehler[0], "Verzeichnis " + baum.Path("datei") +
                                   " kann nicht angelegt werden: Ist kein Verzeichnis");
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Warn: " + ansicht.fehler[0]));
  EXPECT_EQ(baum.Read("datei"), "x");

  NurLesbar fs(baum.Path("ro"));
  TEinstellungenLogik ro(&ansicht, PortableDateiOrte(Dir()), false, &fs, &log);
  ansicht.felder.werte.TextSetzen(kLoeschenWohin, baum.Path("ro/x"));
  ro.JaClick();
  EXPECT_EQ(ansicht.fehler.at(1),
            "Verzeichnis " + baum.Path("ro") +
                " kann nicht angelegt werden: Das Dateisystem ist nur lesbar");
  EXPECT_FALSE(baum.Exists("ro/x/Sync.dat"));

  ansicht.felder.werte.TextSetzen(kLoeschenWohin, "Loesch");
  ro.JaClick();
  EXPECT_NE(ansicht.fehler.at(2).find("kein vollständiger Pfad"), std::string::npos);
}

TEST_F(SettingsDialogTest, AnUnwritableSettingsFileIsReportedAndTheRestOfOkSkipped) {
  baum.Mkdir("Main.sda");  // a directory where the file should be
  Logik();
  ansicht.felder.werte.ZahlSetzen(kLoeschen, Zahl(LoeschModus::kAuslagern));
  ansicht.felder.werte.TextSetzen(kLoeschenWohin, baum.Path("Loesch"));
  logik->JaClick();
  ASSERT_EQ(ansicht.fehler.size(), 1u);
  EXPECT_EQ(ansicht.fehler[0], "Kann nicht nach " + Sda() + " schreiben");
  EXPECT_FALSE(baum.Exists("Loesch"));
}

TEST_F(SettingsDialogTest, ADamagedFileShowsNeverDeleteAndOkWritesASoundFileBesideIt) {
  const std::string kaputt("[Data]\nLoeschen=3\0\0\0", 21);
  baum.Write("Main.sda", kaputt);
  baum.Write("Main.sda.beschaedigt", "von früher");
  Logik();
  EXPECT_EQ(Modus(ansicht.felder), LoeschModus::kNie);
  logik->JaClick();
  EXPECT_TRUE(ansicht.fehler.empty());
  EXPECT_EQ(baum.Read("Main.sda.beschaedigt"), "von früher");
  EXPECT_EQ(baum.Read("Main.sda.beschaedigt-2"), kaputt);
  EXPECT_EQ(EinstellungsDateiFehler(Sda()), "");
  EXPECT_EQ(IniFile(Sda()).ReadInteger("Data", "Loeschen", 0), 2);
}

std::string Felder(const EinstellungenFelder& f) {
  std::ostringstream o;
  o << f.werte.Zahl(kPosS) << f.werte.Schalter(kHint) << " " << f.werte.Text(kLDat) << "|"
    << f.werte.Zahl(kLLev) << f.werte.Schalter(kLWarn) << " " << f.werte.Zahl(kLArt) << " "
    << f.werte.Zahl(kLAnz) << " " << f.werte.Schalter(kWarnungen) << f.werte.Schalter(kFehler)
    << " " << Zahl(Modus(f)) << " " << f.werte.Text(kLoeschenWohin) << "|" << f.SLVAnz << " "
    << f.werte.Zahl(kLoeschGrenze) << " " << f.werte.Zahl(kRueckgaengigTage) << " "
    << f.werte.Zahl(kRueckgaengigAnteil) << " " << f.werte.Schalter(kBoot)
    << f.werte.Schalter(kZeit) << f.werte.Schalter(kIdle) << f.werte.Schalter(kShut) << " "
    << f.werte.Zahl(kBootZeit) << " " << f.werte.Zahl(kIdleZeit) << " "
    << f.werte.Zahl(kSyncDirData) << " " << f.werte.Text(kSyncDir) << "|"
    << f.werte.Schalter(kSofortSync) << "\n";
  return o.str();
}

// What the dialog shows of each stored file, in both builds, and what its OK writes back over
// it, byte for byte.
TEST_F(SettingsDialogTest, EachFileIsShownAndWrittenBackAsBefore) {
  std::string alle;
  for (const char* text : testing::kEinstellungsDateien) {
    for (bool debug : {false, true}) {
      if (text != nullptr) baum.Write("Main.sda", std::string("; Notiz\n") + text);
      ansicht.felder.werte.ZahlSetzen(
          kLoeschen, Zahl(LoeschModus::kNie));  // what a mode the dialog does not show keeps
      Logik(debug);
      alle += Felder(ansicht.felder);
      // The build changes only what the level list can show; OK writes that back the same way.
      if (!debug) {
        logik->JaClick();
        alle += baum.Read("Main.sda") + "--\n";
      }
      std::remove(Sda().c_str());
    }
  }
  for (size_t i = alle.find(Dir()); i != std::string::npos; i = alle.find(Dir(), i))
    alle.replace(i, Dir().size(), "D/");
  EXPECT_EQ(alle,
            "01 D/zarnoft.log|01 0 0 00 1 D/Loesch|1 50 30 10 1111 5 5 0 D/|1\n"
            "[Allgemein]\n"
            "Version=1\n"
            "LDat=D/zarnoft.log\n"
            "LLev=0\n"
            "Hint=1\n"
            "LWarn=1\n"
            "LArt=0\n"
            "LAnz=0\n"
            "\n"
            "[Form]\n"
            "PosS=0\n"
            "\n"
            "[Data]\n"
            "SyncDirData=0\n"
            "SyncDir=D/\n"
            "SofortSync=1\n"
            "Warnungen=0\n"
            "Fehler=0\n"
            "Loeschen=1\n"
            "LoeschenWohin=D/Loesch\n"
            "LoeschGrenze=50\n"
            "RueckgaengigTage=30\n"
            "RueckgaengigAnteil=10\n"
            "\n"
            "[Hauptprogramm]\n"
            "Boot=1\n"
            "Zeit=1\n"
            "Idle=1\n"
            "Shut=1\n"
            "BootZeit=5\n"
            "IdleZeit=5\n"
            "--\n"
            "01 D/zarnoft.log|01 0 0 00 1 D/Loesch|1 50 30 10 1111 5 5 0 D/|1\n"
            "10 /var/log/z.log|50 3 4 11 3 /srv/weg|1 20 7 25 0000 30 10 2 /srv/jobs/|0\n"
            "; Notiz\n"
            "[Allgemein]\n"
            "Version=1\n"
            "LDat=/var/log/z.log\n"
            "LLev=5\n"
            "Hint=0\n"
            "LWarn=0\n"
            "LArt=3\n"
            "LAnz=4\n"
            "[Form]\n"
            "Hoehe=512\n"
            "Breite=640\n"
            "PosS=1\n"
            "PosY=-8\n"
            "PosX=1920\n"
            "[Data]\n"
            "SyncDirData=2\n"
            "SyncDir=/srv/jobs/\n"
            "SofortSync=0\n"
            "Warnungen=1\n"
            "Fehler=1\n"
            "Loeschen=3\n"
            "LoeschenWohin=/srv/weg\n"
            "LoeschGrenze=20\n"
            "RueckgaengigTage=7\n"
            "RueckgaengigAnteil=25\n"
            "[Hauptprogramm]\n"
            "Boot=0\n"
            "Zeit=0\n"
            "Idle=0\n"
            "Shut=0\n"
            "BootZeit=30\n"
            "IdleZeit=10\n"
            "--\n"
            "10 /var/log/z.log|50 3 4 11 3 /srv/weg|1 20 7 25 0000 30 10 2 /srv/jobs/|0\n"
            "11 D/zarnoft.log|71 -1 0 00 3 D/Loesch|1 50 30 10 1111 5 2 0 |1\n"
            "; Notiz\n"
            "[Allgemein]\n"
            "Version=1\n"
            "LLev=7\n"
            "LArt=-1\n"
            "LAnz=0\n"
            "LWarn=1\n"
            "Hint=1\n"
            "LDat=D/zarnoft.log\n"
            "[Form]\n"
            "Hoehe=0x190\n"
            "Breite=99999999999\n"
            "PosS=1\n"
            "PosY=7\n"
            "PosX=8\n"
            "[Data]\n"
            "SyncDirData=0\n"
            "SyncDir=\n"
            "SofortSync=1\n"
            "Loeschen=3\n"
            "LoeschGrenze=50\n"
            "RueckgaengigTage=30\n"
            "RueckgaengigAnteil=10\n"
            "Warnungen=0\n"
            "Fehler=0\n"
            "LoeschenWohin=D/Loesch\n"
            "[Hauptprogramm]\n"
            "BootZeit=5\n"
            "IdleZeit=2\n"
            "Boot=1\n"
            "Zeit=1\n"
            "Idle=1\n"
            "Shut=1\n"
            "--\n"
            "11 D/zarnoft.log|91 -1 0 00 3 D/Loesch|1 50 30 10 1111 5 2 0 |1\n"
            "01 D/zarnoft.log|01 0 0 00 2 D/Loesch|1 0 0 100 1111 60 15 1 D/|1\n"
            "; Notiz\n"
            "[Data]\n"
            "Loeschen=2\n"
            "SyncDirData=1\n"
            "LoeschGrenze=0\n"
            "RueckgaengigTage=0\n"
            "RueckgaengigAnteil=100\n"
            "SyncDir=D/\n"
            "SofortSync=1\n"
            "Warnungen=0\n"
            "Fehler=0\n"
            "LoeschenWohin=D/Loesch\n"
            "[Form]\n"
            "PosS=0\n"
            "PosX=30\n"
            "[Hauptprogramm]\n"
            "BootZeit=60\n"
            "IdleZeit=15\n"
            "Boot=1\n"
            "Zeit=1\n"
            "Idle=1\n"
            "Shut=1\n"
            "\n"
            "[Allgemein]\n"
            "Version=1\n"
            "LDat=D/zarnoft.log\n"
            "LLev=0\n"
            "Hint=1\n"
            "LWarn=1\n"
            "LArt=0\n"
            "LAnz=0\n"
            "--\n"
            "01 D/zarnoft.log|01 0 0 00 2 D/Loesch|1 0 0 100 1111 60 15 1 D/|1\n"
            "01 D/zarnoft.log|01 0 0 00 2 D/Loesch|1 50 30 10 1111 5 5 0 D/|1\n"
            "; Notiz\n"
            "[Data]\n"
            "Loeschen=2\n"
            "SyncDirData=0\n"
            "SyncDir=D/\n"
            "SofortSync=1\n"
            "Warnungen=0\n"
            "Fehler=0\n"
            "LoeschenWohin=D/Loesch\n"
            "LoeschGrenze=50\n"
            "RueckgaengigTage=30\n"
            "RueckgaengigAnteil=10\n"
            "\n"
            "[Allgemein]\n"
            "Version=1\n"
            "LDat=D/zarnoft.log\n"
            "LLev=0\n"
            "Hint=1\n"
            "LWarn=1\n"
            "LArt=0\n"
            "LAnz=0\n"
            "\n"
            "[Form]\n"
            "PosS=0\n"
            "\n"
            "[Hauptprogramm]\n"
            "Boot=1\n"
            "Zeit=1\n"
            "Idle=1\n"
            "Shut=1\n"
            "BootZeit=5\n"
            "IdleZeit=5\n"
            "--\n"
            "01 D/zarnoft.log|01 0 0 00 2 D/Loesch|1 50 30 10 1111 5 5 0 D/|1\n");
}

TEST(StatusHinweisTest, LongPartOfTheNearestHint) {
  EXPECT_EQ(StatusHinweis({"Startposition|Position des Fensters beim Programmstart"}),
            "Position des Fensters beim Programmstart");
  EXPECT_EQ(StatusHinweis({"", "", "Was soll geloggt werden?"}), "Was soll geloggt werden?");
  EXPECT_EQ(StatusHinweis({"", ""}), "");
  EXPECT_EQ(StatusHinweis({}), "");
}

}  // namespace
}  // namespace zarnoft
