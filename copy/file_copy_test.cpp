#include "copy/file_copy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/attributes.h"
#include "platform/path_helpers.h"
#include "testing/copy_test_kit.h"

namespace zarnoft::testing {
namespace {

class DateiKopierenTest : public ::testing::Test, public KopierUmgebung {
 protected:
  void SetUp() override {
    tree.Mkdir("ziel");
    alt_zeit = Local(2020, 5, 5, 10, 0, 0);
    tree.Write("ziel/alt", "alter Inhalt");
    SetMtime(tree.Path("ziel/alt"), alt_zeit);
  }
  // The earlier target is still exactly as it was, and no temporary file is left.
  void AltUnveraendert() {
    EXPECT_EQ(tree.Read("ziel/alt"), "alter Inhalt");
    EXPECT_EQ(Info("ziel/alt").mtime, alt_zeit);
    EXPECT_EQ(Namen("ziel"), std::vector<std::string>{"alt"});
  }
  void Fehler(const std::string& meldung, const std::string& zeile) {
    EXPECT_EQ(win.fehler, std::vector<std::string>{meldung});
    EXPECT_TRUE(log.Has(LogStufe::kWarnung, zeile)) << zeile;
  }
  FileTime alt_zeit;
};

TEST_F(DateiKopierenTest, DirectAndSteppedCopies) {
  std::string s = Inhalt(99999);
  tree.Write("q/klein", s);
  EXPECT_EQ(Kopieren("q/klein", "ziel/klein", 99999), KopierErgebnis::kKopiert);
  EXPECT_EQ(tree.Read("ziel/klein"), s);
  EXPECT_EQ(win.schritte, 0);
  EXPECT_TRUE(log.Has(LogStufe::kDebug, "Vergl: Kopiere direkt " + tree.Path("q/klein")));

  tree.Write("q/gross", Inhalt(100000));
  fs.stuecke.clear();
  EXPECT_EQ(Kopieren("q/gross", "ziel/gross", 100000), KopierErgebnis::kKopiert);
  EXPECT_EQ(tree.Read("ziel/gross"), Inhalt(100000));
  EXPECT_EQ(win.schritte, 99);
  std::vector<uint64_t> erwartet(99, 1010);
  erwartet.push_back(10);
  EXPECT_EQ(fs.stuecke, erwartet);
  EXPECT_TRUE(log.Has(LogStufe::kDebug, "Vergl: Kopiere mit Status " + tree.Path("q/gross")));

  // An exact multiple of 99 leaves no remainder.
  tree.Write("q/genau", Inhalt(990000, 3));
  fs.stuecke.clear();
  EXPECT_EQ(Kopieren("q/genau", "ziel/genau", 990000), KopierErgebnis::kKopiert);
  EXPECT_EQ(fs.stuecke, std::vector<uint64_t>(99, 10000));
  EXPECT_EQ(tree.Read("ziel/genau"), Inhalt(990000, 3));
}

TEST_F(DateiKopierenTest, CopyFollowsTheSourceAsItIsNow) {
  // Grown since the walk listed it (direct), shrunk since (stepped).
  tree.Write("q/f", Inhalt(5000));
  EXPECT_EQ(Kopieren("q/f", "ziel/gewachsen", 10), KopierErgebnis::kKopiert);
  EXPECT_EQ(tree.Read("ziel/gewachsen"), Inhalt(5000));
  EXPECT_EQ(Kopieren("q/f", "ziel/geschrumpft", 300000), KopierErgebnis::kKopiert);
  EXPECT_EQ(tree.Read("ziel/geschrumpft"), Inhalt(5000));

  // The target is the source itself, reached through a linked directory: it must survive.
  ASSERT_EQ(::symlink("q", tree.Path("q2").c_str()), 0);
  EXPECT_EQ(Kopieren("q/f", "q2/f", 5000), KopierErgebnis::kKopiert);
  EXPECT_EQ(tree.Read("q/f"), Inhalt(5000));
}

TEST_F(DateiKopierenTest, DateAndBitsOfTheSource) {
  // The last write goes over to the nanosecond and the last access with it (the log keeps the
  // two-second form); an empty file is copied all the same.
  tree.Write("q/leer", "");
  ::chmod(tree.Path("q/leer").c_str(), 0640);
  const FileTime zugriff{Local(2024, 3, 2, 9, 0, 0).sec, 250000000};
  const FileTime aenderung{Local(2024, 3, 1, 14, 5, 9).sec, 500000000};
  ASSERT_TRUE(FileSystem::Default()->SetTimes(tree.Path("q/leer"), zugriff, aenderung));
  EXPECT_EQ(Kopieren("q/leer", "ziel/leer", 0), KopierErgebnis::kKopiert);
  EXPECT_EQ(Info("ziel/leer").size, 0);
  EXPECT_EQ(Info("ziel/leer").mtime, aenderung);
  EXPECT_EQ(Info("ziel/leer").atime, zugriff);
  EXPECT_EQ(Info("ziel/leer").mode, 0640u);
  EXPECT_TRUE(log.Has(LogStufe::kDebugAusfuehrlich, "Vergl: Setzte Datum 01.03.24 14:05:08 "));

  // A target that drops the date is said once per run, and the copies are made all the same.
  fs.datum_verloren = true;
  EXPECT_EQ(Kopieren("q/leer", "ziel/ohne1", 0), KopierErgebnis::kKopiert);
  EXPECT_EQ(Kopieren("q/leer", "ziel/ohne2", 0), KopierErgebnis::kKopiert);
  EXPECT_EQ(log.CountPrefix("Vergl: Ziel behält das Datum der Kopie nicht: "), 1);
  EXPECT_TRUE(log.Has(LogStufe::kWarnung,
                      "Vergl: Ziel behält das Datum der Kopie nicht: " + tree.Path("ziel/ohne1")));
  fs.datum_verloren = false;

  // A read-only target is replaced and takes the source's bits; a read-only source gives a
  // read-only target. Set-user-ID is not carried over.
  ::chmod(tree.Path("ziel/alt").c_str(), 0444);
  tree.Write("q/neu", "neu");
  EXPECT_EQ(Kopieren("q/neu", "ziel/alt", 3), KopierErgebnis::kKopiert);
  EXPECT_EQ(tree.Read("ziel/alt"), "neu");
  EXPECT_EQ(Info("ziel/alt").mode, Info("q/neu").mode);
  ::chmod(tree.Path("q/neu").c_str(), 0444);
  EXPECT_EQ(Kopieren("q/neu", "ziel/ro", 3), KopierErgebnis::kKopiert);
  EXPECT_EQ(Info("ziel/ro").mode, 0444u);
  ::chmod(tree.Path("q/neu").c_str(), 04755);
  EXPECT_EQ(Kopieren("q/neu", "ziel/suid", 3), KopierErgebnis::kKopiert);
  EXPECT_EQ(Info("ziel/suid").mode, 0755u);

  // A time outside the DOS form's years is kept exactly, to the nanosecond.
  for (int jahr : {1975, 2110}) {
    const std::string name = std::to_string(jahr);
    tree.Write("q/" + name, "x");
    const FileTime t{Local(jahr, 1, 1, 10, 0, 1).sec, 123456789};
    SetMtime(tree.Path("q/" + name), t);
    EXPECT_EQ(Kopieren("q/" + name, "ziel/" + name, 1), KopierErgebnis::kKopiert);
    EXPECT_EQ(Info("ziel/" + name).mtime, t) << jahr;
  }

  // Run as root, the copy belongs to the source's owner and group (and still has no set-ID bits).
  if (IstRoot()) {
    tree.Write("q/fremd", "f");
    ASSERT_EQ(::chown(tree.Path("q/fremd").c_str(), 4321, 8765), 0);
    ::chmod(tree.Path("q/fremd").c_str(), 06750);
    EXPECT_EQ(Kopieren("q/fremd", "ziel/fremd", 1), KopierErgebnis::kKopiert);
    EXPECT_EQ(Info("ziel/fremd").uid, 4321u);
    EXPECT_EQ(Info("ziel/fremd").gid, 8765u);
    EXPECT_EQ(Info("ziel/fremd").mode, 0750u);
  }

  // A written file that cannot set its owner and bits itself (here one wrapped to count the
  // room it takes) gets them by name.
  fs.platz = 1 << 20;
  ::chmod(tree.Path("q/neu").c_str(), 0604);
  EXPECT_EQ(Kopieren("q/neu", "ziel/per-name", 3), KopierErgebnis::kKopiert);
  EXPECT_EQ(Info("ziel/per-name").mode, 0604u);
  if (IstRoot()) {
    EXPECT_EQ(Kopieren("q/fremd", "ziel/fremd-per-name", 1), KopierErgebnis::kKopiert);
    EXPECT_EQ(Info("ziel/fremd-per-name").uid, 4321u);
    EXPECT_EQ(Info("ziel/fremd-per-name").mode, 0750u);
  }
}

// The user's extended attributes go with the copy, also more names than one listing call holds;
// the system's own do not. A target that cannot hold them keeps the copies and is said once.
TEST_F(DateiKopierenTest, ExtendedAttributesOfTheUserGoWithTheCopy) {
  tree.Write("q/a", "inhalt");
  const std::string q = tree.Path("q/a");
  if (::setxattr(q.c_str(), "user.probe", "1", 1, 0) != 0)
    GTEST_SKIP() << "Dieses Dateisystem hält keine erweiterten Attribute.";
  // ext4 holds the attributes of a file in one block: 40 long names, one long value.
  const std::string lang(300, 'w');
  for (int i = 0; i < 40; ++i) {
    const std::string name = "user.eigenschaft-mit-langem-namen-" + std::to_string(i);
    const std::string w = i == 39 ? lang : "k";
    ASSERT_EQ(::setxattr(q.c_str(), name.c_str(), w.data(), w.size(), 0), 0);
  }
  EXPECT_EQ(Kopieren("q/a", "ziel/a", 6), KopierErgebnis::kKopiert);
  const std::string z = tree.Path("ziel/a");
  char wert[400];
  EXPECT_EQ(::getxattr(z.c_str(), "user.probe", wert, sizeof wert), 1);
  EXPECT_EQ(::getxattr(z.c_str(), "user.eigenschaft-mit-langem-namen-39", wert, sizeof wert), 300);
  EXPECT_EQ(std::string(wert, 300), lang);
  EXPECT_TRUE(AttributKopieren("user.x", false));
  EXPECT_FALSE(AttributKopieren("system.posix_acl_access", false));
  EXPECT_TRUE(AttributKopieren("system.posix_acl_access", true));
  EXPECT_FALSE(AttributKopieren("security.selinux", true));
  EXPECT_FALSE(AttributKopieren("trusted.x", true));

  fs.ohne_attribute = true;
  EXPECT_EQ(Kopieren("q/a", "ziel/b", 6), KopierErgebnis::kKopiert);
  EXPECT_EQ(Kopieren("q/a", "ziel/c", 6), KopierErgebnis::kKopiert);
  EXPECT_EQ(tree.Read("ziel/c"), "inhalt");
  EXPECT_EQ(log.CountPrefix("Vergl: Ziel behält die erweiterten Attribute nicht: "), 1);
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, "Vergl: Ziel behält die erweiterten Attribute nicht: " +
                                              tree.Path("ziel/b")));
}

