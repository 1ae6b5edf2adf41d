// Settings files for tests of the readers and writers of Main.sda: none, every key set, and
// values no writer leaves (out of range, beyond an int, no number, hexadecimal, a deletion mode
// beyond a byte).
#ifndef ZARNOFT_TESTING_SETTINGS_SAMPLES_H_
#define ZARNOFT_TESTING_SETTINGS_SAMPLES_H_

namespace zarnoft::testing {

inline constexpr const char* kEinstellungsDateien[] = {
    nullptr,
    "[Allgemein]\nVersion=1\nLDat=/var/log/z.log\nLLev=5\nHint=0\nLWarn=0\nLArt=3\nLAnz=4\n"
    "[Form]\nHoehe=512\nBreite=640\nPosS=1\nPosY=-8\nPosX=1920\n"
    "[Data]\nSyncDirData=2\nSyncDir=/srv/jobs/\nSofortSync=0\nWarnungen=1\nFehler=1\n"
    "Loeschen=3\nLoeschenWohin=/srv/weg\nLoeschGrenze=20\nRueckgaengigTage=7\n"
    "RueckgaengigAnteil=25\n"
    "[Hauptprogramm]\nBoot=0\nZeit=0\nIdle=0\nShut=0\nBootZeit=30\nIdleZeit=10\n",
    "[Allgemein]\nVersion=abc\nLLev=99\nLArt=42\nLAnz=-4\nLWarn=ja\nHint=2\n"
    "[Form]\nHoehe=0x190\nBreite=99999999999\nPosS=5\nPosY=7\nPosX=8\n"
    "[Data]\nSyncDirData=-2\nSyncDir=\nSofortSync=nein\nLoeschen=259\nLoeschGrenze=101\n"
    "RueckgaengigTage=-1\nRueckgaengigAnteil=viel\n"
    "[Hauptprogramm]\nBootZeit=abc\nIdleZeit=1\n",
    "[Data]\nLoeschen=255\nSyncDirData=1\nLoeschGrenze=0\nRueckgaengigTage=0\n"
    "RueckgaengigAnteil=100\n[Form]\nPosS=0\nPosX=30\n[Hauptprogramm]\nBootZeit=61\n"
    "IdleZeit=20\n",
    "[Data]\nLoeschen=-2\n",
};

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_SETTINGS_SAMPLES_H_
