// The sample data: a stock master file "vurn.tag" and a sample database "try.hy3" of 20
// stocks (three indices and seventeen well-known listed companies) with generated prices,
// so that the program starts on something real to look at. The prices are a random walk
// from a fixed seed, not market data; every run writes the same bytes.
#pragma once

#include <cstdint>
#include <string>

constexpr int SAMPLE_STOCK_COUNT = 20;
constexpr int32_t SAMPLE_END_BEFORE = 20261210;  // the calendar ends on the weekday before

// Fills out[0..count-1] with the count weekdays before the real date end_before (not
// counting it), oldest first, leaving out 31 December to 3 January. Returns count.
int BuildTradingCalendar(int32_t end_before, int count, int32_t* out);

// Writes vurn.tag and try.hy3 into folder (each replaced safely). Returns 0, or the errno
// of the failure; *failed_file (when given) names the file that failed.
int WriteSampleData(const std::string& folder, std::string* failed_file = nullptr);
