#include <gtest/gtest.h>

#include <cerrno>

#include <string>

#include "engine/conflict.h"
#include "testing/run_test_kit.h"

namespace zarnoft {
namespace {

using testing::HookLauf;
using testing::Local;
using testing::SetMtime;

const FileTime kQuellZeit = Local(2024, 3, 1, 14, 5, 10);
const FileTime kZielZeit = Local(2024, 3, 2, 9, 0, 0);

// N changed on both sides: "quelle" in the source, "ziel!" (newer) in the target.
struct Konflikt : HookLauf {
  explicit Konflikt(const std::string& name = "Brief.doc",
                    FileSystem* dateisystem = FileSystem::Default())
      : HookLauf(dateisystem), n(name) {
    Datei("h/d/" + n, "quelle", kQuellZeit);
    Datei("z/d/" + n, "ziel!", kZielZeit);
    k.Letzter = LetzterLauf::AusDos(DosFromLocal(ToLocal(Local(2024, 1, 1))));
  }
  void Entscheiden() { DoppelteAenderung(k, "/d/", n, Info("h/d/" + n), Info("z/d/" + n)); }
  std::string h(const std::string& name) const { return baum.Read("h/d/" + name); }
  std::string z(const std::string& name) const { return baum.Read("z/d/" + name); }
  bool Da(const std::string& rel) const { return baum.Exists(rel); }
  int Pfeile() const { return log.CountPrefix("Vergl: -> "); }
  std::string n;
};

TEST(DoppelteAenderung, RegelnOhneFrage) {
  struct Fall {
    int doppelt;
    std::string herkunft, ziel, zeile;
  } faelle[] = {
      {Zahl(DoppelRegel::kNeuerenBehalten), "ziel!", "ziel!", "Vergl: -> Neueren kopiert"},
      {Zahl(DoppelRegel::kHerkunftBehalten), "quelle", "quelle", "Vergl: -> Herkunft behalten"},
      {Zahl(DoppelRegel::kZielBehalten), "ziel!", "ziel!", "Vergl: -> Ziel behalten"},
      {Zahl(DoppelRegel::kKeineAktion), "quelle", "ziel!", "Vergl: -> Keine Aktion"},
      {6, "quelle", "ziel!", ""},  // no policy: nothing happens
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.doppelt);
    Konflikt c;
    c.k.Doppelt = f.doppelt;
    c.Entscheiden();
    EXPECT_EQ(c.h("Brief.doc"), f.herkunft);
    EXPECT_EQ(c.z("Brief.doc"), f.ziel);
    EXPECT_TRUE(c.fenster.fragen.empty());
    auto l = c.log.Lines();
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l[0], std::make_pair(LogStufe::kWarnung, "Vergl: Doppelt geändert: " + c.k.Ziel +
                                                           "/d/Brief.doc und " + c.k.Herkunft +
                                                           "/d/Brief.doc"));
    if (!f.zeile.empty()) {
      EXPECT_TRUE(c.log.Has(LogStufe::kDateiAenderung, f.zeile));
    }
    EXPECT_EQ(c.Pfeile(), f.zeile.empty() ? 0 : 1);
  }
  // Policy 1 with the newer file in the source copies the other way.
  Konflikt c;
  c.k.Doppelt = Zahl(DoppelRegel::kNeuerenBehalten);
  SetMtime(c.baum.Path("h/d/Brief.doc"), Local(2024, 4, 1));
  c.Entscheiden();
  EXPECT_EQ(c.z("Brief.doc"), "quelle");
}

