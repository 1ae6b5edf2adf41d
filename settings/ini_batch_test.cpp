#include "settings/ini_batch.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::TempTree;

TEST(IniBatchTest, ChangesInOrderOnTheFileAsItIsAtCommit) {
  TempTree tree;
  const std::string pfad = tree.Write("b.ini", "; Kopf\r\n[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
  IniBatch b(pfad);
  b.WriteInteger("a", "X", 5);
  b.EraseSection("B");
  b.WriteString("B", "z", " mit Blanks ");
  // Written by someone else after the batch was begun: kept.
  IniFile(pfad).WriteString("C", "k", "v");
  EXPECT_EQ(IniFile(pfad).ReadInteger("A", "x", 0), 1);
  b.Commit();
  EXPECT_EQ(tree.Read("b.ini"),
            "; Kopf\r\n[A]\r\nx=5\r\n[C]\r\nk=v\r\n\r\n[B]\r\nz=\" mit Blanks \"\r\n");
  EXPECT_EQ(IniFile(pfad).ReadString("B", "z", ""), " mit Blanks ");
  EXPECT_THROW(b.WriteString("A", "x", "zwei\nZeilen"), IniWriteError);
  EXPECT_THROW(b.WriteString("A]", "x", "1"), IniWriteError);
}

TEST(IniBatchTest, LeavesFilesAloneThatWouldNotChange) {
  TempTree tree;
  const std::string pfad = tree.Write("u.ini", "[A]\nx=1\n");
  FileSystem* fs = FileSystem::Default();
  ASSERT_TRUE(fs->SetTimes(pfad, FileTime{1000000000, 0}, FileTime{1000000000, 0}));
  IniBatch b(pfad);
  b.WriteInteger("A", "x", 1);
  b.EraseSection("Fehlt");
  b.Commit();
  FileInfo info;
  ASSERT_TRUE(fs->Stat(pfad, &info));
  EXPECT_EQ(info.mtime, (FileTime{1000000000, 0}));

  // Erasing what is not there needs no write access and creates no file.
  ASSERT_TRUE(fs->SetMode(pfad, 0444));
  b.EraseSection("Fehlt");
  b.Commit();
  IniBatch neu(tree.Path("neu.ini"));
  neu.EraseSection("A");
  neu.Commit();
  EXPECT_FALSE(tree.Exists("neu.ini"));
  // An unchanged value on a write-protected file is still reported.
  b.WriteInteger("A", "x", 1);
  EXPECT_THROW(b.Commit(), IniWriteError);
}

TEST(IniBatchTest, FollowsALinkAndKeepsThePermissionBits) {
  TempTree tree;
  const std::string ziel = tree.Write("echt.syc", "[A]\nx=1\n");
  FileSystem* fs = FileSystem::Default();
  ASSERT_TRUE(fs->SetMode(ziel, 0640));
  ASSERT_TRUE(fs->CreateSymlink("echt.syc", tree.Path("link.syc")));
  IniBatch b(tree.Path("link.syc"));
  b.WriteInteger("A", "x", 2);
  b.Commit();
  FileInfo info;
  ASSERT_TRUE(fs->Stat(tree.Path("link.syc"), &info));
  EXPECT_EQ(info.kind, EntryKind::kSymlink);
  EXPECT_EQ(tree.Read("echt.syc"), "[A]\nx=2\n");
  ASSERT_TRUE(fs->Stat(ziel, &info));
  EXPECT_EQ(info.mode & 07777, 0640u);
}

// The last step of a commit fails: the rename that would put the new text in place.
class RenameRefusingFs : public FileSystemWrapper {
 public:
  RenameRefusingFs() : FileSystemWrapper(FileSystem::Default()) {}
  Status RenameReplace(const std::string&, const std::string&) override {
    return Status::FromErrno(EACCES);
  }
};

TEST(IniBatchTest, ARefusedCommitChangesNothingAndEmptiesTheBatch) {
  TempTree tree;
  const std::string text = "[A]\nx=1\n[B]\ny=2\n";
  const std::string pfad = tree.Write("r.ini", text);
  RenameRefusingFs refusing;
  IniBatch b(pfad, &refusing);
  b.WriteInteger("A", "x", 2);
  b.EraseSection("B");
  b.WriteString("C", "z", "neu");
  EXPECT_THROW(b.Commit(), IniWriteError);
  EXPECT_EQ(tree.Read("r.ini"), text);
  std::vector<FileInfo> names;
  ASSERT_TRUE(FileSystem::Default()->ListDirectory(tree.root(), &names));
  EXPECT_EQ(names.size(), 1u);  // no temporary file left

  // Nothing of the refused commit is made later, and a refused record adds nothing.
  IniBatch again(pfad);
  again.WriteInteger("A", "x", 3);
  EXPECT_THROW(again.WriteString("A", "y", "a\r\nb"), IniWriteError);
  again.Commit();
  EXPECT_EQ(tree.Read("r.ini"), "[A]\nx=3\n[B]\ny=2\n");
  b.Commit();
  EXPECT_EQ(tree.Read("r.ini"), "[A]\nx=3\n[B]\ny=2\n");
}

}  // namespace
}  // namespace zarnoft
