// Test fixture for the run's decisions: one run's services over a temporary tree with the
// source "h", the target "z" and a move-aside store "lager/" that does not exist yet.
#ifndef ZARNOFT_TESTING_RUN_TEST_KIT_H_
#define ZARNOFT_TESTING_RUN_TEST_KIT_H_

#include <sys/stat.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "copy/copier.h"
#include "engine/run_context.h"
#include "platform/date_time.h"
#include "platform/gui_call.h"
#include "testing/fake_window.h"
#include "testing/recording_log.h"
#include "testing/temp_tree.h"

namespace zarnoft::testing {

struct HookLauf {
  explicit HookLauf(FileSystem* dateisystem = FileSystem::Default())
      : fs(dateisystem), kopierer(fs, &log, &run, true) {
    baum.Mkdir("h");
    baum.Mkdir("z");
    k.Herkunft = baum.Path("h");
    k.Ziel = baum.Path("z");
    k.LoeschenWohin = baum.Path("lager") + "/";
    k.Art = VorgangsArt::kSynchronisieren;
    k.fs = fs;
    k.uhr = &uhr;
    k.log = &log;
    k.fenster = &run;
    k.kopierer = &kopierer;
    k.stop = &stop;
  }

  // Writes a file with a last-write time; returns its full path.
  std::string Datei(const std::string& rel, const std::string& inhalt, FileTime t) {
    std::string p = baum.Write(rel, inhalt);
    SetMtime(p, t);
    return p;
  }
  int64_t Dos(const std::string& rel) const {
    struct stat st;
    if (::lstat(baum.Path(rel).c_str(), &st) != 0) return kDosMissing;
    return DosFromFileTime(FileTime{st.st_mtim.tv_sec, st.st_mtim.tv_nsec});
  }
  // What lstat() says of a path of the tree (an empty FileInfo when there is nothing).
  FileInfo Info(const std::string& rel) const {
    FileInfo i;
    FileSystem::Default()->Stat(baum.Path(rel), &i);
    return i;
  }
  // The logged texts that begin with prefix, in order.
  std::vector<std::string> Zeilen(const std::string& prefix) const {
    std::vector<std::string> r;
    for (auto& t : log.Texts())
      if (t.rfind(prefix, 0) == 0) r.push_back(t);
    return r;
  }

  TempTree baum;
  FileSystem* fs;
  RecordingLog log;
  FakeWindow fenster;
  DirectCaller gui;
  Fortschritt run{&gui, &fenster};
  ManualClock uhr;
  std::atomic<bool> stop{false};
  Kopierer kopierer;
  LaufKontext k;
};

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_RUN_TEST_KIT_H_
