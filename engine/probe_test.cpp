// A probe run is the real run's plan: over generated tree pairs of every kind, policy and deletion
// mode, the actions a probe reports are exactly those the real run then carries out, and the
// probe leaves every file as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/comparison.h"
#include "testing/tree_pair_kit.h"

namespace zarnoft {
namespace {

using testing::Abbild;
using testing::Liste;
using testing::Paar;

TEST(ProbelaufTest, ListsExactlyWhatTheRealRunThenDoesAndChangesNothing) {
  const uint32_t start = 20261208;
  const int paare = 240;
  std::set<std::string> arten;
  for (int i = 0; i < paare; ++i) {
    const uint32_t seed = start + static_cast<uint32_t>(i);
    Paar p(seed);
    const auto vorher = Abbild(p.baum.root());
    Liste probe;
    p.Laufen(true, &probe);
    ASSERT_EQ(Abbild(p.baum.root()), vorher) << "Probelauf hat etwas geändert, seed " << seed;
    Liste echt;
    p.Laufen(false, &echt);
    ASSERT_EQ(probe.zeilen, echt.zeilen)
        << "seed " << seed << ", Art " << Zahl(p.w.Art) << ", Doppelt " << p.w.Doppelt
        << ", Loeschen " << Zahl(p.w.Loeschen);
    ASSERT_TRUE(echt.fehler.empty() || p.w.Doppelt == 0)
        << "seed " << seed << ": " << echt.fehler[0];
    for (const std::string& z : echt.zeilen) arten.insert(z.substr(0, z.find(" > ")));
  }
  // The pairs met every kind of action.
  EXPECT_EQ(arten, (std::set<std::string>{"anlegen", "archivieren", "auslagern", "beide behalten",
                                          "belassen", "kopieren", "löschen", "nachfragen"}));
}

}  // namespace
}  // namespace zarnoft
