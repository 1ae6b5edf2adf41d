#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <string>
#include <vector>

#include "settings/ini_text.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::TempTree;

FileSystem* Fs() {
  return FileSystem::Default();
}

// Names in the directory, so that a test can see that no temporary file was left behind.
std::vector<std::string> Names(const std::string& dir) {
  std::vector<FileInfo> entries;
  Fs()->ListDirectory(dir, &entries);
  std::vector<std::string> names;
  for (const FileInfo& e : entries) names.push_back(e.name);
  return names;
}

TEST(ParseIniIntegerTest, EncodingsOfTheLayout) {
  struct Case {
    const char* text;
    bool ok;
    int64_t value;
  } cases[] = {
      {"400", true, 400},
      {"-1", true, -1},
      {"+7", true, 7},
      {"0", true, 0},
      {"0x190", true, 400},
      {"0X190", true, 400},
      {"$1F", true, 31},
      {"$1f", true, 31},
      {"0x1", true, 1},
      {"0x0000000000000000001", true, 1},  // leading zeros are no digits that count
      {"0xFFFFFFFFFFFFFFFF", true, -1},
      {"9223372036854775807", true, INT64_MAX},
      {"-9223372036854775808", true, INT64_MIN},
      {"9223372036854775808", false, 0},  // does not fit
      {"0x1FFFFFFFFFFFFFFFF", false, 0},
      {"0x", false, 0},  // too short for hexadecimal, no decimal either
      {"$", false, 0},
      {"abc", false, 0},
      {"12abc", false, 0},
      {"", false, 0},
      {"1 2", false, 0},
      {"+-5", false, 0},
      {"--5", false, 0},
      {"0x-1", false, 0},
      {"$+1", false, 0},
      {"1.5", false, 0},
  };
  for (const Case& c : cases) {
    int64_t v = 12345;
    EXPECT_EQ(ParseIniInteger(c.text, &v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(IniTextTest, NamesMatchWithoutRegardToCase) {
  EXPECT_TRUE(ini::NamesEqual("Allgemein", "allgemein"));
  EXPECT_TRUE(ini::NamesEqual("VORGANG 12", "Vorgang 12"));
  EXPECT_TRUE(ini::NamesEqual("ÜBERSICHT", "übersicht"));
  EXPECT_TRUE(ini::NamesEqual("GRÖẞE", "größe"));
  EXPECT_TRUE(ini::NamesEqual("ŁÓDŹ", "łódź"));
  EXPECT_TRUE(ini::NamesEqual("ΣΟΦΊΑ", "σοφία"));
  EXPECT_TRUE(ini::NamesEqual("ПАПКА", "папка"));
  EXPECT_FALSE(ini::NamesEqual("Vorgang 1", "Vorgang 10"));
  EXPECT_FALSE(ini::NamesEqual("a", "b"));
  EXPECT_FALSE(ini::NamesEqual("×", "÷"));  // the multiplication sign has no small form
  // Broken UTF-8 only equals the same bytes, and never reads past the end.
  EXPECT_TRUE(ini::NamesEqual("\xC3", "\xC3"));
  EXPECT_FALSE(ini::NamesEqual("\xC3", "\xE3"));
  EXPECT_FALSE(ini::NamesEqual("\xC3\x84", "\xC3"));
}

TEST(IniTextTest, CutNeverSplitsACharacter) {
  EXPECT_EQ(ini::CutToCharacters("abc", 2), "ab");
  EXPECT_EQ(ini::CutToCharacters("äöü", 2), "äö");
  EXPECT_EQ(ini::CutToCharacters("a€b", 2), "a€");
  EXPECT_EQ(ini::CutToCharacters("x\xF0\x9F\x98\x80y", 2), "x\xF0\x9F\x98\x80");
  // Invalid bytes count one each; a lone continuation run is not one long character.
  EXPECT_EQ(ini::CutToCharacters("\x80\x80\x80\x80", 2), "\x80\x80");
  EXPECT_EQ(ini::CutToCharacters("\xE2\x82", 1), "\xE2");  // a sequence cut off by the end
}

class IniFileTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name = "a.ini") { return tree_.Path(name); }
  TempTree tree_;
};

TEST_F(IniFileTest, ValuesReadByTheirEncodings) {
  IniFile ini(tree_.Write("a.ini",
                          "[Form]\n"
                          "Hoehe=0x190\n"
                          "Breite=abc\n"
                          "Leer=\n"
                          "Minus=-1\n"
                          "Hex=$1F\n"
                          "  Spaced  =   42   \n"
                          "[Data]\n"
                          "SofortSync=2\n"
                          "Aus=0\n"
                          "Kaputt=abc\n"));
  EXPECT_EQ(ini.ReadInteger("Form", "Hoehe", 1), 400);
  EXPECT_EQ(ini.ReadInteger("Form", "Breite", 427), 427);
  EXPECT_EQ(ini.ReadInteger("Form", "Leer", 9), 9);
  EXPECT_EQ(ini.ReadString("Form", "Leer", "def"), "");  // present but empty is no default
  EXPECT_EQ(ini.ReadInteger("Form", "Minus", 0), -1);
  EXPECT_EQ(ini.ReadInteger("Form", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Form", "Spaced", 0), 42);
  EXPECT_TRUE(ini.ReadBool("Data", "SofortSync", false));
  EXPECT_FALSE(ini.ReadBool("Data", "Aus", true));
  EXPECT_TRUE(ini.ReadBool("Data", "Kaputt", true));
  EXPECT_FALSE(ini.ReadBool("Data", "Kaputt", false));
  EXPECT_EQ(ini.ReadInteger("Data", "Fehlt", -7), -7);
  EXPECT_EQ(ini.ReadString("Fehlt", "Hoehe", "x"), "x");
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndIsNotCreated) {
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadString("Allgemein", "LDat", "d"), "d");
  EXPECT_EQ(ini.ReadInteger("Allgemein", "LLev", 3), 3);
  EXPECT_TRUE(ini.ReadBool("Allgemein", "LWarn", true));
  EXPECT_FALSE(ini.HasSection("Allgemein"));
  IniFile(Path()).EraseSection("Allgemein");
  EXPECT_FALSE(tree_.Exists("a.ini"));
}

TEST_F(IniFileTest, WritesCreateFileSectionAndKey) {
  IniFile ini(Path());
  ini.WriteInteger("Allgemein", "Version", 1);
  EXPECT_EQ(tree_.Read("a.ini"), "[Allgemein]\nVersion=1\n");
  ini.WriteBool("Data", "SofortSync", true);
  ini.WriteInteger("Allgemein", "Anzahl", -3);
  ini.WriteBool("Data", "Fehler", false);
  EXPECT_EQ(tree_.Read("a.ini"),
            "[Allgemein]\nVersion=1\nAnzahl=-3\n\n[Data]\nSofortSync=1\nFehler=0\n");
  ini.WriteInteger("allgemein", "VERSION", 2);  // found whatever the case, spelling kept
  EXPECT_EQ(tree_.Read("a.ini"),
            "[Allgemein]\nVersion=2\nAnzahl=-3\n\n[Data]\nSofortSync=1\nFehler=0\n");
  EXPECT_EQ(ini.ReadInteger("ALLGEMEIN", "version", 0), 2);
  EXPECT_TRUE(ini.HasSection("data"));
}

TEST_F(IniFileTest, LinesTheAccessorDoesNotOwnStayAsTheyAre) {
  const std::string before =
      "; written by hand\n"
      "lose=vor jeder Sektion\n"
      "[Allgemein]\n"
      "# Kommentar\n"
      "  Version = 1   \n"
      "Unbekannt=x\n"
      "Müll ohne Gleichheitszeichen\n"
      "\n"
      "; gehört zu Form\n"
      "[Form]\n"
      "Hoehe=400\n";
  IniFile ini(tree_.Write("a.ini", before));
  EXPECT_EQ(ini.ReadString("Allgemein", "lose", "keine"), "keine");  // belongs to no section
  ini.WriteInteger("Allgemein", "Version", 2);
  ini.WriteString("Allgemein", "Neu", "n");
  ini.WriteInteger("Form", "Breite", 427);
  ini.WriteString("Data", "SyncDir", "/home/x/");
  EXPECT_EQ(tree_.Read("a.ini"),
            "; written by hand\n"
            "lose=vor jeder Sektion\n"
            "[Allgemein]\n"
            "# Kommentar\n"
            "  Version = 2\n"
            "Unbekannt=x\n"
            "Neu=n\n"
            "Müll ohne Gleichheitszeichen\n"
            "\n"
            "; gehört zu Form\n"
            "[Form]\n"
            "Hoehe=400\n"
            "Breite=427\n"
            "\n"
            "[Data]\n"
            "SyncDir=/home/x/\n");
}

TEST_F(IniFileTest, LineEndsOfTheFileAreKept) {
  IniFile crlf(tree_.Write("crlf.ini", "[Form]\r\nHoehe=400\r\n"));
  EXPECT_EQ(crlf.ReadInteger("Form", "Hoehe", 0), 400);
  crlf.WriteString("Form", "Titel", "x y");
  crlf.WriteInteger("Data", "Loeschen", 3);
  EXPECT_EQ(tree_.Read("crlf.ini"),
            "[Form]\r\nHoehe=400\r\nTitel=x y\r\n\r\n[Data]\r\nLoeschen=3\r\n");
  EXPECT_EQ(crlf.ReadString("Form", "Titel", ""), "x y");

  // A last line without a line end gets one before anything follows it.
  IniFile open_end(tree_.Write("open.ini", "[Form]\nHoehe=400"));
  open_end.WriteInteger("Form", "Breite", 427);
  EXPECT_EQ(tree_.Read("open.ini"), "[Form]\nHoehe=400\nBreite=427\n");
  IniFile open_end2(tree_.Write("open2.ini", "[Form]\nHoehe=400"));
  open_end2.WriteInteger("Data", "X", 1);
  EXPECT_EQ(tree_.Read("open2.ini"), "[Form]\nHoehe=400\n\n[Data]\nX=1\n");
  IniFile last_value(tree_.Write("open3.ini", "[Form]\nHoehe=400"));
  last_value.WriteInteger("Form", "Hoehe", 500);
  EXPECT_EQ(tree_.Read("open3.ini"), "[Form]\nHoehe=500");
}

TEST_F(IniFileTest, EveryValueReadsBackAsWritten) {
  IniFile ini(Path());
  const std::string values[] = {"",
                                " ",
                                " führend",
                                "folgend ",
                                "\tTab",
                                "\"",
                                "\"\"",
                                "\"zitiert\"",
                                "\"nur vorn",
                                "nur hinten\"",
                                "in\"mitte",
                                "a=b=c",
                                "[keine Sektion]",
                                "; kein Kommentar",
                                "C:/Pfad mit Leerzeichen/",
                                std::string("nul\0byte", 8)};
  for (const std::string& v : values) {
    ini.WriteString("Data", "Wert", v);
    EXPECT_EQ(ini.ReadString("Data", "Wert", "def"), v) << "[" << v << "]";
  }
  // Quotes written by hand are removed once, the blanks inside them kept.
  IniFile hand(tree_.Write("hand.ini", "[S]\nk =  \"  x  \"  \n"));
  EXPECT_EQ(hand.ReadString("S", "k", ""), "  x  ");
}

TEST_F(IniFileTest, LongStringsAreCutAt1023Characters) {
  IniFile ini(Path());
  ini.WriteString("Data", "Lang", std::string(2000, 'x'));
  EXPECT_EQ(ini.ReadString("Data", "Lang", ""), std::string(1023, 'x'));
  std::string umlauts;
  for (int i = 0; i < 2000; ++i) umlauts += "ä";
  ini.WriteString("Data", "Lang", umlauts);
  EXPECT_EQ(ini.ReadString("Data", "Lang", "").size(), 2 * 1023u);
  ini.WriteString("Data", "Lang", std::string(1022, 'a') + "€€");
  EXPECT_EQ(ini.ReadString("Data", "Lang", ""), std::string(1022, 'a') + "€");
}

TEST_F(IniFileTest, WhatCannotBeStoredIsRefused) {
  IniFile ini(tree_.Write("a.ini", "[Data]\nA=1\n"));
  const char* bad_values[] = {"zwei\nZeilen", "cr\rallein", "ende\r\n"};
  for (const char* v : bad_values) EXPECT_THROW(ini.WriteString("Data", "B", v), IniWriteError);
  EXPECT_THROW(ini.WriteString("Da]ta", "B", "x"), IniWriteError);
  EXPECT_THROW(ini.WriteString("Data\n[X", "B", "x"), IniWriteError);
  EXPECT_THROW(ini.WriteString("Data", "B=C", "x"), IniWriteError);
  EXPECT_THROW(ini.WriteString("Data", ";B", "x"), IniWriteError);
  EXPECT_THROW(ini.WriteString("Data", "[B", "x"), IniWriteError);
  EXPECT_EQ(tree_.Read("a.ini"), "[Data]\nA=1\n");
  // Blanks around names are no part of them.
  ini.WriteInteger(" Data ", " A ", 2);
  EXPECT_EQ(tree_.Read("a.ini"), "[Data]\nA=2\n");
}

TEST_F(IniFileTest, EraseSectionRemovesItsLinesOnly) {
  IniFile ini(tree_.Write("a.ini",
                          "[Allgemein]\nAnzahl=3\n\n"
                          "[Vorgang 4]\nHerkunft=/a\n; Notiz\nFremd=1\n\n"
                          "[Zeit V4 Z1]\nTag=1\n\n"
                          "[vorgang 4]\nZiel=/b\n\n"
                          "[Vorgang 40]\nZiel=/c\n"));
  ini.EraseSection("Vorgang 4");
  EXPECT_EQ(tree_.Read("a.ini"),
            "[Allgemein]\nAnzahl=3\n\n"
            "[Zeit V4 Z1]\nTag=1\n\n"
            "[Vorgang 40]\nZiel=/c\n");
  EXPECT_FALSE(ini.HasSection("Vorgang 4"));
  EXPECT_EQ(ini.ReadString("Vorgang 4", "Ziel", "weg"), "weg");
  ini.EraseSection("Vorgang 40");
  ini.EraseSection("Zeit V4 Z1");
  EXPECT_EQ(tree_.Read("a.ini"), "[Allgemein]\nAnzahl=3\n\n");
  ini.WriteInteger("Vorgang 1", "Art", 1);
  EXPECT_EQ(tree_.Read("a.ini"), "[Allgemein]\nAnzahl=3\n\n[Vorgang 1]\nArt=1\n");
}

TEST_F(IniFileTest, RepeatedSectionsReadAsOne) {
  IniFile ini(tree_.Write("a.ini", "[S]\nA=1\nA=2\n[T]\nA=9\n[s]\nB=3\n"));
  EXPECT_EQ(ini.ReadInteger("S", "A", 0), 1);  // the first line wins
  EXPECT_EQ(ini.ReadInteger("S", "B", 0), 3);
  ini.WriteInteger("S", "B", 4);  // updated where it stands
  ini.WriteInteger("S", "C", 5);  // added to the first occurrence
  EXPECT_EQ(tree_.Read("a.ini"), "[S]\nA=1\nA=2\nC=5\n[T]\nA=9\n[s]\nB=4\n");
}

TEST_F(IniFileTest, BadInputNeverBreaksReadsOrWrites) {
  // Binary bytes, NULs and a byte-order mark.
  std::string binary("\xEF\xBB\xBF[Form]\nHoehe=7\n\0\0\x01\xFF[\n=\n]]]\n[Data\nA=\0x\n", 40);
  IniFile bin(tree_.Write("bin.ini", binary));
  EXPECT_EQ(bin.ReadInteger("Form", "Hoehe", 0), 7);
  EXPECT_EQ(bin.ReadInteger("Data", "A", 5), 5);
  bin.WriteInteger("Form", "Hoehe", 8);
  std::string expected = binary;
  expected.replace(expected.find("Hoehe=7"), 7, "Hoehe=8");
  EXPECT_EQ(tree_.Read("bin.ini"), expected);

  // A 10 MB value and a 5 MB garbage line (together below the 16 MB that are read).
  std::string huge =
      "[S]\nk=" + std::string(10 << 20, 'v') + "\n" + std::string(5 << 20, '[') + "\nz=1\n";
  IniFile big(tree_.Write("big.ini", huge));
  EXPECT_EQ(big.ReadString("S", "k", ""), std::string(1023, 'v'));
  EXPECT_EQ(big.ReadInteger("S", "z", 0), 1);
  big.WriteInteger("S", "z", 2);
  EXPECT_EQ(big.ReadInteger("S", "z", 0), 2);

  // A directory where the file should be.
  tree_.Mkdir("dir.ini");
  IniFile dir(Path("dir.ini"));
  EXPECT_EQ(dir.ReadInteger("S", "k", 3), 3);
  EXPECT_THROW(dir.WriteInteger("S", "k", 1), IniWriteError);
}

TEST_F(IniFileTest, FilesBeyond16MBAreReadInPartAndNeverCut) {
  std::string text = "[S]\nk=1\n" + std::string((16 << 20) + 10, '#') + "\n[T]\nk=2\n";
  IniFile ini(tree_.Write("a.ini", text));
  EXPECT_EQ(ini.ReadInteger("S", "k", 0), 1);
  EXPECT_EQ(ini.ReadInteger("T", "k", 0), 0);  // past the part that is read
  EXPECT_THROW(ini.WriteInteger("S", "k", 3), IniWriteError);
  EXPECT_EQ(tree_.Read("a.ini").size(), text.size());
}

TEST_F(IniFileTest, RefusedWritesNameThePath) {
  const std::string missing_dir = Path("fehlt/Main.sda");
  try {
    IniFile(missing_dir).WriteInteger("Allgemein", "Version", 1);
    FAIL() << "no error";
  } catch (const IniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Kann nicht nach " + missing_dir + " schreiben");
    EXPECT_EQ(e.path(), missing_dir);
  }
  EXPECT_FALSE(tree_.Exists("fehlt"));

  // A write-protected file stays as it is, also when the tests run as root.
  const std::string ro = tree_.Write("ro.ini", "[S]\nk=1\n");
  ASSERT_TRUE(Fs()->SetMode(ro, 0444));
  EXPECT_THROW(IniFile(ro).WriteInteger("S", "k", 2), IniWriteError);
  EXPECT_THROW(IniFile(ro).WriteInteger("S", "k", 1), IniWriteError);  // even if unchanged
  EXPECT_THROW(IniFile(ro).EraseSection("S"), IniWriteError);
  IniFile(ro).EraseSection("Fehlt");  // nothing to change, so no error
  EXPECT_EQ(tree_.Read("ro.ini"), "[S]\nk=1\n");
  EXPECT_EQ(Names(tree_.root()), std::vector<std::string>{"ro.ini"});
}

TEST_F(IniFileTest, PermissionBitsAndLinksAreKept) {
  const std::string file = tree_.Write("a.ini", "[S]\nk=1\n");
  ASSERT_TRUE(Fs()->SetMode(file, 0640));
  IniFile(file).WriteInteger("S", "k", 2);
  uint32_t mode = 0;
  ASSERT_TRUE(Fs()->GetMode(file, &mode));
  EXPECT_EQ(mode, 0640u);

  ASSERT_TRUE(Fs()->CreateSymlink("a.ini", Path("link.ini")));
  IniFile link(Path("link.ini"));
  EXPECT_EQ(link.ReadInteger("S", "k", 0), 2);
  link.WriteInteger("S", "k", 3);
  FileInfo info;
  ASSERT_TRUE(Fs()->Stat(Path("link.ini"), &info));
  EXPECT_EQ(info.kind, EntryKind::kSymlink);
  EXPECT_EQ(tree_.Read("a.ini"), "[S]\nk=3\n");

  ASSERT_TRUE(Fs()->CreateSymlink("nirgends.ini", Path("dangling.ini")));
  IniFile dangling(Path("dangling.ini"));
  EXPECT_EQ(dangling.ReadInteger("S", "k", 4), 4);
  EXPECT_THROW(dangling.WriteInteger("S", "k", 1), IniWriteError);
  EXPECT_FALSE(tree_.Exists("nirgends.ini"));
}

TEST_F(IniFileTest, ReadingNeverChangesTheFile) {
  const std::string file = tree_.Write("a.ini", "[Form]\nHoehe=abc\n");
  testing::SetMtime(file, FileTime{1000000000, 0});
  IniFile ini(file);
  ini.ReadInteger("Form", "Hoehe", 400);
  ini.ReadString("Data", "SyncDir", "x");
  ini.ReadBool("Data", "SofortSync", true);
  ini.HasSection("Hauptprogramm");
  FileInfo info;
  ASSERT_TRUE(Fs()->Stat(file, &info));
  EXPECT_EQ(info.mtime, (FileTime{1000000000, 0}));
  EXPECT_EQ(tree_.Read("a.ini"), "[Form]\nHoehe=abc\n");
  EXPECT_EQ(Names(tree_.root()).size(), 1u);
}

TEST_F(IniFileTest, AValueTheFileAlreadyHoldsIsNotRewritten) {
  const std::string file = tree_.Write("a.ini", "[S]\nk=1\nt=\" a\"\n");
  testing::SetMtime(file, FileTime{1000000000, 0});
  IniFile ini(file);
  ini.WriteInteger("s", "K", 1);
  ini.WriteString("S", "t", " a");
  FileInfo info;
  ASSERT_TRUE(Fs()->Stat(file, &info));
  EXPECT_EQ(info.mtime, (FileTime{1000000000, 0}));
  ini.WriteInteger("S", "k", 2);
  EXPECT_EQ(tree_.Read("a.ini"), "[S]\nk=2\nt=\" a\"\n");
}

// A write that fails after a number of bytes, like a full disk.
class FullDisk : public FileSystemWrapper {
 public:
  explicit FullDisk(size_t room) : FileSystemWrapper(FileSystem::Default()), room_(room) {}
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m,
                                                Status* s) override {
    auto f = FileSystemWrapper::CreateExclusive(p, m, s);
    if (!f) return f;
    return std::make_unique<Limited>(std::move(f), room_);
  }

 private:
  class Limited : public WritableFile {
   public:
    Limited(std::unique_ptr<WritableFile> f, size_t room) : f_(std::move(f)), room_(room) {}
    Status Write(const char* d, size_t n) override {
      if (n > room_) {
        f_->Write(d, room_);
        room_ = 0;
        return Status::FromErrno(ENOSPC);
      }
      room_ -= n;
      return f_->Write(d, n);
    }
    Status Sync() override { return f_->Sync(); }
    Status Close() override { return f_->Close(); }

   private:
    std::unique_ptr<WritableFile> f_;
    size_t room_;
  };
  size_t room_;
};

class RefusingFs : public FileSystemWrapper {
 public:
  enum class Step { kCreate, kClose, kSetMode, kRename, kRead };
  explicit RefusingFs(Step step) : FileSystemWrapper(FileSystem::Default()), step_(step) {}
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m,
                                                Status* s) override {
    if (step_ == Step::kCreate) return nullptr;
    auto f = FileSystemWrapper::CreateExclusive(p, m, s);
    if ((step_ == Step::kClose || step_ == Step::kSetMode) && f)
      return std::make_unique<FailingFile>(std::move(f), step_);
    return f;
  }
  Status SetMode(const std::string& p, uint32_t m) override {
    if (step_ == Step::kSetMode) return Status::FromErrno(EPERM);
    return FileSystemWrapper::SetMode(p, m);
  }
  Status RenameReplace(const std::string& f, const std::string& t) override {
    if (step_ == Step::kRename) return Status::FromErrno(EACCES);
    return FileSystemWrapper::RenameReplace(f, t);
  }
  Status RenameNoReplace(const std::string& f, const std::string& t) override {
    if (step_ == Step::kRename) return Status::FromErrno(EACCES);
    return FileSystemWrapper::RenameNoReplace(f, t);
  }
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& p, Status* s) override {
    if (step_ != Step::kRead) return FileSystemWrapper::OpenForReading(p, s);
    if (s != nullptr) *s = Status::FromErrno(EIO);
    return nullptr;
  }

 private:
  // The file refuses its closing or its permission bits, whichever the step names.
  class FailingFile : public WritableFile {
   public:
    FailingFile(std::unique_ptr<WritableFile> f, Step step) : f_(std::move(f)), step_(step) {}
    Status Write(const char* d, size_t n) override { return f_->Write(d, n); }
    Status Sync() override { return f_->Sync(); }
    Status Close() override {
      Status s = f_->Close();
      return step_ == Step::kClose ? Status::FromErrno(EIO) : s;
    }
    Status SetMode(uint32_t m) override {
      return step_ == Step::kSetMode ? Status::FromErrno(EPERM) : f_->SetMode(m);
    }

   private:
    std::unique_ptr<WritableFile> f_;
    Step step_;
  };
  Step step_;
};

