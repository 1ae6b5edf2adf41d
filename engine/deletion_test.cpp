#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <string>

#include "copy/file_copy.h"
#include "engine/deletion.h"
#include "engine/move_aside.h"
#include "platform/path_helpers.h"
#include "testing/run_test_kit.h"

namespace zarnoft {
namespace {

using testing::HookLauf;
using testing::Local;
using testing::SetTimes;

const FileTime kAlt = Local(2001, 5, 6, 7, 8, 10);

// Everything inside is as the last run left it.
bool AllesWieZuletzt(const std::string&, const FileInfo&) {
  return true;
}

struct Loeschen : HookLauf {
  explicit Loeschen(LoeschModus modus, FileSystem* dateisystem = FileSystem::Default())
      : HookLauf(dateisystem) {
    k.Loeschen = modus;
    // A last run that lies ahead: everything the test writes counts as untouched since.
    const int64_t jetzt = Clock::System()->Now().sec;
    k.Letzter = LetzterLauf::AusUtc(FileTime{jetzt + 3600, 0}, FileTime{jetzt + 7200, 0});
    pfad = Datei("z/d/x.txt", "inhalt", kAlt);
    lager = Auslagerungspfad(k.LoeschenWohin, pfad);
  }
  bool Da(const std::string& p) const {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0;
  }
  std::string pfad, lager;
};

TEST(DateiLoeschen, Modi) {
  {
    Loeschen t(LoeschModus::kNormal);  // read-only is no obstacle
    ::chmod(t.pfad.c_str(), 0444);
    DateiLoeschen(t.k, t.pfad);
    EXPECT_FALSE(t.Da(t.pfad));
    EXPECT_TRUE(t.log.Lines().empty());
    DateiLoeschen(t.k, t.pfad);  // vanished since the walk saw it
    EXPECT_TRUE(
        t.log.Has(LogStufe::kWarnung, "Vergl: Zu löschende Datei nicht gefunden: " + t.pfad));
  }
  {
    Loeschen t(LoeschModus::kNie);
    DateiLoeschen(t.k, t.pfad);
    EXPECT_TRUE(t.Da(t.pfad));
    EXPECT_TRUE(
        t.log.Has(LogStufe::kDebug, "Vergl: Inieinstellung verhindert Delete von " + t.pfad));
  }
  for (int modus : {0, 4, 7}) {
    Loeschen t(static_cast<LoeschModus>(modus));
    DateiLoeschen(t.k, t.pfad);
    EXPECT_TRUE(t.Da(t.pfad));
    EXPECT_TRUE(t.log.Lines().empty());
  }
  {
    Loeschen t(LoeschModus::kAuslagern);
    DateiLoeschen(t.k, t.pfad);
    EXPECT_FALSE(t.Da(t.pfad));
    EXPECT_EQ(t.log.Texts()[0], "Vergl: Kopie statt Löschen von " + t.pfad);
    EXPECT_EQ(t.baum.Read(t.lager.substr(t.baum.root().size())), "inhalt");
    EXPECT_EQ(t.Dos(t.lager.substr(t.baum.root().size())), DosFromFileTime(kAlt));
    // The same path moved aside again in later runs (each with its own register) keeps every
    // earlier version; a copy cut short by a kill in the store is cleared away.
    const std::string lager_rel = t.lager.substr(t.baum.root().size() + 1);
    const std::string rest = DirectoryPart(lager_rel) + KopierTempName("x.txt", 7);
    t.Datei(rest, "halb", kAlt);
    t.k.Laufbeginn = FileTime{Clock::System()->Now().sec + 10, 0};
    for (const char* inhalt : {"neuer", "neuester"}) {
      Kopierer spaeter(t.fs, &t.log, &t.run, true);
      t.k.kopierer = &spaeter;
      t.k.lager_aufgeraeumt.clear();
      t.Datei("z/d/x.txt", inhalt, Local(2002, 1, 1));
      DateiLoeschen(t.k, t.pfad);
      EXPECT_FALSE(t.Da(t.pfad));
    }
    EXPECT_EQ(t.baum.Read(lager_rel), "inhalt");
    EXPECT_EQ(t.baum.Read(NumberedPath(lager_rel, 2)), "neuer");
    EXPECT_EQ(t.baum.Read(NumberedPath(lager_rel, 3)), "neuester");
    EXPECT_FALSE(t.baum.Exists(rest));
    EXPECT_EQ(t.log.CountPrefix("Vergl: Überbleibsel eines abgebrochenen Kopierens entfernt: "), 1);
  }
}

// Refusals of the store: every one must keep the file.
class LagerAnlegenFehler : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  Status CreateDirectory(const std::string& p) override {
    if (p.find("/lager/") != std::string::npos) return Status::FromErrno(EACCES);
    return FileSystemWrapper::CreateDirectory(p);
  }
};
class LagerSchreibFehler : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m,
                                                Status* s) override {
    if (p.find("/lager/") == std::string::npos) return FileSystemWrapper::CreateExclusive(p, m, s);
    if (s != nullptr) *s = Status::FromErrno(ENOSPC);
    return nullptr;
  }
};
// Claims the copy was put in place while it was not.
class LagerLuegt : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  Status RenameNoReplace(const std::string&, const std::string&) override { return Status::Ok(); }
};

