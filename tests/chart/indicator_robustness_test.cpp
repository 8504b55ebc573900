// Every indicator and overlay over damaged and extreme series and settings: nothing reads
// outside its arrays (the sanitizer build catches that), every line's range lies inside its
// value slots, and every value inside the range is finite.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "chart/indicators/dmi.h"
#include "chart/indicators/kairi.h"
#include "chart/indicators/macd.h"
#include "chart/indicators/psycho.h"
#include "chart/indicators/rci.h"
#include "chart/indicators/rsi.h"
#include "chart/indicators/stochastics.h"
#include "chart/indicators/volume_ratio.h"
#include "chart/overlays/bollinger.h"
#include "chart/overlays/ichimoku.h"
#include "chart/overlays/kakakutai.h"
#include "chart/overlays/parabolic.h"
#include "series_fixture.h"

namespace {

struct Variant {
  std::string name;
  std::function<void(DispSeries&)> make;
};

void Fill(DispSeries& ds, int first, int end, const std::function<int(int)>& price, int volume) {
  for (int i = first; i <= end; ++i) {
    const int p = price(i);
    ds.open[i] = ds.close[i] = p;
    ds.high[i] =
        static_cast<int>(std::min<int64_t>(INT_MAX, int64_t{p} + (i % 3 == 0 ? p / 50 : 0)));
    ds.low[i] = p - (i % 4 == 0 ? p / 40 : 0);
    ds.deki[i] = volume;
  }
  ds.FirstData = ds.DispStart = first;
  ds.DispEnd = ds.LastData = end;
}

std::vector<Variant> Variants() {
  return {
      {"no bars",
       [](DispSeries& ds) {
         Fill(
             ds, 5, 4, [](int) { return 1; }, 1);
       }},
      {"one bar at 0",
       [](DispSeries& ds) {
         Fill(
             ds, 0, 0, [](int) { return 300; }, 10);
       }},
      {"one bar at the end",
       [](DispSeries& ds) {
         Fill(
             ds, MAX_DATE - 1, MAX_DATE - 1, [](int) { return 300; }, 10);
       }},
      {"all zero",
       [](DispSeries& ds) {
         Fill(
             ds, 0, MAX_DATE - 1, [](int) { return 0; }, 0);
       }},
      {"extreme values",
       [](DispSeries& ds) {
         Fill(
             ds, 0, MAX_DATE - 1, [](int i) { return i % 2 ? INT_MAX : 0; }, INT_MAX);
         for (int i = 0; i < MAX_DATE; i += 5) ds.high[i] = INT_MAX, ds.low[i] = 0;
       }},
      {"indices out of range",
       [](DispSeries& ds) {
         Fill(
             ds, 0, MAX_DATE - 1, [](int i) { return 500 + i % 17; }, 100);
         ds.FirstData = -10, ds.DispStart = -3, ds.DispEnd = 5000, ds.LastData = 9999;
       }},
      {"extreme indices",
       [](DispSeries& ds) {
         Fill(
             ds, 0, 50, [](int i) { return 500 + i % 17; }, 100);
         ds.FirstData = INT_MAX, ds.DispStart = INT_MAX, ds.DispEnd = INT_MIN,
         ds.LastData = INT_MIN;
       }},
      {"extreme indices around data",
       [](DispSeries& ds) {
         Fill(
             ds, 0, 50, [](int i) { return 500 + i % 17; }, 100);
         ds.FirstData = INT_MIN, ds.DispStart = INT_MAX, ds.DispEnd = INT_MAX,
         ds.LastData = INT_MIN;
       }},
      {"DispStart after DispEnd",
       [](DispSeries& ds) {
         Fill(
             ds, 100, 400, [](int i) { return 500 + i % 17; }, 100);
         ds.DispStart = 600;
       }},
      {"high below low",
       [](DispSeries& ds) {
         Fill(
             ds, 0, 300, [](int i) { return 500 + i % 9; }, 100);
         for (int i = 0; i <= 300; ++i) std::swap(ds.high[i], ds.low[i]);
       }},
      {"days after the last data",
       [](DispSeries& ds) {
         std::mt19937 rng(3);
         int p = 800;
         Fill(
             ds, 1000, MAX_DATE - 1, [&](int) { return p = std::max(1, p + int(rng() % 21) - 10); },
             5000);
         ds.LastData = 2500;
         ds.DispStart = 2700;
       }},
  };
}

void CheckLines(const IndicatorLine* lines, int count, const std::string& what) {
  for (int k = 0; k < count; ++k) {
    const IndicatorLine& l = lines[k];
    if (l.from > l.to) {
      for (double v : l.value) ASSERT_TRUE(IsNoValue(v)) << what << " line " << k;
      continue;
    }
    ASSERT_GE(l.from, 0) << what << " line " << k;
    ASSERT_LT(l.to, LINE_VALUE_COUNT) << what << " line " << k;
    for (int i = 0; i < LINE_VALUE_COUNT; ++i) {
      if (i >= l.from && i <= l.to)
        ASSERT_TRUE(std::isfinite(l.value[i])) << what << " line " << k << " bar " << i;
      else
        ASSERT_TRUE(IsNoValue(l.value[i])) << what << " line " << k << " bar " << i;
    }
  }
}

TEST(IndicatorRobustness, DamagedSeriesAndSettings) {
  const int params[] = {INT_MIN, -5, 0, 1, 2, 3, 26, MAX_DATE - 1, MAX_DATE, MAX_DATE + 1, INT_MAX};
  auto out = Lines(BOLLINGER_LINES);
  for (const Variant& var : Variants()) {
    auto ds = std::make_unique<DispSeries>();
    var.make(*ds);
    for (int p : params) {
      const std::string what = var.name + ", parameter " + std::to_string(p);
      CheckLines(out.data(), CalcPsycho(*ds, 1, p, out.data()), what + " psycho");
      CheckLines(out.data(), CalcRCI(*ds, 1, p, 26, out.data()), what + " RCI");
      CheckLines(out.data(), CalcRSI(*ds, 1, p, out.data()), what + " RSI");
      CheckLines(out.data(), CalcDMI(*ds, 1, p, out.data()), what + " DMI");
      CheckLines(out.data(), CalcVR(*ds, 1, p, out.data()), what + " VR");
      CheckLines(out.data(), CalcStoc(*ds, 1, p, out.data()), what + " stochastics");
      CheckLines(out.data(), CalcKairi(*ds, 1, p, out.data()), what + " deviation");
      CheckLines(out.data(), CalcMACD(*ds, 1, p, 20, 9, true, out.data()), what + " MACD a");
      CheckLines(out.data(), CalcMACD(*ds, 1, 5, p, 9, true, out.data()), what + " MACD b");
      CheckLines(out.data(), CalcMACD(*ds, 1, 5, 20, p, true, out.data()), what + " MACD g");
      CheckLines(out.data(), CalcBollinger(*ds, p, 7, out.data()), what + " Bollinger");
      CheckLines(out.data(), CalcIchimoku(*ds, 1, p, 9, out.data()), what + " Ichimoku K");
      CheckLines(out.data(), CalcIchimoku(*ds, 1, 26, p, out.data()), what + " Ichimoku T");
    }
    CheckLines(out.data(), CalcParabolic(*ds, out.data()), var.name + " parabolic");
    KakakutaiBands k;
    CalcKakakutai(*ds, 0, INT_MAX, &k);
    for (int b = 0; b < KAKAKUTAI_BANDS; ++b) ASSERT_TRUE(std::isfinite(k.band[b])) << var.name;
    CalcKakakutai(*ds, 500, 500, &k);
    for (int b = 0; b < KAKAKUTAI_BANDS; ++b) ASSERT_TRUE(std::isfinite(k.band[b])) << var.name;
  }
}

}  // namespace
