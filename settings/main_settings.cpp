#include "settings/main_settings.h"

#include "settings/ini_check.h"
#include "settings/ini_file.h"

namespace zarnoft {

using namespace main_sda;

std::string MainSettingsPath(const std::string& program_dir) {
  return program_dir + "Main.sda";
}

std::string EinstellungsDateiFehler(const std::string& settings_path, FileSystem* fs) {
  const IniDateiZustand z = IniDateiPruefen(settings_path, fs);
  if (z.Beschaedigt()) return z.fehler;
  const IniFile ini(settings_path, fs);
  const std::string loeschen = ini.ReadString(kLoeschen.sektion, kLoeschen.schluessel, "1");
  int64_t v = 0;
  if (!ParseIniInteger(loeschen, &v))
    return std::string(kLoeschen.schluessel) + "=" + loeschen + " ist keine Zahl";
  return {};
}

std::string EinstellungsDateiBeschaedigt(const std::string& settings_path,
                                         const std::string& fehler) {
  return "Die Einstellungsdatei " + settings_path + " ist beschädigt (" + fehler + ").";
}

int VersionLesen(const std::string& settings_path, FileSystem* fs) {
  return ZahlLesen(IniFile(settings_path, fs), kVersion);
}

FensterGeometrie FensterGeometrieLesen(const std::string& settings_path, FileSystem* fs) {
  const IniFile ini(settings_path, fs);
  FensterGeometrie g;
  g.Hoehe = ZahlLesen(ini, kHoehe);
  g.Breite = ZahlLesen(ini, kBreite);
  g.PosS = ZahlLesen(ini, kPosS);
  if (g.AnGespeicherterStelle()) {
    g.PosY = ZahlLesen(ini, kPosY);
    g.PosX = ZahlLesen(ini, kPosX);
  }
  return g;
}

void EinstellungenLesen(const std::string& settings_path, const std::string& program_dir,
                        EditorEinstellungen* e, FileSystem* fs) {
  const IniFile ini(settings_path, fs);
  if (ZahlLesen(ini, kSyncDirData) > 0) {
    e->SammlungsVerzeichnis = TextLesen(ini, kSyncDir, e->SammlungsVerzeichnis);
  }
  e->SofortSync = SchalterLesen(ini, kSofortSync);
  e->Loeschen = static_cast<LoeschModus>(ZahlLesen(ini, kLoeschen));
  e->LoeschenWohin = TextLesen(ini, kLoeschenWohin, program_dir + "Loesch");
  e->LoeschGrenze = ZahlLesen(ini, kLoeschGrenze);
  e->RueckgaengigTage = ZahlLesen(ini, kRueckgaengigTage);
  e->RueckgaengigAnteil = ZahlLesen(ini, kRueckgaengigAnteil);
}

void EinstellungenLesen(const DateiOrte& orte, EditorEinstellungen* e, FileSystem* fs) {
  // The directory argument only forms the default move-aside folder.
  EinstellungenLesen(orte.EinstellungsDatei(), orte.daten_verzeichnis, e, fs);
}

void EinstellungenBeimSchliessen(const std::string& settings_path, const FensterGeometrie& g,
                                 const std::string& sammlungs_verzeichnis, FileSystem* fs) {
  IniFile ini(settings_path, fs);
  ini.WriteInteger(kVersion.sektion, kVersion.schluessel, kVersionWert);
  ini.WriteInteger(kHoehe.sektion, kHoehe.schluessel, g.Hoehe);
  ini.WriteInteger(kBreite.sektion, kBreite.schluessel, g.Breite);
  ini.WriteInteger(kPosY.sektion, kPosY.schluessel, g.PosY);
  ini.WriteInteger(kPosX.sektion, kPosX.schluessel, g.PosX);
  // "Let&ztes Verzeichnis": carry the directory used last into the next start.
  if (ZahlLesen(ini, kSyncDirData) == 2) {
    ini.WriteString(kSyncDir.sektion, kSyncDir.schluessel, sammlungs_verzeichnis);
  }
}

LogEinstellungen LogEinstellungenLesen(const std::string& settings_path,
                                       const std::string& program_dir, FileSystem* fs) {
  const IniFile ini(settings_path, fs);
  LogEinstellungen l;
  // The log's own default name; the settings dialog offers "zarnoft.log".
  l.LDat = TextLesen(ini, kLDat, program_dir + "Main.log");
  l.LLev = ZahlLesen(ini, kLLev);
  l.LWarn = SchalterLesen(ini, kLWarn);
  l.LArt = ZahlLesen(ini, kLArt);
  l.LAnz = ZahlLesen(ini, kLAnz);
  return l;
}

LogEinstellungen LogEinstellungenLesen(const DateiOrte& orte, FileSystem* fs) {
  // The directory argument only forms the default log file.
  return LogEinstellungenLesen(orte.EinstellungsDatei(), orte.log_verzeichnis, fs);
}

namespace {

// The program's directory is the default of three settings when the program is portable; when
// it is installed, each default comes from its own per-user place (DateiOrte).
EinstellungsWerte DialogLesen(const std::string& settings_path, const DateiOrte& orte,
                              FileSystem* fs) {
  const IniFile ini(settings_path, fs);
  EinstellungsWerte w;
  for (const Einstellung* e : kEinstellungen) {
    if (e->feldart == Feldart::kKeins) continue;
    switch (e->art) {
      case Wertart::kSchalter:
        w.SchalterSetzen(*e, SchalterLesen(ini, *e));
        break;
      case Wertart::kZahl:
        w.ZahlSetzen(*e, ZahlLesen(ini, *e));
        break;
      case Wertart::kText:
        w.TextSetzen(*e, TextLesen(ini, *e, TextVorgabe(*e, orte)));
        break;
    }
  }
  return w;
}

}  // namespace

EinstellungsWerte DialogEinstellungenLesen(const std::string& settings_path,
                                           const std::string& program_dir, FileSystem* fs) {
  return DialogLesen(settings_path, PortableDateiOrte(program_dir), fs);
}

EinstellungsWerte DialogEinstellungenLesen(const DateiOrte& orte, FileSystem* fs) {
  return DialogLesen(orte.EinstellungsDatei(), orte, fs);
}

void DialogEinstellungenSchreiben(const std::string& settings_path, const EinstellungsWerte& w,
                                  FileSystem* fs) {
  IniFile ini(settings_path, fs);
  ini.WriteInteger(kVersion.sektion, kVersion.schluessel, kVersionWert);
  for (const Einstellung* e : kEinstellungen) {
    if (e->feldart != Feldart::kKeins) WertSchreiben(&ini, *e, w);
  }
}

bool EinstellungsSchalter(const std::string& settings_path, const Einstellung& e, FileSystem* fs) {
  return SchalterLesen(IniFile(settings_path, fs), e);
}

}  // namespace zarnoft
