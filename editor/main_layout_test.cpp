#include "editor/main_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include "jobs/job_texts.h"

namespace zarnoft {
namespace {

TEST(LayoutBerechnen, WidthRulesFollowTheClientSize) {
  HauptLayout l = LayoutBerechnen(600, 500, 0, 2);
  EXPECT_EQ(l.Breite, 600);
  EXPECT_EQ(l.Hoehe, 500);
  EXPECT_EQ(l.LeisteBreite, 600);
  EXPECT_EQ(l.TabelleBreite, 600);
  EXPECT_EQ(l.TabelleHoehe, 500 - 342);
  EXPECT_EQ(l.StatusGruppeOben, 410);
  EXPECT_EQ(l.ZeitenOben, 415);
  EXPECT_EQ(l.BeendenLinks, 568);
  EXPECT_EQ(l.OrdnerKnopfLinks, 568);
  EXPECT_EQ(l.VerzeichnisBreite, 489);
  EXPECT_EQ(l.ZGroesseBreite, 366);
  EXPECT_EQ(l.Panel2Breite, 300);
  EXPECT_EQ(l.TrennerBreite, 496);
  EXPECT_EQ(l.ZeitenBreite, 336);
  EXPECT_EQ(l.ZeitKnopfBreite, 371);
}

TEST(LayoutBerechnen, SmallerSizeIsRaisedToTheMinimum) {
  HauptLayout l = LayoutBerechnen(100, -5, 0, 2);
  EXPECT_EQ(l.Breite, 427);
  EXPECT_EQ(l.Hoehe, 416);
  EXPECT_EQ(l.TabelleHoehe, 416 - 342);
}

TEST(LayoutBerechnen, ColumnsLeaveRoomForAScrollBarOnlyWhenRowsDoNotFit) {
  // Grid 600 x 158: 7 rows need 20 * 8 = 160 > 158, 6 rows need 140.
  HauptLayout voll = LayoutBerechnen(600, 500, 0, 7);
  ASSERT_EQ(voll.Spalten.size(), TabellenSpalten().size());
  EXPECT_EQ(voll.Spalten[0], 65);
  EXPECT_EQ(voll.Spalten[1], 267 - 12);
  EXPECT_EQ(voll.Spalten[2], 267 - 12);
  HauptLayout frei = LayoutBerechnen(600, 500, 0, 6);
  EXPECT_EQ(frei.Spalten[1], 267 - 4);
  // An odd rest is cut: (601 - 65) / 2 = 268, (602 - 65) / 2 = 268.
  EXPECT_EQ(LayoutBerechnen(602, 500, 0, 2).Spalten[1], 268 - 4);
}

TEST(LayoutBerechnen, SubModeListAndLabelFollowTheKind) {
  struct Fall {
    int breite;
    int art;
    const char* text;
    int liste;
  };
  const Fall faelle[] = {
      {460, 0, "Bei Doppelten:", 90},
      {475, 0, "Bei Doppelten:", 90},
      {476, 0, "Bei doppelt geänderten Dateien:", 160},
      {800, 1, "Wann:", 90},
      {800, 2, "Umfang:", 90},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.text);
    HauptLayout l = LayoutBerechnen(f.breite, 500, f.art, 2);
    EXPECT_TRUE(l.DoppeltSichtbar);
    EXPECT_EQ(l.LDoppeltText, f.text);
    EXPECT_EQ(l.DoppeltBreite, f.liste);
    EXPECT_EQ(l.DoppeltLinks, f.breite - f.liste - 9);
    EXPECT_EQ(l.ArtBreite, l.ZeitKnopfBreite - f.liste - 4);
  }
  HauptLayout ohne = LayoutBerechnen(800, 500, -1, 2);
  EXPECT_FALSE(ohne.DoppeltSichtbar);
  EXPECT_EQ(ohne.ArtBreite, ohne.ZeitKnopfBreite);
}

TEST(LayoutBerechnen, TheStatusGroupGetsWhatItsTextsNeedAtEverySize) {
  // By the rules alone the group is 244 wide and the schedule list takes the rest.
  EXPECT_EQ(LayoutBerechnen(600, 500, 0, 2).StatusBreite, 244);
  Textbedarf bedarf;
  bedarf.status = 300;
  bedarf.zeiten = 130;
  bedarf.listen = 240;
  // The smallest width holds group and list whole (300 + 20 + 130) and the two lists (240 + 4 +
  // 229); at the default and a wide size the group keeps its room and the list takes the rest.
  for (int breite : {100, 427, 575, 1000}) {
    SCOPED_TRACE(breite);
    HauptLayout l = LayoutBerechnen(breite, 500, 0, 2, bedarf);
    EXPECT_EQ(l.MindestBreite, 473);
    EXPECT_EQ(l.Breite, std::max(breite, 473));
    EXPECT_EQ(l.StatusBreite, 300);
    EXPECT_EQ(l.ZeitenBreite, l.Breite - 20 - 300);
    EXPECT_GE(l.ZeitenBreite, bedarf.zeiten);
    EXPECT_GE(l.ZeitKnopfBreite - 4, bedarf.listen);
  }
}

// --- Start position ----------------------------------------------------------------------------

const Rahmen kRahmen{4, 30, 4, 4};
const std::vector<Rechteck> kZweiSchirme = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};

