// automatisch.txt, the list of collections for automatic runs, on any bytes.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_file.h"
#include "runner/trigger.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zarnoft;
  const std::string liste = fuzz::Datei("automatisch.txt", data, size);
  for (const std::string& p : AutomatikListeLesen(liste, "/home/anna", FileSystem::Default())) {
    if (p.empty() || p[0] != '/') __builtin_trap();
  }
  AutomatikListeLesen(liste, "", FileSystem::Default());
  return 0;
}
