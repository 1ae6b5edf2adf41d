#include "ui/program_icon.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace zarnoft {
namespace {

// A missing resource would leave the windows without an icon and nobody would notice.
TEST(ProgrammSymbol, EverySizeIsCompiledIn) {
  const QIcon s = ProgrammSymbol();
  const QList<QSize> groessen = s.availableSizes();
  EXPECT_EQ(groessen.size(), 8);
  for (int g : {16, 22, 24, 32, 48, 64, 128, 256}) {
    EXPECT_TRUE(groessen.contains(QSize(g, g))) << g;
    EXPECT_EQ(s.pixmap(QSize(g, g)).size(), QSize(g, g)) << g;
  }
}

}  // namespace
}  // namespace zarnoft
