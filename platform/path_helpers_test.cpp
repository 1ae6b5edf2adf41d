#include "platform/path_helpers.h"

#include <gtest/gtest.h>

#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

// Every character is 10 pixels wide.
int Fixed(const std::string& s) {
  return static_cast<int>(s.size()) * 10;
}

TEST(PathParts, RootsKeepNoTrailingSlash) {
  EXPECT_EQ(StripTrailingSlash("/"), "");
  EXPECT_EQ(StripTrailingSlash("/home/anna/"), "/home/anna");
  EXPECT_EQ(DirectoryPart("/a/b.syc"), "/a/");
  EXPECT_EQ(NamePart("/a/b.syc"), "b.syc");
  EXPECT_EQ(DirectoryPart("b.syc"), "");
}

TEST(PathParts, NumberedPathGoesBeforeTheExtension) {
  EXPECT_EQ(NumberedPath("/a/Brief.doc", 1), "/a/Brief.doc");
  EXPECT_EQ(NumberedPath("/a/Brief.doc", 2), "/a/Brief (2).doc");
  EXPECT_EQ(NumberedPath("/a/b.c/Liste", 3), "/a/b.c/Liste (3)");
  EXPECT_EQ(NumberedPath("/a/.profile", 2), "/a/.profile (2)");
  EXPECT_EQ(NumberedPath("/a/x.tar.gz", 12), "/a/x.tar (12).gz");
  EXPECT_EQ(NumberedPath("Brief.doc vom 2024_03_01 14_05_09", 2),
            "Brief (2).doc vom 2024_03_01 14_05_09");
}

TEST(PathParts, TrailingSlashJoiningAndHome) {
  EXPECT_EQ(WithTrailingSlash(""), "/");
  EXPECT_EQ(WithTrailingSlash("/a"), "/a/");
  EXPECT_EQ(WithTrailingSlash("/a/"), "/a/");
  EXPECT_EQ(JoinPath("", "b.syc"), "b.syc");
  EXPECT_EQ(JoinPath("/a", "b.syc"), "/a/b.syc");
  EXPECT_EQ(JoinPath("/a/", "b.syc"), "/a/b.syc");
  struct Fall {
    const char* text;
    const char* home;
    const char* pfad;
  };
  for (const Fall& f :
       {Fall{"  /a/b \t\r\n", "/home/anna", "/a/b"}, Fall{" \t ", "/home/anna", ""},
        Fall{"~", "/home/anna", "/home/anna"}, Fall{"~", "/home/anna/", "/home/anna/"},
        Fall{" ~/Sync ", "/home/anna", "/home/anna/Sync"},
        Fall{"~/Sync", "/home/anna/", "/home/anna/Sync"}, Fall{"~/Sync", "", "~/Sync"},
        Fall{"~anna/Sync", "/home/anna", "~anna/Sync"}, Fall{"Sync/~", "/home/anna", "Sync/~"}}) {
    EXPECT_EQ(TrimmedWithHome(f.text, f.home), f.pfad) << f.text << " with " << f.home;
  }
}

TEST(ShortenPathToWidth, KeepsWhatFitsAndCutsTheMiddle) {
  const std::string p = "/home/Daten/Projekte/Alt/Brief.txt";
  EXPECT_EQ(ShortenPathToWidth(p, 1000, Fixed), p);
  EXPECT_EQ(ShortenPathToWidth("keinschraegstrich", 170, Fixed), "keinschraegstrich");
  // "/home/../Alt/Brief.txt" has 22 characters, "/home/../Brief.txt" 18.
  EXPECT_EQ(ShortenPathToWidth(p, 220, Fixed), "/home/../Alt/Brief.txt");
  EXPECT_EQ(ShortenPathToWidth(p, 219, Fixed), "/home/../Brief.txt");
  // The last element stays even when it is still too wide.
  EXPECT_EQ(ShortenPathToWidth(p, 10, Fixed), "/home/../Brief.txt");
  EXPECT_EQ(ShortenPathToWidth("/home/Sehrlangername", 100, Fixed), "/home/../Sehrlangername");
  EXPECT_EQ(ShortenPathToWidth("/Sehrlangername", 50, Fixed), "/Sehrlangername");
  // A trailing "/" is never taken as the last cut.
  EXPECT_EQ(ShortenPathToWidth("/home/a/b/Verz/", 130, Fixed), "/home/../Verz/");
}

TEST(CreateDirectoryPath, CreatesMissingLevelsTopDown) {
  testing::TempTree t;
  EXPECT_TRUE(CreateDirectoryPath(t.root()));
  EXPECT_TRUE(CreateDirectoryPath(t.Path("A/B/C")));
  EXPECT_TRUE(t.Exists("A/B/C"));
  t.Write("Datei", "x");
  EXPECT_FALSE(CreateDirectoryPath(t.Path("Datei/Unter")));
  EXPECT_FALSE(CreateDirectoryPath("/proc/gibtesnicht/x"));
}

}  // namespace
}  // namespace zarnoft
