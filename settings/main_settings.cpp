#include "settings/main_settings.h"

#include <cstdint>
#include <limits>

#include "settings/ini_check.h"
#include "settings/ini_file.h"

namespace zarnoft {

using namespace main_sda;

namespace {

// Window sizes, levels and modes are ints; a stored number beyond that range is as unusable as
// text that is no number.
int ReadInt(const IniFile& ini, const char* section, const char* key, int def) {
  const int64_t v = ini.ReadInteger(section, key, def);
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return def;
  return static_cast<int>(v);
}

}  // namespace

std::string MainSettingsPath(const std::string& program_dir) {
  return program_dir + "Main.sda";
}

std::string EinstellungsDateiFehler(const std::string& settings_path, FileSystem* fs) {
  const IniDateiZustand z = IniDateiPruefen(settings_path, fs);
  if (z.Beschaedigt()) return z.fehler;
  const IniFile ini(settings_path, fs);
  const std::string loeschen = ini.ReadString(kData, kLoeschen, "1");
  int64_t v = 0;
  if (!ParseIniInteger(loeschen, &v))
    return std::string(kLoeschen) + "=" + loeschen + " ist keine Zahl";
  return {};
}

std::string EinstellungsDateiBeschaedigt(const std::string& settings_path,
                                         const std::string& fehler) {
  return "Die Einstellungsdatei " + settings_path + " ist beschädigt (" + fehler + ").";
}

int VersionLesen(const std::string& settings_path, FileSystem* fs) {
  return ReadInt(IniFile(settings_path, fs), kAllgemein, kVersion, kVersionWert);
}

FensterGeometrie FensterGeometrieLesen(const std::string& settings_path, FileSystem* fs) {
  const IniFile ini(settings_path, fs);
  FensterGeometrie g;
  ini.ReadInteger(kAllgemein, kVersion, kVersionWert);  // read as the window always did; unused
  g.Hoehe = ReadInt(ini, kForm, kHoehe, kHoeheVorgabe);
  g.Breite = ReadInt(ini, kForm, kBreite, kBreiteVorgabe);
  g.PosS = ReadInt(ini, kForm, kPosS, 0);
  if (g.AnGespeicherterStelle()) {
    g.PosY = ReadInt(ini, kForm, kPosY, 0);
    g.PosX = ReadInt(ini, kForm, kPosX, 0);
  }
  return g;
}

namespace {

int LoeschGrenzeLesen(const IniFile& ini) {
  const int g = ini.ReadInteger(kData, kLoeschGrenze, kLoeschGrenzeStandard);
  return g < 0 || g > kLoeschGrenzeHoechstens ? kLoeschGrenzeStandard : g;
}

// A value outside its range (or no number) counts as the standard value, so that a damaged
// setting never turns keeping off.
int BereichLesen(const IniFile& ini, const char* key, int standard, int hoechstens) {
  const int v = ini.ReadInteger(kData, key, standard);
  return v < 0 || v > hoechstens ? standard : v;
}

}  // namespace

void EinstellungenLesen(const std::string& settings_path, const std::string& program_dir,
                        EditorEinstellungen* e, FileSystem* fs) {
  const IniFile ini(settings_path, fs);
  ini.ReadInteger(kAllgemein, kVersion, kVersionWert);  // not used
  if (ReadInt(ini, kData, kSyncDirData, 0) > 0) {
    e->SammlungsVerzeichnis = ini.ReadString(kData, kSyncDir, e->SammlungsVerzeichnis);
  }
  e->SofortSync = ini.ReadBool(kData, kSofortSync, true);
  // The deletion mode travels as a signed 8-bit value: 257 is 1, 255 is -1.
  e->Loeschen = static_cast<LoeschModus>(
      static_cast<int8_t>(static_cast<uint8_t>(ini.ReadInteger(kData, kLoeschen, 1))));
  e->LoeschenWohin = ini.ReadString(kData, kLoeschenWohin, program_dir + "Loesch");
  e->LoeschGrenze = LoeschGrenzeLesen(ini);
  e->RueckgaengigTage =
      BereichLesen(ini, kRueckgaengigTage, kRueckgaengigTageStandard, kRueckgaengigTageHoechstens);
  e->RueckgaengigAnteil = BereichLesen(ini, kRueckgaengigAnteil, kRueckgaengigAnteilStandard,
                                       kRueckgaengigAnteilHoechstens);
}

void EinstellungenLesen(const DateiOrte& orte, EditorEinstellungen* e, FileSystem* fs) {
  // The directory argument only forms the default move-aside folder.
  EinstellungenLesen(orte.EinstellungsDatei(), orte.daten_verzeichnis, e, fs);
}

void EinstellungenBeimSchliessen(const std::string& settings_path, const FensterGeometrie& g,
                                 const std::string& sammlungs_verzeichnis, FileSystem* fs) {
  IniFile ini(settings_path, fs);
  ini.WriteInteger(kAllgemein, kVersion, kVersionWert);
  ini.WriteInteger(kForm, kHoehe, g.Hoehe);
  ini.WriteInteger(kForm, kBreite, g.Breite);
  ini.WriteInteger(kForm, kPosY, g.PosY);
  ini.WriteInteger(kForm, kPosX, g.PosX);
  // "Let&ztes Verzeichnis": carry the directory used last into the next start.
  if (ReadInt(ini, kData, kSyncDirData, 0) == 2) {
    ini.WriteString(kData, kSyncDir, sammlungs_verzeichnis);
  }
}

LogEinstellungen LogEinstellungenLesen(const std::string& settings_path,
                                       const std::string& program_dir, FileSystem* fs) {
  const IniFile ini(settings_path, fs);
  LogEinstellungen l;
  l.LDat = ini.ReadString(kAllgemein, kLDat, program_dir + "Main.log");
  l.LLev = ReadInt(ini, kAllgemein, kLLev, 0);
  l.LWarn = ini.ReadBool(kAllgemein, kLWarn, true);
  l.LArt = ReadInt(ini, kAllgemein, kLArt, 0);
  l.LAnz = ReadInt(ini, kAllgemein, kLAnz, 0);
  return l;
}

LogEinstellungen LogEinstellungenLesen(const DateiOrte& orte, FileSystem* fs) {
  // The directory argument only forms the default log file.
  return LogEinstellungenLesen(orte.EinstellungsDatei(), orte.log_verzeichnis, fs);
}

namespace {

// The program's directory is the default of three keys when the program is portable; when it is
// installed, each default comes from its own per-user place (DateiOrte).
DialogEinstellungen DialogLesen(const std::string& settings_path, const DateiOrte& orte,
                                FileSystem* fs) {
  const IniFile ini(settings_path, fs);
  DialogEinstellungen d;
  ini.ReadInteger(kAllgemein, kVersion, kVersionWert);  // not used
  d.PosS = ReadInt(ini, kForm, kPosS, 0);
  d.SyncDirData = ReadInt(ini, kData, kSyncDirData, 0);
  d.SofortSync = ini.ReadBool(kData, kSofortSync, true);
  d.Warnungen = ini.ReadBool(kData, kWarnungen, false);
  d.Fehler = ini.ReadBool(kData, kFehler, false);
  d.SyncDir = ini.ReadString(kData, kSyncDir, orte.sammlungs_verzeichnis);
  d.LDat = ini.ReadString(kAllgemein, kLDat, orte.log_verzeichnis + "zarnoft.log");
  d.LWarn = ini.ReadBool(kAllgemein, kLWarn, true);
  d.LLev = ReadInt(ini, kAllgemein, kLLev, 0);
  d.LArt = ReadInt(ini, kAllgemein, kLArt, 0);
  d.LAnz = ReadInt(ini, kAllgemein, kLAnz, 0);
  d.Hint = ini.ReadBool(kAllgemein, kHint, true);
  d.Loeschen = static_cast<LoeschModus>(ReadInt(ini, kData, kLoeschen, 1));
  d.LoeschenWohin = ini.ReadString(kData, kLoeschenWohin, orte.LoeschVorgabe());
  d.LoeschGrenze = LoeschGrenzeLesen(ini);
  d.RueckgaengigTage =
      BereichLesen(ini, kRueckgaengigTage, kRueckgaengigTageStandard, kRueckgaengigTageHoechstens);
  d.RueckgaengigAnteil = BereichLesen(ini, kRueckgaengigAnteil, kRueckgaengigAnteilStandard,
                                      kRueckgaengigAnteilHoechstens);
  d.Boot = ini.ReadBool(kHauptprogramm, kBoot, true);
  d.Zeit = ini.ReadBool(kHauptprogramm, kZeit, true);
  d.Idle = ini.ReadBool(kHauptprogramm, kIdle, true);
  d.Shut = ini.ReadBool(kHauptprogramm, kShut, true);
  d.BootZeit = ReadInt(ini, kHauptprogramm, kBootZeit, 5);
  d.IdleZeit = ReadInt(ini, kHauptprogramm, kIdleZeit, 5);
  return d;
}

}  // namespace

DialogEinstellungen DialogEinstellungenLesen(const std::string& settings_path,
                                             const std::string& program_dir, FileSystem* fs) {
  return DialogLesen(settings_path, PortableDateiOrte(program_dir), fs);
}

DialogEinstellungen DialogEinstellungenLesen(const DateiOrte& orte, FileSystem* fs) {
  return DialogLesen(orte.EinstellungsDatei(), orte, fs);
}

void DialogEinstellungenSchreiben(const std::string& settings_path, const DialogEinstellungen& d,
                                  FileSystem* fs) {
  IniFile ini(settings_path, fs);
  ini.WriteInteger(kAllgemein, kVersion, kVersionWert);
  ini.WriteInteger(kForm, kPosS, d.PosS);
  ini.WriteInteger(kData, kSyncDirData, d.SyncDirData);
  ini.WriteString(kData, kSyncDir, d.SyncDir);
  ini.WriteBool(kData, kSofortSync, d.SofortSync);
  ini.WriteString(kAllgemein, kLDat, d.LDat);
  ini.WriteInteger(kAllgemein, kLLev, d.LLev);
  ini.WriteBool(kData, kWarnungen, d.Warnungen);
  ini.WriteBool(kData, kFehler, d.Fehler);
  ini.WriteBool(kAllgemein, kHint, d.Hint);
  ini.WriteBool(kAllgemein, kLWarn, d.LWarn);
  ini.WriteInteger(kAllgemein, kLArt, d.LArt);
  ini.WriteInteger(kAllgemein, kLAnz, d.LAnz);
  ini.WriteInteger(kData, kLoeschen, Zahl(d.Loeschen));
  ini.WriteString(kData, kLoeschenWohin, d.LoeschenWohin);
  ini.WriteInteger(kData, kLoeschGrenze, d.LoeschGrenze);
  ini.WriteInteger(kData, kRueckgaengigTage, d.RueckgaengigTage);
  ini.WriteInteger(kData, kRueckgaengigAnteil, d.RueckgaengigAnteil);
  ini.WriteBool(kHauptprogramm, kBoot, d.Boot);
  ini.WriteBool(kHauptprogramm, kZeit, d.Zeit);
  ini.WriteBool(kHauptprogramm, kIdle, d.Idle);
  ini.WriteBool(kHauptprogramm, kShut, d.Shut);
  ini.WriteInteger(kHauptprogramm, kBootZeit, d.BootZeit);
  ini.WriteInteger(kHauptprogramm, kIdleZeit, d.IdleZeit);
}

}  // namespace zarnoft
