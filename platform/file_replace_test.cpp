#include "platform/file_replace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "platform/path_helpers.h"
#include "platform/temp_name.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::TempTree;

struct stat Lstat(const std::string& p) {
  struct stat st {};
  ::lstat(p.c_str(), &st);
  return st;
}

Status Ersetzen(const std::string& path, const std::string& text,
                FileSystem* fs = FileSystem::Default()) {
  FileInfo alt;
  const bool da = fs->Stat(path, &alt).ok();
  return TextErsetzen(fs, path, da ? &alt : nullptr, text);
}

// Notes the calls that decide whether a new text survives a power cut, in their order, and
// can refuse giving a file away.
class Mitschrift : public FileSystemWrapper {
 public:
  Mitschrift() : FileSystemWrapper(FileSystem::Default()) {}
  std::vector<std::string> folge;
  bool besitz_verweigern = false;

  class Datei : public WritableFile {
   public:
    Datei(std::unique_ptr<WritableFile> f, Mitschrift* m) : f_(std::move(f)), m_(m) {}
    Status Write(const char* d, size_t n) override {
      m_->folge.push_back("write");
      return f_->Write(d, n);
    }
    Status Sync() override {
      m_->folge.push_back("sync");
      return f_->Sync();
    }
    Status Close() override { return f_->Close(); }
    Status SetMode(uint32_t m) override { return f_->SetMode(m); }
    Status SetOwner(uint32_t u, uint32_t g) override {
      return m_->besitz_verweigern ? Status::FromErrno(EPERM) : f_->SetOwner(u, g);
    }

   private:
    std::unique_ptr<WritableFile> f_;
    Mitschrift* m_;
  };

  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m,
                                                Status* s) override {
    auto f = FileSystemWrapper::CreateExclusive(p, m, s);
    return f ? std::make_unique<Datei>(std::move(f), this) : nullptr;
  }
  Status SetOwner(const std::string& p, uint32_t u, uint32_t g) override {
    return besitz_verweigern ? Status::FromErrno(EPERM) : FileSystemWrapper::SetOwner(p, u, g);
  }
  Status RenameReplace(const std::string& f, const std::string& t) override {
    folge.push_back("rename");
    return FileSystemWrapper::RenameReplace(f, t);
  }
  Status RenameNoReplace(const std::string& f, const std::string& t) override {
    folge.push_back("rename");
    return FileSystemWrapper::RenameNoReplace(f, t);
  }
  Status SyncDirectory(const std::string& d) override {
    folge.push_back("syncdir");
    return FileSystemWrapper::SyncDirectory(d);
  }
};

TEST(TextErsetzenTest, NewTextIsOnTheDiskBeforeTheRename) {
  TempTree t;
  const std::string p = t.Write("s.syc", "[Allgemein]\n");
  ::chmod(p.c_str(), 0640);
  Mitschrift m;
  ASSERT_TRUE(Ersetzen(p, "[Allgemein]\nAnzahl=0\n", &m));
  EXPECT_EQ(m.folge, (std::vector<std::string>{"write", "sync", "rename", "syncdir"}));
  EXPECT_EQ(t.Read("s.syc"), "[Allgemein]\nAnzahl=0\n");
  EXPECT_EQ(Lstat(p).st_mode & 07777, 0640u);
  EXPECT_EQ(t.Names(""), std::vector<std::string>{"s.syc"});

  // A new file: the same, with a rename that keeps a file that appeared meanwhile.
  m.folge.clear();
  ASSERT_TRUE(Ersetzen(t.Path("neu.sda"), "[Form]\n", &m));
  EXPECT_EQ(m.folge, (std::vector<std::string>{"write", "sync", "rename", "syncdir"}));
  EXPECT_EQ(t.Read("neu.sda"), "[Form]\n");
}

TEST(TextErsetzenTest, AFileWithSeveralNamesIsUpdatedInPlace) {
  TempTree t;
  const std::string p = t.Write("a/s.syc", "[Allgemein]\nAnzahl=12\nlang und alt\n");
  const std::string zweit = t.Path("b.syc");
  ASSERT_EQ(::link(p.c_str(), zweit.c_str()), 0);
  const ino_t ino = Lstat(p).st_ino;
  Mitschrift m;
  ASSERT_TRUE(Ersetzen(p, "[Allgemein]\nAnzahl=1\n", &m));
  EXPECT_TRUE(m.folge.empty());  // no temporary file, no rename
  EXPECT_EQ(Lstat(p).st_ino, ino);
  EXPECT_EQ(Lstat(p).st_nlink, 2u);
  EXPECT_EQ(t.Read("b.syc"), "[Allgemein]\nAnzahl=1\n");  // cut to the new length
  EXPECT_EQ(t.Names("a"), std::vector<std::string>{"s.syc"});
}