TEST(DateiLoeschen, OhneSicherungskopieBleibtDieDatei) {
  LagerAnlegenFehler anlegen(FileSystem::Default());
  LagerSchreibFehler schreiben(FileSystem::Default());
  LagerLuegt luegt(FileSystem::Default());
  for (int fall = 0; fall < 6; ++fall) {
    SCOPED_TRACE(fall);
    FileSystem* fs = fall == 0   ? static_cast<FileSystem*>(&anlegen)
                     : fall == 1 ? static_cast<FileSystem*>(&schreiben)
                     : fall == 2 ? static_cast<FileSystem*>(&luegt)
                                 : FileSystem::Default();
    Loeschen t(LoeschModus::kAuslagern, fs);
    if (fall == 3) t.fenster.AbbrechenClick();
    if (fall == 4) t.kopierer.Kopieren(t.pfad, t.lager, 6);  // the register refuses it now
    if (fall == 5) t.baum.Write("lager/tmp", "eine Datei statt einer Stufe");
    if (fall == 5) t.k.LoeschenWohin = t.baum.Path("lager/tmp/");
    DateiLoeschen(t.k, t.pfad);
    EXPECT_EQ(t.baum.Read("z/d/x.txt"), "inhalt");
    EXPECT_TRUE(
        t.log.Has(LogStufe::kWarnung, "Vergl: Nicht gelöscht, Sicherungskopie fehlt: " + t.pfad));
  }
}

TEST(VerzeichnisLoeschen, BaumTiefeZuerst) {
  Loeschen t(LoeschModus::kNormal);
  t.baum.Write("z/a/x", "1");
  t.baum.Write("z/a/b/y", "2");
  t.baum.Mkdir("z/a/b/c");
  const std::string a = t.baum.Path("z/a");
  VerzeichnisLoeschen(t.k, a, AllesWieZuletzt);
  EXPECT_FALSE(t.Da(a));
  auto zeilen = t.Zeilen("Vergl: Verzeichnis");
  // The order of entries within one listing is the file system's; compare per directory.
  std::vector<std::string> erwartet_b = {
      "Vergl: Verzeichnis löschen: " + a + "/b", "Vergl: Verzeichnis löschen läuft rekursiv.",
      "Vergl: Verzeichnis löschen: " + a + "/b/c",
      "Vergl: Verzeichnis inkl. Unterverzeichnisse gelöscht: " + a + "/b/c",
      "Vergl: Verzeichnis inkl. Unterverzeichnisse gelöscht: " + a + "/b/"};
  ASSERT_EQ(zeilen.size(), 8u);
  EXPECT_EQ(zeilen[0], "Vergl: Verzeichnis löschen: " + a);
  EXPECT_EQ(zeilen[1], "Vergl: Verzeichnis löschen läuft rekursiv.");
  EXPECT_EQ(std::vector<std::string>(zeilen.begin() + 2, zeilen.begin() + 7), erwartet_b);
  EXPECT_EQ(zeilen[7], "Vergl: Verzeichnis inkl. Unterverzeichnisse gelöscht: " + a + "/");
  EXPECT_TRUE(t.log.Has(LogStufe::kDateiAenderung, zeilen[7]));

  // The stop request: nothing more is removed.
  t.baum.Mkdir("z/leer");
  t.stop = true;
  VerzeichnisLoeschen(t.k, t.baum.Path("z/leer"), AllesWieZuletzt);
  EXPECT_TRUE(t.baum.Exists("z/leer"));
}