TEST_F(IniFileTest, FailedWritesLeaveTheOldFileWholeAndNoTemporaryFile) {
  const std::string original = "[Allgemein]\nVersion=1\n\n[Form]\nHoehe=400\n";
  const std::string file = tree_.Write("Main.sda", original);
  const std::vector<std::string> alone{"Main.sda"};

  for (size_t room : {size_t{0}, size_t{10}, original.size()}) {
    FullDisk fs(room);
    IniFile ini(file, &fs);
    EXPECT_THROW(ini.WriteInteger("Form", "Breite", 427), IniWriteError) << room;
    EXPECT_EQ(tree_.Read("Main.sda"), original);
    EXPECT_EQ(Names(tree_.root()), alone);
    EXPECT_EQ(ini.ReadInteger("Form", "Hoehe", 0), 400);  // reads go on
  }
  for (auto step : {RefusingFs::Step::kCreate, RefusingFs::Step::kClose, RefusingFs::Step::kSetMode,
                    RefusingFs::Step::kRename, RefusingFs::Step::kRead}) {
    RefusingFs fs(step);
    IniFile ini(file, &fs);
    EXPECT_THROW(ini.WriteInteger("Form", "Hoehe", 500), IniWriteError);
    if (step == RefusingFs::Step::kRead) {
      ini.EraseSection("Form");  // an unreadable file has no section to erase
    } else {
      EXPECT_THROW(ini.EraseSection("Form"), IniWriteError);
    }
    EXPECT_EQ(tree_.Read("Main.sda"), original);
    EXPECT_EQ(Names(tree_.root()), alone);
  }
  // A new file that cannot be put in place leaves nothing behind either.
  RefusingFs fs(RefusingFs::Step::kRename);
  EXPECT_THROW(IniFile(Path("neu.ini"), &fs).WriteInteger("S", "k", 1), IniWriteError);
  EXPECT_EQ(Names(tree_.root()), alone);
}

}  // namespace
}  // namespace zarnoft
