#include "db/packed_value.h"

#include <gtest/gtest.h>

#include "platform/diagnostics.h"

namespace {

TEST(PackedValue, RoundTripsKeepFourLeadingDigits) {
  struct Case {
    int32_t in, out;
  } cases[] = {{0, 0},         {1, 1},         {8191, 8191},          {8192, 8190},
               {81919, 81910}, {81920, 81900}, {2147483647, 2147000000}, {123456789, 123400000}};
  for (const Case& c : cases) EXPECT_EQ(Packed_to_Value(Value_to_Packed(c.in)), c.out) << c.in;
  EXPECT_EQ(Value_to_Packed(81920), (819 << 3) | 2);
}

TEST(PackedValue, LargestPackedValueSaturates) {
  // 8191 * 10^7 does not fit in 32 bits.
  EXPECT_EQ(Packed_to_Value((8191 << 3) | 7), 2147483647);
  EXPECT_EQ(Packed_to_Value((214 << 3) | 7), 2140000000);
}

TEST(PackedValue, DoubleConversions) {
  ClearPrtHistory();
  EXPECT_EQ(Packed_to_Value(Double_to_Packed(3.0e9)), 2147000000);
  EXPECT_STREQ(PrtLines[PRT_LINES - 2], "INT_MAX Over! v=3000000000.0");
  EXPECT_EQ(Packed_to_Value(Double_to_Packed(1234.9)), 1234);
  EXPECT_EQ(Double_to_Int(3.0e9), 2147483647);
  EXPECT_EQ(Double_to_Int(-2.7), -2);
  EXPECT_EQ(Double_to_Int(99.99), 99);
}

}  // namespace
