#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "engine/archive.h"
#include "testing/run_test_kit.h"

namespace zarnoft {
namespace {

using testing::HookLauf;
using testing::Local;

const FileTime kDatum = Local(2024, 2, 1, 8, 0, 0);
const char kArchiv[] = "z/d/Brief.doc vom 2024_03_01 14_05_09";

struct Archiv : HookLauf {
  explicit Archiv(int doppelt) {
    k.Art = VorgangsArt::kArchivieren;
    k.Doppelt = doppelt;
    k.Letzter = LetzterLauf::AusDos(DosFromLocal(ToLocal(Local(2024, 1, 1))));
    Datei("h/d/Brief.doc", "v1", kDatum);
    baum.Mkdir("z/d");
    uhr.Set(Local(2024, 3, 1, 14, 5, 9));
  }
  void Entscheiden() { Archivieren(k, "/d/", "Brief.doc", Info("h/d/Brief.doc")); }
};

TEST(Archivieren, InkrementellUndGesamt) {
  {
    Archiv t(Zahl(ArchivUmfang::kInkrementell));
    t.Entscheiden();  // changed since the last run
    EXPECT_EQ(t.baum.Read(kArchiv), "v1");
    EXPECT_EQ(t.Dos(kArchiv), DosFromFileTime(kDatum));
    EXPECT_TRUE(t.log.Has(LogStufe::kDateiAenderung, "Vergl: Archiv kopiere Brief.doc aus /d/"));
    t.k.Letzter = LetzterLauf::AusDos(DosFromLocal(ToLocal(Local(2024, 2, 2))));
    t.uhr.Advance(60);
    t.Entscheiden();  // unchanged since
    EXPECT_TRUE(t.log.Has(LogStufe::kDateizugriff, "Vergl:              ... Keine Änderung"));
    EXPECT_FALSE(t.baum.Exists("z/d/Brief.doc vom 2024_03_01 14_06_09"));
  }
  for (int doppelt : {Zahl(ArchivUmfang::kGesamt), 5}) {  // 5: no sub-mode of its own
    Archiv t(doppelt);
    t.k.Letzter = LetzterLauf::AusDos(DosFromLocal(ToLocal(Local(2024, 2, 2))));
    t.Entscheiden();
    EXPECT_EQ(t.baum.Read(kArchiv), "v1");
  }
}

TEST(Archivieren, EinVergebenerNameWirdNieErsetzt) {
  Archiv t(Zahl(ArchivUmfang::kGesamt));
  t.Entscheiden();
  // Further runs within the same second (each with its own copy register), and an entry of
  // that name that is no archive copy: each copy takes the next free number.
  ASSERT_EQ(::symlink("/", t.baum.Path("z/d/Brief (3).doc vom 2024_03_01 14_05_09").c_str()), 0);
  for (const char* inhalt : {"v2", "v3"}) {
    Kopierer kopierer(t.fs, &t.log, &t.run, true);
    t.k.kopierer = &kopierer;
    t.Datei("h/d/Brief.doc", inhalt, Local(2024, 2, 3));
    t.Entscheiden();
  }
  EXPECT_EQ(t.baum.Read(kArchiv), "v1");
  EXPECT_EQ(t.baum.Read("z/d/Brief (2).doc vom 2024_03_01 14_05_09"), "v2");
  EXPECT_EQ(t.baum.Read("z/d/Brief (4).doc vom 2024_03_01 14_05_09"), "v3");
  struct stat st;
  ASSERT_EQ(::lstat(t.baum.Path("z/d/Brief (3).doc vom 2024_03_01 14_05_09").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(t.log.CountPrefix("Vergl: Archiv kopiere Brief.doc aus /d/"), 3);
}

TEST(Archivieren, ZuLangerNameScheitertImKopierschritt) {
  Archiv t(Zahl(ArchivUmfang::kGesamt));
  const std::string n(240, 'b');
  t.Datei("h/d/" + n, "lang", kDatum);
  Archivieren(t.k, "/d/", n, t.Info("h/d/" + n));
  EXPECT_EQ(t.log.CountPrefix("Vergl: Kopierfehler: Zieldatei nicht erzeugt: "), 1);
  EXPECT_EQ(t.fenster.fehler.size(), 1u);
  EXPECT_EQ(t.baum.Read("h/d/" + n), "lang");
}

}  // namespace
}  // namespace zarnoft
