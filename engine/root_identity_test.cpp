#include "engine/root_identity.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/reserved_dir.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

TEST(WurzelkennungTest, MadeOnceOwnerOnlyThenKept) {
  testing::TempTree t;
  FileSystem* fs = FileSystem::Default();
  Wurzelkennung a;
  std::string fehler;
  ASSERT_TRUE(WurzelkennungBestimmen(fs, t.root(), &a, &fehler)) << fehler;
  EXPECT_TRUE(a.neu);
  EXPECT_EQ(a.kennung.size(), 32u);
  struct stat st;
  ASSERT_EQ(::stat(t.Path(".zarnoft").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  ASSERT_EQ(::stat(t.Path(".zarnoft/kennung").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);

  Wurzelkennung b;
  ASSERT_TRUE(WurzelkennungBestimmen(fs, t.root(), &b, &fehler)) << fehler;
  EXPECT_FALSE(b.neu);
  EXPECT_EQ(b.kennung, a.kennung);

  // A run killed while making the identity left it empty: a new one is made, never a refusal.
  t.Write(".zarnoft/kennung", "");
  Wurzelkennung leer;
  ASSERT_TRUE(WurzelkennungBestimmen(fs, t.root(), &leer, &fehler)) << fehler;
  EXPECT_TRUE(leer.neu);
  EXPECT_EQ(leer.kennung.size(), 32u);
  EXPECT_NE(leer.kennung, a.kennung);

  testing::TempTree anderer;
  Wurzelkennung c;
  ASSERT_TRUE(WurzelkennungBestimmen(fs, anderer.root(), &c, &fehler));
  EXPECT_NE(c.kennung, a.kennung);
}

// Whatever takes the marker's place and is not the program's own stops the run, and is never
// followed: nothing is read or written through it.
TEST(WurzelkennungTest, MarkersThatAreNotTheProgramsStopTheRun) {
  FileSystem* fs = FileSystem::Default();
  struct Fall {
    const char* was;
    void (*machen)(testing::TempTree& t, testing::TempTree& fremd);
    const char* grund;
  };
  const Fall faelle[] = {
      {"the directory is a link",
       [](testing::TempTree& t, testing::TempTree& fremd) {
         ASSERT_EQ(::symlink(fremd.root().c_str(), t.Path(".zarnoft").c_str()), 0);
       },
       "/.zarnoft ist eine Verknüpfung und wird nicht verfolgt"},
      {"the directory is a file",
       [](testing::TempTree& t, testing::TempTree&) { t.Write(".zarnoft", "x"); },
       "/.zarnoft ist kein Verzeichnis"},
      {"the marker is a link",
       [](testing::TempTree& t, testing::TempTree& fremd) {
         fremd.Write("k", "0123456789abcdef0123456789abcdef\n");
         t.Mkdir(".zarnoft");
         ASSERT_EQ(::symlink(fremd.Path("k").c_str(), t.Path(".zarnoft/kennung").c_str()), 0);
       },
       "/.zarnoft/kennung ist eine Verknüpfung und wird nicht verfolgt"},
      {"the marker is a directory",
       [](testing::TempTree& t, testing::TempTree&) { t.Mkdir(".zarnoft/kennung"); },
       "/.zarnoft/kennung ist keine normale Datei"},
      {"the marker is a FIFO",
       [](testing::TempTree& t, testing::TempTree&) {
         t.Mkdir(".zarnoft");
         ASSERT_EQ(::mkfifo(t.Path(".zarnoft/kennung").c_str(), 0600), 0);
       },
       "/.zarnoft/kennung ist keine normale Datei"},
      {"the marker holds something else",
       [](testing::TempTree& t, testing::TempTree&) { t.Write(".zarnoft/kennung", "../../etc\n"); },
       "/.zarnoft/kennung enthält keine gültige Kennung"},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.was);
    testing::TempTree t;
    testing::TempTree fremd;
    f.machen(t, fremd);
    Wurzelkennung k;
    std::string fehler;
    EXPECT_FALSE(WurzelkennungBestimmen(fs, t.root(), &k, &fehler));
    EXPECT_EQ(fehler, t.root() + f.grund);
    EXPECT_FALSE(fremd.Exists(kKennungName));  // nothing written through a link
  }
  if (testing::IstRoot()) {
    testing::TempTree t;
    t.Write(".zarnoft/kennung", "0123456789abcdef0123456789abcdef\n");
    ASSERT_EQ(::chown(t.Path(".zarnoft/kennung").c_str(), 4321, 4321), 0);
    Wurzelkennung k;
    std::string fehler;
    EXPECT_FALSE(WurzelkennungBestimmen(fs, t.root(), &k, &fehler));
    EXPECT_EQ(fehler, t.Path(".zarnoft/kennung") + " gehört einem anderen Benutzer");
  }
}

// A read-only medium cannot take a marker: it is known by its path, device and top inode.
TEST(WurzelkennungTest, RootThatCannotBeWrittenIsKnownByPathDeviceAndInode) {
  class NurLesen : public FileSystemWrapper {
   public:
    NurLesen() : FileSystemWrapper(FileSystem::Default()) {}
    Status CreateDirectory(const std::string&) override { return Status::FromErrno(EROFS); }
  } fs;
  testing::TempTree t;
  Wurzelkennung k;
  std::string fehler;
  ASSERT_TRUE(WurzelkennungBestimmen(&fs, t.root(), &k, &fehler)) << fehler;
  struct stat st;
  ASSERT_EQ(::stat(t.root().c_str(), &st), 0);
  EXPECT_EQ(k.kennung, "pfad:" + t.root() + " dev " + std::to_string(st.st_dev) + " ino " +
                           std::to_string(st.st_ino));
  EXPECT_FALSE(t.Exists(".zarnoft"));
}

}  // namespace
}  // namespace zarnoft