TEST_F(DateiKopierenTest, SourceChangedWhileCopiedIsNotPutInPlace) {
  // Written in the middle of a stepped copy (same size, new date), replaced by a new file, or
  // grown during a direct one: each time the target keeps what it had, nothing is left behind,
  // and the copy counts as failed.
  tree.Write("q/gross", Inhalt(300000));
  win.bei_schritt = [&](int n) {
    if (n == 30) {
      tree.Write("q/gross", Inhalt(300000, 9));
      SetMtime(tree.Path("q/gross"), Local(2030, 1, 1));
    }
  };
  EXPECT_EQ(Kopieren("q/gross", "ziel/alt", 300000), KopierErgebnis::kFehler);
  AltUnveraendert();
  EXPECT_TRUE(log.Has(LogStufe::kWarnung,
                      "Vergl: Während des Kopierens geändert: " + tree.Path("q/gross")));
  EXPECT_TRUE(win.fehler.empty());  // no dialog: the next run copies it again

  win.bei_schritt = nullptr;
  tree.Write("q/klein", "klein");
  fs.nach_kopie = [&] { tree.Write("q/klein", "kleiner, aber länger"); };
  EXPECT_EQ(Kopieren("q/klein", "ziel/alt", 5), KopierErgebnis::kFehler);
  AltUnveraendert();
  EXPECT_EQ(k->Fehlschlaege(), 2);

  // An unchanged source is copied as usual.
  fs.nach_kopie = nullptr;
  EXPECT_EQ(Kopieren("q/klein", "ziel/neu", 20), KopierErgebnis::kKopiert);
  EXPECT_EQ(tree.Read("ziel/neu"), "kleiner, aber länger");
}

