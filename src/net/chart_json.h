// The chart JSON interface's documents: parallel arrays of daily values ("timestamp",
// and "open", "high", "low", "close", "volume" under the quote indicators). The reader looks
// for each quoted key in the raw response and reads its array up to the closing "]";
// unreadable elements (null, negative numbers, exponents, strings) read as 0. No document
// tree is built, so a document cut short still yields the elements that arrived whole.
#pragma once

#include <cstddef>
#include <cstdint>

#include "db/price_model.h"

constexpr int CHART_DAYS_MAX = 2841;  // longest history requested

// Reads the array of key (given without quotes) from text[0 .. len) into out: at most count
// elements, each times scale (a power of ten), truncated on its decimal text. Blanks around
// an element are allowed. Returns the number stored.
int ReadJsonArrayIn(const char* text, size_t len, const char* key, int64_t* out, int count, int scale);
// The same over the last response (HttpBuf).
int ReadJsonArray(const char* key, int64_t* out, int count, int scale);
// "open", "high", "low", "close" at scale, "volume" and "timestamp" at scale 1, each at most
// count elements, from HttpBuf. Returns the number of timestamps read.
int ReadChartArrays(int64_t* open, int64_t* high, int64_t* low, int64_t* close, int64_t* timestamp,
                    int64_t* volume, int count, int scale);

// The staging record of the back-fill: packed open, high, low, close and volume at each day
// index of the calendar.
extern Hiashi WebHiashi;

// The symbol of a world index (codes 1020 to 1035), nullptr for any other code.
const char* WorldIndexName(int32_t code);

// Fetches the history of one stock or index (days: 1 to CHART_DAYS_MAX) and writes every day
// that the calendar holds into WebHiashi; bad days are written as zeros. Returns 1 (a failed
// fetch writes nothing).
int GetChartHistory(const char* symbol, int stock_num, int world_index, int days);
// The Nikkei 225 volume (÷552) for the dates after 2003-03-14 into WebHiashi, prices 0.
void GetNikkeiVolume(int stock_num);

// Whether the known-bad day table of the chart interface lists the date for code (the
// 2020-10-01 rule for days without volume included).
bool IsKnownBadChartDay(int32_t code, int32_t date, int64_t volume);
// Erases isolated flat days without volume, repeating until nothing changes (see the .cpp).
void EraseIsolatedFlatDays(int64_t* open, int64_t* high, int64_t* low, int64_t* close, int64_t* volume, int n);
