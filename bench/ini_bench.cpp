// Writes a 100-job collection's worth of keys (100 sections "Vorgang n" with 15 keys each)
// through the settings accessor, overwrites them once more, reads them all back and prints the
// times. Every write rewrites the whole file, so this is the worst case of saving a collection.
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "settings/ini_file.h"

namespace {

constexpr int kSections = 100;
const char* const kKeys[] = {
    "Booten", "Herunterfahren", "Idle",    "Herkunft", "Ziel",    "Unterverzeichnisse",
    "Art",    "Doppelt",        "Zaehler", "ZaehlArt", "AufrufT", "AufrufS",
    "Zeiten", "Notiz",          "Kennung"};

std::string Value(int n, int k, int pass) {
  if (k == 3) return "/home/nutzer/Dokumente/Quelle " + std::to_string(n);
  if (k == 4) return "/media/stick/Ziel " + std::to_string(n);
  return std::to_string(n * 100 + k + pass);
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double WriteAll(const std::string& path, int pass) {
  auto start = std::chrono::steady_clock::now();
  zarnoft::IniFile ini(path);
  for (int n = 1; n <= kSections; ++n) {
    const std::string section = "Vorgang " + std::to_string(n);
    for (int k = 0; k < 15; ++k) ini.WriteString(section, kKeys[k], Value(n, k, pass));
  }
  return Seconds(start);
}

// The same number of whole-file replacements of the same sizes, straight through the file
// system and with no INI work: the floor that the disk sets for any atomic rewrite.
double ReplaceOnly(const std::string& dir, const std::string& final_text) {
  zarnoft::FileSystem* fs = zarnoft::FileSystem::Default();
  const std::string target = dir + "/roh.syc";
  const std::string tmp = dir + "/.roh.syc.tmp";
  const int n = kSections * 15;
  auto start = std::chrono::steady_clock::now();
  for (int i = 1; i <= n; ++i) {
    auto f = fs->CreateExclusive(tmp, 0666);
    if (!f) return -1;
    const size_t size = final_text.size() * static_cast<size_t>(i) / static_cast<size_t>(n);
    bool ok = f->Write(final_text.data(), size).ok();
    ok = f->Close().ok() && ok;
    if (!ok || !fs->RenameReplace(tmp, target).ok()) return -1;
  }
  const double t = Seconds(start);
  fs->DeleteFile(target);
  return t;
}

}  // namespace

int main() {
  const char* base = getenv("TMPDIR");
  std::string dir = std::string(base && *base ? base : "/tmp") + "/zarnoft-bench-XXXXXX";
  if (mkdtemp(dir.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string path = dir + "/bench.syc";
  int errors = 0;
  try {
    const double first = WriteAll(path, 0);
    const double second = WriteAll(path, 1);

    auto start = std::chrono::steady_clock::now();
    zarnoft::IniFile ini(path);
    for (int n = 1; n <= kSections; ++n) {
      const std::string section = "Vorgang " + std::to_string(n);
      for (int k = 0; k < 15; ++k) {
        if (ini.ReadString(section, kKeys[k], "") != Value(n, k, 1)) ++errors;
      }
    }
    const double read = Seconds(start);
    std::string final_text;
    zarnoft::FileSystem::Default()->ReadWholeFile(path, &final_text);
    const double floor = ReplaceOnly(dir, final_text);

    std::printf("ini_bench: %d Schluessel in %d Sektionen\n", kSections * 15, kSections);
    std::printf("  schreiben (neue Datei):     %.3f s\n", first);
    std::printf("  schreiben (ueberschreiben): %.3f s\n", second);
    std::printf("  lesen:                      %.3f s\n", read);
    std::printf("  nur Dateiersatz, ohne INI:  %.3f s  (%s, %zu Bytes am Ende)\n", floor,
                dir.c_str(), final_text.size());
    if (errors != 0) std::printf("  FEHLER: %d Werte falsch gelesen\n", errors);
  } catch (const std::exception& e) {
    std::printf("ini_bench: %s\n", e.what());
    errors = 1;
  }
  unlink(path.c_str());
  rmdir(dir.c_str());
  return errors == 0 ? 0 : 1;
}
