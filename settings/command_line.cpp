#include "settings/command_line.h"

#include <algorithm>
#include <cstring>

#include "platform/program_info.h"

namespace zarnoft {

const char* EditorHilfe() {
  return "Aufruf: zarnoft [SAMMLUNG.syc]\n"
         "       zarnoft --help | --version\n"
         "\n"
         "Der Editor von Zarnoft: Aufträge beschreiben, die Verzeichnispaare abgleichen (in\n"
         "beide Richtungen, als Kopie der Herkunft auf das Ziel oder als Archiv), sie in\n"
         "Auftragssammlungen (.syc) speichern und im Hintergrund ausführen, jeden Lauf mit\n"
         "eigenem Fortschrittsfenster.\n"
         "\n"
         "SAMMLUNG.syc wird beim Start geöffnet; das Wort nil steht für keine Sammlung.\n"
         "Nach -- ist das nächste Argument eine Sammlung, auch wenn es mit - beginnt.\n"
         "\n"
         "  -h, --help  zeigt diese Hilfe\n"
         "  --version   zeigt die Version\n"
         "\n"
         "Dateien: Die Einstellungen Main.sda liegen im Verzeichnis des Programms, wenn es\n"
         "beschreibbar ist (ein Build-Ordner), sonst (installiert) in\n"
         "$XDG_CONFIG_HOME/zarnoft/, vorgegeben ~/.config/zarnoft/; die Logdatei ist dann in\n"
         "~/.local/state/zarnoft/ vorgegeben, das Auslagerungsverzeichnis in\n"
         "~/.local/share/zarnoft/Loesch.\n"
         "\n"
         "Aufträge ohne Fenster und automatische Läufe: zarnoft-sync --help.\n";
}

std::vector<std::string> EditorArgumente(int argc, const char* const* argv) {
  std::vector<std::string> argumente(argv + std::min(argc, 1), argv + argc);
  if (!argumente.empty() && argumente[0] == "--") argumente.erase(argumente.begin());
  return argumente;
}

EditorAufruf EditorAufrufLesen(int argc, const char* const* argv) {
  EditorAufruf a;
  if (argc < 2) return a;
  // After "--" even "--help" names a collection.
  const char* erstes = argv[1];
  if (std::strcmp(erstes, "--help") == 0 || std::strcmp(erstes, "-h") == 0) {
    a.beenden = true;
    a.text = EditorHilfe();
  } else if (std::strcmp(erstes, "--version") == 0) {
    a.beenden = true;
    a.text = VersionsText("zarnoft");
  }
  return a;
}

}  // namespace zarnoft
