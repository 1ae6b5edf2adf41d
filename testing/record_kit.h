// Test helper: a record of the last run written by hand, so that a walk may delete what it
// lists (a two-way run deletes only names its record of the last run knows).
#ifndef ZARNOFT_TESTING_RECORD_KIT_H_
#define ZARNOFT_TESTING_RECORD_KIT_H_

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/run_record.h"
#include "platform/file_system.h"

namespace zarnoft::testing {

// Writes at `pfad` a record that lists `namen` (paths below the roots, their directories with
// them) as the roots `h` and `z` hold them now, and opens it in `stand`; a side that lacks a
// name is recorded with the other's look.
inline void StandMit(StandLeser* stand, const std::string& pfad, const std::string& h_wurzel,
                     const std::string& z_wurzel, const std::vector<std::string>& namen) {
  std::map<std::string, std::set<std::string>> baum_namen;  // directory -> names in it
  for (const std::string& n : namen) {
    std::string dir;
    std::string rest = n;
    for (size_t p; (p = rest.find('/')) != std::string::npos; rest = rest.substr(p + 1)) {
      baum_namen[dir].insert(rest.substr(0, p));
      dir += (dir.empty() ? "" : "/") + rest.substr(0, p);
    }
    baum_namen[dir].insert(rest);
  }
  StandSchreiber w;
  ASSERT_TRUE(w.Beginnen(pfad, StandPaar{"h", "z"}).ok());
  std::function<uint64_t(const std::string&)> block = [&](const std::string& dir) {
    std::vector<StandEintrag> eintraege;
    for (const std::string& name : baum_namen[dir]) {
      const std::string rel = dir.empty() ? name : dir + "/" + name;
      FileInfo h;
      FileInfo z;
      const bool hda = FileSystem::Default()->Stat(h_wurzel + "/" + rel, &h).ok();
      const bool zda = FileSystem::Default()->Stat(z_wurzel + "/" + rel, &z).ok();
      if (!hda) h = z;
      if (!zda) z = h;
      StandEintrag e;
      e.name = name;
      e.art = h.kind;
      e.size = h.IsDirectory() ? 0 : h.size;
      e.h = SeiteVon(h, true);
      e.z = SeiteVon(z, true);
      if (h.IsDirectory()) {
        e.h.ctime = e.z.ctime = FileTime{};
        e.block = block(rel);
      }
      eintraege.push_back(e);
    }
    return w.BlockSchreiben(eintraege);
  };
  ASSERT_TRUE(w.Abschliessen(block("")).ok());
  std::string grund;
  ASSERT_TRUE(stand->Oeffnen(pfad, StandPaar{"h", "z"}, &grund).ok()) << grund;
}

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_RECORD_KIT_H_
