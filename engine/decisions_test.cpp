#include "engine/decisions.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/date_time.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

// No date counts as in the future.
constexpr FileTime kOhneZukunft{INT64_MAX, 0};

// The last run began at S and ended at E (UTC); times below are seconds from S.
constexpr int64_t S = 1717236000;  // 01.06.2024 10:00 UTC
constexpr int64_t E = S + 600;

FileTime Bei(int64_t sek) {
  return FileTime{S + sek, 0};
}

// A file written at `w`, last used (read, status changed) at `u`.
Seite Datei(int64_t w, int64_t u) {
  Seite s;
  s.da = true;
  s.info.kind = EntryKind::kFile;
  s.info.mtime = Bei(w);
  s.info.atime = Bei(u);
  s.info.ctime = Bei(w);
  return s;
}

std::string Sync(const Seite& h, const Seite& z, const LetzterLauf& l) {
  return SyncEntscheidung(Lage(h, z, l)).was;
}

const LetzterLauf kUtc = LetzterLauf::AusUtc(Bei(0), Bei(600));

// A file on one side only goes when the record of the last run lists it and this side still
// holds it as it was; its dates, read or not, and the clock do not matter.
TEST(Entscheidungen, EinseitigeDateiNachDemStandDesLetztenLaufs) {
  const Seite nichts;
  const std::string neu =
      "in the source only, not as the last run left it: new, copy to the target";
  const std::string weg =
      "in the source only, as the last run left it: deleted in the target, delete it";
  Seite h = Datei(-86400, 300);
  h.info.inode = 42;
  StandEintrag alt;
  alt.name = "a";
  alt.size = h.info.size;
  alt.h = SeiteVon(h.info, true);
  alt.z = StandSeite{Bei(-86400), Bei(-10), 99};
  auto sync = [&](const Seite& hs, const Seite& zs, const LetzterLauf& l, const StandEintrag* a) {
    return std::string(SyncEntscheidung(Lage(hs, zs, l, kOhneZukunft, a)).was);
  };
  EXPECT_EQ(sync(h, nichts, kUtc, &alt), weg);
  // Read since (an indexer, a virus scanner): still as it was, so it goes.
  Seite gelesen = h;
  gelesen.info.atime = Bei(5000);
  EXPECT_EQ(sync(gelesen, nichts, kUtc, &alt), weg);
  // A last run recorded in the future, or never: the record alone decides.
  EXPECT_EQ(sync(h, nichts, LetzterLauf::AusUtc(Bei(90000), Bei(90001)), &alt), weg);
  // Without an entry, a file put there with its old date (a stick, cp -p) is new.
  EXPECT_EQ(sync(h, nichts, kUtc, nullptr), neu);
  // Rewritten with its old date kept, or replaced by another file: changed, so new.
  Seite anders = h;
  anders.info.ctime = Bei(700);
  EXPECT_EQ(sync(anders, nichts, kUtc, &alt), neu);
  anders = h;
  anders.info.inode += 1;
  EXPECT_EQ(sync(anders, nichts, kUtc, &alt), neu);
  anders = h;
  anders.info.size += 1;
  EXPECT_EQ(sync(anders, nichts, kUtc, &alt), neu);
  // A double change left alone is never taken for a deletion.
  StandEintrag offen = alt;
  offen.offen = true;
  EXPECT_EQ(sync(h, nichts, kUtc, &offen), neu);
  // The same on the target's side, against the target's recorded side.
  Seite z = Datei(-86400, 300);
  z.info.ctime = Bei(-10);
  z.info.inode = 99;
  EXPECT_EQ(sync(nichts, z, kUtc, &alt),
            "in the target only, as the last run left it: deleted in the source, delete it");
  EXPECT_EQ(sync(nichts, h, kUtc, &alt),
            "in the target only, not as the last run left it: new, copy to the source");
}

// A double change that a run left alone comes back as one, whatever the last run's date says.
TEST(Entscheidungen, OffenerKonfliktBleibtEiner) {
  const Seite h = Datei(100, 100);
  const Seite z = Datei(200, 200);
  StandEintrag offen;
  offen.name = "a";
  offen.offen = true;
  const LetzterLauf spaeter = LetzterLauf::AusUtc(Bei(1000), Bei(1001));
  EXPECT_EQ(std::string(SyncEntscheidung(Lage(h, z, spaeter, kOhneZukunft, &offen)).was),
            "written on both sides since the last run: a double change");
  // Settled by hand since (both the same again): nothing to do.
  EXPECT_EQ(std::string(SyncEntscheidung(Lage(h, h, spaeter, kOhneZukunft, &offen)).was),
            "the same date on both sides: nothing to do");
  // Without the mark, the newer one wins as before.
  offen.offen = false;
  EXPECT_EQ(std::string(SyncEntscheidung(Lage(h, z, spaeter, kOhneZukunft, &offen)).was),
            "target newer, source unchanged since the last run: copy to the source");
}