TEST_F(DateiKopierenTest, TargetSavedWhileCopiedIsKept) {
  // The user saves the target in the middle of a stepped copy, saves a new file under the
  // target's name during a direct one, or replaces the target by another file of the same size
  // and date: each time the user's file stays, nothing is left behind, and the copy failed.
  const std::string zeile = "Vergl: Während des Kopierens geändert: ";
  tree.Write("q/gross", Inhalt(300000));
  win.bei_schritt = [&](int n) {
    if (n == 30) tree.Write("ziel/alt", "vom Benutzer gespeichert");
  };
  EXPECT_EQ(Kopieren("q/gross", "ziel/alt", 300000), KopierErgebnis::kFehler);
  EXPECT_EQ(tree.Read("ziel/alt"), "vom Benutzer gespeichert");
  EXPECT_TRUE(log.Has(LogStufe::kWarnung, zeile + tree.Path("ziel/alt")));
  EXPECT_TRUE(win.fehler.empty());  // no dialog: the next run decides again

  win.bei_schritt = nullptr;
  tree.Write("q/klein", "klein");
  fs.nach_kopie = [&] { tree.Write("ziel/neu", "neu gespeichert"); };
  EXPECT_EQ(Kopieren("q/klein", "ziel/neu", 5), KopierErgebnis::kFehler);
  EXPECT_EQ(tree.Read("ziel/neu"), "neu gespeichert");

  tree.Write("ziel/gleich", "12345");
  SetMtime(tree.Path("ziel/gleich"), alt_zeit);
  fs.nach_kopie = [&] {
    tree.Write("ziel/anders", "54321");
    SetMtime(tree.Path("ziel/anders"), alt_zeit);
    ASSERT_EQ(::rename(tree.Path("ziel/anders").c_str(), tree.Path("ziel/gleich").c_str()), 0);
  };
  EXPECT_EQ(Kopieren("q/klein", "ziel/gleich", 5), KopierErgebnis::kFehler);
  EXPECT_EQ(tree.Read("ziel/gleich"), "54321");
  EXPECT_EQ(Namen("ziel"), (std::vector<std::string>{"alt", "gleich", "neu"}));
  EXPECT_EQ(k->Fehlschlaege(), 3);

  // A target left alone is replaced as usual.
  fs.nach_kopie = nullptr;
  tree.Write("q/zweit", "zweit");
  EXPECT_EQ(Kopieren("q/zweit", "ziel/gleich", 5), KopierErgebnis::kKopiert);
  EXPECT_EQ(tree.Read("ziel/gleich"), "zweit");
}

