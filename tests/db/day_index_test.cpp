#include "db/day_index.h"

#include <gtest/gtest.h>

#include "db/price_model.h"
#include "platform/diagnostics.h"

namespace {

TEST(DayIndex, LookupsAndFormat) {
  const int32_t days[] = {20261204, 20261207, 20261208};
  LastDate = 3;
  for (int i = 0; i < 3; ++i) nikkei_date[i] = days[i];
  ClearPrtHistory();
  EXPECT_EQ(RealDate_to_DayIndex(20261207), 1);
  EXPECT_EQ(FindDayIndex(20261208), 2);
  EXPECT_STREQ(PrtLines[PRT_LINES - 2], "");

  EXPECT_EQ(FindDayIndex(20261205), -1);  // a Saturday, silently
  EXPECT_STREQ(PrtLines[PRT_LINES - 2], "");
  EXPECT_EQ(RealDate_to_DayIndex(20261205), -1);
  std::string logged = std::string(PrtLines[PRT_LINES - 3]) + PrtLines[PRT_LINES - 2];
  EXPECT_NE(logged.find("この日=20261205はDB上に存在しない！(nikkei_date[LastDate-1]  20261208 )"), std::string::npos);

  char buf[11];
  EXPECT_STREQ(DayIndex_to_String(0, buf), "2026/12/04");
  LastDate = 0;
}

TEST(DayIndex, RealDateBounds) {
  for (int32_t d : {19000101, 20261210, 29991231, 20260231}) EXPECT_TRUE(IsRealDate(d)) << d;
  for (int32_t d : {0, -20261210, 18991231, 30000101, 20261310, 20260010, 20261200, 20261232, 2026121})
    EXPECT_FALSE(IsRealDate(d)) << d;
}

}  // namespace
