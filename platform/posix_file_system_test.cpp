#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/file_system.h"
#include "platform/gui_call.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

TEST(PosixFileSystem, RenameNoReplaceNeverOverwrites) {
  testing::TempTree t;
  FileSystem* fs = FileSystem::Default();
  t.Write("a", "alt");
  t.Write("b", "bleibt");
  EXPECT_FALSE(fs->RenameNoReplace(t.Path("a"), t.Path("b")));
  EXPECT_EQ(t.Read("b"), "bleibt");
  EXPECT_TRUE(fs->RenameNoReplace(t.Path("a"), t.Path("c")));
  EXPECT_EQ(t.Read("c"), "alt");
  EXPECT_FALSE(t.Exists("a"));
}

TEST(PosixFileSystem, ListsKindsWithoutFollowingLinks) {
  testing::TempTree t;
  FileSystem* fs = FileSystem::Default();
  t.Write("datei", "12345");
  t.Mkdir("verz");
  ASSERT_EQ(::symlink("verz", t.Path("link").c_str()), 0);
  ASSERT_EQ(::mkfifo(t.Path("fifo").c_str(), 0600), 0);
  std::vector<FileInfo> list;
  ASSERT_TRUE(fs->ListDirectory(t.root(), &list));
  ASSERT_EQ(list.size(), 4u);
  for (const FileInfo& i : list) {
    if (i.name == "datei") {
      EXPECT_EQ(i.kind, EntryKind::kFile);
      EXPECT_EQ(i.size, 5);
    }
    if (i.name == "verz") {
      EXPECT_EQ(i.kind, EntryKind::kDirectory);
    }
    if (i.name == "link") {
      EXPECT_EQ(i.kind, EntryKind::kSymlink);
    }
    if (i.name == "fifo") {
      EXPECT_EQ(i.kind, EntryKind::kSpecial);
    }
  }
  EXPECT_FALSE(fs->ListDirectory(t.Path("fehlt"), &list));
  // Neither a FIFO (it would block) nor a directory opens as a file.
  EXPECT_EQ(fs->OpenForReading(t.Path("fifo")), nullptr);
  EXPECT_EQ(fs->OpenForReading(t.Path("verz")), nullptr);
  EXPECT_EQ(fs->OpenForReading(t.Path("link")), nullptr);
  EXPECT_TRUE(fs->IsEnterableDirectory(t.Path("verz")));
  EXPECT_FALSE(fs->IsEnterableDirectory(t.Path("datei")));
  EXPECT_TRUE(fs->IsEnterableDirectory(""));  // the empty root is "/"
}

TEST(PosixFileSystem, CopiesDataInChunksAndStopsAtTheEnd) {
  testing::TempTree t;
  FileSystem* fs = FileSystem::Default();
  std::string content(3 << 20, 'x');
  content[12345] = 'y';
  t.Write("q", content);
  auto in = fs->OpenForReading(t.Path("q"));
  auto out = fs->CreateExclusive(t.Path("z"), 0600);
  ASSERT_TRUE(in && out);
  uint64_t copied = 0;
  EXPECT_TRUE(fs->CopyData(in.get(), out.get(), 1000, &copied));
  EXPECT_EQ(copied, 1000u);
  EXPECT_TRUE(fs->CopyData(in.get(), out.get(), UINT64_MAX, &copied));
  EXPECT_EQ(copied, content.size() - 1000);
  EXPECT_TRUE(out->Close());
  EXPECT_EQ(t.Read("z"), content);
  EXPECT_EQ(fs->CreateExclusive(t.Path("z"), 0600), nullptr);  // exclusive
}

TEST(PosixFileSystem, FailuresSayWhetherTheThingIsMissingAndWhy) {
  testing::TempTree t;
  FileSystem* fs = FileSystem::Default();
  t.Write("datei", "x");
  FileInfo info;
  Status fehlt = fs->Stat(t.Path("nichts"), &info);
  EXPECT_TRUE(fehlt.missing());
  EXPECT_EQ(fehlt.Reason(), "Datei oder Verzeichnis nicht gefunden");
  // A path through a file: nothing there either.
  EXPECT_TRUE(fs->Stat(t.Path("datei/unter"), &info).missing());
  Status lang = fs->Stat(t.Path(std::string(300, 'n')), &info);
  EXPECT_TRUE(lang.failed());
  EXPECT_EQ(lang.Reason(), "Der Dateiname ist zu lang");
  Status belegt = fs->CreateDirectory(t.Path("datei"));
  EXPECT_TRUE(belegt.failed());
  EXPECT_EQ(belegt.Reason(), "Die Datei existiert bereits");
  Status s;
  EXPECT_EQ(fs->OpenForReading(t.root(), &s), nullptr);
  EXPECT_EQ(s.Reason(), "Ist ein Verzeichnis");
  EXPECT_TRUE(fs->IsEnterableDirectory(t.Path("datei")).missing());
  EXPECT_EQ(Status::FromErrno(ENOSPC).Reason(),
            "Auf dem Gerät ist kein Speicherplatz mehr verfügbar");
  EXPECT_EQ(Status::FromErrno(4242).Reason(), "Systemfehler 4242");
}

