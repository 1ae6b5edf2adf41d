#include "platform/path_helpers.h"

namespace zarnoft {

std::string StripTrailingSlash(const std::string& path) {
  if (!path.empty() && path.back() == '/') return path.substr(0, path.size() - 1);
  return path;
}

std::string WithTrailingSlash(const std::string& path) {
  if (!path.empty() && path.back() == '/') return path;
  return path + '/';
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return WithTrailingSlash(dir) + name;
}

std::string TrimmedWithHome(const std::string& text, const std::string& home) {
  const char* leer = " \t\r\n";
  const size_t a = text.find_first_not_of(leer);
  if (a == std::string::npos) return "";
  const std::string p = text.substr(a, text.find_last_not_of(leer) - a + 1);
  if (home.empty()) return p;
  if (p == "~") return home;
  if (p.rfind("~/", 0) == 0) return JoinPath(home, p.substr(2));
  return p;
}

std::string DirectoryPart(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string NamePart(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string NumberedPath(const std::string& path, int n) {
  if (n <= 1) return path;
  const size_t name = path.rfind('/') + 1;  // npos + 1 == 0
  size_t punkt = path.rfind('.');
  if (punkt == std::string::npos || punkt <= name) punkt = path.size();
  return path.substr(0, punkt) + " (" + std::to_string(n) + ")" + path.substr(punkt);
}

std::string ShortenPathToWidth(const std::string& path, int width, const TextMeasure& measure) {
  if (measure(path) <= width) return path;
  // Positions below are 1-based as in the description of the routine; L is the length.
  const size_t L = path.size();
  auto at = [&](size_t pos) { return path[pos - 1]; };
  // Head end h: the first "/" from position 3 on, else L.
  size_t h = L;
  for (size_t i = 3; i <= L; ++i) {
    if (at(i) == '/') {
      h = i;
      break;
    }
  }
  // Nothing after the head to leave out ("/Sehrlangername"): the last element stays whole.
  if (h == L) return path;
  // Last cut c: searching down from L - 1 for a "/", stopping at h.
  size_t c = h;
  for (size_t i = L >= 1 ? L - 1 : 0; i > h; --i) {
    if (at(i) == '/') {
      c = i;
      break;
    }
  }
  auto candidate = [&](size_t from) { return path.substr(0, h) + ".." + path.substr(from - 1); };
  size_t b = c;
  for (;;) {
    size_t p = h;
    for (size_t i = b - 1; i > h; --i) {
      if (at(i) == '/') {
        p = i;
        break;
      }
    }
    if (p > h && measure(candidate(p)) <= width) {
      b = p;
    } else {
      break;
    }
  }
  return candidate(b);
}

bool CreateDirectoryPath(const std::string& path, FileSystem* fs) {
  if (fs == nullptr) fs = FileSystem::Default();
  // The root "/" itself is never created; the levels below it are, top-down.
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      std::string prefix = path.substr(0, i);
      if (!prefix.empty() && prefix.back() != '/' && !fs->IsEnterableDirectory(prefix))
        fs->CreateDirectory(prefix);
    }
  }
  return !path.empty() && fs->IsEnterableDirectory(path);
}

}  // namespace zarnoft
