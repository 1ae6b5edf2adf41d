#include "platform/beneath.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include "platform/file_system.h"
#include "testing/swapping_fs.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::Abbild;
using testing::TempTree;
using testing::VerzeichnisTauschen;

// One call of each kind that a run makes on a path inside a directory it listed.
struct Aufruf {
  const char* name;
  std::function<Status(FileSystem*, const std::string& dir)> tun;
};

// The move-aside store beside the listed directory, inside the root.
std::string Lager(const std::string& dir) {
  return dir.substr(0, dir.rfind('/')) + "/lager";
}

Status Geoeffnet(bool ok, Status s) {
  return ok ? Status::Ok() : s;
}

const std::vector<Aufruf>& Aufrufe() {
  static const std::vector<Aufruf> alle = {
      {"DeleteFile", [](FileSystem* fs, const std::string& d) { return fs->DeleteFile(d + "/a"); }},
      {"DeleteUnlockedFile",
       [](FileSystem* fs, const std::string& d) { return fs->DeleteUnlockedFile(d + "/a"); }},
      {"RenameNoReplace (beiseite)",
       [](FileSystem* fs, const std::string& d) {
         return fs->RenameNoReplace(d + "/a", Lager(d) + "/a");
       }},
      {"RenameNoReplace (hinein)",
       [](FileSystem* fs, const std::string& d) {
         return fs->RenameNoReplace(Lager(d) + "/b", d + "/neu");
       }},
      {"RenameReplace",
       [](FileSystem* fs, const std::string& d) { return fs->RenameReplace(d + "/b", d + "/a"); }},
      {"CreateExclusive",
       [](FileSystem* fs, const std::string& d) {
         Status s;
         return Geoeffnet(fs->CreateExclusive(d + "/.a.tmp", 0600, &s) != nullptr, s);
       }},
      {"CreateTruncate",
       [](FileSystem* fs, const std::string& d) {
         Status s;
         return Geoeffnet(fs->CreateTruncate(d + "/a", &s) != nullptr, s);
       }},
      {"OpenForAppend",
       [](FileSystem* fs, const std::string& d) {
         Status s;
         return Geoeffnet(fs->OpenForAppend(d + "/a", true, &s) != nullptr, s);
       }},
      {"OpenForReading",
       [](FileSystem* fs, const std::string& d) {
         Status s;
         return Geoeffnet(fs->OpenForReading(d + "/a", &s) != nullptr, s);
       }},
      {"CreateDirectory",
       [](FileSystem* fs, const std::string& d) { return fs->CreateDirectory(d + "/neu"); }},
      {"RemoveDirectory",
       [](FileSystem* fs, const std::string& d) { return fs->RemoveDirectory(d + "/leer"); }},
      {"CreateSymlink",
       [](FileSystem* fs, const std::string& d) { return fs->CreateSymlink("x", d + "/l"); }},
      {"SetOwner",
       [](FileSystem* fs, const std::string& d) {
         return fs->SetOwner(d + "/a", ProcessUid() == 0 ? 65534 : ProcessUid(), ProcessGid());
       }},
      {"SetMode", [](FileSystem* fs, const std::string& d) { return fs->SetMode(d + "/a", 0777); }},
      {"SetTimes",
       [](FileSystem* fs, const std::string& d) {
         return fs->SetTimes(d + "/a", FileTime{86400, 0}, FileTime{86400, 0});
       }},
      {"Stat",
       [](FileSystem* fs, const std::string& d) {
         FileInfo i;
         return fs->Stat(d + "/a", &i);
       }},
      {"ListDirectory",
       [](FileSystem* fs, const std::string& d) {
         std::vector<FileInfo> e;
         return fs->ListDirectory(d, &e);
       }},
  };
  return alle;
}

// A root `r` with a listed directory `r/sub`, and a directory outside every root that holds
// files of the same names.
struct Baum {
  TempTree t;
  std::string wurzel = t.Mkdir("r");
  std::string sub = t.Path("r/sub");
  std::string draussen = t.Path("draussen");
  Baum() {
    for (const char* basis : {"r/sub", "draussen"}) {
      t.Write(std::string(basis) + "/a", "inhalt");
      t.Write(std::string(basis) + "/b", "b");
      t.Mkdir(std::string(basis) + "/leer");
    }
    t.Write("r/lager/b", "lager");
    ::chmod(t.Path("draussen/a").c_str(), 0600);
  }
};

