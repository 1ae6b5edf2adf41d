#include "window/window_place.h"

#include <algorithm>

namespace zarnoft {
namespace {

// The places beside the middle one, in steps of a window's size plus the room between: the
// nearest first, so that a second run's window stands right beside the first one.
constexpr int kNachbarn[][2] = {{0, 0}, {1, 0},  {-1, 0}, {0, 1},  {0, -1},
                                {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};

bool Passt(const Flaeche& frei, const Flaeche& f) {
  return f.x >= frei.x && f.y >= frei.y && f.x + f.breite <= frei.x + frei.breite &&
         f.y + f.hoehe <= frei.y + frei.hoehe;
}

}  // namespace

Flaeche FensterPlatz(const Flaeche& frei, int breite, int hoehe, int stufe) {
  Flaeche mitte{frei.x + (frei.breite - breite) / 2, frei.y + (frei.hoehe - hoehe) / 2, breite,
                hoehe};
  // The places that fit, in order; window number `stufe` takes the one of that number.
  int frei_gezaehlt = 0;
  for (const auto& n : kNachbarn) {
    Flaeche f = mitte;
    f.x += n[0] * (breite + kFensterLuecke);
    f.y += n[1] * (hoehe + kFensterLuecke);
    // The middle always counts, also on a screen smaller than the window.
    const bool ist_mitte = n[0] == 0 && n[1] == 0;
    if (!ist_mitte && !Passt(frei, f)) continue;
    if (frei_gezaehlt++ == stufe) return f;
  }
  // The screen is full: in steps from the middle, wrapping before the window would leave it.
  const int ueber = stufe - frei_gezaehlt + 1;
  const int spielraum_x = std::max(1, (frei.breite - breite) / 2);
  const int spielraum_y = std::max(1, (frei.hoehe - hoehe) / 2);
  mitte.x += (ueber * kFensterStaffel) % spielraum_x;
  mitte.y += (ueber * kFensterStaffel) % spielraum_y;
  return mitte;
}

}  // namespace zarnoft
