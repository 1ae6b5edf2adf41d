#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

namespace zarnoft {
namespace {

TEST(TZarnoft, OpensCaptionedAndClosesCleanly) {
  int argc = 1;
  char name[] = "ui_tests";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  TZarnoft w;
  w.show();
  EXPECT_EQ(w.windowTitle(), "Zarnoft");
  EXPECT_TRUE(w.isVisible());
  QTimer::singleShot(0, &w, &QWidget::close);
  EXPECT_EQ(app.exec(), 0);
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace zarnoft