class Beneath : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { Openat2Erlauben(GetParam()); }
  void TearDown() override { Openat2Erlauben(true); }
};

// The heart of it: once a listed directory is a link, or another directory, no call of any kind
// goes through it, and nothing outside the root changes.
TEST_P(Beneath, NoCallActsThroughADirectorySwappedAfterItsListing) {
  FileSystem* fs = FileSystem::Default();
  for (const bool durch_link : {true, false}) {
    for (const Aufruf& a : Aufrufe()) {
      SCOPED_TRACE(std::string(a.name) + (durch_link ? " (Link)" : " (anderes Verzeichnis)"));
      Baum b;
      const std::string vorher = Abbild(b.draussen);
      Status s;
      std::unique_ptr<RootHold> halt = fs->HoldRoot(b.wurzel, &s);
      ASSERT_TRUE(halt) << s.Reason();
      std::vector<FileInfo> liste;
      ASSERT_TRUE(fs->ListDirectory(b.sub, &liste));
      ASSERT_TRUE(VerzeichnisTauschen(b.sub, durch_link ? b.draussen : ""));
      if (!durch_link) {
        // The new directory holds the same names: only its identity tells it apart.
        b.t.Write("r/sub/a", "neu");
        b.t.Write("r/sub/b", "neu");
        b.t.Mkdir("r/sub/leer");
      }
      const std::string danach_sub = Abbild(b.sub);
      s = a.tun(fs, b.sub);
      EXPECT_TRUE(s.replaced()) << s.Reason();
      EXPECT_EQ(s.Reason(), "Verzeichnis wurde während des Laufs ersetzt");
      EXPECT_EQ(Abbild(b.draussen), vorher);
      EXPECT_EQ(Abbild(b.sub), danach_sub);
      EXPECT_EQ(b.t.Read("r/lager/b"), "lager");
    }
  }
}

// The same once calls have gone through the directory, so that its descriptor is kept open: a
// kept descriptor is no way around the swap, whichever call comes first after it.
TEST_P(Beneath, NoCallActsThroughADirectorySwappedAfterCallsWentThroughIt) {
  FileSystem* fs = FileSystem::Default();
  for (const bool durch_link : {true, false}) {
    for (const Aufruf& a : Aufrufe()) {
      SCOPED_TRACE(std::string(a.name) + (durch_link ? " (Link)" : " (anderes Verzeichnis)"));
      Baum b;
      const std::string vorher = Abbild(b.draussen);
      std::unique_ptr<RootHold> halt = fs->HoldRoot(b.wurzel);
      ASSERT_TRUE(halt);
      std::vector<FileInfo> liste;
      ASSERT_TRUE(fs->ListDirectory(b.sub, &liste));
      FileInfo info;
      ASSERT_TRUE(fs->Stat(b.sub + "/b", &info));
      ASSERT_TRUE(fs->SetTimes(b.sub + "/b", FileTime{86400, 0}, FileTime{86400, 0}));
      ASSERT_TRUE(fs->ListDirectory(b.sub + "/leer", &liste));
      ASSERT_TRUE(fs->Stat(b.sub + "/leer/x", &info).missing());
      ASSERT_TRUE(VerzeichnisTauschen(b.sub, durch_link ? b.draussen : ""));
      if (!durch_link) {
        b.t.Write("r/sub/a", "neu");
        b.t.Write("r/sub/b", "neu");
        b.t.Mkdir("r/sub/leer");
      }
      const std::string danach_sub = Abbild(b.sub);
      const std::string danach_weg = Abbild(b.sub + ".weg");
      Status s = a.tun(fs, b.sub);
      EXPECT_TRUE(s.replaced()) << s.Reason();
      EXPECT_EQ(Abbild(b.draussen), vorher);
      EXPECT_EQ(Abbild(b.sub), danach_sub);
      EXPECT_EQ(Abbild(b.sub + ".weg"), danach_weg);
      EXPECT_EQ(b.t.Read("r/lager/b"), "lager");
      // Nor does a call one level further down, in a directory kept open beneath it.
      EXPECT_FALSE(fs->Stat(b.sub + "/leer/x", &info).ok());
    }
  }
}

