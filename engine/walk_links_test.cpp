// A link onto a side whose file system cannot hold links (FAT, exFAT through the kernel or a FUSE
// driver): a warning once per run, not a failure, and the link is never deleted because the
// other side lacks it.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "testing/job_run_kit.h"

namespace zarnoft {
namespace {

// Refuses every link below `wurzel` with `fehler`, as such a file system does.
class OhneLinksFs : public FileSystemWrapper {
 public:
  OhneLinksFs(const std::string& wurzel, int fehler)
      : FileSystemWrapper(FileSystem::Default()), wurzel_(wurzel), fehler_(fehler) {}
  Status CreateSymlink(const std::string& t, const std::string& p) override {
    if (p.rfind(wurzel_ + "/", 0) == 0) return Status::FromErrno(fehler_);
    return target()->CreateSymlink(t, p);
  }

 private:
  std::string wurzel_;
  int fehler_;
};

TEST(LinksOhneZielTest, ALinkTheTargetCannotHoldIsAWarningOnceAndNeverDeleted) {
  for (int fehler : {EPERM, ENOSYS, EOPNOTSUPP}) {
    testing::AuftragsLauf a;
    a.Datei("h/datei.txt", "inhalt", a.Um(-2));
    std::filesystem::create_symlink("datei.txt", a.baum.Path("h/verweis"));
    std::filesystem::create_symlink("fehlt", a.baum.Path("h/zweiter"));
    OhneLinksFs fs(a.w.Ziel, fehler);
    for (int lauf = 0; lauf < 2; ++lauf) {
      const LaufErgebnis e = a.Laufen(a.Um(lauf), &fs);
      EXPECT_EQ(e.fehler, 0) << fehler;
      ASSERT_EQ(e.hinweise.size(), 1u) << fehler;
      EXPECT_NE(e.hinweise[0].find("Ziel kann keine symbolischen Verknüpfungen speichern: "),
                std::string::npos)
          << e.hinweise[0];
      // The second run goes by the first one's record: the links are still only in the source,
      // and that is no deletion on the target's side.
      EXPECT_TRUE(std::filesystem::is_symlink(a.baum.Path("h/verweis")));
      EXPECT_TRUE(std::filesystem::is_symlink(a.baum.Path("h/zweiter")));
      EXPECT_EQ(a.baum.Read("z/datei.txt"), "inhalt");
    }
  }
  // A link refused for another reason (no permission) stays a failure.
  testing::AuftragsLauf a;
  std::filesystem::create_symlink("x", a.baum.Path("h/verweis"));
  OhneLinksFs fs(a.w.Ziel, EACCES);
  EXPECT_EQ(a.Laufen(a.Um(0), &fs).fehler, 1);
}

}  // namespace
}  // namespace zarnoft
