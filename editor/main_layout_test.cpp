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

TEST(SpaltenFuerSchrift, AFixedColumnShowsItsWidestTextAndTheOthersGiveUpTheRoom) {
  ASSERT_EQ(TabellenSpalten().size(), 3u);
  ASSERT_GT(TabellenSpalten()[0].feste_breite, 0);
  struct Fall {
    std::vector<int> muster;
    std::vector<int> breiten;
  };
  const Fall faelle[] = {
      {{}, {65, 263, 263}},             // nothing measured
      {{60, 0, 0}, {65, 263, 263}},     // the text fits
      {{80, 0, 0}, {80, 256, 255}},     // 15 more: 7 from the first, 8 from the last
      {{66, 900, 900}, {66, 263, 262}}  // only fixed columns count; the last gives the odd pixel
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.breiten[0]);
    EXPECT_EQ(SpaltenFuerSchrift({65, 263, 263}, f.muster), f.breiten);
  }
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
  bedarf.art = 150;
  bedarf.doppelt = 90;
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
    EXPECT_GE(l.ZeitKnopfBreite - 4, bedarf.art + bedarf.doppelt);
  }
}

TEST(LayoutBerechnen, TheSubModeListAndItsLabelFitTheFont) {
  // A sub-mode list that needs more than its rule width gets it from the kind list.
  Textbedarf bedarf;
  bedarf.doppelt = 120;
  HauptLayout l = LayoutBerechnen(460, 500, 1, 2, bedarf);
  EXPECT_EQ(l.DoppeltBreite, 120);
  EXPECT_EQ(l.DoppeltLinks, 460 - 120 - 9);
  EXPECT_EQ(l.ArtBreite, l.ZeitKnopfBreite - 120 - 4);
  EXPECT_EQ(LayoutBerechnen(800, 500, 0, 2, bedarf).DoppeltBreite, 160);  // the rule's is more

  // The long label of kind 1 gives way to the short one only where it would run past the edge
  // (2 pixels short of it): from 476 on its list starts at width - 169.
  struct Fall {
    int breite;
    int lang;  // the long label's width in the font
    const char* text;
  };
  const Fall faelle[] = {
      {476, 0, "Bei doppelt geänderten Dateien:"},
      {476, 167, "Bei doppelt geänderten Dateien:"},
      {476, 168, "Bei Doppelten:"},
      {600, 168, "Bei Doppelten:"},
      {600, 167, "Bei doppelt geänderten Dateien:"},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.breite);
    SCOPED_TRACE(f.lang);
    Textbedarf b;
    b.doppelt_lang = f.lang;
    EXPECT_EQ(LayoutBerechnen(f.breite, 500, 0, 2, b).LDoppeltText, f.text);
  }
  // Only the long label gives way; "Wann:" stays whatever the measure says.
  Textbedarf b;
  b.doppelt_lang = 1000;
  EXPECT_EQ(LayoutBerechnen(476, 500, 1, 2, b).LDoppeltText, "Wann:");
}

// --- Placing the controls ------------------------------------------------------------------------

// Measures as a desktop font gives them.
Masse DesktopMasse() {
  Masse m;
  m.zeile = 17;
  m.feld = 27;
  m.haken = 21;
  m.datei_knopf = 28;
  m.ausfuehrung = 80;
  m.art_titel = 30;
  m.zeit = 28;
  m.ausnahmen = 28;
  m.ausnahmen_breite = 110;
  m.sammlungs_knopf = 28;
  m.sammlung_titel = 120;
  m.status = 60;
  m.status_ausnahmen = 17;
  m.tabellen_zeile = 24;
  return m;
}

int Unten(const Rechteck& r) {
  return r.y + r.hoehe;
}
int Rechts(const Rechteck& r) {
  return r.x + r.breite;
}

