// Where a run's progress window stands on the screen. The window is placed by the program, not
// left to the window manager: a question of the run may come before the window manager has
// placed it, and the question's box is centred over the place the window has by then.
//
// The first open window stands in the middle of the free screen. Each further one gets a place
// of its own beside it (right, left, below, above, then the corners), without overlapping the
// others while the screen has room, so that two runs that ask at once show each box over its own
// window and the user can tell which run asks. When the screen is full, further windows stand in
// steps down and to the right of the middle.
//
// Pure functions; any thread.
#ifndef ZARNOFT_WINDOW_WINDOW_PLACE_H_
#define ZARNOFT_WINDOW_WINDOW_PLACE_H_

namespace zarnoft {

struct Flaeche {
  int x = 0;
  int y = 0;
  int breite = 0;
  int hoehe = 0;
};

// Room left between windows placed side by side.
constexpr int kFensterLuecke = 16;
// How far each further window stands down and to the right once the screen is full.
constexpr int kFensterStaffel = 40;

// The top-left corner of the window number `stufe` (0 for the first open window; the caller gives
// each open window the smallest number that no other open window has) of frame size
// `breite` x `hoehe` on the free screen `frei`.
Flaeche FensterPlatz(const Flaeche& frei, int breite, int hoehe, int stufe);

}  // namespace zarnoft

#endif  // ZARNOFT_WINDOW_WINDOW_PLACE_H_
