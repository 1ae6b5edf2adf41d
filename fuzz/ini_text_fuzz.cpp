// The INI accessor's text side: looking keys up, changing and removing them, reading a snapshot
// and checking whether a text is INI text at all, on any bytes. A change must read back as what
// was written, and the rest of the file must stay readable.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/ini_check.h"
#include "settings/ini_snapshot.h"
#include "settings/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zarnoft;
  const std::string text(reinterpret_cast<const char*>(data), size);
  IniTextFehler(text);
  const IniSnapshot snap(text);
  for (const std::string& s : snap.SectionNames()) snap.ReadString(s, "Herkunft", "");
  snap.ReadInteger("Allgemein", "Anzahl", 0);
  std::string_view v;
  ini::FindValue(text, "Data", "Loeschen", &v);
  const std::string neu = ini::SetValue(text, "Data", "Loeschen", "3");
  if (!ini::FindValue(neu, "Data", "Loeschen", &v) || v != "3") std::abort();
  bool gefunden = false;
  const std::string ohne = ini::RemoveSection(neu, "Data", &gefunden);
  if (!gefunden || ini::ContainsSection(ohne, "Data")) std::abort();
  ini::CutToCharacters(text, 1023);
  return 0;
}
