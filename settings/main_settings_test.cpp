#include "settings/main_settings.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <string>

#include "settings/ini_file.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::TempTree;

class MainSettingsTest : public ::testing::Test {
 protected:
  MainSettingsTest() : prog_(tree_.Mkdir("prog") + "/"), path_(MainSettingsPath(prog_)) {}
  void WriteSettings(const std::string& text) { tree_.Write("prog/Main.sda", text); }
  std::string Settings() const { return tree_.Read("prog/Main.sda"); }

  TempTree tree_;
  const std::string prog_;
  const std::string path_;
};

TEST_F(MainSettingsTest, WithoutAFileEveryReaderHasItsDefaults) {
  EXPECT_EQ(path_, prog_ + "Main.sda");
  EXPECT_EQ(VersionLesen(path_), 1);

  const FensterGeometrie g = FensterGeometrieLesen(path_);
  EXPECT_EQ(g.Hoehe, 400);
  EXPECT_EQ(g.Breite, 427);
  EXPECT_FALSE(g.AnGespeicherterStelle());

  EditorEinstellungen e;
  e.SammlungsVerzeichnis = prog_;
  e.SofortSync = false;
  e.Loeschen = LoeschModus::kAuslagern;
  EinstellungenLesen(path_, prog_, &e);
  EXPECT_EQ(e.SammlungsVerzeichnis, prog_);
  EXPECT_TRUE(e.SofortSync);
  EXPECT_EQ(e.Loeschen, LoeschModus::kNormal);
  EXPECT_EQ(e.LoeschenWohin, prog_ + "Loesch");  // no trailing "/": its users add one

  const LogEinstellungen l = LogEinstellungenLesen(path_, prog_);
  EXPECT_EQ(l.LDat, prog_ + "Main.log");
  EXPECT_EQ(l.LLev, 0);
  EXPECT_TRUE(l.LWarn);

  const EinstellungsWerte d = DialogEinstellungenLesen(path_, prog_);
  EXPECT_EQ(d.Text(main_sda::kLDat),
            prog_ + "zarnoft.log");  // the dialog's own default differs from the log's
  EXPECT_EQ(d.Text(main_sda::kSyncDir), prog_);
  EXPECT_EQ(d.Zahl(main_sda::kSyncDirData), 0);
  EXPECT_EQ(static_cast<LoeschModus>(d.Zahl(main_sda::kLoeschen)), LoeschModus::kNormal);
  EXPECT_EQ(d.Text(main_sda::kLoeschenWohin), prog_ + "Loesch");
  EXPECT_TRUE(d.Schalter(main_sda::kHint) && d.Schalter(main_sda::kLWarn) &&
              d.Schalter(main_sda::kSofortSync) && d.Schalter(main_sda::kBoot) &&
              d.Schalter(main_sda::kZeit) && d.Schalter(main_sda::kIdle) &&
              d.Schalter(main_sda::kShut));
  EXPECT_FALSE(d.Schalter(main_sda::kWarnungen) || d.Schalter(main_sda::kFehler));
  EXPECT_EQ(d.Zahl(main_sda::kBootZeit), 5);
  EXPECT_EQ(d.Zahl(main_sda::kIdleZeit), 5);

  EXPECT_FALSE(tree_.Exists("prog/Main.sda"));  // reading created nothing
}

