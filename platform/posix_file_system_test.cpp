#include <sys/stat.h>
#include <unistd.h>

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

// A wrapper that fails one call: the way tests inject a refused operation.
class NoDelete : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  bool DeleteFile(const std::string&) override { return false; }
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
