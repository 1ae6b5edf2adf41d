#include "engine/move_aside.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <string>

#include "testing/run_test_kit.h"

namespace zarnoft {
namespace {

using testing::HookLauf;

TEST(Auslagerungspfad, SpiegeltDenVollenPfad) {
  EXPECT_EQ(Auslagerungspfad("/srv/Loesch/", "/home/anna/Brief.odt"),
            "/srv/Loesch/home/anna/Brief.odt");
  EXPECT_EQ(Auslagerungspfad("/srv/Loesch/", "//server/teil/Brief.doc"),
            "/srv/Loesch/server/teil/Brief.doc");
  EXPECT_EQ(Auslagerungspfad("/srv/Loesch/", "rel/x"), "/srv/Loesch/rel/x");
}

class AnlegenFehler : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  Status CreateDirectory(const std::string&) override { return Status::FromErrno(EROFS); }
};

TEST(VerzeichnisseAnlegen, VonObenNachUntenNurFehlende) {
  HookLauf t;
  const std::string lager = t.k.LoeschenWohin;
  const std::string ziel = lager + "A/B/x.txt";
  ASSERT_TRUE(VerzeichnisseAnlegen(t.fs, &t.log, ziel));
  EXPECT_EQ(t.Zeilen("Vergl: Verzeichnis"),
            (std::vector<std::string>{"Vergl: Verzeichnis angelegt:" + lager,
                                      "Vergl: Verzeichnis angelegt:" + lager + "A/",
                                      "Vergl: Verzeichnis angelegt:" + lager + "A/B/"}));
  EXPECT_FALSE(t.baum.Exists("lager/A/B/x.txt"));
  // A second file in the same directory creates nothing and logs nothing.
  ASSERT_TRUE(VerzeichnisseAnlegen(t.fs, &t.log, lager + "A/B/y.txt"));
  EXPECT_EQ(t.log.CountPrefix("Vergl: Verzeichnis"), 3);
}

TEST(VerzeichnisseAnlegen, StufeNichtAnlegbar) {
  {
    HookLauf t;  // a file stands where a level should be
    t.baum.Write("lager/A", "datei");
    EXPECT_FALSE(VerzeichnisseAnlegen(t.fs, &t.log, t.k.LoeschenWohin + "A/B/x"));
    EXPECT_TRUE(
        t.log.Has(LogStufe::kWarnung, "Vergl: Verzeichnis nicht angelegt: " + t.k.LoeschenWohin +
                                          "A/ (Die Datei existiert bereits)"));
    EXPECT_FALSE(t.baum.Exists("lager/A/B"));
  }
  {
    AnlegenFehler fs(FileSystem::Default());
    HookLauf t(&fs);
    EXPECT_FALSE(VerzeichnisseAnlegen(t.fs, &t.log, t.k.LoeschenWohin + "x"));
    EXPECT_TRUE(
        t.log.Has(LogStufe::kWarnung, "Vergl: Verzeichnis nicht angelegt: " + t.k.LoeschenWohin +
                                          " (Das Dateisystem ist nur lesbar)"));
  }
}

}  // namespace
}  // namespace zarnoft