TEST_F(MainSettingsTest, AnInstalledProgramTakesItsDefaultsFromThePerUserPlaces) {
  DateiOrte o;
  o.portabel = false;
  o.programm_verzeichnis = "/usr/bin/";
  o.einstellungs_verzeichnis = prog_;
  o.log_verzeichnis = "/home/anna/.local/state/zarnoft/";
  o.daten_verzeichnis = "/home/anna/.local/share/zarnoft/";
  o.sammlungs_verzeichnis = "/home/anna/";
  WriteSettings("[Data]\nLoeschen=3\n");

  EditorEinstellungen e;
  EinstellungenLesen(o, &e);
  EXPECT_EQ(e.Loeschen, LoeschModus::kAuslagern);  // read from orte.EinstellungsDatei()
  EXPECT_EQ(e.LoeschenWohin, "/home/anna/.local/share/zarnoft/Loesch");
  EXPECT_EQ(LogEinstellungenLesen(o).LDat, "/home/anna/.local/state/zarnoft/Main.log");
  const EinstellungsWerte d = DialogEinstellungenLesen(o);
  EXPECT_EQ(d.Text(main_sda::kLDat), "/home/anna/.local/state/zarnoft/zarnoft.log");
  EXPECT_EQ(d.Text(main_sda::kSyncDir), "/home/anna/");
  EXPECT_EQ(d.Text(main_sda::kLoeschenWohin), "/home/anna/.local/share/zarnoft/Loesch");
  EXPECT_EQ(static_cast<LoeschModus>(d.Zahl(main_sda::kLoeschen)), LoeschModus::kAuslagern);
}

TEST_F(MainSettingsTest, StoredValuesAndTheirEncodings) {
  WriteSettings(
      "[Form]\nHoehe=0x190\nBreite=abc\nPosS=1\n"
      "[Data]\nSofortSync=2\nLoeschen=257\n"
      "[Allgemein]\nLLev=9\nLDat=/var/log/z.log\nLArt=-1\n");
  FensterGeometrie g = FensterGeometrieLesen(path_);
  EXPECT_EQ(g.Hoehe, 400);
  EXPECT_EQ(g.Breite, 427);
  EXPECT_TRUE(g.AnGespeicherterStelle());
  EXPECT_EQ(g.PosX, 0);  // PosS 1 without a stored position: the top left corner
  EXPECT_EQ(g.PosY, 0);

  EditorEinstellungen e;
  e.SofortSync = false;
  EinstellungenLesen(path_, prog_, &e);
  EXPECT_TRUE(e.SofortSync);
  EXPECT_EQ(Zahl(e.Loeschen), 1);  // low 8 bits

  const LogEinstellungen l = LogEinstellungenLesen(path_, prog_);
  EXPECT_EQ(l.LLev, 9);  // stored as it is; the log caps it
  EXPECT_EQ(l.LDat, "/var/log/z.log");
  EXPECT_EQ(l.LArt, -1);

  WriteSettings("[Form]\nHoehe=99999999999\nPosS=0\nPosX=30\nPosY=40\n[Data]\nLoeschen=255\n");
  g = FensterGeometrieLesen(path_);
  EXPECT_EQ(g.Hoehe, 400);  // beyond an int: no usable number
  EXPECT_EQ(g.PosX, 0);     // centred: the stored position is not read
  EinstellungenLesen(path_, prog_, &e);
  EXPECT_EQ(Zahl(e.Loeschen), -1);
}

TEST_F(MainSettingsTest, DeletionGuardOutsideItsRangeOrNoNumberCountsAsFifty) {
  const struct {
    const char* text;
    int grenze;
  } faelle[] = {{"0", 0},   {"100", 100}, {"30", 30}, {"101", 50},
                {"-1", 50}, {"viel", 50}, {"", 50}, {"4294967297", 50}};
  for (const auto& f : faelle) {
    WriteSettings(std::string("[Data]\nLoeschGrenze=") + f.text + "\n");
    EditorEinstellungen e;
    EinstellungenLesen(path_, prog_, &e);
    EXPECT_EQ(e.LoeschGrenze, f.grenze) << f.text;
    EXPECT_EQ(DialogEinstellungenLesen(path_, prog_).Zahl(main_sda::kLoeschGrenze), f.grenze)
        << f.text;
  }
}

