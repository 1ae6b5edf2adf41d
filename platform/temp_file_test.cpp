#include "platform/temp_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/path_helpers.h"
#include "platform/temp_name.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::TempTree;

// Fails the renames and the directory flush on request and notes the calls that put a file in
// place.
class Seam : public FileSystemWrapper {
 public:
  Seam() : FileSystemWrapper(FileSystem::Default()) {}
  std::vector<std::string> folge;
  int rename_fehler = 0;

  Status RenameReplace(const std::string& f, const std::string& t) override {
    folge.push_back("rename");
    if (rename_fehler != 0) return Status::FromErrno(rename_fehler);
    return FileSystemWrapper::RenameReplace(f, t);
  }
  Status RenameNoReplace(const std::string& f, const std::string& t) override {
    folge.push_back("rename-neu");
    if (rename_fehler != 0) return Status::FromErrno(rename_fehler);
    return FileSystemWrapper::RenameNoReplace(f, t);
  }
  Status SyncDirectory(const std::string& d) override {
    folge.push_back("syncdir " + d);
    return FileSystemWrapper::SyncDirectory(d);
  }
};

Status Schreiben(WritableFile* f, const std::string& text) {
  Status s = f->Write(text.data(), text.size());
  Status c = f->Close();
  return s ? c : s;
}

TEST(TempDateiTest, WrittenBesideItsNameAndPutInPlaceOrRemovedOnEveryOtherWay) {
  TempTree t;
  const std::string ziel = t.Write("d/brief.txt", "alt");
  Seam fs;
  {
    TempDatei tmp(&fs, ziel);
    Status s;
    auto f = tmp.DateiAnlegen(0600, &s);
    ASSERT_TRUE(f) << s.Reason();
    EXPECT_TRUE(IstKopierTempNameVon(NamePart(tmp.name()), "brief.txt"));
    EXPECT_EQ(DirectoryPart(tmp.name()), t.Path("d/"));
    ASSERT_TRUE(Schreiben(f.get(), "neu"));
    EXPECT_EQ(t.Read("d/brief.txt"), "alt");  // nothing under the real name until the rename
    ASSERT_TRUE(tmp.Ersetzen());
    EXPECT_TRUE(tmp.name().empty());
    EXPECT_TRUE(tmp.VerzeichnisSichern());
  }
  EXPECT_EQ(t.Read("d/brief.txt"), "neu");
  EXPECT_EQ(fs.folge, (std::vector<std::string>{"rename", "syncdir " + t.Path("d/")}));

  // A rename that fails, a name that is taken, and an object that is let go: the old file and
  // nothing else.
  fs.rename_fehler = EIO;
  {
    TempDatei tmp(&fs, ziel);
    Status s;
    auto f = tmp.DateiAnlegen(0600, &s);
    ASSERT_TRUE(f && Schreiben(f.get(), "nie"));
    EXPECT_EQ(tmp.Ersetzen().error(), EIO);
    EXPECT_FALSE(tmp.name().empty());
  }
  fs.rename_fehler = 0;
  {
    TempDatei tmp(&fs, ziel);
    Status s;
    auto f = tmp.DateiAnlegen(0600, &s);
    ASSERT_TRUE(f && Schreiben(f.get(), "zweit"));
    EXPECT_EQ(tmp.Einsetzen(ziel).error(), EEXIST);
    ASSERT_TRUE(tmp.Einsetzen(t.Path("d/brief (2).txt")));
  }
  {
    TempDatei tmp(&fs, ziel);
    ASSERT_TRUE(tmp.Anlegen(
        [](const std::string& n) { return FileSystem::Default()->CreateSymlink("brief.txt", n); }));
  }
  EXPECT_EQ(t.Read("d/brief.txt"), "neu");
  EXPECT_EQ(t.Read("d/brief (2).txt"), "zweit");
  EXPECT_EQ(t.Names("d"), (std::vector<std::string>{"brief (2).txt", "brief.txt"}));
}

TEST(TempDateiTest, ATakenNameGetsAnotherButARefusingDirectoryFailsAtOnce) {
  TempTree t;
  const std::string ziel = t.Path("brief.txt");
  TempDatei tmp(FileSystem::Default(), ziel);
  std::vector<std::string> versucht;
  Status s = tmp.Anlegen([&](const std::string& n) {
    versucht.push_back(n);
    if (versucht.size() < 3) {
      t.Write(NamePart(n), "fremd");  // another writer's file under that name
      return Status::FromErrno(EEXIST);
    }
    return FileSystem::Default()->CreateSymlink("x", n);
  });
  ASSERT_TRUE(s);
  EXPECT_EQ(versucht.size(), 3u);
  EXPECT_EQ(tmp.name(), versucht[2]);
  EXPECT_NE(versucht[0], versucht[1]);

  TempDatei verweigert(FileSystem::Default(), t.Path("fehlt/brief.txt"));
  int versuche = 0;
  s = verweigert.Anlegen([&](const std::string&) {
    ++versuche;
    return Status::FromErrno(ENOENT);
  });
  EXPECT_EQ(s.error(), ENOENT);
  EXPECT_EQ(versuche, 1);
  EXPECT_TRUE(verweigert.name().empty());

  // A file system that gives neither a file nor a reason counts as failed, not as written.
  class Stumm : public FileSystemWrapper {
   public:
    Stumm() : FileSystemWrapper(FileSystem::Default()) {}
    std::unique_ptr<WritableFile> CreateExclusive(const std::string&, uint32_t,
                                                  Status* st) override {
      *st = Status::Ok();
      return nullptr;
    }
  } stumm;
  TempDatei leer(&stumm, ziel);
  EXPECT_FALSE(leer.DateiAnlegen(0600, &s));
  EXPECT_EQ(s.error(), EIO);
}

}  // namespace
}  // namespace zarnoft
