// The texts of the about box TAboutBox: product name and version, the engine's version, and the
// format versions of the settings file and of the job collections.
//
// The box is created once at program start and shown from the main window's "In&fo..." item.
// Its creation fills every label but VSync (so VPrg keeps the settings version of the start);
// each showing brings VSync up to date with the collection last opened or saved.
#ifndef ZARNOFT_EDITOR_ABOUT_TEXTS_H_
#define ZARNOFT_EDITOR_ABOUT_TEXTS_H_

#include <string>

#include "platform/file_system.h"

namespace zarnoft {

struct AboutTexte {
  std::string ProductName;   // "Zarnoft - Editor"
  std::string SpecialBuild;  // the build's special-build text
  std::string Version;       // the program version, e.g. "1.0.5.57"
  std::string Engine;        // the comparison engine's version
  std::string VPrg;          // Allgemein/Version of the settings file, read at creation
  std::string VSyncPrg;      // "(Speichere mit 2)"
  std::string LegalNotice;
  std::string Comments;
};

// The texts filled at creation. settings_path is Main.sda (missing: version 1);
// speicher_version the collection format that saving writes.
AboutTexte AboutTexteErstellen(const std::string& settings_path, int speicher_version,
                               FileSystem* fs = nullptr);

// VSync at a showing: the format version of the collection last opened or saved, or
// "Keine Daten geladen " (with its blank) while there is none (0).
std::string VSyncText(int sammlungs_version);

}  // namespace zarnoft

#endif  // ZARNOFT_EDITOR_ABOUT_TEXTS_H_