TEST_F(DateiKopierenTest, TargetKeepsOldContentUntilTheCopyIsComplete) {
  tree.Write("q/gross", Inhalt(200000));
  win.bei_schritt = [&](int n) {
    if (n != 50) return;
    EXPECT_EQ(tree.Read("ziel/alt"), "alter Inhalt");
    auto namen = Namen("ziel");
    ASSERT_EQ(namen.size(), 2u);
    EXPECT_TRUE(IstKopierTempName(namen[0])) << namen[0];
    EXPECT_EQ(Info("ziel/" + namen[0]).mode, 0600u);
  };
  EXPECT_EQ(Kopieren("q/gross", "ziel/alt", 200000), KopierErgebnis::kKopiert);
  EXPECT_EQ(tree.Read("ziel/alt"), Inhalt(200000));
  EXPECT_EQ(Namen("ziel"), std::vector<std::string>{"alt"});
}

TEST_F(DateiKopierenTest, CancelLeavesTargetAbsentOrUnchanged) {
  tree.Write("q/gross", Inhalt(500000));
  win.bei_schritt = [&](int n) {
    if (n == 40) win.AbbrechenClick();
  };
  EXPECT_EQ(Kopieren("q/gross", "ziel/neu", 500000), KopierErgebnis::kAbgebrochen);
  EXPECT_EQ(win.schritte, 99);  // the gauge still runs to its end
  EXPECT_EQ(fs.stuecke.size(), 40u);
  EXPECT_EQ(Namen("ziel"), std::vector<std::string>{"alt"});

  win.AbbruchZuruecksetzen();
  win.schritte = 0;
  EXPECT_EQ(Kopieren("q/gross", "ziel/alt", 500000), KopierErgebnis::kAbgebrochen);
  AltUnveraendert();

  // A cancel before a direct copy has written anything.
  win.AbbruchZuruecksetzen();
  win.bei_neuer_datei = [&](const NeueDateiAnzeige&) { win.AbbrechenClick(); };
  tree.Write("q/klein", "k");
  EXPECT_EQ(Kopieren("q/klein", "ziel/alt", 1), KopierErgebnis::kAbgebrochen);
  AltUnveraendert();
  EXPECT_TRUE(win.fehler.empty());
}