TEST(PosixFileSystem, CopiesKeepHolesAndFindTheLengthOfATrailingHole) {
  testing::TempTree t;
  FileSystem* fs = FileSystem::Default();
  const std::string q = t.Write("q", "");
  {
    int fd = ::open(q.c_str(), O_WRONLY);
    ASSERT_EQ(::pwrite(fd, "anfang", 6, 0), 6);
    ASSERT_EQ(::pwrite(fd, "mitte", 5, 16 << 20), 5);
    ASSERT_EQ(::ftruncate(fd, 40 << 20), 0);  // a hole at the end
    ::close(fd);
  }
  auto in = fs->OpenForReading(q);
  auto out = fs->CreateExclusive(t.Path("z"), 0600);
  ASSERT_TRUE(in && out);
  ASSERT_TRUE(in->MayHaveHoles());
  // In two pieces, as a stepped copy does, the first ending inside a hole.
  uint64_t a = 0, b = 0;
  ASSERT_TRUE(fs->CopyData(in.get(), out.get(), 8 << 20, &a));
  ASSERT_TRUE(fs->CopyData(in.get(), out.get(), UINT64_MAX, &b));
  EXPECT_EQ(a + b, uint64_t{40} << 20);
  ASSERT_TRUE(out->Close());
  struct stat st;
  ASSERT_EQ(::stat(t.Path("z").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 40 << 20);
  EXPECT_LT(st.st_blocks * 512, 1 << 20);
  const std::string z = t.Read("z");
  EXPECT_EQ(z.substr(0, 6), "anfang");
  EXPECT_EQ(z.substr(16 << 20, 5), "mitte");
  EXPECT_EQ(z.find_first_not_of('\0', 6), size_t{16 << 20});
}

TEST(PosixFileSystem, LockedFilesAreNotDeletedAsLeftovers) {
  testing::TempTree t;
  FileSystem* fs = FileSystem::Default();
  auto geschrieben = fs->CreateExclusive(t.Path("wird_geschrieben"), 0600);
  ASSERT_TRUE(geschrieben);
  Status s = fs->DeleteUnlockedFile(t.Path("wird_geschrieben"));
  EXPECT_EQ(s.error(), EAGAIN);
  EXPECT_TRUE(t.Exists("wird_geschrieben"));
  ASSERT_TRUE(geschrieben->Close());
  EXPECT_TRUE(fs->DeleteUnlockedFile(t.Path("wird_geschrieben")));
  EXPECT_FALSE(t.Exists("wird_geschrieben"));
  // Never a directory or what a link points to.
  t.Mkdir("verz");
  ASSERT_EQ(::symlink("verz", t.Path("link").c_str()), 0);
  EXPECT_FALSE(fs->DeleteUnlockedFile(t.Path("verz")));
  EXPECT_FALSE(fs->DeleteUnlockedFile(t.Path("link")));
  EXPECT_TRUE(t.Exists("verz") && t.Exists("link"));
}

TEST(PosixFileSystem, LocationSeesThroughBindMounts) {
  if (!testing::IstRoot()) GTEST_SKIP() << "braucht root zum Einhängen";
  testing::TempTree t;
  FileSystem* fs = FileSystem::Default();
  t.Mkdir("echt/unter");
  t.Mkdir("gebunden");
  testing::Einhaengung bind(t.Path("echt/unter"), t.Path("gebunden"), nullptr, MS_BIND);
  ASSERT_TRUE(bind.ok());
  FsLocation echt, gebunden;
  ASSERT_TRUE(fs->Location(t.Path("echt"), &echt));
  ASSERT_TRUE(fs->Location(t.Path("gebunden"), &gebunden));
  EXPECT_EQ(gebunden.device, echt.device);
  EXPECT_EQ(gebunden.path, echt.path + "/unter");
  EXPECT_TRUE(fs->SyncFileSystem(t.Path("gebunden")));
  EXPECT_TRUE(fs->SyncFileSystem(t.Path("fehlt")).missing());
}

// A wrapper that fails one call: the way tests inject a refused operation.
class NoDelete : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  Status DeleteFile(const std::string&) override { return Status::FromErrno(EPERM); }
};

TEST(FileSystemWrapper, ForwardsAllButTheOverriddenCall) {
  testing::TempTree t;
  NoDelete fs(FileSystem::Default());
  t.Write("x", "1");
  EXPECT_FALSE(fs.DeleteFile(t.Path("x")));
  EXPECT_TRUE(t.Exists("x"));
  FileInfo info;
  EXPECT_TRUE(fs.Stat(t.Path("x"), &info));
  EXPECT_EQ(info.name, "x");
}

TEST(QueueCaller, RunsWorkerCallsOnTheServingThread) {
  QueueCaller q;
  std::thread::id server = std::this_thread::get_id();
  std::atomic<int> done{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 4; ++i) {
    workers.emplace_back([&] {
      for (int k = 0; k < 50; ++k) {
        std::thread::id ran_on;
        q.Call([&] { ran_on = std::this_thread::get_id(); });
        EXPECT_EQ(ran_on, server);
      }
      ++done;
    });
  }
  EXPECT_TRUE(q.ServeUntil([&] { return done == 4; }));
  for (auto& w : workers) w.join();
  int direct = 0;
  q.Call([&] { ++direct; });  // from the serving thread itself: at once
  EXPECT_EQ(direct, 1);
}

}  // namespace
}  // namespace zarnoft
