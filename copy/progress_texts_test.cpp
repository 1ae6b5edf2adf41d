#include "copy/progress_texts.h"

#include <gtest/gtest.h>

namespace zarnoft {
namespace {

TEST(KbTextTest, ShowsSumAndCurrentFileInTheirUnits) {
  // 123456 bytes in all, current file 2048 bytes.
  EXPECT_EQ(KbText(0, 123456, 2048), "Summe: 123 kB / Akt.: 2,048 kB");
  // 5500000 bytes, 300 bytes.
  EXPECT_EQ(KbText(5, 500000, 300), "Summe: 5,500 MB / Akt.: 300 Bytes");
  // From 1000 MB on the sum is in MB/GB/TB and the blank after "Akt.:" is missing.
  EXPECT_EQ(KbText(2345, 678901, 1234567), "Summe: 2,345 GB / Akt.:1,234.567 MB");
}

TEST(KbTextTest, UnitBoundaries) {
  EXPECT_EQ(KbText(0, 999, 999), "Summe: 0 kB / Akt.: 999 Bytes");
  EXPECT_EQ(KbText(0, 1000, 1000), "Summe: 1 kB / Akt.: 1,000 kB");
  EXPECT_EQ(KbText(999, 999999, 999999), "Summe: 999,999 MB / Akt.: 999,999 kB");
  EXPECT_EQ(KbText(1000, 0, 1000000), "Summe: 1,000 GB / Akt.:1,000.000 MB");
  EXPECT_EQ(KbText(1234567, 0, 0), "Summe: 1,234.567 TB / Akt.:0 Bytes");
  // From 10^9 bytes on the current file is counted in megabytes too, so that it reads as the
  // gigabytes it is; a file over 2 GiB keeps its sign.
  EXPECT_EQ(KbText(0, 0, 999999999), "Summe: 0 kB / Akt.: 999,999.999 MB");
  EXPECT_EQ(KbText(1048, 576000, 1048576000), "Summe: 1,048 GB / Akt.:1,048 GB");
  EXPECT_EQ(KbText(3000, 0, 3000000000), "Summe: 3,000 GB / Akt.:3,000 GB");
  EXPECT_EQ(KbText(5000000, 0, 2500000000000), "Summe: 5,000.000 TB / Akt.:2,500.000 TB");
}

TEST(AnzahlDateienTextTest, GroupsThousands) {
  EXPECT_EQ(AnzahlDateienText(0), "Anzahl Dateien: 0 kopiert");
  EXPECT_EQ(AnzahlDateienText(1234), "Anzahl Dateien: 1.234 kopiert");
}

}  // namespace
}  // namespace zarnoft
