// What every reader of Main.sda makes of a range of stored files, and the bytes each writer
// leaves, pinned down as text: the readers' defaults and conversions and the writers' key order
// are what stored files and the other program rely on.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "settings/main_settings.h"
#include "testing/settings_samples.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::TempTree;

// The text with the test's own directory written as "P/", so that it can be compared.
std::string OhneVerzeichnis(std::string text, const std::string& prog) {
  for (size_t i = text.find(prog); i != std::string::npos; i = text.find(prog, i))
    text.replace(i, prog.size(), "P/");
  return text;
}

std::string Lesarten(const std::string& sda, const std::string& prog) {
  std::ostringstream o;
  o << "Version " << VersionLesen(sda) << "\n";
  const FensterGeometrie g = FensterGeometrieLesen(sda);
  o << "Fenster " << g.Hoehe << " " << g.Breite << " " << g.PosS << " " << g.PosY << " " << g.PosX
    << "\n";
  EditorEinstellungen e;
  e.SammlungsVerzeichnis = "/vorher/";
  EinstellungenLesen(sda, prog, &e);
  o << "Editor " << e.SammlungsVerzeichnis << "|" << e.SofortSync << " " << Zahl(e.Loeschen) << " "
    << e.LoeschenWohin << "|" << e.LoeschGrenze << " " << e.RueckgaengigTage << " "
    << e.RueckgaengigAnteil << "\n";
  const LogEinstellungen l = LogEinstellungenLesen(sda, prog);
  o << "Log " << l.LDat << "|" << l.LLev << " " << l.LWarn << " " << l.LArt << " " << l.LAnz
    << "\n";
  using namespace main_sda;
  const EinstellungsWerte d = DialogEinstellungenLesen(sda, prog);
  o << "Dialog " << d.Zahl(kPosS) << " " << d.Zahl(kSyncDirData) << " " << d.Text(kSyncDir) << "|"
    << d.Schalter(kSofortSync) << d.Schalter(kWarnungen) << d.Schalter(kFehler) << " "
    << d.Text(kLDat) << "|" << d.Schalter(kLWarn) << " " << d.Zahl(kLLev) << " " << d.Zahl(kLArt)
    << " " << d.Zahl(kLAnz) << " " << d.Schalter(kHint) << " " << d.Zahl(kLoeschen) << " "
    << d.Text(kLoeschenWohin) << "|" << d.Zahl(kLoeschGrenze) << " " << d.Zahl(kRueckgaengigTage)
    << " " << d.Zahl(kRueckgaengigAnteil) << " " << d.Schalter(kBoot) << d.Schalter(kZeit)
    << d.Schalter(kIdle) << d.Schalter(kShut) << " " << d.Zahl(kBootZeit) << " "
    << d.Zahl(kIdleZeit) << "\n";
  return o.str();
}

// The dialog takes the deletion mode by the runs' rule, its low byte: 259 shows as 3, 255 as -1.
TEST(SettingsBytesTest, EveryReaderTakesEveryFileAsBefore) {
  TempTree t;
  const std::string prog = t.Mkdir("p") + "/";
  std::string alle;
  for (const char* text : testing::kEinstellungsDateien) {
    if (text != nullptr) t.Write("p/Main.sda", text);
    alle += Lesarten(MainSettingsPath(prog), prog) + "--\n";
  }
  EXPECT_EQ(OhneVerzeichnis(alle, prog),
            "Version 1\n"
            "Fenster 400 427 0 0 0\n"
            "Editor /vorher/|1 1 P/Loesch|50 30 10\n"
            "Log P/Main.log|0 1 0 0\n"
            "Dialog 0 0 P/|100 P/zarnoft.log|1 0 0 0 1 1 P/Loesch|50 30 10 1111 5 5\n"
            "--\n"
            "Version 1\n"
            "Fenster 512 640 1 -8 1920\n"
            "Editor /srv/jobs/|0 3 /srv/weg|20 7 25\n"
            "Log /var/log/z.log|5 0 3 4\n"
            "Dialog 1 2 /srv/jobs/|011 /var/log/z.log|0 5 3 4 0 3 /srv/weg|20 7 25 0000 30 10\n"
            "--\n"
            "Version 1\n"
            "Fenster 400 427 5 0 0\n"
            "Editor /vorher/|1 3 P/Loesch|50 30 10\n"
            "Log P/Main.log|99 1 42 -4\n"
            "Dialog 5 -2 |100 P/zarnoft.log|1 99 42 -4 1 3 P/Loesch|50 30 10 1111 5 1\n"
            "--\n"
            "Version 1\n"
            "Fenster 400 427 0 0 0\n"
            "Editor /vorher/|1 -1 P/Loesch|0 0 100\n"
            "Log P/Main.log|0 1 0 0\n"
            "Dialog 0 1 P/|100 P/zarnoft.log|1 0 0 0 1 -1 P/Loesch|0 0 100 1111 61 20\n"
            "--\n"
            "Version 1\n"
            "Fenster 400 427 0 0 0\n"
            "Editor /vorher/|1 -2 P/Loesch|50 30 10\n"
            "Log P/Main.log|0 1 0 0\n"
            "Dialog 0 0 P/|100 P/zarnoft.log|1 0 0 0 1 -2 P/Loesch|50 30 10 1111 5 5\n"
            "--\n");
}

