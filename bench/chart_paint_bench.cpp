// A full paint of the daily chart of a 2816-day stock (three moving averages, volume with
// its three averages, margin balances, grid, labels, high/low marks) at 1920x1080 and
// 3840x2160, the same with every indicator pane and overlay on, and one scroll step
// followed by its paint, beside a fill and a memcpy of an image of the same size. Each repetition is one paint, so median and p95 are per paint.
#include <benchmark/benchmark.h>

#include <QImage>
#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "bench_qt_main.h"
#include "bench_support.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/view_shihyo.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/sample_data.h"
#include "db/stock_code.h"
#include "chart/ui/chart_renderer.h"
#include "chart/shown_stock.h"
#include "platform/virtual_keys.h"

namespace {

void SetUpStock() {
  static bool done = false;
  if (done) return;
  done = true;
  BuildTradingCalendar(20261210, MAX_DATE, nikkei_date);
  LastDate = MAX_DATE;
  Fundamental& f = fundamental[0];
  f.code = 7203;
  std::snprintf(f.name, sizeof f.name, "トヨタ自動車");
  f.market = 1;
  f.tani = 100;
  LastKabu = 1;
  MakeCodeOrder();
  Hiashi* h = WorkHiashi();
  std::memset(h, 0, sizeof *h);
  h->code = f.code;
  h->flag = FLAG_MARGIN;
  h->start = 0;
  h->end = MAX_DATE - 1;
  std::mt19937 rng(2816);
  int close = 2500;
  for (int i = 0; i < MAX_DATE; ++i) {
    const int open = close;
    close = std::max(100, close + static_cast<int>(rng() % 61) - 30);
    h->open[i] = Value_to_Packed(open);
    h->close[i] = Value_to_Packed(close);
    h->high[i] = Value_to_Packed(std::max(open, close) + static_cast<int>(rng() % 25));
    h->low[i] = Value_to_Packed(std::min(open, close) - static_cast<int>(rng() % 25));
    h->deki[i] = Value_to_Packed(1000000 + static_cast<int>(rng() % 20000000));
    h->margin_buy[i] = Value_to_Packed(3000000 + static_cast<int>(rng() % 1000000));
    h->margin_sell[i] = Value_to_Packed(800000 + static_cast<int>(rng() % 500000));
  }
  DispNum = 0;
  AshiFlag = 1;
  DayMoveAveThird[1] = 1;  // the third average on
  DekiMoveAve = 7;         // all three volume averages
  CrossView = 0;
  ChartOnStartup();
}

void BM_Paint(benchmark::State& state) {
  SetUpStock();
  QImage img(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), QImage::Format_RGB32);
  ScrollPos[0] = MAX_DATE - 1;
  PaintChart(&img);  // fonts and glyph caches
  for (auto _ : state) {
    PaintChart(&img);
    benchmark::DoNotOptimize(img.constBits());
  }
}

void BM_ScrollStep(benchmark::State& state) {
  SetUpStock();
  QImage img(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), QImage::Format_RGB32);
  ScrollPos[0] = MAX_DATE - 100;
  PaintChart(&img);
  int dir = 0;
  for (auto _ : state) {
    ChartScroll(dir++ % 2 ? VK_RIGHT : VK_LEFT);
    PaintChart(&img);
    benchmark::DoNotOptimize(img.constBits());
  }
}

// Every indicator pane and every overlay at once (Ichimoku and the Bollinger bands exclude
// each other, so two paints: one with the bands, one with the Ichimoku chart).
void AllOn(bool ichimoku) {
  fViewPsycho = fViewRCI = fViewRSI = fViewDMI = fViewVR = fViewStoc = fViewKairi = fViewMACD = 1;
  MACDHist = 1;
  Bollinger = 7;
  fViewKakakutai = fViewParabolic = 1;
  fViewIchimoku = ichimoku ? 1 : 0;
  fViewBollinger = ichimoku ? 0 : 1;
  RebuildViewShihyo();
  ReRangeChart();
}

void AllOff() {
  fViewPsycho = fViewRCI = fViewRSI = fViewDMI = fViewVR = fViewStoc = fViewKairi = fViewMACD = 0;
  fViewKakakutai = fViewParabolic = fViewIchimoku = fViewBollinger = 0;
  RebuildViewShihyo();
  ReRangeChart();
}

void BM_PaintAll(benchmark::State& state) {
  SetUpStock();
  AllOn(state.range(2) != 0);
  QImage img(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), QImage::Format_RGB32);
  ScrollPos[0] = MAX_DATE - 1;
  PaintChart(&img);
  for (auto _ : state) {
    PaintChart(&img);
    benchmark::DoNotOptimize(img.constBits());
  }
  AllOff();
}

void BM_BaselineFill(benchmark::State& state) {
  QImage img(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), QImage::Format_RGB32);
  unsigned c = 0;
  for (auto _ : state) {
    img.fill(0xFF000000u | (c++ & 0xFF));
    benchmark::DoNotOptimize(img.constBits());
  }
}

void BM_BaselineMemcpy(benchmark::State& state) {
  QImage a(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), QImage::Format_RGB32);
  QImage b(a.size(), QImage::Format_RGB32);
  a.fill(0xFF102030u);
  for (auto _ : state) {
    std::memcpy(b.bits(), a.constBits(), static_cast<size_t>(a.sizeInBytes()));
    benchmark::DoNotOptimize(b.constBits());
  }
}

#define PER_PAINT(fn)                                                                   \
  BENCHMARK(fn)                                                                         \
      ->Args({1920, 1080})                                                              \
      ->Args({3840, 2160})                                                              \
      ->Iterations(1)                                                                   \
      ->Repetitions(200)                                                                \
      ->ComputeStatistics("p95", P95)                                                   \
      ->ReportAggregatesOnly(true)                                                      \
      ->Unit(benchmark::kMillisecond)

PER_PAINT(BM_Paint);
PER_PAINT(BM_ScrollStep);
BENCHMARK(BM_PaintAll)
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Args({3840, 2160, 0})
    ->Args({3840, 2160, 1})
    ->Iterations(1)
    ->Repetitions(100)
    ->ComputeStatistics("p95", P95)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
PER_PAINT(BM_BaselineFill);
PER_PAINT(BM_BaselineMemcpy);

}  // namespace

int main(int argc, char** argv) { return RunPaintBenchmarks(argc, argv); }
