// The bar periods of AshiFlag and their words: the unit in indicator labels ("9日") and the
// names in the bar-period box.
#pragma once

constexpr int ASHI_DAILY = 1;
constexpr int ASHI_WEEKLY = 2;
constexpr int ASHI_MONTHLY = 3;

// "日", "週" or "月"; "" for any other value.
const char* AshiUnitWord(int ashi);
// "日足", "週足" or "月足"; "" for any other value.
const char* AshiName(int ashi);