TEST(Entscheidungen, DoppelteAenderungAufDieSekundeGenau) {
  const std::string doppelt = "written on both sides since the last run: a double change";
  // Saved a second after the run ended on one side, later on the other: both changed, the
  // user decides - the later one must not overwrite the earlier.
  EXPECT_EQ(Sync(Datei(601, 601), Datei(900, 900), kUtc), doppelt);
  // Copied by the run (the source's old date) and changed later on one side only.
  EXPECT_EQ(Sync(Datei(-500, -500), Datei(900, 900), kUtc),
            "target newer, source unchanged since the last run: copy to the source");
  EXPECT_EQ(Sync(Datei(900, 900), Datei(-500, -500), kUtc),
            "source newer, target unchanged since the last run: copy to the target");
  // Equal dates to the two seconds of the date form: nothing to do, whatever the content.
  Seite a = Datei(-500, -500);
  Seite b = Datei(-500, -500);
  b.info.mtime.nsec = 999999999;
  EXPECT_EQ(Sync(a, b, kUtc), "the same date on both sides: nothing to do");
  // Dates before 1980 keep their order (the old form made them all equal).
  Seite alt1 = Datei(0, 0);
  Seite alt2 = Datei(0, 0);
  alt1.info.mtime = testing::Local(1975, 1, 1);
  alt2.info.mtime = testing::Local(1976, 1, 1);
  EXPECT_EQ(Sync(alt1, alt2, kUtc),
            "target newer, source unchanged since the last run: copy to the source");
}

TEST(Entscheidungen, KopierjobKopiertWasSeitDemBeginnGeschriebenWurde) {
  auto kopie = [](const Seite& h, const Seite& z, bool herkunft, bool ziel) {
    Lage l(h, z, kUtc);
    l.prueft_herkunft = herkunft;
    l.prueft_ziel = ziel;
    return std::string(KopierEntscheidung(l).was);
  };
  const std::string herkunft =
      "source written since the last run, the job checks the source: copy it to the target";
  // Written while the last run was under way: it may have been passed, so it is copied again.
  EXPECT_EQ(kopie(Datei(300, 300), Datei(-500, -500), true, false), herkunft);
  EXPECT_EQ(kopie(Datei(-500, -500), Seite{}, true, false), "no row holds: nothing to do");
  EXPECT_EQ(kopie(Datei(-500, -500), Datei(300, 300), false, true),
            "target written since the last run, the job checks the target: copy the source "
            "over it");
  EXPECT_EQ(kopie(Datei(-500, -500), Datei(300, 300), true, false), "no row holds: nothing to do");
}

TEST(Entscheidungen, EinDatumInDerZukunftGewinntNie) {
  // This run began at 2000 s; the clocks' slack is 2 s.
  const FileTime grenze = ZukunftsGrenze(Bei(2000));
  auto sync = [&](const Seite& h, const Seite& z) {
    const Entscheidung& e = SyncEntscheidung(Lage(h, z, kUtc, grenze));
    return e.schritt;
  };
  const Seite zukunft = Datei(90000, 90000);
  // Against an unchanged and against a changed version: both stay, named.
  EXPECT_EQ(sync(zukunft, Datei(-100, -100)), Schritt::kZukunft);
  EXPECT_EQ(sync(Datei(-100, -100), zukunft), Schritt::kZukunft);
  EXPECT_EQ(sync(zukunft, Datei(1500, 1500)), Schritt::kZukunft);
  EXPECT_EQ(sync(Datei(1500, 1500), zukunft), Schritt::kZukunft);
  // Within the slack it is an ordinary newer file; equal dates are the same version.
  EXPECT_EQ(sync(Datei(2001, 2001), Datei(-100, -100)), Schritt::kZumZiel);
  EXPECT_EQ(sync(zukunft, zukunft), Schritt::kNichts);
  // On one side only it is new, and copied like any new file.
  EXPECT_EQ(sync(zukunft, Seite{}), Schritt::kZumZiel);
  EXPECT_EQ(sync(Seite{}, zukunft), Schritt::kZurHerkunft);

  auto kopie = [&](const Seite& h, const Seite& z) {
    Lage l(h, z, kUtc, grenze);
    l.prueft_herkunft = l.prueft_ziel = true;
    return KopierEntscheidung(l).schritt;
  };
  EXPECT_EQ(kopie(zukunft, Datei(-100, -100)), Schritt::kZukunft);
  EXPECT_EQ(kopie(zukunft, zukunft), Schritt::kNichts);
  EXPECT_EQ(kopie(zukunft, Seite{}), Schritt::kZumZiel);
  // An unknown start dates nothing in the future.
  EXPECT_EQ(
      SyncEntscheidung(Lage(zukunft, Datei(-100, -100), kUtc, ZukunftsGrenze(FileTime{}))).schritt,
      Schritt::kZumZiel);
}

TEST(LetzterLauf, InDerZukunftUeberDasSpielHinaus) {
  EXPECT_FALSE(kUtc.InDerZukunft(Bei(600)));
  EXPECT_FALSE(kUtc.InDerZukunft(Bei(598)));  // two seconds of slack
  EXPECT_TRUE(kUtc.InDerZukunft(Bei(597)));
  EXPECT_FALSE(LetzterLauf().InDerZukunft(Bei(0)));
  const LetzterLauf dos = LetzterLauf::AusDos(DosFromFileTime(Bei(600)));
  EXPECT_FALSE(dos.InDerZukunft(Bei(600)));
  EXPECT_TRUE(dos.InDerZukunft(Bei(-3600)));
}

}  // namespace
}  // namespace zarnoft