TEST(TextErsetzenTest, KeepsTheOwnerOrUpdatesInPlaceWhereItCannot) {
  TempTree t;
  const std::string p = t.Write("s.syc", "alt\n");
  if (testing::IstRoot()) {
    // Root writing a user's collection (a system timer): the file stays the user's.
    ASSERT_EQ(::chown(p.c_str(), 4242, 4343), 0);
    ::chmod(p.c_str(), 0604);
    ASSERT_TRUE(Ersetzen(p, "neu\n"));
    EXPECT_EQ(Lstat(p).st_uid, 4242u);
    EXPECT_EQ(Lstat(p).st_gid, 4343u);
    EXPECT_EQ(Lstat(p).st_mode & 07777, 0604u);
    EXPECT_EQ(t.Read("s.syc"), "neu\n");
  }
  // A file that the writer cannot give its owner back to (another user's file open to his
  // group): a rename would make it the writer's, so it is changed in place.
  Mitschrift m;
  m.besitz_verweigern = true;
  FileInfo alt;
  ASSERT_TRUE(FileSystem::Default()->Stat(p, &alt));
  alt.uid = ProcessUid() + 1;
  const ino_t ino = Lstat(p).st_ino;
  ASSERT_TRUE(TextErsetzen(&m, p, &alt, "dritt\n"));
  EXPECT_EQ(Lstat(p).st_ino, ino);
  EXPECT_EQ(t.Read("s.syc"), "dritt\n");
  EXPECT_EQ(t.Names(""), std::vector<std::string>{"s.syc"});
}

TEST(TextErsetzenTest, RemovesItsOwnStaleTemporaryFilesOnly) {
  TempTree t;
  FileSystem* fs = FileSystem::Default();
  const std::string p = t.Write("Main.sda", "[Allgemein]\n");
  const std::string alt_neu = KopierTempName(p, 1);                // a killed writer's, this form
  const std::string alt_frueher = t.Path(".Main.sda.1f2e.tmp");    // the older form
  const std::string anderer = KopierTempName(t.Path("x.syc"), 2);  // another file's
  const std::string aehnlich = t.Path(".Main.sda.zarnoft-000000000000");  // a user's file
  const std::string jung = KopierTempName(p, 4);  // a writer's that is about to rename it
  for (const std::string& f : {alt_neu, alt_frueher, anderer, aehnlich, jung}) {
    t.Write(NamePart(f), "x");
    if (f != jung) testing::SetMtime(f, FileTime{std::time(nullptr) - 3600, 0});
  }
  // A writer of the same file that is still at work holds its file's lock.
  const std::string lebend = KopierTempName(p, 3);
  std::unique_ptr<WritableFile> offen = fs->CreateExclusive(lebend, 0600);
  ASSERT_TRUE(offen);
  testing::SetMtime(lebend, FileTime{std::time(nullptr) - 3600, 0});

  ASSERT_TRUE(Ersetzen(p, "[Allgemein]\nVersion=1\n"));
  std::vector<std::string> bleiben{NamePart(aehnlich), NamePart(lebend), NamePart(anderer),
                                   NamePart(jung), "Main.sda"};
  std::sort(bleiben.begin(), bleiben.end());
  EXPECT_EQ(t.Names(""), bleiben);
}

TEST(TextErsetzenTest, AFailureLeavesTheOldFileAndNoTemporaryFile) {
  TempTree t;
  const std::string p = t.Write("s.syc", "alt\n");
  struct SyncFehlt : Mitschrift {
    std::unique_ptr<WritableFile> CreateExclusive(const std::string& pf, uint32_t m,
                                                  Status* s) override {
      struct Voll : Datei {
        using Datei::Datei;
        Status Sync() override { return Status::FromErrno(ENOSPC); }
      };
      auto f = FileSystemWrapper::CreateExclusive(pf, m, s);
      return f ? std::make_unique<Voll>(std::move(f), this) : nullptr;
    }
  } fs;
  const Status s = Ersetzen(p, "neu\n", &fs);
  EXPECT_EQ(s.error(), ENOSPC);
  EXPECT_EQ(t.Read("s.syc"), "alt\n");
  EXPECT_EQ(t.Names(""), std::vector<std::string>{"s.syc"});
}

}  // namespace
}  // namespace zarnoft
