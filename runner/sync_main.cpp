// zarnoft-sync: runs the jobs of a collection without a window, for cron and systemd timers.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/date_time.h"
#include "platform/file_places.h"
#include "platform/program_info.h"
#include "runner/collection_add.h"
#include "runner/sync_runner.h"
#include "runner/trigger.h"

int main(int argc, char** argv) {
  zarnoft::PinTimeZone();
  zarnoft::SyncOptionen o;
  std::string fehler;
  if (!zarnoft::SyncOptionenLesen(argc, argv, &o, &fehler)) {
    std::fprintf(stderr, "zarnoft-sync: %s\nHilfe: zarnoft-sync --help\n", fehler.c_str());
    return zarnoft::kSyncAufruf;
  }
  if (o.hilfe) {
    std::fputs(zarnoft::SyncHilfe(), stdout);
    return zarnoft::kSyncOk;
  }
  if (o.version) {
    std::fputs(zarnoft::VersionsText("zarnoft-sync").c_str(), stdout);
    return zarnoft::kSyncOk;
  }
  if (o.anlegen) {
    std::error_code fehler_ort;
    const std::string hier = std::filesystem::current_path(fehler_ort).string();
    return zarnoft::SammlungAnlegen(o.anlegen_werte, hier, zarnoft::FileSystem::Default(), stdout);
  }
  if (!o.ausloeser.empty()) return zarnoft::AusloeserStarten(o, zarnoft::DateiOrteDesProgramms());
  return zarnoft::SyncAusfuehren(o, zarnoft::DateiOrteDesProgramms());
}
