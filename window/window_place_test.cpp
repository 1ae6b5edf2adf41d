#include "window/window_place.h"

#include <gtest/gtest.h>

#include <vector>

namespace zarnoft {
namespace {

bool Ueberlappen(const Flaeche& a, const Flaeche& b) {
  return a.x < b.x + b.breite && b.x < a.x + a.breite && a.y < b.y + b.hoehe && b.y < a.y + a.hoehe;
}

bool Innen(const Flaeche& frei, const Flaeche& f) {
  return f.x >= frei.x && f.y >= frei.y && f.x + f.breite <= frei.x + frei.breite &&
         f.y + f.hoehe <= frei.y + frei.hoehe;
}

TEST(FensterPlatz, WindowsStandApartWhileTheScreenHasRoomThenInStepsInsideIt) {
  struct Fall {
    Flaeche frei;
    int breite, hoehe;
    int nebeneinander;  // how many windows fit without overlapping
  };
  const Fall faelle[] = {
      {{0, 0, 1920, 1080}, 470, 330, 9},      // the middle and all eight around it
      {{1920, 24, 1920, 1056}, 470, 330, 9},  // a second monitor, below a panel
      {{0, 0, 1024, 768}, 470, 330, 1},       // no room beside the middle: in steps
      {{0, 0, 800, 600}, 470, 330, 1},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.frei.x);
    std::vector<Flaeche> plaetze;
    for (int stufe = 0; stufe < 20; ++stufe)
      plaetze.push_back(FensterPlatz(f.frei, f.breite, f.hoehe, stufe));
    // The first stands in the middle.
    EXPECT_EQ(plaetze[0].x, f.frei.x + (f.frei.breite - f.breite) / 2);
    EXPECT_EQ(plaetze[0].y, f.frei.y + (f.frei.hoehe - f.hoehe) / 2);
    for (int i = 0; i < 20; ++i) {
      EXPECT_TRUE(Innen(f.frei, plaetze[i])) << i;
      for (int j = 0; j < i; ++j) {
        EXPECT_FALSE(plaetze[i].x == plaetze[j].x && plaetze[i].y == plaetze[j].y) << i << j;
        if (i < f.nebeneinander) {
          EXPECT_FALSE(Ueberlappen(plaetze[i], plaetze[j])) << i << j;
        }
      }
    }
    // The second window stands beside the first where it fits.
    if (f.nebeneinander > 1) {
      EXPECT_EQ(plaetze[1].y, plaetze[0].y);
    }
  }
}

}  // namespace
}  // namespace zarnoft
