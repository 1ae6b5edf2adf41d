// Names that differ only in the case of their letters, onto a side that folds case (FAT, exFAT):
// the walk leaves out what would become one file there and never copies from the folding side
// onto a name it does not hold exactly (engine/walk.cpp, FaltungenAbgleichen).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/fs_kind.h"
#include "testing/job_run_kit.h"

namespace zarnoft {
namespace {

// A file system that folds case below one directory, as a FAT stick does: each element of a
// path there is found under whatever spelling the directory holds it, so a new file of a name
// that differs only in case from an existing one replaces it.
class FaltendesFs : public FileSystemWrapper {
 public:
  explicit FaltendesFs(const std::string& wurzel)
      : FileSystemWrapper(FileSystem::Default()), wurzel_(wurzel) {}

  bool FoldsCase(const std::string& d) override { return d == wurzel_ || Unter(d); }
  Status ListDirectory(const std::string& d, std::vector<FileInfo>* o) override {
    return target()->ListDirectory(Falten(d), o);
  }
  Status Stat(const std::string& p, FileInfo* i) override { return target()->Stat(Falten(p), i); }
  Status IsEnterableDirectory(const std::string& p) override {
    return target()->IsEnterableDirectory(Falten(p));
  }
  Status SetMode(const std::string& p, uint32_t m) override {
    return target()->SetMode(Falten(p), m);
  }
  Status SetTimes(const std::string& p, FileTime a, FileTime m) override {
    return target()->SetTimes(Falten(p), a, m);
  }
  Status DeleteFile(const std::string& p) override { return target()->DeleteFile(Falten(p)); }
  Status RenameNoReplace(const std::string& f, const std::string& t) override {
    return target()->RenameNoReplace(Falten(f), Falten(t));
  }
  Status RenameReplace(const std::string& f, const std::string& t) override {
    return target()->RenameReplace(Falten(f), Falten(t));
  }
  Status CreateDirectory(const std::string& p) override {
    return target()->CreateDirectory(Falten(p));
  }
  Status RemoveDirectory(const std::string& p) override {
    return target()->RemoveDirectory(Falten(p));
  }
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& p, Status* s) override {
    return target()->OpenForReading(Falten(p), s);
  }
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m,
                                                Status* s) override {
    return target()->CreateExclusive(Falten(p), m, s);
  }
  Status CreateHardLink(const std::string& v, const std::string& n) override {
    return target()->CreateHardLink(Falten(v), Falten(n));
  }

 private:
  bool Unter(const std::string& p) const {
    return p.size() > wurzel_.size() && p.compare(0, wurzel_.size(), wurzel_) == 0 &&
           p[wurzel_.size()] == '/';
  }
  std::string Falten(const std::string& p) const {
    if (!Unter(p) && p != wurzel_) return p;
    std::string r = wurzel_;
    size_t pos = wurzel_.size();
    while (pos < p.size()) {
      const size_t ende = std::min(p.find('/', pos + 1), p.size());
      const std::string teil = p.substr(pos + 1, ende - pos - 1);
      std::string name = teil;
      std::error_code f;
      if (!teil.empty() &&
          !std::filesystem::exists(std::filesystem::symlink_status(r + "/" + teil, f))) {
        for (const auto& e : std::filesystem::directory_iterator(r, f)) {
          if (GefalteterName(e.path().filename().string()) == GefalteterName(teil))
            name = e.path().filename().string();
        }
      }
      r += "/" + name;
      pos = ende;
    }
    return r;
  }
  std::string wurzel_;
};

class GrossKleinTest : public ::testing::Test, public testing::AuftragsLauf {
 protected:
  std::vector<std::string> Namen(const std::string& rel) {
    std::vector<std::string> r;
    for (const auto& e : std::filesystem::directory_iterator(baum.Path(rel)))
      if (e.path().filename() != ".zarnoft") r.push_back(e.path().filename().string());
    std::sort(r.begin(), r.end());
    return r;
  }
  FaltendesFs fat{baum.Path("z")};
};