TEST_F(MainSettingsTest, KeptRunSettingsOutsideTheirRangeCountAsTheirStandard) {
  const struct {
    const char* text;
    int tage;
    int anteil;
  } faelle[] = {{"[Data]\nRueckgaengigTage=0\nRueckgaengigAnteil=100\n", 0, 100},
                {"[Data]\nRueckgaengigTage=-1\nRueckgaengigAnteil=101\n", 30, 10},
                {"[Data]\nRueckgaengigTage=viel\nRueckgaengigAnteil=\n", 30, 10},
                {"[Data]\nRueckgaengigTage=7\nRueckgaengigAnteil=0\n", 7, 0}};
  for (const auto& f : faelle) {
    WriteSettings(f.text);
    EditorEinstellungen e;
    EinstellungenLesen(path_, prog_, &e);
    EXPECT_EQ(e.RueckgaengigTage, f.tage) << f.text;
    EXPECT_EQ(e.RueckgaengigAnteil, f.anteil) << f.text;
    EinstellungsWerte d = DialogEinstellungenLesen(path_, prog_);
    EXPECT_EQ(d.Zahl(main_sda::kRueckgaengigTage), f.tage) << f.text;
    EXPECT_EQ(d.Zahl(main_sda::kRueckgaengigAnteil), f.anteil) << f.text;
  }
}

TEST_F(MainSettingsTest, CollectionDirectoryFollowsSyncDirData) {
  const std::string start = prog_;
  struct Case {
    const char* data;
    std::string expected;
  } cases[] = {
      {"[Data]\nSyncDirData=1\n", start},  // no SyncDir: unchanged
      {"[Data]\nSyncDirData=1\nSyncDir=/srv/jobs\n", "/srv/jobs"},
      {"[Data]\nSyncDirData=2\nSyncDir=/home/u/Jobs/\n", "/home/u/Jobs/"},
      {"[Data]\nSyncDirData=0\nSyncDir=/srv/jobs\n", start},
      {"[Data]\nSyncDirData=abc\nSyncDir=/srv/jobs\n", start},
  };
  for (const Case& c : cases) {
    WriteSettings(c.data);
    EditorEinstellungen e;
    e.SammlungsVerzeichnis = start;
    EinstellungenLesen(path_, prog_, &e);
    EXPECT_EQ(e.SammlungsVerzeichnis, c.expected) << c.data;
  }
}

TEST_F(MainSettingsTest, ClosingWritesGeometryInItsOrder) {
  FensterGeometrie g;
  g.Hoehe = 512;
  g.Breite = 640;
  g.PosY = -8;
  g.PosX = 1920;
  EinstellungenBeimSchliessen(path_, g, "/home/u/Jobs/");
  EXPECT_EQ(Settings(),
            "[Allgemein]\nVersion=1\n\n[Form]\nHoehe=512\nBreite=640\nPosY=-8\nPosX=1920\n");

  // The next start places the window there only once PosS says so.
  EXPECT_FALSE(FensterGeometrieLesen(path_).AnGespeicherterStelle());
  IniFile(path_).WriteInteger("Form", "PosS", 1);
  const FensterGeometrie back = FensterGeometrieLesen(path_);
  EXPECT_EQ(back.Hoehe, 512);
  EXPECT_EQ(back.PosY, -8);
  EXPECT_EQ(back.PosX, 1920);
}

TEST_F(MainSettingsTest, ClosingCarriesTheLastDirectoryOnlyForSyncDirData2) {
  WriteSettings("[Data]\nSyncDirData=1\nSyncDir=/srv/jobs\n");
  EinstellungenBeimSchliessen(path_, FensterGeometrie{}, "/home/u/Jobs/");
  EXPECT_EQ(IniFile(path_).ReadString("Data", "SyncDir", ""), "/srv/jobs");

  IniFile(path_).WriteInteger("Data", "SyncDirData", 2);
  EinstellungenBeimSchliessen(path_, FensterGeometrie{}, "/home/u/Jobs/");
  EXPECT_EQ(IniFile(path_).ReadString("Data", "SyncDir", ""), "/home/u/Jobs/");
  EditorEinstellungen e;
  e.SammlungsVerzeichnis = prog_;
  EinstellungenLesen(path_, prog_, &e);
  EXPECT_EQ(e.SammlungsVerzeichnis, "/home/u/Jobs/");
}

