// The log rotation's names: the numbered old files of any log path and any count, and the
// rotation header of any settings text.
#include <cstdint>
#include <cstring>
#include <string>

#include "log/rotation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zarnoft;
  if (size < 2) return 0;
  const int n = static_cast<int8_t>(data[0]) * 8;
  const int lart = static_cast<int8_t>(data[1]);
  const std::string ldat(reinterpret_cast<const char*>(data) + 2, size - 2);
  AlteLogdatei(ldat, n);
  AlteLogdatei(ldat, 1);
  RotationsEinstellung e;
  e.ldat = ldat;
  e.lart = lart;
  e.lanz = n;
  e.llev = lart;
  e.programmteil = ldat.substr(0, 8);
  RotationsKopf(e);
  NaechsterZeitpunkt(lart, FileTime{static_cast<int64_t>(n) * 86400 * 97, 0});
  return 0;
}