// The main window's closing written over each file, byte for byte (the settings dialog's
// writes are pinned down with its rules, editor/settings_dialog_test.cpp).
TEST(SettingsBytesTest, EveryWriterLeavesTheBytesItLeftBefore) {
  TempTree t;
  const std::string prog = t.Mkdir("p") + "/";
  const std::string sda = MainSettingsPath(prog);
  FensterGeometrie g;
  g.Hoehe = 300;
  g.Breite = 500;
  g.PosY = -3;
  g.PosX = 1200;
  std::string alle;
  for (const char* text : testing::kEinstellungsDateien) {
    if (text != nullptr) t.Write("p/Main.sda", std::string("; Notiz\n[Fremd]\nX=1\n") + text);
    EinstellungenBeimSchliessen(sda, g, "/zuletzt/");
    alle += t.Read("p/Main.sda") + "==\n";
  }
  EXPECT_EQ(OhneVerzeichnis(alle, prog),
            "[Allgemein]\n"
            "Version=1\n"
            "\n"
            "[Form]\n"
            "Hoehe=300\n"
            "Breite=500\n"
            "PosY=-3\n"
            "PosX=1200\n"
            "==\n"
            "; Notiz\n"
            "[Fremd]\n"
            "X=1\n"
            "[Allgemein]\n"
            "Version=1\n"
            "LDat=/var/log/z.log\n"
            "LLev=5\n"
            "Hint=0\n"
            "LWarn=0\n"
            "LArt=3\n"
            "LAnz=4\n"
            "[Form]\n"
            "Hoehe=300\n"
            "Breite=500\n"
            "PosS=1\n"
            "PosY=-3\n"
            "PosX=1200\n"
            "[Data]\n"
            "SyncDirData=2\n"
            "SyncDir=/zuletzt/\n"
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
            "==\n"
            "; Notiz\n"
            "[Fremd]\n"
            "X=1\n"
            "[Allgemein]\n"
            "Version=1\n"
            "LLev=99\n"
            "LArt=42\n"
            "LAnz=-4\n"
            "LWarn=ja\n"
            "Hint=2\n"
            "[Form]\n"
            "Hoehe=300\n"
            "Breite=500\n"
            "PosS=5\n"
            "PosY=-3\n"
            "PosX=1200\n"
            "[Data]\n"
            "SyncDirData=-2\n"
            "SyncDir=\n"
            "SofortSync=nein\n"
            "Loeschen=259\n"
            "LoeschGrenze=101\n"
            "RueckgaengigTage=-1\n"
            "RueckgaengigAnteil=viel\n"
            "[Hauptprogramm]\n"
            "BootZeit=abc\n"
            "IdleZeit=1\n"
            "==\n"
            "; Notiz\n"
            "[Fremd]\n"
            "X=1\n"
            "[Data]\n"
            "Loeschen=255\n"
            "SyncDirData=1\n"
            "LoeschGrenze=0\n"
            "RueckgaengigTage=0\n"
            "RueckgaengigAnteil=100\n"
            "[Form]\n"
            "PosS=0\n"
            "PosX=1200\n"
            "Hoehe=300\n"
            "Breite=500\n"
            "PosY=-3\n"
            "[Hauptprogramm]\n"
            "BootZeit=61\n"
            "IdleZeit=20\n"
            "\n"
            "[Allgemein]\n"
            "Version=1\n"
            "==\n"
            "; Notiz\n"
            "[Fremd]\n"
            "X=1\n"
            "[Data]\n"
            "Loeschen=-2\n"
            "\n"
            "[Allgemein]\n"
            "Version=1\n"
            "\n"
            "[Form]\n"
            "Hoehe=300\n"
            "Breite=500\n"
            "PosY=-3\n"
            "PosX=1200\n"
            "==\n");
}

}  // namespace
}  // namespace zarnoft
