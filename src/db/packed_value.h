// The 16-bit packed value in which every price, volume and balance is stored:
// top 13 bits mantissa, low 3 bits decimal exponent; value = mantissa * 10^exponent.
#pragma once

#include <cstdint>

constexpr int32_t PACKED_MAX_VALUE = 2147483647;  // what a saturated read gives

// mantissa * 10^exponent, saturated at 2147483647 (8191 * 10^7 exceeds 32 bits).
int32_t Packed_to_Value(uint16_t packed);
// Keeps the four leading digits, truncating. value >= 0.
uint16_t Value_to_Packed(int32_t value);
// Values above 2147483647 are reported and replaced by it; then truncated and packed.
uint16_t Double_to_Packed(double value);
// Values above 2147483647 give 2147483647; others are truncated towards zero.
int32_t Double_to_Int(double value);