TEST(SteuerelementePlatzieren, ControlsStackWithoutOverlapAndTheGridTakesTheRoomBetween) {
  struct Fall {
    int breite, hoehe, art, client_hoehe;
    int ausfuehrung;  // a high group "Ausführung" pushes the collection's heading down
    int status;
  };
  const Fall faelle[] = {
      {427, 416, 0, 0, 80, 60},     {600, 500, 0, 500, 80, 60},  {1200, 900, 2, 950, 80, 60},
      {600, 500, -1, 500, 200, 60}, {600, 500, 1, 500, 80, 200},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.breite);
    SCOPED_TRACE(f.hoehe);
    Masse m = DesktopMasse();
    m.client_hoehe = f.client_hoehe;
    m.ausfuehrung = f.ausfuehrung;
    m.status = f.status;
    HauptLayout l = LayoutBerechnen(f.breite, f.hoehe, f.art, 2);
    Platzierung p = SteuerelementePlatzieren(l, m);
    if (p.mindest_hoehe > std::max(l.Hoehe, m.client_hoehe)) {
      // Too low for what the font needs: the window grows to its smallest height first.
      l = LayoutBerechnen(f.breite, p.mindest_hoehe, f.art, 2);
      m.client_hoehe = p.mindest_hoehe;
      p = SteuerelementePlatzieren(l, m);
    }
    const int h = std::max(l.Hoehe, m.client_hoehe);

    // Top to bottom on the left, each below the one before.
    const Rechteck links[] = {
        p.leiste,     p.herkunft, p.hgroesse,    p.ziel,   p.unterverzeichnisse, p.ausfuehrung,
        p.l_sammlung, p.tabelle,  p.l_anz_vergl, p.status, p.status_leiste};
    for (size_t i = 1; i < std::size(links); ++i) EXPECT_LE(Unten(links[i - 1]), links[i].y) << i;
    // Right: kind, "Zeit...", "Ausnahmen..." above the heading row.
    EXPECT_LE(Unten(p.art), p.zeit.y);
    EXPECT_LE(Unten(p.zeit), p.ausnahmen.y);
    EXPECT_LE(Unten(p.ausnahmen), p.l_sammlung.y);
    EXPECT_LE(Unten(p.ausfuehrung), p.l_sammlung.y);
    // The grid takes the room between the heading row and the running count; the status bar
    // ends at the client's bottom.
    EXPECT_EQ(p.tabelle.y, Unten(p.l_sammlung) + hauptlayout::kLuecke);
    EXPECT_EQ(Unten(p.tabelle) + hauptlayout::kLuecke, p.l_anz_vergl.y);
    EXPECT_EQ(Unten(p.status_leiste), h);
    EXPECT_EQ(Unten(p.status), p.status_leiste.y - 1);
    // The group holds its lines and the hidden exclusions line (its frame's last pixel row
    // touches the status bar).
    EXPECT_GE(p.status.hoehe + 1, f.status + m.status_ausnahmen);
    // Nothing reaches past the right edge; the schedule list ends 8 short of it.
    for (const Rechteck& r : {p.herkunft, p.h_verz_b, p.ziel, p.z_verz_b, p.z_groesse, p.art,
                              p.zeit, p.tabelle, p.beenden, p.status_leiste})
      EXPECT_LE(Rechts(r), l.Breite);
    EXPECT_EQ(Rechts(p.zeiten), l.Breite - hauptlayout::kRand);
    EXPECT_LE(Rechts(p.status), p.zeiten.x);
    // At its smallest height the window still shows four grid rows, the header included.
    EXPECT_GE(p.mindest_hoehe, hauptlayout::kMinHoehe);
    Masse klein = m;
    klein.client_hoehe = 0;
    const Platzierung k =
        SteuerelementePlatzieren(LayoutBerechnen(f.breite, p.mindest_hoehe, f.art, 2), klein);
    EXPECT_GE(k.tabelle.hoehe, hauptlayout::kTabelleMindestZeilen * m.tabellen_zeile);
    EXPECT_EQ(p.mindest_breite, l.MindestBreite);
  }
}

TEST(SteuerelementePlatzieren, TheStatusGroupKeepsRoomForTheExclusionsLine) {
  const HauptLayout l = LayoutBerechnen(600, 500, 0, 2);
  Masse m = DesktopMasse();
  m.status = 150;  // more than the rule's 90 leaves above the status bar
  const Platzierung versteckt = SteuerelementePlatzieren(l, m);
  // Shown, the line is part of what the group's lines need: the group stays where it was.
  m.status += m.status_ausnahmen;
  m.status_ausnahmen_sichtbar = true;
  const Platzierung gezeigt = SteuerelementePlatzieren(l, m);
  EXPECT_EQ(versteckt.status, gezeigt.status);
  EXPECT_EQ(versteckt.tabelle, gezeigt.tabelle);
  EXPECT_EQ(versteckt.status.hoehe + 1, 150 + 17);
  // With room enough the group starts where the rule puts it.
  m = DesktopMasse();
  m.status = 40;
  EXPECT_EQ(SteuerelementePlatzieren(l, m).status.y, l.StatusGruppeOben);
}

TEST(SteuerelementePlatzieren, TheSubModeLabelTakesALineOfItsOwnWhereTheKindsLabelReachesOver) {
  struct Fall {
    int breite;
    int art_titel;
    bool eigene_zeile;
  };
  // At 600 the sub-mode list starts at 600 - 160 - 9 = 431: a kind label up to 431 - 228 = 203
  // wide leaves room.
  const Fall faelle[] = {{600, 30, false}, {600, 203, false}, {600, 204, true}, {460, 30, false}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.art_titel);
    const HauptLayout l = LayoutBerechnen(f.breite, 500, 0, 2);
    Masse m = DesktopMasse();
    m.art_titel = f.art_titel;
    const Platzierung p = SteuerelementePlatzieren(l, m);
    EXPECT_EQ(p.l_doppelt.x, l.DoppeltLinks);
    EXPECT_EQ(p.doppelt.x, l.DoppeltLinks);
    EXPECT_EQ(p.art.y, p.doppelt.y);
    if (f.eigene_zeile) {
      EXPECT_EQ(p.l_doppelt.y, Unten(p.l_art) + 1);
      EXPECT_EQ(p.art.y, Unten(p.l_doppelt) + 1);
    } else {
      EXPECT_EQ(p.l_doppelt.y, p.l_art.y);
      EXPECT_EQ(p.art.y, Unten(p.l_art) + 1);
    }
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
