#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

namespace zarnoft {
namespace {

TEST(TZarnoft, OpensCaptionedAndClosesCleanly) {
  TZarnoft w;
  w.show();
  EXPECT_EQ(w.windowTitle(), "Zarnoft");
  EXPECT_TRUE(w.isVisible());
  w.close();
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace zarnoft
