// Facts about the running program: its directory and its product data.
#ifndef ZARNOFT_PLATFORM_PROGRAM_INFO_H_
#define ZARNOFT_PLATFORM_PROGRAM_INFO_H_

#include <string>

#include "platform/version.h"

namespace zarnoft {

// The directory of the running program file (from /proc/self/exe) with its trailing "/".
// The settings file Main.sda, the default log file and the default move-aside folder lie there.
std::string ProgramDirectory();

// The product data shown in the about box.
struct ProductData {
  static constexpr const char* kName = "Zarnoft - Editor";
  static constexpr const char* kProductVersion = kProductVersionText;  // "1"
  static constexpr const char* kVersion = kMinorVersionText;           // "0.5"
  static constexpr int kBuild = kVersionBuild;                         // 57
  static constexpr const char* kEngineVersion = "1.1.5.5";
  static constexpr const char* kLegalNotice = "Copyright (c) 2026 Zarnoft-Entwickler";
  // The comment names the licence, since the box has no room for a line of its own.
  static constexpr const char* kComment =
      "Hält Verzeichnispaare abgeglichen. Freie Software unter der GNU GPL, Version 3 oder "
      "neuer; ohne jede Gewähr.";
  // What `--version` says of the licence (the full text is in LICENSE, installed as
  // /usr/share/common-licenses/GPL-3 on Debian).
  static constexpr const char* kLicence =
      "Lizenz GPL-3.0-or-later: GNU GPL, Version 3 oder neuer "
      "<https://www.gnu.org/licenses/gpl-3.0.html>.\n"
      "Dies ist freie Software: Sie dürfen sie ändern und weitergeben.\n"
      "Es gibt keine Gewähr, soweit das Gesetz es zulässt.";
  // A build setting; only "Debugversion" unlocks the log levels 8 and 9.
  static constexpr const char* kSpecialBuild = kSpecialBuildText;
};

// What `--version` prints: the program's name and version with the special-build text, the
// engine version, the legal notice and the licence, one a line.
std::string VersionsText(const std::string& programm);

// Whether this is the debug build (special-build text exactly "Debugversion").
bool IsDebugBuild();

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_PROGRAM_INFO_H_