TEST_F(DateiKopierenTest, SourceErrors) {
  tree.Mkdir("q/verz");
  ASSERT_EQ(::mkfifo(tree.Path("q/fifo").c_str(), 0644), 0);
  for (std::string von : {"q/fehlt", "q/verz", "q/fifo"}) {
    SCOPED_TRACE(von);
    win.fehler.clear();
    EXPECT_EQ(Kopieren(von, "ziel/alt", 10), KopierErgebnis::kFehler);
    Fehler("Fehler beim Öffnen der Quelldatei\r" + tree.Path(von),
           "Vergl: Kopierfehler: Quelldatei nicht erzeugt: " + tree.Path(von));
    AltUnveraendert();
  }
}

TEST_F(DateiKopierenTest, TargetErrors) {
  tree.Write("q/f", "inhalt");
  EXPECT_EQ(Kopieren("q/f", "fehlt/f", 6), KopierErgebnis::kFehler);
  Fehler("Fehler beim Erzeugen der Zieldatei\r" + tree.Path("fehlt/f"),
         "Vergl: Kopierfehler: Zieldatei nicht erzeugt: " + tree.Path("fehlt/f"));
  EXPECT_FALSE(tree.Exists("fehlt"));

  win.fehler.clear();
  fs.rename_fehler = true;
  EXPECT_EQ(Kopieren("q/f", "ziel/alt", 6), KopierErgebnis::kFehler);
  Fehler("Fehler beim Erzeugen der Zieldatei\r" + tree.Path("ziel/alt"),
         "Vergl: Kopierfehler: Zieldatei nicht erzeugt: " + tree.Path("ziel/alt"));
  AltUnveraendert();
}

