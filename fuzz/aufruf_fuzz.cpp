// The command lines of both programs: the input's NUL bytes split it into arguments.
#include <cstdint>
#include <string>
#include <vector>

#include "runner/sync_runner.h"
#include "settings/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zarnoft;
  std::vector<std::string> teile{"zarnoft-sync"};
  std::string teil;
  for (size_t i = 0; i < size && teile.size() < 64; ++i) {
    if (data[i] == 0) {
      teile.push_back(teil);
      teil.clear();
    } else {
      teil += static_cast<char>(data[i]);
    }
  }
  teile.push_back(teil);
  std::vector<char*> argv;
  for (std::string& t : teile) argv.push_back(t.data());
  argv.push_back(nullptr);
  SyncOptionen o;
  std::string fehler;
  SyncOptionenLesen(static_cast<int>(teile.size()), argv.data(), &o, &fehler);
  EditorAufrufLesen(static_cast<int>(teile.size()), argv.data());
  return 0;
}
