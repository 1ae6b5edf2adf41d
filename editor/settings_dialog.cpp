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

// A loaded value into its control, by the way the control shows it.
void FeldLaden(const Einstellung& e, Zahlbereich bereich, const EinstellungsWerte& gelesen,
               EinstellungsWerte* feld) {
  switch (e.feldart) {
    case Feldart::kKeins:
      break;
    case Feldart::kHaken:
      feld->SchalterSetzen(e, gelesen.Schalter(e));
      break;
    case Feldart::kZeile:
      feld->TextSetzen(e, gelesen.Text(e));
      break;
    case Feldart::kZahlfeld:
    case Feldart::kWahl:
      feld->ZahlSetzen(e, bereich.Begrenzen(gelesen.Zahl(e)));
      break;
    case Feldart::kWahlOderText:
      // A value that is no item leaves the box empty, as typed text does.
      feld->ZahlSetzen(e, bereich.Enthaelt(gelesen.Zahl(e)) ? gelesen.Zahl(e) : -1);
      break;
    case Feldart::kLoeschModus:
      if (bereich.Enthaelt(gelesen.Zahl(e))) feld->ZahlSetzen(e, gelesen.Zahl(e));
      break;
  }
}

// Whether the open and save dialogs start in the standard directory SyncVerz.
bool Standardverzeichnis(const EinstellungenFelder& f) {
  return f.werte.Zahl(main_sda::kSyncDirData) == 1;
}

// Whether "verschieben" is chosen.
bool Auslagern(const EinstellungenFelder& f) {
  return f.werte.Zahl(main_sda::kLoeschen) == Zahl(LoeschModus::kAuslagern);
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
  const EinstellungsWerte gelesen = DialogEinstellungenLesen(orte_, fs_);
  // Start from the controls as they are: a stored deletion mode other than 1, 2 or 3 leaves the
  // choice as it was, and SLVAnz is never loaded.
  EinstellungenFelder f = ansicht_->FelderLesen();
  for (const Einstellung* e : kEinstellungen) FeldLaden(*e, Bereich(*e), gelesen, &f.werte);
  // A damaged file tells nothing about the user's choice; the runs delete nothing until the
  // dialog has written a sound file, and that is what OK keeps unless the user chooses.
  if (!EinstellungsDateiFehler(orte_.EinstellungsDatei(), fs_).empty())
    f.werte.ZahlSetzen(main_sda::kLoeschen, Zahl(LoeschModus::kNie));
  ansicht_->FelderZeigen(f);
  RegelnAnwenden(f);
}

Zahlbereich TEinstellungenLogik::Bereich(const Einstellung& e) const {
  // Levels above what this build offers show as its highest (the log caps them the same way);
  // a negative level, which the log treats as off, shows as "0 - Aus".
  if (&e == &main_sda::kLLev) return {0, debug_ ? kDebugStufe : kHoechsteStufe};
  return e.bereich;
}

void TEinstellungenLogik::RegelnAnwenden(const EinstellungenFelder& f) {
  ansicht_->SyncVerzSichtbar(Standardverzeichnis(f));
  ansicht_->SLVerschFolgen(Auslagern(f));
}

void TEinstellungenLogik::DateiablageClick() {
  ansicht_->SyncVerzSichtbar(Standardverzeichnis(ansicht_->FelderLesen()));
}

void TEinstellungenLogik::SLVerschClick() {
  ansicht_->SLVerschFolgen(Auslagern(ansicht_->FelderLesen()));
}

void TEinstellungenLogik::VerzWahlClick() {
  EinstellungenFelder f = ansicht_->FelderLesen();
  std::string pfad;
  if (!ansicht_->OrdnerWaehlen("Bitte wählen Sie das Standardverzeichnis aus.",
                               f.werte.Text(main_sda::kSyncDir), &pfad))
    return;
  f.werte.TextSetzen(main_sda::kSyncDir, pfad);
  ansicht_->FelderZeigen(f);
}

void TEinstellungenLogik::SLWahlClick() {
  EinstellungenFelder f = ansicht_->FelderLesen();
  std::string pfad;
  if (!ansicht_->OrdnerWaehlen("Wohin sollen die zu löschenden Dateien gespeichert werden?",
                               f.werte.Text(main_sda::kLoeschenWohin), &pfad))
    return;
  f.werte.TextSetzen(main_sda::kLoeschenWohin, pfad);
  f.werte.ZahlSetzen(main_sda::kLoeschen, Zahl(LoeschModus::kAuslagern));
  ansicht_->FelderZeigen(f);
  RegelnAnwenden(f);
}

void TEinstellungenLogik::Button1Click() {
  EinstellungenFelder f = ansicht_->FelderLesen();
  std::string pfad;
  if (!ansicht_->LogdateiWaehlen(f.werte.Text(main_sda::kLDat), &pfad)) return;
  f.werte.TextSetzen(main_sda::kLDat, pfad);
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
  // A number field holds what was typed until it is left; it stores the nearest limit.
  EinstellungsWerte w = f.werte;
  for (const Einstellung* e : kEinstellungen) {
    if (e->feldart == Feldart::kZahlfeld) w.ZahlSetzen(*e, e->bereich.Begrenzen(w.Zahl(*e)));
  }
  try {
    BeschaedigteBeiseite();
    DialogEinstellungenSchreiben(orte_.EinstellungsDatei(), w, fs_);
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
  const std::string& verz = f.werte.Text(main_sda::kLoeschenWohin);
  const std::string ordner = WithTrailingSlash(verz);
  const std::string sync_dat = ordner + kSyncDat;
  if (!Auslagern(f)) {
    FileInfo info;
    if (fs_->Stat(sync_dat, &info) && !info.IsDirectory()) fs_->DeleteFile(sync_dat);
    return;
  }
  // A relative folder would land wherever the program happens to run, an empty one in "/".
  if (ordner.front() != '/' || ordner == "/") {
    Melden("Das Verzeichnis für die Sicherheitskopie \"" + verz +
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
