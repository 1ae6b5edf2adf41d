// Whether a stored file is INI text at all. The accessor reads whatever it finds and falls back
// to each reader's default, which is right for a missing file or key but wrong for a file that
// a crash, a full disk or a bad copy damaged: Main.sda of zero bytes would turn "move aside"
// into "delete" without a word. A file that exists is checked before it is trusted.
//
// Any thread; no state.
#ifndef ZARNOFT_SETTINGS_INI_CHECK_H_
#define ZARNOFT_SETTINGS_INI_CHECK_H_

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace zarnoft {

// Why `text` (a whole file) is no INI text, in German ("ist leer", "enthält Nullbytes", "enthält
// keine Abschnittszeile", "endet mitten in einer Zeile"); empty when it is. Every file this
// program writes ends with a line end, so a file that does not was cut off.
std::string IniTextFehler(std::string_view text);

// What a stored INI file is. A missing file is no damage: its readers take their defaults; nor is
// a directory in its place, which holds no file to trust (the program reports it elsewhere).
struct IniDateiZustand {
  bool vorhanden = false;
  std::string fehler;  // empty: readable INI text (or missing)
  bool Beschaedigt() const { return !fehler.empty(); }
};

// Reads the file at `path` (a link followed) and checks it: unreadable, larger than the
// accessor reads, or IniTextFehler. fs nullptr: the real file system.
IniDateiZustand IniDateiPruefen(const std::string& path, FileSystem* fs = nullptr);

}  // namespace zarnoft

#endif  // ZARNOFT_SETTINGS_INI_CHECK_H_
