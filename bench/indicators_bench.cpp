// Indicator and overlay computations over a full-length daily series (2816 days, every bar
// computed), beside a memcpy of the series and a plain pass over its arrays.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "chart/disp_series.h"
#include "chart/indicator_line.h"
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

namespace {

// A random walk in whole yen, so long windows hold many equal closes as real prices do.
const DispSeries& Series() {
  static std::unique_ptr<DispSeries> ds = [] {
    auto s = std::make_unique<DispSeries>();
    std::mt19937 rng(2816);
    int close = 1500;
    for (int i = 0; i < MAX_DATE; ++i) {
      const int open = close;
      close = std::max(50, close + static_cast<int>(rng() % 41) - 20);
      s->open[i] = open;
      s->close[i] = close;
      s->high[i] = std::max(open, close) + static_cast<int>(rng() % 15);
      s->low[i] = std::min(open, close) - static_cast<int>(rng() % 15);
      s->deki[i] = 1000 + static_cast<int>(rng() % 2000000);
    }
    s->FirstData = s->DispStart = 0;
    s->DispEnd = s->LastData = MAX_DATE - 1;
    return s;
  }();
  return *ds;
}

std::vector<IndicatorLine>& Out() {
  static std::vector<IndicatorLine> lines(32);
  return lines;
}

struct Periods {
  int psycho, rci_short, rci_long, rsi, dmi, vr, stoc, kairi, macd_a, macd_b, macd_g;
  int bollinger, ichimoku_k, ichimoku_t;
};

void ComputeAll(const DispSeries& ds, const Periods& p) {
  IndicatorLine* out = Out().data();
  int n = 0;
  n += CalcIchimoku(ds, 1, p.ichimoku_k, p.ichimoku_t, out + n);
  n += CalcBollinger(ds, p.bollinger, 7, out + n);
  n += CalcParabolic(ds, out + n);
  n += CalcPsycho(ds, 1, p.psycho, out + n);
  n += CalcRCI(ds, 1, p.rci_short, p.rci_long, out + n);
  n += CalcRSI(ds, 1, p.rsi, out + n);
  n += CalcDMI(ds, 1, p.dmi, out + n);
  n += CalcVR(ds, 1, p.vr, out + n);
  n += CalcStoc(ds, 1, p.stoc, out + n);
  n += CalcKairi(ds, 1, p.kairi, out + n);
  n += CalcMACD(ds, 1, p.macd_a, p.macd_b, p.macd_g, true, out + n);
  KakakutaiBands bands;
  CalcKakakutai(ds, 0, 4000, &bands);
  benchmark::DoNotOptimize(out[n - 1].value[MAX_DATE - 1]);
  benchmark::DoNotOptimize(bands.largest);
}

void BM_Memcpy(benchmark::State& state) {
  static DispSeries copy;
  for (auto _ : state) {
    std::memcpy(&copy, &Series(), sizeof copy);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * sizeof(DispSeries));
}
BENCHMARK(BM_Memcpy);

void BM_PlainPass(benchmark::State& state) {
  const DispSeries& ds = Series();
  for (auto _ : state) {
    int64_t sum = 0;
    for (int i = 0; i < MAX_DATE; ++i) sum += ds.high[i] - ds.low[i] + ds.close[i] + ds.deki[i];
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_PlainPass);

// Every indicator and overlay at its default period (daily bars; Bollinger with all three
// levels, MACD with its histogram).
void BM_AllDefaults(benchmark::State& state) {
  const Periods p = {12, 8, 12, 9, 14, 14, 5, 15, 5, 20, 9, 15, 26, 9};
  for (auto _ : state) ComputeAll(Series(), p);
}
BENCHMARK(BM_AllDefaults)->Unit(benchmark::kMicrosecond);

// The largest periods that still draw on this series: the whole history (base period at its
// limit of 101).
void BM_LargestPeriods(benchmark::State& state) {
  const int m = MAX_DATE - 1;
  const Periods p = {m - 1, m, m, m - 1, m / 2 - 1, m - 1, m, m, m - 1, m - 1, 1, m - 1, 101, m};
  for (auto _ : state) ComputeAll(Series(), p);
}
BENCHMARK(BM_LargestPeriods)->Unit(benchmark::kMicrosecond);

// The periods that cost the most: RCI windows of half the series (its dearest, see the
// windows below), the ADX mean and MACD signal windows at the size of most work, the
// longest Ichimoku periods.
void BM_WorstPeriods(benchmark::State& state) {
  const Periods p = {1408, 1408, 1408, 1408, 704, 1408, 1408, 1408, 1, 1, 1407, 1408, 101, 2000};
  for (auto _ : state) ComputeAll(Series(), p);
}
BENCHMARK(BM_WorstPeriods)->Unit(benchmark::kMicrosecond);

// RCI alone by window, to find its most expensive window.
void BM_RciWindow(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    CalcRCI(Series(), 1, n, n, Out().data());
    benchmark::DoNotOptimize(Out()[0].value[MAX_DATE - 1]);
  }
}
BENCHMARK(BM_RciWindow)
    ->Arg(8)
    ->Arg(12)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(1200)
    ->Arg(1408)
    ->Arg(1600)
    ->Arg(1877)
    ->Arg(2300)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