TEST(VerzeichnisLoeschen, BehalteneDateienBehaltenDasVerzeichnis) {
  Loeschen t(LoeschModus::kNie);
  t.baum.Mkdir("z/leer");
  VerzeichnisLoeschen(t.k, t.baum.Path("z/leer"), AllesWieZuletzt);  // empty: removed in every mode
  EXPECT_FALSE(t.baum.Exists("z/leer"));
  VerzeichnisLoeschen(t.k, t.baum.Path("z/d"), AllesWieZuletzt);
  EXPECT_TRUE(t.Da(t.pfad));
  EXPECT_TRUE(t.log.Has(LogStufe::kDateiAenderung,
                        "Vergl: Verzeichnis bleibt, nicht alles gelöscht: " + t.baum.Path("z/d/")));
  EXPECT_EQ(t.log.CountPrefix("Vergl: Verzeichnis inkl."), 1);
  EXPECT_EQ(t.k.Fehler, 0);  // kept on purpose: no failure
}

TEST(VerzeichnisLoeschen, WasNichtMehrWieZuletztIstBleibt) {
  // Each entry is judged right before it goes: what is new or changed stays, and so does its
  // directory; the rest goes.
  Loeschen t(LoeschModus::kNormal);
  t.baum.Write("z/d/geschrieben.txt", "neu");
  t.baum.Write("z/d/weg/alt.txt", "alt");
  const std::string d = t.baum.Path("z/d");
  VerzeichnisLoeschen(
      t.k, d, [](const std::string&, const FileInfo& e) { return e.name != "geschrieben.txt"; });
  EXPECT_EQ(t.baum.Read("z/d/geschrieben.txt"), "neu");
  EXPECT_FALSE(t.Da(t.pfad));
  EXPECT_FALSE(t.baum.Exists("z/d/weg"));
  EXPECT_TRUE(t.log.Has(LogStufe::kDateiAenderung,
                        "Vergl: Nicht gelöscht, neu oder seit dem letzten Abgleich geändert: " + d +
                            "/geschrieben.txt"));
  EXPECT_EQ(t.log.CountPrefix("Vergl: Verzeichnis inkl."), 1);  // only "weg"
  EXPECT_EQ(t.k.Fehler, 0);
  // The program's own directory inside is never offered, and keeps its parent.
  t.baum.Write("z/e/.zarnoft/kennung", "x");
  t.baum.Write("z/e/f", "x");
  VerzeichnisLoeschen(t.k, t.baum.Path("z/e"), AllesWieZuletzt);
  EXPECT_TRUE(t.baum.Exists("z/e/.zarnoft/kennung"));
  EXPECT_FALSE(t.baum.Exists("z/e/f"));
}

TEST(VerzeichnisLoeschen, LinksWerdenNieVerfolgt) {
  for (LoeschModus modus : {LoeschModus::kNormal, LoeschModus::kAuslagern}) {
    SCOPED_TRACE(Zahl(modus));
    Loeschen t(modus);
    const std::string draussen = t.baum.Write("draussen/wichtig", "bleibt");
    ASSERT_EQ(::symlink(t.baum.Path("draussen").c_str(), t.baum.Path("z/d/zeiger").c_str()), 0);
    ASSERT_EQ(::symlink(draussen.c_str(), t.baum.Path("z/d/datei").c_str()), 0);
    VerzeichnisLoeschen(t.k, t.baum.Path("z/d"), AllesWieZuletzt);
    EXPECT_FALSE(t.baum.Exists("z/d"));
    EXPECT_EQ(t.baum.Read("draussen/wichtig"), "bleibt");
    if (modus == LoeschModus::kAuslagern) {
      char text[512] = {};
      std::string kopie = Auslagerungspfad(t.k.LoeschenWohin, t.baum.Path("z/d/zeiger"));
      ASSERT_GT(::readlink(kopie.c_str(), text, sizeof text - 1), 0);
      EXPECT_EQ(std::string(text), t.baum.Path("draussen"));
    }
    // A link handed over as the directory itself is not followed either.
    ASSERT_EQ(::symlink(t.baum.Path("draussen").c_str(), t.baum.Path("z/weg").c_str()), 0);
    VerzeichnisLoeschen(t.k, t.baum.Path("z/weg"), AllesWieZuletzt);
    EXPECT_EQ(t.baum.Read("draussen/wichtig"), "bleibt");
    EXPECT_TRUE(t.log.Has(LogStufe::kWarnung,
                          "Vergl: Verzeichnis nicht gelöscht: " + t.baum.Path("z/weg")));
  }
}

}  // namespace
}  // namespace zarnoft
