// Main.sda on any bytes: the check, and every reader of the settings. A file the check passes
// never gives a deletion mode that the file does not say.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_file.h"
#include "settings/ini_file.h"
#include "settings/main_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zarnoft;
  const std::string pfad = fuzz::Datei("Main.sda", data, size);
  const std::string fehler = EinstellungsDateiFehler(pfad);
  EditorEinstellungen e;
  EinstellungenLesen(pfad, fuzz::Verzeichnis(), &e);
  FensterGeometrieLesen(pfad);
  LogEinstellungenLesen(pfad, fuzz::Verzeichnis());
  DialogEinstellungenLesen(pfad, fuzz::Verzeichnis());
  VersionLesen(pfad);
  if (fehler.empty() && IniFile(pfad).ReadString("Data", "Loeschen", "").empty() == false) {
    int64_t v = 0;
    if (!ParseIniInteger(IniFile(pfad).ReadString("Data", "Loeschen", ""), &v)) std::abort();
  }
  return 0;
}