bool GanzAuf(const StartPlatz& p, const Rechteck& s) {
  return p.x >= s.x && p.y >= s.y &&
         p.x + p.breite + kRahmen.links + kRahmen.rechts <= s.x + s.breite &&
         p.y + p.hoehe + kRahmen.oben + kRahmen.unten <= s.y + s.hoehe;
}

TEST(FensterPlatzieren, FirstStartIsCentredOnThePrimaryScreenAtTheMinimum) {
  FensterGeometrie g;  // 427 x 400, PosS 0
  StartPlatz p = FensterPlatzieren(g, kZweiSchirme, kRahmen);
  EXPECT_EQ(p.breite, 427);
  EXPECT_EQ(p.hoehe, 416);
  EXPECT_EQ(p.x, (1920 - 435) / 2);
  EXPECT_EQ(p.y, (1080 - 450) / 2);
}

TEST(FensterPlatzieren, StoredPositionIsKeptWhenOnScreen) {
  FensterGeometrie g;
  g.PosS = 1;
  g.PosX = 2000;
  g.PosY = 100;
  g.Breite = 600;
  g.Hoehe = 500;
  StartPlatz p = FensterPlatzieren(g, kZweiSchirme, kRahmen);
  EXPECT_EQ(p.x, 2000);
  EXPECT_EQ(p.y, 100);
  EXPECT_EQ(p.breite, 600);
  EXPECT_EQ(p.hoehe, 500);
}

TEST(FensterPlatzieren, NonsenseAlwaysGivesAWindowFullyOnOneScreen) {
  struct Fall {
    const char* name;
    int breite, hoehe, pos_s, x, y;
  };
  const Fall faelle[] = {
      {"negative size", -300, -1, 1, 10, 10},
      {"huge size", 100000, 100000, 1, 0, 0},
      {"off every screen", 600, 500, 1, -5000, 9000},
      {"half off the right edge", 600, 500, 1, 3000, 900},
      {"huge position", 600, 500, 1, 2147483000, 2147483000},
      {"huge size centred", 100000, 100000, 0, 0, 0},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    FensterGeometrie g;
    g.Breite = f.breite;
    g.Hoehe = f.hoehe;
    g.PosS = f.pos_s;
    g.PosX = f.x;
    g.PosY = f.y;
    StartPlatz p = FensterPlatzieren(g, kZweiSchirme, kRahmen);
    EXPECT_TRUE(GanzAuf(p, kZweiSchirme[0]) || GanzAuf(p, kZweiSchirme[1]))
        << p.x << "," << p.y << " " << p.breite << "x" << p.hoehe;
    EXPECT_GE(p.breite, 427);
    EXPECT_GE(p.hoehe, 416);
  }
}

TEST(FensterPlatzieren, ScreenSmallerThanTheMinimumWins) {
  FensterGeometrie g;
  StartPlatz p = FensterPlatzieren(g, {{0, 0, 400, 300}}, kRahmen);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  EXPECT_EQ(p.breite, 392);
  EXPECT_EQ(p.hoehe, 266);
}

}  // namespace
}  // namespace zarnoft
