#include "window/progress_window.h"

namespace zarnoft {

bool FortschrittFenster::Auffrischen() {
  if (stand_.Version() == gezeigt_) return false;
  Fortschrittsstand s;
  gezeigt_ = stand_.Lesen(&s);
  Zeigen(s);
  return true;
}

int GaugeProzent(int64_t position, int64_t maximum) {
  if (maximum <= 0 || position <= 0) return 0;
  if (position >= maximum) return 100;
  return static_cast<int>(position * 100 / maximum);
}

}  // namespace zarnoft
