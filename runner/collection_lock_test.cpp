#include "runner/collection_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::TempTree;

TEST(SammlungsSperre, TakesItsOwnLockOnceAndRefusesLinksAndOtherFiles) {
  TempTree t;
  const std::string s = t.Write("s.syc", "[Allgemein]\n");
  {
    SammlungsSperre a, b;
    EXPECT_EQ(a.Sperren(s), SammlungsSperre::Ergebnis::kGesperrt);
    EXPECT_EQ(b.Sperren(s), SammlungsSperre::Ergebnis::kBelegt);
  }
  struct stat st;
  ASSERT_EQ(::lstat((s + ".lock").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  SammlungsSperre wieder;
  EXPECT_EQ(wieder.Sperren(s), SammlungsSperre::Ergebnis::kGesperrt);

  // A link to a file that is not there yet: following it would create that file.
  const std::string u = t.Write("u.syc", "[Allgemein]\n");
  ASSERT_EQ(::symlink(t.Path("nologin").c_str(), (u + ".lock").c_str()), 0);
  SammlungsSperre link;
  EXPECT_EQ(link.Sperren(u), SammlungsSperre::Ergebnis::kFremd);
  EXPECT_FALSE(t.Exists("nologin"));

  const std::string v = t.Write("v.syc", "[Allgemein]\n");
  ASSERT_EQ(::mkfifo((v + ".lock").c_str(), 0600), 0);
  SammlungsSperre fifo;
  EXPECT_EQ(fifo.Sperren(v), SammlungsSperre::Ergebnis::kFremd);
}

TEST(SammlungsSperre, RootMakesTheLockTheOwnersAndTakesNoOtherOne) {
  if (!testing::IstRoot()) GTEST_SKIP() << "braucht root für fremde Besitzer";
  TempTree t;
  const std::string s = t.Write("s.syc", "[Allgemein]\n");
  ASSERT_EQ(::chown(s.c_str(), 65534, 65534), 0);
  {
    SammlungsSperre a;
    EXPECT_EQ(a.Sperren(s), SammlungsSperre::Ergebnis::kGesperrt);
  }
  struct stat st;
  ASSERT_EQ(::lstat((s + ".lock").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
  // A hard link to one of root's files in the owner's place.
  ASSERT_EQ(::unlink((s + ".lock").c_str()), 0);
  const std::string fremd = t.Write("fremd", "root");
  ASSERT_EQ(::link(fremd.c_str(), (s + ".lock").c_str()), 0);
  SammlungsSperre b;
  EXPECT_EQ(b.Sperren(s), SammlungsSperre::Ergebnis::kFremd);
}

}  // namespace
}  // namespace zarnoft