TEST_P(Beneath, ALinkOnTheWayIsRefusedEvenBeforeAnyListing) {
  FileSystem* fs = FileSystem::Default();
  Baum b;
  const std::string vorher = Abbild(b.draussen);
  ASSERT_EQ(::symlink(b.draussen.c_str(), b.t.Path("r/link").c_str()), 0);
  std::unique_ptr<RootHold> halt = fs->HoldRoot(b.wurzel);
  ASSERT_TRUE(halt);
  EXPECT_TRUE(fs->DeleteFile(b.t.Path("r/link/a")).replaced());
  EXPECT_TRUE(fs->SetMode(b.t.Path("r/link/a"), 0777).replaced());
  std::vector<FileInfo> e;
  EXPECT_TRUE(fs->ListDirectory(b.t.Path("r/link"), &e).replaced());
  // ".." could climb out of the root.
  EXPECT_FALSE(fs->DeleteFile(b.t.Path("r/sub/../../draussen/a")));
  EXPECT_EQ(Abbild(b.draussen), vorher);
  // The link itself is an entry of the root like any other.
  FileInfo info;
  ASSERT_TRUE(fs->Stat(b.t.Path("r/link"), &info));
  EXPECT_EQ(info.kind, EntryKind::kSymlink);
  EXPECT_TRUE(fs->DeleteFile(b.t.Path("r/link")));
}

// What the run itself does to its directories is no replacement: it creates, removes and renames
// them and lists them again.
TEST_P(Beneath, TheRunsOwnChangesToItsDirectoriesPass) {
  FileSystem* fs = FileSystem::Default();
  Baum b;
  std::unique_ptr<RootHold> halt = fs->HoldRoot(b.wurzel + "/");
  std::vector<FileInfo> e;
  ASSERT_TRUE(fs->ListDirectory(b.wurzel, &e));
  ASSERT_TRUE(fs->ListDirectory(b.sub, &e));
  ASSERT_TRUE(fs->CreateDirectory(b.sub + "/neu"));
  ASSERT_TRUE(fs->CreateDirectory(b.sub + "/neu/tief"));
  ASSERT_TRUE(fs->ListDirectory(b.sub + "/neu", &e));
  ASSERT_TRUE(fs->RenameNoReplace(b.sub, b.t.Path("r/lager/sub")));
  ASSERT_TRUE(fs->CreateDirectory(b.sub));
  EXPECT_TRUE(fs->ListDirectory(b.sub, &e));
  EXPECT_TRUE(fs->CreateDirectory(b.sub + "/neu"));
  EXPECT_TRUE(fs->RemoveDirectory(b.sub + "/neu"));
  EXPECT_TRUE(fs->CreateDirectory(b.sub + "/neu"));
  EXPECT_TRUE(fs->ListDirectory(b.t.Path("r/lager/sub/neu/tief"), &e));
  FileInfo info;
  EXPECT_TRUE(fs->Stat(b.wurzel + "/", &info));
  EXPECT_TRUE(fs->Stat(b.t.Path("r/lager/sub/a"), &info));
  EXPECT_TRUE(fs->IsEnterableDirectory(b.wurzel));
  EXPECT_TRUE(fs->IsEnterableDirectory(b.sub));
  EXPECT_TRUE(fs->Stat(b.sub + "/fehlt/x", &info).missing());
}

INSTANTIATE_TEST_SUITE_P(MitUndOhneOpenat2, Beneath, ::testing::Bool());

// A root belongs to its run's thread: a path beneath it on another thread is a plain path.
TEST(BeneathHold, AppliesToTheThreadThatTookItUntilReleased) {
  FileSystem* fs = FileSystem::Default();
  Baum b;
  ASSERT_EQ(::symlink(b.draussen.c_str(), b.t.Path("r/link").c_str()), 0);
  FileInfo info;
  {
    std::unique_ptr<RootHold> halt = fs->HoldRoot(b.wurzel);
    EXPECT_TRUE(fs->Stat(b.t.Path("r/link/a"), &info).replaced());
    Status anderer;
    std::thread([&] { anderer = fs->Stat(b.t.Path("r/link/a"), &info); }).join();
    EXPECT_TRUE(anderer);
  }
  EXPECT_TRUE(fs->Stat(b.t.Path("r/link/a"), &info));
  Status s;
  EXPECT_FALSE(fs->HoldRoot(b.t.Path("fehlt"), &s));
  EXPECT_TRUE(s.missing());
}

}  // namespace
}  // namespace zarnoft
