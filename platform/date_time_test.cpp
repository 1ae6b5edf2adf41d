#include "platform/date_time.h"

#include <gtest/gtest.h>

#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using testing::Local;

TEST(DosDateTime, EncodesLocalTimeWithEvenSeconds) {
  int64_t d = DosFromFileTime(Local(2024, 3, 1, 14, 5, 9));
  EXPECT_EQ(d, ((int64_t{44} << 9 | 3 << 5 | 1) << 16) | (14 << 11 | 5 << 5 | 4));
  LocalTime lt;
  ASSERT_TRUE(LocalFromDos(d, &lt));
  EXPECT_EQ(lt.second, 8);
  EXPECT_EQ(DosLogText(d), "01.03.24 14:05:08 ");
  EXPECT_EQ(DosLogText(0), "unbekannt");
  EXPECT_EQ(DosLogText(-1), "unbekannt");
}

TEST(DosDateTime, DatesFrom2044CompareLaterAndOldOnesArePresent) {
  EXPECT_GT(DosFromFileTime(Local(2050, 1, 1)), DosFromFileTime(Local(2043, 12, 31)));
  EXPECT_EQ(DosFromFileTime(Local(1975, 5, 5)), 0);
  EXPECT_GT(DosFromFileTime(Local(1975, 5, 5)), kDosMissing);
  LocalTime far;
  far.year = 2200;
  far.month = far.day = 1;
  EXPECT_EQ(DosFromLocal(far), kDosMax);
}

TEST(DayCount, RoundTripsAndEpoch) {
  LocalTime lt;
  lt.year = 1899;
  lt.month = 12;
  lt.day = 30;
  EXPECT_DOUBLE_EQ(DayCountFromLocal(lt), 0.0);
  lt = LocalTime{2026, 12, 8, 14, 5, 32, 0};
  double v = DayCountFromLocal(lt);
  EXPECT_EQ(static_cast<int64_t>(v), 46364);
  EXPECT_EQ(LocalFromDayCount(v), lt);
  EXPECT_EQ(VergleichsdatumFromDayCount(0), 0);
  EXPECT_EQ(VergleichsdatumFromDayCount(DayCountFromLocal(LocalTime{2100, 1, 1, 0, 0, 0, 0})), 0);
  EXPECT_EQ(VergleichsdatumFromDayCount(DayCountFromLocal(LocalTime{1979, 6, 1, 0, 0, 0, 0})), 0);
  EXPECT_EQ(VergleichsdatumFromDayCount(v), DosFromLocal(lt));
}

TEST(GermanFormats, ShortDateLongTimeAndStamp) {
  LocalTime lt{2026, 12, 7, 12, 40, 53, 0};
  EXPECT_EQ(DateTimeText(lt), "07.12.2026 12:40:53");
  EXPECT_EQ(LogStampText(lt), "07.12.26 12:40:53 ");
  EXPECT_EQ(DateTimeText(LocalTime{2026, 12, 7, 0, 0, 0, 0}), "07.12.2026");
  EXPECT_EQ(DateAndTimeText(LocalTime{2026, 12, 7, 0, 0, 0, 0}), "07.12.2026 00:00:00");
}

}  // namespace
}  // namespace zarnoft
