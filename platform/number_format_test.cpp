#include "platform/number_format.h"

#include <gtest/gtest.h>

namespace zarnoft {
namespace {

TEST(FormatDottedNumber, Examples) {
  EXPECT_EQ(FormatDottedNumber(0, 0), "0");
  EXPECT_EQ(FormatDottedNumber(0, 999), "999");
  EXPECT_EQ(FormatDottedNumber(0, 1234), "1.234");
  EXPECT_EQ(FormatDottedNumber(12, 345), "12.000.345");
  EXPECT_EQ(FormatDottedNumber(0, 1500000), "1.500.000");
  EXPECT_EQ(FormatDottedNumber(1234, 5), "1.234.000.005");
  EXPECT_EQ(FormatDottedNumber(5, 0), "5.000.000");
  EXPECT_EQ(FormatDottedNumber(int64_t{2345678901}), "2.345.678.901");
}

}  // namespace
}  // namespace zarnoft
