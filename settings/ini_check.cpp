#include "settings/ini_check.h"

#include "settings/ini_replace.h"
#include "settings/ini_snapshot.h"

namespace zarnoft {

std::string IniTextFehler(std::string_view text) {
  if (text.empty()) return "ist leer";
  if (text.find('\0') != std::string_view::npos) return "enthält Nullbytes";
  if (text.back() != '\n') return "endet mitten in einer Zeile";
  // Read as the accessor reads it: a file whose lines name no section holds no setting.
  if (IniSnapshot(std::string(text)).SectionNames().empty()) return "enthält keine Abschnittszeile";
  return {};
}

IniDateiZustand IniDateiPruefen(const std::string& path, FileSystem* fs) {
  if (fs == nullptr) fs = FileSystem::Default();
  IniDateiZustand z;
  FileInfo info;
  Status s = fs->Stat(path, &info);
  if (s.missing()) return z;
  z.vorhanden = true;
  if (!s) {
    z.fehler = "kann nicht gelesen werden: " + s.Reason();
    return z;
  }
  std::string text;
  std::string real = path;
  if (info.kind == EntryKind::kSymlink) {
    s = fs->RealPath(path, &real);
    if (s.missing()) {
      z.vorhanden = false;  // a dangling link: no file, the defaults hold
      return z;
    }
  }
  // A directory (or another non-file) in the file's place holds no settings at all; the program
  // says so where it prepares its places and goes on with the defaults, as without a file.
  FileInfo ziel;
  if (s && fs->Stat(real, &ziel).ok() && ziel.kind != EntryKind::kFile) {
    z.vorhanden = false;
    return z;
  }
  if (s) s = fs->ReadWholeFile(real, &text, ini::kMaxFileBytes + 1);
  if (!s) {
    z.fehler = "kann nicht gelesen werden: " + s.Reason();
  } else if (text.size() > ini::kMaxFileBytes) {
    z.fehler = "ist größer als 16 MB";
  } else {
    z.fehler = IniTextFehler(text);
  }
  return z;
}

}  // namespace zarnoft