TEST_F(DateiKopierenTest, CopyErrorsKeepTheOldTarget) {
  struct Fall {
    int64_t groesse;
    int64_t platz;
    bool close_fehler;
  };
  for (Fall f : {Fall{5000, 3000, false}, Fall{300000, 150000, false}, Fall{10, -1, true}}) {
    SCOPED_TRACE(f.groesse);
    win.fehler.clear();
    win.schritte = 0;
    fs.platz = f.platz;
    fs.close_fehler = f.close_fehler;
    std::string von = tree.Write("q/f" + std::to_string(f.groesse), Inhalt(f.groesse));
    EXPECT_EQ(k->Kopieren(von, tree.Path("ziel/alt"), f.groesse), KopierErgebnis::kFehler);
    Fehler("Fehler beim Kopieren der Datei\r" + von + "\rnach\r" + tree.Path("ziel/alt"),
           "Vergl: Kopierfehler: " + von + " nach " + tree.Path("ziel/alt"));
    EXPECT_LT(win.schritte, 99);
    AltUnveraendert();
  }
}

TEST_F(DateiKopierenTest, WithoutKopierMeldungOnlyTheLogLine) {
  k = std::make_unique<Kopierer>(&fs, &log, &rw, false);
  EXPECT_EQ(Kopieren("q/fehlt", "ziel/alt", 1), KopierErgebnis::kFehler);
  EXPECT_TRUE(win.fehler.empty());
  EXPECT_EQ(log.CountPrefix("Vergl: Kopierfehler: Quelldatei nicht erzeugt: "), 1);
}

TEST_F(DateiKopierenTest, SymbolicLinkIsCopiedAsLink) {
  tree.Mkdir("q/baum");
  tree.Write("q/baum/datei", "im Baum");
  ASSERT_EQ(::symlink("baum", tree.Path("q/link").c_str()), 0);
  SetMtime(tree.Path("q/link"), Local(2023, 7, 1, 8, 0, 3));
  EXPECT_EQ(Kopieren("q/link", "ziel/alt", 4), KopierErgebnis::kKopiert);
  std::string text;
  ASSERT_TRUE(FileSystem::Default()->ReadLink(tree.Path("ziel/alt"), &text));
  EXPECT_EQ(text, "baum");
  EXPECT_EQ(Info("ziel/alt").mtime, Local(2023, 7, 1, 8, 0, 3));
  EXPECT_TRUE(log.Has(LogStufe::kDebug, "Vergl: Kopiere direkt " + tree.Path("q/link")));
  EXPECT_EQ(Namen("ziel"), std::vector<std::string>{"alt"});
}

TEST_F(DateiKopierenTest, LongTargetNameGetsShortTemporaryName) {
  std::string lang(255, 'n');
  tree.Write("q/f", "x");
  EXPECT_EQ(Kopieren("q/f", "ziel/" + lang, 1), KopierErgebnis::kKopiert);
  EXPECT_EQ(tree.Read("ziel/" + lang), "x");

  // The short name when the derived one would be too long; eight random digits, then four that
  // check the name, so that a user's file that merely looks like one is never taken for one.
  const std::string kurz = NamePart(KopierTempName("/d/" + lang, 1));
  EXPECT_EQ(kurz.substr(0, 21), ".zarnoft-tmp-00000001");
  EXPECT_EQ(kurz.size(), 25u);
  const std::string abgeleitet = KopierTempName("/d/name", 0xabc);
  EXPECT_EQ(abgeleitet.substr(0, 25), "/d/.name.zarnoft-00000abc");
  EXPECT_TRUE(IstKopierTempName(kurz));
  EXPECT_TRUE(IstKopierTempName(NamePart(abgeleitet)));
  EXPECT_TRUE(IstKopierTempName(NamePart(KopierTempName("/d/x.txt", 77))));
  std::string falsch = NamePart(abgeleitet);
  falsch.back() = falsch.back() == '0' ? '1' : '0';
  EXPECT_FALSE(IstKopierTempName(falsch));
  EXPECT_FALSE(IstKopierTempName(".name.zarnoft-000000000000"));
  EXPECT_FALSE(IstKopierTempName(".x.zarnoft-"));
  EXPECT_FALSE(IstKopierTempName("name.txt"));
}

}  // namespace
}  // namespace zarnoft::testing