// Lets a number of file replacements through and refuses the rest.
class RenameBudget : public FileSystemWrapper {
 public:
  explicit RenameBudget(int left) : FileSystemWrapper(FileSystem::Default()), left_(left) {}
  Status RenameReplace(const std::string& f, const std::string& t) override {
    if (left_-- <= 0) return Status::FromErrno(EACCES);
    return FileSystemWrapper::RenameReplace(f, t);
  }
  Status RenameNoReplace(const std::string& f, const std::string& t) override {
    if (left_-- <= 0) return Status::FromErrno(EACCES);
    return FileSystemWrapper::RenameNoReplace(f, t);
  }

 private:
  int left_;
};

TEST_F(MainSettingsTest, ARefusedWriteAtClosingStopsAtThatKeyAndReachesTheCaller) {
  RenameBudget fs(2);
  FensterGeometrie g;
  g.Hoehe = 500;
  try {
    EinstellungenBeimSchliessen(path_, g, "/x/", &fs);
    FAIL() << "no error";
  } catch (const IniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Kann nicht nach " + path_ + " schreiben");
  }
  EXPECT_EQ(Settings(), "[Allgemein]\nVersion=1\n\n[Form]\nHoehe=500\n");

  tree_.Write("prog/Main.sda", "[Form]\nHoehe=1\n");
  ASSERT_TRUE(FileSystem::Default()->SetMode(path_, 0444));
  EXPECT_THROW(EinstellungenBeimSchliessen(path_, g, "/x/"), IniWriteError);
  EXPECT_EQ(Settings(), "[Form]\nHoehe=1\n");
}

TEST_F(MainSettingsTest, DialogOkFillsAFreshFileSectionBySection) {
  EinstellungsWerte d = DialogEinstellungenLesen(path_, prog_);
  DialogEinstellungenSchreiben(path_, d);
  const std::string text = Settings();
  const size_t allgemein = text.find("[Allgemein]");
  const size_t form = text.find("[Form]");
  const size_t data = text.find("[Data]");
  const size_t haupt = text.find("[Hauptprogramm]");
  EXPECT_EQ(allgemein, 0u);
  EXPECT_LT(allgemein, form);
  EXPECT_LT(form, data);
  EXPECT_LT(data, haupt);
  EXPECT_NE(text.find("LoeschenWohin=" + prog_ + "Loesch\n"), std::string::npos);
  // From now on the log uses the file name the dialog showed.
  EXPECT_EQ(LogEinstellungenLesen(path_, prog_).LDat, prog_ + "zarnoft.log");

  d.ZahlSetzen(main_sda::kLoeschen, Zahl(LoeschModus::kAuslagern));
  d.ZahlSetzen(main_sda::kLArt, -1);
  d.TextSetzen(main_sda::kSyncDir, " /mit Leerzeichen/ ");
  d.SchalterSetzen(main_sda::kBoot, false);
  DialogEinstellungenSchreiben(path_, d);
  const EinstellungsWerte back = DialogEinstellungenLesen(path_, prog_);
  EXPECT_EQ(static_cast<LoeschModus>(back.Zahl(main_sda::kLoeschen)), LoeschModus::kAuslagern);
  EXPECT_EQ(back.Zahl(main_sda::kLArt), -1);
  EXPECT_EQ(back.Text(main_sda::kSyncDir), " /mit Leerzeichen/ ");
  EXPECT_FALSE(back.Schalter(main_sda::kBoot));
}

TEST_F(MainSettingsTest, ReadingNeverChangesTheFile) {
  const std::string text = "[Form]\nHoehe=abc\nPosS=1\n[Data]\nSyncDirData=2\n; Notiz\n";
  WriteSettings(text);
  testing::SetMtime(path_, FileTime{1200000000, 0});
  EditorEinstellungen e;
  EinstellungenLesen(path_, prog_, &e);
  FensterGeometrieLesen(path_);
  LogEinstellungenLesen(path_, prog_);
  DialogEinstellungenLesen(path_, prog_);
  VersionLesen(path_);
  FileInfo info;
  ASSERT_TRUE(FileSystem::Default()->Stat(path_, &info));
  EXPECT_EQ(info.mtime, (FileTime{1200000000, 0}));
  EXPECT_EQ(Settings(), text);
}

}  // namespace
}  // namespace zarnoft
