#include "platform/file_places.h"

#include <errno.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/path_helpers.h"
#include "platform/program_info.h"

#ifndef ZARNOFT_INSTALL_BINDIR
#define ZARNOFT_INSTALL_BINDIR "/usr/bin"
#endif

namespace zarnoft {
namespace {

// An unknown place stays empty.
std::string MitSchraegstrich(const std::string& p) {
  return p.empty() ? p : WithTrailingSlash(p);
}

std::string Umgebung(const char* name) {
  const char* v = std::getenv(name);
  return v == nullptr ? std::string() : std::string(v);
}

// A base directory variable counts only when it holds an absolute path; otherwise the default
// below the home directory applies.
std::string BasisVerzeichnis(const std::string& wert, const std::string& home,
                             const char* vorgabe) {
  if (!wert.empty() && wert[0] == '/') return MitSchraegstrich(wert);
  return MitSchraegstrich(home) + vorgabe;
}

bool Installiert(const OrtsUmgebung& u) {
  const std::string& d = u.programm_verzeichnis;
  if (d.rfind("/usr/", 0) == 0) return true;  // nothing of ours is ever written below /usr
  if (!u.installations_verzeichnis.empty() && d == u.installations_verzeichnis) return true;
  return !u.programm_verzeichnis_beschreibbar;
}

// The reason of a failed file-system call, in German, for the messages below.
std::string Grund(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
      return "keine Berechtigung";
    case EROFS:
      return "das Dateisystem ist schreibgeschützt";
    case ENOSPC:
      return "der Datenträger ist voll";
    case EDQUOT:
      return "das Speicherkontingent ist erschöpft";
    case ENOTDIR:
    case EEXIST:
      return "eine Datei steht im Weg";
    case ENAMETOOLONG:
      return "der Name ist zu lang";
    default:
      return "Fehler " + std::to_string(err);
  }
}

// Creates `dir` (ending with "/") with its missing parents, each new level with mode 0700.
// False with a German reason in *grund; a path element that exists but is no directory is named.
bool VerzeichnisAnlegen(const std::string& dir, FileSystem* fs, std::string* grund) {
  for (size_t pos = dir.find('/', 1); pos != std::string::npos; pos = dir.find('/', pos + 1)) {
    const std::string stufe = dir.substr(0, pos);
    FileInfo info;
    if (fs->IsEnterableDirectory(stufe)) continue;
    if (fs->Stat(stufe, &info)) {
      *grund = stufe + " ist kein Verzeichnis";
      return false;
    }
    const Status angelegt = fs->CreateDirectory(stufe);
    if (!angelegt) {
      const int err = angelegt.error();
      if (fs->IsEnterableDirectory(stufe)) continue;  // made by someone else meanwhile
      *grund = Grund(err);
      return false;
    }
    fs->SetMode(stufe, 0700);
  }
  return true;
}

}  // namespace

OrtsUmgebung OrtsUmgebungLesen() {
  OrtsUmgebung u;
  u.programm_verzeichnis = ProgramDirectory();
  u.programm_verzeichnis_beschreibbar = ::access(u.programm_verzeichnis.c_str(), W_OK) == 0;
  u.installations_verzeichnis = MitSchraegstrich(ZARNOFT_INSTALL_BINDIR);
  u.home = Umgebung("HOME");
  if (u.home.empty() || u.home[0] != '/') {
    const struct passwd* pw = ::getpwuid(::getuid());
    u.home = pw != nullptr && pw->pw_dir != nullptr ? pw->pw_dir : "";
  }
  u.xdg_config_home = Umgebung("XDG_CONFIG_HOME");
  u.xdg_state_home = Umgebung("XDG_STATE_HOME");
  u.xdg_data_home = Umgebung("XDG_DATA_HOME");
  return u;
}

DateiOrte PortableDateiOrte(const std::string& programm_verzeichnis) {
  DateiOrte o;
  o.portabel = true;
  o.programm_verzeichnis = MitSchraegstrich(programm_verzeichnis);
  o.einstellungs_verzeichnis = o.programm_verzeichnis;
  o.log_verzeichnis = o.programm_verzeichnis;
  o.daten_verzeichnis = o.programm_verzeichnis;
  o.sammlungs_verzeichnis = o.programm_verzeichnis;
  return o;
}

DateiOrte DateiOrteBestimmen(const OrtsUmgebung& u) {
  DateiOrte o = PortableDateiOrte(u.programm_verzeichnis);
  if (!Installiert(u)) return o;
  // Without any home directory the places fall back to the root's hidden folders, which the
  // preparation then reports as not creatable; nothing lands beside the program.
  const std::string home = MitSchraegstrich(u.home.empty() ? "/" : u.home);
  o.portabel = false;
  o.einstellungs_verzeichnis = BasisVerzeichnis(u.xdg_config_home, home, ".config/") + "zarnoft/";
  o.log_verzeichnis = BasisVerzeichnis(u.xdg_state_home, home, ".local/state/") + "zarnoft/";
  o.daten_verzeichnis = BasisVerzeichnis(u.xdg_data_home, home, ".local/share/") + "zarnoft/";
  o.sammlungs_verzeichnis = home;
  return o;
}

DateiOrte DateiOrteDesProgramms() {
  return DateiOrteBestimmen(OrtsUmgebungLesen());
}

std::vector<std::string> DateiOrteVorbereiten(const DateiOrte& orte, FileSystem* fs) {
  if (fs == nullptr) fs = FileSystem::Default();
  std::vector<std::string> meldungen;
  std::string grund;
  bool einstellungen_da = true;
  if (!orte.portabel) {
    if (!VerzeichnisAnlegen(orte.einstellungs_verzeichnis, fs, &grund)) {
      einstellungen_da = false;
      meldungen.push_back("Das Verzeichnis für die Einstellungen " + orte.einstellungs_verzeichnis +
                          " kann nicht angelegt werden (" + grund +
                          "). Es gelten die Vorgaben; geänderte Einstellungen werden nicht "
                          "gespeichert.");
    }
    if (orte.log_verzeichnis != orte.einstellungs_verzeichnis &&
        !VerzeichnisAnlegen(orte.log_verzeichnis, fs, &grund)) {
      meldungen.push_back("Das Verzeichnis für die Logdatei " + orte.log_verzeichnis +
                          " kann nicht angelegt werden (" + grund +
                          "). Ohne eigene Angabe einer Logdatei wird nichts protokolliert.");
    }
  }
  // A link to a file is fine (settings kept with the user's other dotfiles); a directory under
  // the name would make every write of the settings fail.
  if (einstellungen_da && fs->IsEnterableDirectory(orte.EinstellungsDatei())) {
    meldungen.push_back("Die Einstellungsdatei " + orte.EinstellungsDatei() +
                        " ist ein Verzeichnis. Es gelten die Vorgaben; geänderte Einstellungen "
                        "werden nicht gespeichert.");
  }
  return meldungen;
}

}  // namespace zarnoft
