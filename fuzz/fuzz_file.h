// The fuzz targets' helper: the readers under test read files, so each input is written to a
// file of its own in a temporary directory first.
#ifndef ZARNOFT_FUZZ_FUZZ_FILE_H_
#define ZARNOFT_FUZZ_FUZZ_FILE_H_

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zarnoft::fuzz {

// A directory for the process's life: $TMPDIR/zarnoft-fuzz-<pid>/.
inline const std::string& Verzeichnis() {
  static const std::string dir = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string d = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zarnoft-fuzz-" +
                    std::to_string(::getpid()) + "/";
    std::string cmd = "mkdir -p '" + d + "'";
    if (std::system(cmd.c_str()) != 0) std::abort();
    return d;
  }();
  return dir;
}

// Writes the input to Verzeichnis() + name and returns the path.
inline std::string Datei(const std::string& name, const uint8_t* data, size_t size) {
  const std::string p = Verzeichnis() + name;
  std::FILE* f = std::fopen(p.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  return p;
}

}  // namespace zarnoft::fuzz

#endif  // ZARNOFT_FUZZ_FUZZ_FILE_H_
