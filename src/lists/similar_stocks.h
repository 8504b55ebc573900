// The similar-stock search of the comparison chart: the stocks whose recent price shape,
// read from the screening snapshot, is closest to a given stock's, on daily closes, on
// five-day steps or on twenty-five-day steps.
#pragma once

#include <string>
#include <vector>

#include "lists/screening_snapshot.h"

constexpr int SIMILAR_LISTS = 3;     // 0 daily, 1 weekly (five days), 2 monthly (25 days)
constexpr int SIMILAR_SERIES_MAX = 62;
constexpr int SIMILAR_RESULTS = 30;  // items per list of the comparison window

// The similarity series of list p from a snapshot record, oldest first, still packed:
// 50, 60 or 62 values. Returns the count (0 for another p).
int SimilarSeries(const Pht& r, int p, uint16_t* out);

// Up to n stocks most similar to stock a on list p, best first. The score is the sum of
// squared differences of the two series, each divided by its first non-zero value among
// the first 50 (a stock without one before position 41 is never compared); a candidate
// whose last five daily closes are equal is left out; among equal scores the later stock
// comes first.
std::vector<int> SimilarStocks(int a, int p, int n);

// The list item of a result: "%-12s %s %2d" of the stock's name, code text and place (1 the
// most similar).
std::string SimilarItemText(int stock_num, int place);
