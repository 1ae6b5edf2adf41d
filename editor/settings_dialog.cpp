#include "editor/settings_dialog.h"

#include <cerrno>
#include <cstdint>
#include <utility>

#include "platform/path_helpers.h"
#include "settings/ini_file.h"
#include "settings/main_settings.h"

namespace zarnoft {

namespace {

constexpr int kHoechsteStufe = 7;  // outside the debug build
constexpr int kDebugStufe = 9;
constexpr LogStufe kAnlegenLogStufe = LogStufe::kDebugAusfuehrlich;
constexpr LogStufe kFehlerLogStufe = LogStufe::kWarnung;

// The state file of the move-aside folder and its key.
constexpr char kSyncDat[] = "Sync.dat";
constexpr char kSyncDatSektion[] = "Main";
constexpr char kSyncDatMax[] = "Max";

// The reason a directory could not be created, in the words a German desktop uses.
std::string Grund(int fehler) {
  switch (fehler) {
    case EACCES:
    case EPERM:
      return "Keine Berechtigung";
    case EROFS:
      return "Das Dateisystem ist nur lesbar";
    case ENOSPC:
      return "Auf dem Gerät ist kein Speicherplatz mehr verfügbar";
    case EDQUOT:
      return "Der zugewiesene Plattenplatz (Quota) ist überschritten";
    case ENOTDIR:
    case EEXIST:
      return "Ist kein Verzeichnis";
    case ENAMETOOLONG:
      return "Der Dateiname ist zu lang";
    case ENOENT:
      return "Datei oder Verzeichnis nicht gefunden";
    case ELOOP:
      return "Zu viele Ebenen aus symbolischen Links";
    case EIO:
      return "Eingabe-/Ausgabefehler";
    default:
      return "Fehler " + std::to_string(fehler);
  }
}

// Radio groups show a stored number outside their items as the nearest item.
int Eintrag(int v, int anzahl) {
  return Zahlbereich{0, anzahl - 1}.Begrenzen(v);
}

}  // namespace

std::vector<std::string> LogLevEintraege(bool debug_version) {
  std::vector<std::string> e = {
      "0 - Aus",
      "1 - Nur Warnungen bei doppelt geänderten Dateien",
      "2 - Protokoll fremder Dateibearbeitungen",
      "3 - Speichern und Laden",
      "4 - Grundlegende Buttons",
      "5 - Alle Buttons",
      "6 - Alle Dateizugriffe",
      "7 - Dateizugriffe mit Diagnose",
      "8 - Grundlegendes Debugging",
      "9 - Ausführliches Debugging",
  };
  if (!debug_version) e.resize(kHoechsteStufe + 1);
  return e;
}

const std::vector<std::string>& LogrotierenEintraege() {
  static const std::vector<std::string> e = {
      "0 - Keine Grenze",
      "1 - Täglich neue Datei anlegen",
      "2 - Wöchentlich neue Datei anlegen",
      "3 - Monatlich neue Datei anlegen",
      "4 - Alle 10 kBytes eine neue Datei anlegen",
      "5 - Alle 100kBytes eine neue Datei anlegen",
      "6 - Alle 1 MB eine neue Datei anlegen",
  };
  return e;
}

std::string StatusHinweis(const std::vector<std::string>& hinweise) {
  for (const std::string& h : hinweise) {
    if (h.empty()) continue;
    const size_t strich = h.find('|');
    return strich == std::string::npos ? h : h.substr(strich + 1);
  }
  return "";
}

TEinstellungenLogik::TEinstellungenLogik(EinstellungenAnsicht* ansicht, DateiOrte orte,
                                         bool debug_version, FileSystem* fs, Protokoll* log)
    : ansicht_(ansicht),
      orte_(std::move(orte)),
      debug_(debug_version),
      fs_(fs != nullptr ? fs : FileSystem::Default()),
      log_(log) {}

void TEinstellungenLogik::Laden() {
  const DialogEinstellungen d = DialogEinstellungenLesen(orte_, fs_);
  // Start from the controls as they are: a stored deletion mode other than 1, 2 or 3 leaves the
  // choice as it was, and SLVAnz is never loaded.
  EinstellungenFelder f = ansicht_->FelderLesen();
  f.DPosition = Eintrag(d.PosS, 2);
  f.Dateiablage = Eintrag(d.SyncDirData, 3);
  f.SSync = d.SofortSync;
  f.WNein = d.Warnungen;
  f.FNein = d.Fehler;
  f.SyncVerz = d.SyncDir;
  f.Datei = d.LDat;
  f.LogWarn = d.LWarn;
  // Levels above what this build offers show as its highest (the log caps them the same way);
  // a negative level, which the log treats as off, shows as "0 - Aus".
  f.LogLev = Zahlbereich{0, debug_ ? kDebugStufe : kHoechsteStufe}.Begrenzen(d.LLev);
  // A kind that is no item leaves the box empty, as typed text does; the log rotates nothing.
  const int arten = static_cast<int>(LogrotierenEintraege().size());
  f.Logrotieren = d.LArt >= 0 && d.LArt < arten ? d.LArt : -1;
  f.LogAnz = kLogAnzBereich.Begrenzen(d.LAnz);
  f.HintShow = d.Hint;
  // The runs take the mode as a signed 8-bit value; show what they will do.
  switch (static_cast<int8_t>(static_cast<uint8_t>(Zahl(d.Loeschen)))) {
    case 1:
      f.Loeschen = LoeschModus::kNormal;
      break;
    case 2:
      f.Loeschen = LoeschModus::kNie;
      break;
    case 3:
      f.Loeschen = LoeschModus::kAuslagern;
      break;
    default:
      break;
  }
  // A damaged file tells nothing about the user's choice; the runs delete nothing until the
  // dialog has written a sound file, and that is what OK keeps unless the user chooses.
  if (!EinstellungsDateiFehler(orte_.EinstellungsDatei(), fs_).empty())
    f.Loeschen = LoeschModus::kNie;
  f.SLVerz = d.LoeschenWohin;
  f.LoeschGrenze = kLoeschGrenzeBereich.Begrenzen(d.LoeschGrenze);
  f.RueckgaengigTage = kRueckgaengigTageBereich.Begrenzen(d.RueckgaengigTage);
  f.RueckgaengigAnteil = kRueckgaengigAnteilBereich.Begrenzen(d.RueckgaengigAnteil);
  f.Boot = d.Boot;
  f.Time = d.Zeit;
  f.Idle = d.Idle;
  f.Shutdown = d.Shut;
  f.ZeitBoot = kZeitBootBereich.Begrenzen(d.BootZeit);
  f.ZeitLeerlauf = kZeitLeerlaufBereich.Begrenzen(d.IdleZeit);
  ansicht_->FelderZeigen(f);
  RegelnAnwenden(f);
}

void TEinstellungenLogik::RegelnAnwenden(const EinstellungenFelder& f) {
  ansicht_->SyncVerzSichtbar(f.Dateiablage == 1);
  ansicht_->SLVerschFolgen(f.Loeschen == LoeschModus::kAuslagern);
}

void TEinstellungenLogik::DateiablageClick() {
  ansicht_->SyncVerzSichtbar(ansicht_->FelderLesen().Dateiablage == 1);
}

void TEinstellungenLogik::SLVerschClick() {
  ansicht_->SLVerschFolgen(ansicht_->FelderLesen().Loeschen == LoeschModus::kAuslagern);
}

void TEinstellungenLogik::VerzWahlClick() {
  EinstellungenFelder f = ansicht_->FelderLesen();
  std::string pfad;
  if (!ansicht_->OrdnerWaehlen("Bitte wählen Sie das Standardverzeichnis aus.", f.SyncVerz, &pfad))
    return;
  f.SyncVerz = pfad;
  ansicht_->FelderZeigen(f);
}

void TEinstellungenLogik::SLWahlClick() {
  EinstellungenFelder f = ansicht_->FelderLesen();
  std::string pfad;
  if (!ansicht_->OrdnerWaehlen("Wohin sollen die zu löschenden Dateien gespeichert werden?",
                               f.SLVerz, &pfad))
    return;
  f.SLVerz = pfad;
  f.Loeschen = LoeschModus::kAuslagern;
  ansicht_->FelderZeigen(f);
  RegelnAnwenden(f);
}

void TEinstellungenLogik::Button1Click() {
  EinstellungenFelder f = ansicht_->FelderLesen();
  std::string pfad;
  if (!ansicht_->LogdateiWaehlen(f.Datei, &pfad)) return;
  f.Datei = pfad;
  ansicht_->FelderZeigen(f);
}

void TEinstellungenLogik::ShowHint(const std::vector<std::string>& hinweise) {
  std::string text = StatusHinweis(hinweise);
  if (text == status_) return;
  status_ = std::move(text);
  ansicht_->StatusZeigen(status_);
}

void TEinstellungenLogik::JaClick() {
  const EinstellungenFelder f = ansicht_->FelderLesen();
  DialogEinstellungen d;
  d.PosS = f.DPosition;
  d.SyncDirData = f.Dateiablage;
  d.SyncDir = f.SyncVerz;
  d.SofortSync = f.SSync;
  d.LDat = f.Datei;
  d.LLev = f.LogLev;
  d.Warnungen = f.WNein;
  d.Fehler = f.FNein;
  d.Hint = f.HintShow;
  d.LWarn = f.LogWarn;
  d.LArt = f.Logrotieren;
  d.LAnz = kLogAnzBereich.Begrenzen(f.LogAnz);
  d.Loeschen = f.Loeschen;
  d.LoeschenWohin = f.SLVerz;
  d.LoeschGrenze = kLoeschGrenzeBereich.Begrenzen(f.LoeschGrenze);
  d.RueckgaengigTage = kRueckgaengigTageBereich.Begrenzen(f.RueckgaengigTage);
  d.RueckgaengigAnteil = kRueckgaengigAnteilBereich.Begrenzen(f.RueckgaengigAnteil);
  d.Boot = f.Boot;
  d.Zeit = f.Time;
  d.Idle = f.Idle;
  d.Shut = f.Shutdown;
  d.BootZeit = kZeitBootBereich.Begrenzen(f.ZeitBoot);
  d.IdleZeit = kZeitLeerlaufBereich.Begrenzen(f.ZeitLeerlauf);
  try {
    BeschaedigteBeiseite();
    DialogEinstellungenSchreiben(orte_.EinstellungsDatei(), d, fs_);
    VerschiebeordnerVorbereiten(f);
  } catch (const IniWriteError& e) {
    Melden(e.what());
  }
}

void TEinstellungenLogik::BeschaedigteBeiseite() {
  const std::string pfad = orte_.EinstellungsDatei();
  if (EinstellungsDateiFehler(pfad, fs_).empty()) return;
  constexpr int kHoechstens = 100;
  for (int n = 1; n <= kHoechstens; ++n) {
    const std::string beiseite = pfad + ".beschaedigt" + (n == 1 ? "" : "-" + std::to_string(n));
    const Status s = fs_->RenameNoReplace(pfad, beiseite);
    if (s) {
      if (log_ != nullptr)
        log_->Zeile(LogStufe::kWarnung,
                    "Warn: Beschädigte Einstellungsdatei behalten als " + beiseite);
      return;
    }
    if (s.error() != EEXIST) break;
  }
  throw IniWriteError(pfad);
}

void TEinstellungenLogik::VerschiebeordnerVorbereiten(const EinstellungenFelder& f) {
  const std::string ordner = WithTrailingSlash(f.SLVerz);
  const std::string sync_dat = ordner + kSyncDat;
  if (f.Loeschen != LoeschModus::kAuslagern) {
    FileInfo info;
    if (fs_->Stat(sync_dat, &info) && !info.IsDirectory()) fs_->DeleteFile(sync_dat);
    return;
  }
  // A relative folder would land wherever the program happens to run, an empty one in "/".
  if (ordner.front() != '/' || ordner == "/") {
    Melden("Das Verzeichnis für die Sicherheitskopie \"" + f.SLVerz +
           "\" ist kein vollständiger Pfad. Bitte ein Verzeichnis wie /home/name/Loesch angeben.");
    return;
  }
  // Every level from the top down, the folder itself last.
  for (size_t i = 1; i < ordner.size(); ++i) {
    if (ordner[i] != '/') continue;
    const std::string ebene = ordner.substr(0, i + 1);
    FileInfo info;
    if (fs_->Stat(ebene, &info)) continue;
    const Status angelegt = fs_->CreateDirectory(ebene);
    if (!angelegt) {
      const int fehler = angelegt.error();
      const std::string name = ordner.substr(0, i);
      FileInfo vorhanden;
      const bool datei = fs_->Stat(name, &vorhanden) && !vorhanden.IsDirectory();
      Melden("Verzeichnis " + name +
             " kann nicht angelegt werden: " + (datei ? Grund(ENOTDIR) : Grund(fehler)));
      return;
    }
    if (log_ != nullptr && log_->Will(kAnlegenLogStufe))
      log_->Zeile(kAnlegenLogStufe, "Vergl: Verzeichnis angelegt:" + ebene);
  }
  IniFile(sync_dat, fs_)
      .WriteInteger(kSyncDatSektion, kSyncDatMax, kSLVAnzBereich.Begrenzen(f.SLVAnz));
}

void TEinstellungenLogik::Melden(const std::string& text) {
  if (log_ != nullptr && log_->Will(kFehlerLogStufe)) log_->Zeile(kFehlerLogStufe, "Warn: " + text);
  ansicht_->FehlerZeigen(text);
}

}  // namespace zarnoft