TEST(DoppelteAenderung, FrageUndAntworten) {
  Konflikt c;
  c.Entscheiden();
  ASSERT_EQ(c.fenster.fragen.size(), 1u);
  const Frage& f = c.fenster.fragen[0];
  EXPECT_EQ(f.titel, "Warnung");
  EXPECT_EQ(f.symbol, Frage::Symbol::kWarnung);
  EXPECT_EQ(f.knoepfe, (std::vector<std::string>{"&Ja", "&Nein", "&Ignorieren", "&Alles"}));
  EXPECT_EQ(f.standard, 0);
  EXPECT_EQ(f.abbrechen, 1);
  EXPECT_EQ(f.text,
            "Die Datei /d/Brief.doc\rwurde sowohl im Verzeichnis\r1: " + c.k.Herkunft +
                "\r   (geändert 01.03.2024 14:05:10)\rals auch im Verzeichnis\r2: " + c.k.Ziel +
                "\r   (geändert 02.03.2024 09:00:00)\rgeändert.\r\r Soll die Datei im "
                "Verzeichnis 1 erhalten bleiben?\r\rJa: 1 auf 2 kopieren, Nein: 2 auf 1 "
                "kopieren,\rAlle: beide bleiben erhalten (als V1 und V2),\rIgnorieren: "
                "keine Aktion durchführen");

  struct Fall {
    int antwort;
    std::string herkunft, ziel;
  } faelle[] = {{0, "quelle", "quelle"},
                {1, "ziel!", "ziel!"},
                {2, "quelle", "ziel!"},
                {kKeineAntwort, "quelle", "ziel!"}};
  for (const Fall& a : faelle) {
    SCOPED_TRACE(a.antwort);
    Konflikt c;
    c.fenster.antworten = {a.antwort};
    c.Entscheiden();
    EXPECT_EQ(c.h("Brief.doc"), a.herkunft);
    EXPECT_EQ(c.z("Brief.doc"), a.ziel);
    EXPECT_TRUE(c.log.Has(LogStufe::kDateiAenderung, "Vergl: (Auswahl durch Benutzer)"));
    EXPECT_EQ(c.Pfeile(), a.antwort == kKeineAntwort ? 0 : 1);
  }

  // "&Alles" keeps both versions of this one file; the next conflict asks again.
  Konflikt alles;
  alles.fenster.antworten = {3};
  alles.Entscheiden();
  EXPECT_EQ(alles.h("Brief V2.doc"), "ziel!");
  alles.Datei("h/d/x", "1", kQuellZeit);
  alles.Datei("z/d/x", "2", kZielZeit);
  DoppelteAenderung(alles.k, "/d/", "x", alles.Info("h/d/x"), alles.Info("z/d/x"));
  EXPECT_EQ(alles.fenster.fragen.size(), 2u);

  // After a cancel no question is asked: its answer could not be carried out.
  Konflikt abbruch;
  abbruch.fenster.AbbrechenClick();
  abbruch.Entscheiden();
  EXPECT_TRUE(abbruch.fenster.fragen.empty());
}

TEST(DoppelteAenderung, NiemandZuFragenOderWaehrendDerFrageGeaendertBleibtUndScheitert) {
  // Nobody could be asked: both versions stay, and the run fails, so that the next run meets
  // the conflict again instead of taking the older version for unchanged.
  Konflikt niemand;
  niemand.fenster.antworten = {kNiemandGefragt};
  niemand.Entscheiden();
  EXPECT_EQ(niemand.h("Brief.doc"), "quelle");
  EXPECT_EQ(niemand.z("Brief.doc"), "ziel!");
  EXPECT_EQ(niemand.k.Fehler, 1);
  EXPECT_TRUE(niemand.log.Has(LogStufe::kWarnung, "Vergl: Doppelte Änderung nicht entschieden: " +
                                                      niemand.k.Herkunft + "/d/Brief.doc"));
  EXPECT_FALSE(niemand.log.Has("Vergl: (Auswahl durch Benutzer)"));

  // The user answers "keep the source", but the target was saved again while the box was open:
  // that newer save is not overwritten.
  for (const char* seite : {"z/d/Brief.doc", "h/d/Brief.doc"}) {
    SCOPED_TRACE(seite);
    Konflikt c;
    c.fenster.antworten = {0};
    c.fenster.bei_frage = [&](const Frage&) { c.Datei(seite, "gerade gespeichert", kZielZeit); };
    c.Entscheiden();
    EXPECT_EQ(c.baum.Read(seite), "gerade gespeichert");
    EXPECT_EQ(c.k.Fehler, 1);
    EXPECT_EQ(c.Pfeile(), 0);
  }

  // A box the user closed, or "Keine Aktion", is the user's decision: no failure.
  Konflikt zu;
  zu.fenster.antworten = {kKeineAntwort};
  zu.Entscheiden();
  EXPECT_EQ(zu.k.Fehler, 0);
}

