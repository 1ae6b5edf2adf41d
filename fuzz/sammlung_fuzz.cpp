// The collection reader on any file: no crash, no job beyond what the file can name, and a
// collection that was read can be saved and read back with a count that matches.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_file.h"
#include "jobs/collection_file.h"
#include "settings/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zarnoft;
  const std::string pfad = fuzz::Datei("s.syc", data, size);
  Sammlung s;
  SammlungsZustand z;
  oeffnen(pfad, &s, &z, {}).AnzahlFehler();
  if (s.Leer()) return 0;
  try {
    SammlungSpeichern(s, &z, {});
  } catch (const IniWriteError&) {
    return 0;  // a value the layout cannot store (a line break from a cut string)
  }
  Sammlung wieder;
  SammlungsZustand z2;
  if (!oeffnen(pfad, &wieder, &z2, {}).AnzahlStimmt || wieder.Anzahl() != s.Anzahl()) std::abort();
  return 0;
}
