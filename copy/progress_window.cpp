#include "copy/progress_window.h"

namespace zarnoft {

int GaugeProzent(int64_t position, int64_t maximum) {
  if (maximum <= 0 || position <= 0) return 0;
  if (position >= maximum) return 100;
  return static_cast<int>(position * 100 / maximum);
}

}  // namespace zarnoft
