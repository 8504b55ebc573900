#include "db/packed_value.h"

#include <cmath>

#include "platform/diagnostics.h"

namespace {
constexpr int64_t kPow10[8] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
}

int32_t Packed_to_Value(uint16_t packed) {
  int64_t v = static_cast<int64_t>(packed >> 3) * kPow10[packed & 7];
  return v > PACKED_MAX_VALUE ? PACKED_MAX_VALUE : static_cast<int32_t>(v);
}

uint16_t Value_to_Packed(int32_t value) {
  if (value < 0) value = 0;  // never handed a negative value; treat it as no value
  if (value < 8192) return static_cast<uint16_t>(value << 3);
  int keta = 1;
  int32_t yuko = value / 10;
  while (yuko >= 8192) {
    yuko /= 10;
    ++keta;
  }
  if (keta > 7) {
    FatalAt(__FILE__, __LINE__);
    Fatal("株価が8192*10000000を超えている？！keta=%d,yuko=%d,value=%d\n", keta, yuko, value);
  }
  if (yuko >= 8192) {
    FatalAt(__FILE__, __LINE__);
    Fatal("有効桁数が多い！value=%d,yuko=%d,keta=%d\n", value, yuko, keta);
  }
  return static_cast<uint16_t>((yuko << 3) | keta);
}

int32_t Double_to_Int(double value) {
  if (std::isnan(value)) return 0;
  if (value > 2147483647.0) return PACKED_MAX_VALUE;
  if (value < -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

uint16_t Double_to_Packed(double value) {
  if (value > 2147483647.0) {
    PRT("INT_MAX Over! v=%.1f\n", value);
    value = 2147483647.0;
  }
  return Value_to_Packed(Double_to_Int(value));
}
