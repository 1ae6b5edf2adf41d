#include "platform/file_places.h"

#include <errno.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

OrtsUmgebung Installierte(const std::string& home) {
  OrtsUmgebung u;
  u.programm_verzeichnis = "/usr/bin/";
  u.programm_verzeichnis_beschreibbar = true;  // as for root: /usr still counts as installed
  u.installations_verzeichnis = "/usr/local/bin/";
  u.home = home;
  return u;
}

TEST(DateiOrte, WritableProgramDirectoryKeepsEverythingBesideTheProgram) {
  OrtsUmgebung u = Installierte("/home/anna");
  u.programm_verzeichnis = "/home/anna/zarnoft/build/ui/";
  u.xdg_config_home = "/home/anna/cfg";
  const DateiOrte o = DateiOrteBestimmen(u);
  EXPECT_TRUE(o.portabel);
  EXPECT_EQ(o.EinstellungsDatei(), "/home/anna/zarnoft/build/ui/Main.sda");
  EXPECT_EQ(o.log_verzeichnis, "/home/anna/zarnoft/build/ui/");
  EXPECT_EQ(o.LoeschVorgabe(), "/home/anna/zarnoft/build/ui/Loesch");
  EXPECT_EQ(o.sammlungs_verzeichnis, "/home/anna/zarnoft/build/ui/");
}

TEST(DateiOrte, InstalledProgramUsesTheBaseDirectories) {
  DateiOrte o = DateiOrteBestimmen(Installierte("/home/anna"));
  EXPECT_FALSE(o.portabel);
  EXPECT_EQ(o.programm_verzeichnis, "/usr/bin/");
  EXPECT_EQ(o.EinstellungsDatei(), "/home/anna/.config/zarnoft/Main.sda");
  EXPECT_EQ(o.log_verzeichnis, "/home/anna/.local/state/zarnoft/");
  EXPECT_EQ(o.LoeschVorgabe(), "/home/anna/.local/share/zarnoft/Loesch");
  EXPECT_EQ(o.sammlungs_verzeichnis, "/home/anna/");

  OrtsUmgebung u = Installierte("/home/anna/");
  u.xdg_config_home = "/srv/cfg/";
  u.xdg_state_home = "/srv/state";
  u.xdg_data_home = "relativ/daten";  // not absolute: ignored
  o = DateiOrteBestimmen(u);
  EXPECT_EQ(o.EinstellungsDatei(), "/srv/cfg/zarnoft/Main.sda");
  EXPECT_EQ(o.log_verzeichnis, "/srv/state/zarnoft/");
  EXPECT_EQ(o.LoeschVorgabe(), "/home/anna/.local/share/zarnoft/Loesch");
}

TEST(DateiOrte, InstallDirectoryOrAnUnwritableOneCountsAsInstalled) {
  OrtsUmgebung u = Installierte("/home/anna");
  u.programm_verzeichnis = "/opt/zarnoft/bin/";
  EXPECT_TRUE(DateiOrteBestimmen(u).portabel);
  u.installations_verzeichnis = "/opt/zarnoft/bin/";
  EXPECT_FALSE(DateiOrteBestimmen(u).portabel);
  u.installations_verzeichnis = "/usr/local/bin/";
  u.programm_verzeichnis_beschreibbar = false;
  EXPECT_FALSE(DateiOrteBestimmen(u).portabel);
}

// Fails the creation of one directory with a given error.
class MkdirFehler : public FileSystemWrapper {
 public:
  MkdirFehler(const std::string& pfad, int err)
      : FileSystemWrapper(FileSystem::Default()), pfad_(pfad), err_(err) {}
  Status CreateDirectory(const std::string& p) override {
    if (p != pfad_) return FileSystemWrapper::CreateDirectory(p);
    return Status::FromErrno(err_);
  }

 private:
  std::string pfad_;
  int err_;
};

class Vorbereiten : public ::testing::Test {
 protected:
  DateiOrte Orte() {
    OrtsUmgebung u = Installierte(t.Path("home"));
    return DateiOrteBestimmen(u);
  }
  testing::TempTree t;
};

TEST_F(Vorbereiten, CreatesThePrivateDirectoriesOnceAndQuietly) {
  const DateiOrte o = Orte();
  EXPECT_TRUE(DateiOrteVorbereiten(o).empty());
  struct stat st {};
  ASSERT_EQ(::stat(t.Path("home/.config/zarnoft").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  EXPECT_TRUE(t.Exists("home/.local/state/zarnoft"));
  EXPECT_FALSE(t.Exists("home/.local/share/zarnoft"));  // made by the run that needs it
  EXPECT_TRUE(DateiOrteVorbereiten(o).empty());
  // A portable program creates nothing.
  EXPECT_TRUE(DateiOrteVorbereiten(PortableDateiOrte(t.Path("prog/"))).empty());
  EXPECT_FALSE(t.Exists("prog"));
}

TEST_F(Vorbereiten, SaysInGermanWhatIsWrongAndGoesOn) {
  // $XDG_CONFIG_HOME naming a file: the file is named, the log directory is made all the same.
  t.Write("cfgdatei", "x");
  OrtsUmgebung u = Installierte(t.Path("home"));
  u.xdg_config_home = t.Path("cfgdatei");
  std::vector<std::string> m = DateiOrteVorbereiten(DateiOrteBestimmen(u));
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0], "Das Verzeichnis für die Einstellungen " + t.Path("cfgdatei/zarnoft/") +
                      " kann nicht angelegt werden (" + t.Path("cfgdatei") +
                      " ist kein Verzeichnis). Es gelten die Vorgaben; geänderte Einstellungen "
                      "werden nicht gespeichert.");
  EXPECT_TRUE(t.Exists("home/.local/state/zarnoft"));

  // An unwritable ~/.config (a refusal that root would never see for real).
  MkdirFehler fs(t.Path("home/.config"), EACCES);
  m = DateiOrteVorbereiten(Orte(), &fs);
  ASSERT_EQ(m.size(), 1u);
  EXPECT_NE(m[0].find("(keine Berechtigung)"), std::string::npos) << m[0];

  // Main.sda as a directory.
  t.Mkdir("home/.config/zarnoft/Main.sda");
  m = DateiOrteVorbereiten(Orte());
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0], "Die Einstellungsdatei " + t.Path("home/.config/zarnoft/Main.sda") +
                      " ist ein Verzeichnis. Es gelten die Vorgaben; geänderte Einstellungen "
                      "werden nicht gespeichert.");
}

}  // namespace
}  // namespace zarnoft
