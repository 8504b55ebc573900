// Small display series for the indicator and overlay tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "chart/disp_series.h"
#include "chart/indicator_line.h"

struct FixtureBar {
  int high, low, close, volume;
};

// A series whose data starts at bar `first` (earlier bars are 0, as in the chart), one bar
// per close; open = high = low = close; shown from its first to its last bar.
inline std::unique_ptr<DispSeries> SeriesOfCloses(int first, const std::vector<int>& closes,
                                                  const std::vector<int>& volumes = {}) {
  auto ds = std::make_unique<DispSeries>();
  for (size_t k = 0; k < closes.size(); ++k) {
    const int i = first + static_cast<int>(k);
    ds->open[i] = ds->high[i] = ds->low[i] = ds->close[i] = closes[k];
    ds->deki[i] = k < volumes.size() ? volumes[k] : 1000;
  }
  ds->FirstData = ds->DispStart = first;
  ds->LastData = ds->DispEnd = first + static_cast<int>(closes.size()) - 1;
  return ds;
}

inline std::unique_ptr<DispSeries> SeriesOfBars(int first, const std::vector<FixtureBar>& bars) {
  auto ds = std::make_unique<DispSeries>();
  for (size_t k = 0; k < bars.size(); ++k) {
    const int i = first + static_cast<int>(k);
    ds->open[i] = bars[k].close;
    ds->high[i] = bars[k].high;
    ds->low[i] = bars[k].low;
    ds->close[i] = bars[k].close;
    ds->deki[i] = bars[k].volume;
  }
  ds->FirstData = ds->DispStart = first;
  ds->LastData = ds->DispEnd = first + static_cast<int>(bars.size()) - 1;
  return ds;
}

inline std::vector<IndicatorLine> Lines(int n) { return std::vector<IndicatorLine>(n); }

// Expected values of one line: its range and some of its values (bar, value).
struct Expected {
  int from, to;
  std::vector<std::pair<int, double>> values;
};

inline void ExpectLine(const IndicatorLine& line, const Expected& e, const char* what) {
  SCOPED_TRACE(what);
  EXPECT_EQ(line.from, e.from);
  EXPECT_EQ(line.to, e.to);
  for (auto [bar, v] : e.values) EXPECT_NEAR(line.value[bar], v, 1e-9) << "bar " << bar;
  if (line.from > 0) {
    EXPECT_TRUE(IsNoValue(line.value[line.from - 1]));
  }
  if (line.to >= line.from && line.to + 1 < LINE_VALUE_COUNT) {
    EXPECT_TRUE(IsNoValue(line.value[line.to + 1]));
  }
}

inline bool IsEmpty(const IndicatorLine& line) { return line.from > line.to; }