TEST_F(GrossKleinTest, NamesThatBecomeOneFileOnTheTargetAreAFailureForBothAndStayAsTheyAre) {
  // The source holds two files and two directories that the stick would make one; a copy job
  // and a two-way run alike copy neither, name both, and do not count as done.
  Datei("h/Readme", "klein", Um(-3));
  Datei("h/README", "GROSS", Um(-2));
  Datei("h/Fotos/a", "a", Um(-3));
  Datei("h/FOTOS/b", "b", Um(-3));
  Datei("h/Brief.txt", "b", Um(-3));
  for (VorgangsArt art : {VorgangsArt::kKopieren, VorgangsArt::kSynchronisieren}) {
    w.Art = art;
    w.Doppelt = art == VorgangsArt::kKopieren ? 0 : Zahl(DoppelRegel::kNeuerenBehalten);
    bericht.fehler.clear();
    const LaufErgebnis e = Laufen(Um(1), &fat);
    EXPECT_EQ(e.fehler, 2);
    EXPECT_EQ(bericht.fehler,
              (std::vector<std::string>{"Namen unterscheiden sich nur in Groß-/Kleinschreibung: " +
                                            w.Herkunft + "/FOTOS / " + w.Herkunft + "/Fotos",
                                        "Namen unterscheiden sich nur in Groß-/Kleinschreibung: " +
                                            w.Herkunft + "/README / " + w.Herkunft + "/Readme"}));
    EXPECT_EQ(Namen("z"), std::vector<std::string>{"Brief.txt"});
    EXPECT_EQ(baum.Read("h/Readme"), "klein");
    EXPECT_EQ(baum.Read("h/README"), "GROSS");
  }
  // A target that holds one of them already (from before) keeps it, and the source both.
  Datei("z/readme", "stick", Um(-1));
  w.Doppelt = Zahl(DoppelRegel::kNeuerenBehalten);
  EXPECT_EQ(Laufen(Um(2), &fat).fehler, 2);
  EXPECT_EQ(baum.Read("z/readme"), "stick");
  EXPECT_EQ(baum.Read("h/Readme"), "klein");
  EXPECT_EQ(baum.Read("h/README"), "GROSS");
}

TEST_F(GrossKleinTest, ANameSpeltTwoWaysIsOneFileAndNeverCopiedFromTheStickOntoTheSource) {
  // The stick holds "NOTIZ", "BRIEF", "BEIDE" and the directory "bilder", the source "Notiz",
  // "Brief", "Beide" and "Bilder": each is one file there, under the source's spelling.
  for (const char* n : {"Notiz", "Brief", "Beide"}) Datei(std::string("h/") + n, "x", Um(-3));
  for (const char* n : {"NOTIZ", "BRIEF", "BEIDE"}) Datei(std::string("z/") + n, "x", Um(-3));
  Datei("h/Bilder/a", "a", Um(-3));
  Datei("z/bilder/b", "b", Um(-3));
  w.Doppelt = Zahl(DoppelRegel::kNeuerenBehalten);
  EXPECT_EQ(Laufen(Um(-2), &fat).fehler, 0);
  // The directory was visited as one: each side got the other's file, and the source got no
  // second spelling of anything.
  EXPECT_EQ(Namen("h"), (std::vector<std::string>{"Beide", "Bilder", "Brief", "Notiz"}));
  EXPECT_EQ(Namen("z"), (std::vector<std::string>{"BEIDE", "BRIEF", "NOTIZ", "bilder"}));
  EXPECT_EQ(Namen("h/Bilder"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Namen("z/bilder"), (std::vector<std::string>{"a", "b"}));

  Datei("h/Notiz", "neu", Um(-1));
  Datei("z/BRIEF", "neu", Um(-1));
  Datei("h/Beide", "h", Um(-1));
  Datei("z/BEIDE", "z", Um(0));
  const LaufErgebnis e = Laufen(Um(1), &fat);
  // The newer source file goes onto the stick's file of that name.
  EXPECT_EQ(baum.Read("z/NOTIZ"), "neu");
  // The stick's newer "BRIEF" is not copied onto the source's "Brief", nor is a double change
  // settled either way: failures that name both spellings.
  EXPECT_EQ(baum.Read("h/Brief"), "x");
  EXPECT_EQ(baum.Read("h/Beide"), "h");
  EXPECT_EQ(baum.Read("z/BEIDE"), "z");
  EXPECT_EQ(e.fehler, 2);
  const std::string zeile = "Namen unterscheiden sich nur in Groß-/Kleinschreibung: ";
  EXPECT_EQ(bericht.fehler,
            (std::vector<std::string>{zeile + w.Ziel + "/BEIDE / " + w.Herkunft + "/Beide",
                                      zeile + w.Ziel + "/BRIEF / " + w.Herkunft + "/Brief"}));
}

TEST(GefalteterNameTest, FoldsAsciiAndLatinLetters) {
  EXPECT_EQ(GefalteterName("ReadMe.TXT"), "readme.txt");
  EXPECT_EQ(GefalteterName("ÄRGER über Öl"), "ärger über öl");
  EXPECT_EQ(GefalteterName("a×b"), "a×b");  // the multiplication sign has no small letter
  EXPECT_FALSE(FaltetGrossKlein(testing::TempTree().root()));
}

}  // namespace
}  // namespace zarnoft