TEST(DoppelteAenderung, BeideBehaltenNamen) {
  struct Fall {
    std::string n, n1, n2;
  } faelle[] = {{"Brief.doc", "Brief V1.doc", "Brief V2.doc"},
                {"Liste", "Liste V1", "Liste V2"},
                {"a.b.c", "a.b V1.c", "a.b V2.c"},
                {".profile", " V1.profile", " V2.profile"}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.n);
    Konflikt c(f.n);
    c.k.Doppelt = Zahl(DoppelRegel::kBeideBehalten);
    c.Entscheiden();
    for (const char* seite : {"h/d/", "z/d/"}) {
      EXPECT_FALSE(c.Da(seite + f.n));
      EXPECT_EQ(c.baum.Read(seite + f.n1), "quelle");
      EXPECT_EQ(c.baum.Read(seite + f.n2), "ziel!");
    }
    EXPECT_EQ(c.Dos("z/d/" + f.n1), c.Dos("h/d/" + f.n1));
    EXPECT_TRUE(
        c.log.Has(LogStufe::kDateiAenderung, "Vergl: -> Herkunft als V1, Ziel als V2 behalten"));
  }
}

// Renames that fail refuse an existing name; a source rename that fails takes the target's
// back, and copies that fail take both back: no version is left on one side only.
class RenameFehler : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  Status RenameNoReplace(const std::string& f, const std::string& t) override {
    if (t.find("/h/") != std::string::npos && t.find(" V1") != std::string::npos)
      return Status::FromErrno(EACCES);
    return FileSystemWrapper::RenameNoReplace(f, t);
  }
};
class KopieFehler : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m,
                                                Status* s) override {
    if (p.find("/h/") == std::string::npos) return FileSystemWrapper::CreateExclusive(p, m, s);
    if (s != nullptr) *s = Status::FromErrno(ENOSPC);
    return nullptr;
  }
};

TEST(DoppelteAenderung, BeideBehaltenScheitertOhneVerlust) {
  const std::string kNicht = "Vergl: -> Umbenennen zu V1,V2 nicht möglich";
  {
    Konflikt c;  // N2 is taken in the target
    c.Datei("z/d/Brief V2.doc", "alt", kQuellZeit);
    c.k.Doppelt = Zahl(DoppelRegel::kBeideBehalten);
    c.Entscheiden();
    EXPECT_TRUE(c.log.Has(LogStufe::kWarnung, kNicht));
    EXPECT_EQ(c.z("Brief V2.doc"), "alt");
    EXPECT_EQ(c.z("Brief.doc"), "ziel!");
    EXPECT_EQ(c.h("Brief.doc"), "quelle");
  }
  {
    Konflikt c;  // N1 is taken in the target: the copy would replace it
    c.Datei("z/d/Brief V1.doc", "alt", kQuellZeit);
    c.k.Doppelt = Zahl(DoppelRegel::kBeideBehalten);
    c.Entscheiden();
    EXPECT_TRUE(c.log.Has(LogStufe::kWarnung, kNicht));
    EXPECT_EQ(c.z("Brief V1.doc"), "alt");
    EXPECT_FALSE(c.Da("z/d/Brief V2.doc"));
  }
  {
    RenameFehler fs(FileSystem::Default());
    Konflikt c("Brief.doc", &fs);
    c.k.Doppelt = Zahl(DoppelRegel::kBeideBehalten);
    c.Entscheiden();
    EXPECT_TRUE(c.log.Has(LogStufe::kWarnung, kNicht));
    EXPECT_EQ(c.z("Brief.doc"), "ziel!");
    EXPECT_FALSE(c.Da("z/d/Brief V2.doc"));
    EXPECT_EQ(c.h("Brief.doc"), "quelle");
  }
  {
    KopieFehler fs(FileSystem::Default());
    Konflikt c("Brief.doc", &fs);
    c.k.Doppelt = Zahl(DoppelRegel::kBeideBehalten);
    c.Entscheiden();
    EXPECT_EQ(c.z("Brief.doc"), "ziel!");
    EXPECT_EQ(c.h("Brief.doc"), "quelle");
    for (const char* rest :
         {"h/d/Brief V1.doc", "h/d/Brief V2.doc", "z/d/Brief V1.doc", "z/d/Brief V2.doc"})
      EXPECT_FALSE(c.Da(rest)) << rest;
    EXPECT_EQ(c.log.CountPrefix("Vergl: -> Beide behalten nicht möglich"), 1);
  }
  {
    // A name of 255 bytes has no room for " V1": the rename fails, nothing is lost.
    Konflikt c(std::string(251, 'n') + ".txt");
    c.k.Doppelt = Zahl(DoppelRegel::kBeideBehalten);
    c.Entscheiden();
    EXPECT_TRUE(c.log.Has(LogStufe::kWarnung, kNicht));
    EXPECT_EQ(c.z(c.n), "ziel!");
    EXPECT_EQ(c.h(c.n), "quelle");
  }
}

}  // namespace
}  // namespace zarnoft
