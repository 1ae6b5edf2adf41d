#include "platform/program_info.h"

#include <unistd.h>

#include <cstring>
#include <vector>

namespace zarnoft {

std::string ProgramDirectory() {
  std::vector<char> buf(4096);
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return "./";
  std::string path(buf.data(), static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string VersionsText(const std::string& programm) {
  return programm + " " + kVersionText + " (" + ProductData::kSpecialBuild + ")\nEngine " +
         ProductData::kEngineVersion + "\n" + ProductData::kLegalNotice + "\n" +
         ProductData::kLicence + "\n";
}

bool IsDebugBuild() {
  return std::strcmp(ProductData::kSpecialBuild, "Debugversion") == 0;
}

}  // namespace zarnoft
