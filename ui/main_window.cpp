#include "ui/main_window.h"

namespace zarnoft {

TZarnoft::TZarnoft(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle("Zarnoft");
  // The client area of a first start, before any geometry was stored.
  resize(427, 400);
}

}  // namespace zarnoft
