// The comparison window's work after a chart paint, each beside a baseline in the same run:
// the three similarity lists over 8192 stocks beside a copy of the screening snapshot they
// read; a comparison paint of seven weekly series at 1920x1080 (each slot read from the
// database file into the comparison's own buffers) beside one weekly chart paint of the
// same size. Each repetition is one run, so median and p95 are per run.
#include <benchmark/benchmark.h>

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench_qt_main.h"
#include "bench_support.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/shown_stock.h"
#include "chart/ui/chart_renderer.h"
#include "chart/ui/pnt_fgr_window.h"
#include "db/database_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/sample_data.h"
#include "db/stock_code.h"
#include "db/trading_calendar.h"
#include "lists/screening_snapshot.h"
#include "lists/similar_stocks.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"

namespace {

constexpr int kRecords = 8;  // stocks with price records (the comparison reads seven)

class BenchFolder {
 public:
  BenchFolder() {
    fPrtOff = 1;
    static int32_t dates[MAX_DATE];
    BuildTradingCalendar(20261210, MAX_DATE, dates);
    DbImage image;
    image.header = DbHeader{DB_VERSION, MAX_KABU, MAX_DATE, MAX_DATE, MAX_KABU};
    image.dates = dates;
    image.filled = kRecords;
    image.fill = [](int n, Hiashi* h) {
      std::mt19937 rng(static_cast<unsigned>(n));
      h->code = 1300 + n;
      h->start = 0;
      h->end = MAX_DATE - 1;
      int c = 1000 + 200 * n;
      for (int d = 0; d < MAX_DATE; ++d) {
        const int open = c;
        c = std::max(100, c + static_cast<int>(rng() % 61) - 30);
        h->open[d] = Value_to_Packed(open);
        h->close[d] = Value_to_Packed(c);
        h->high[d] = Value_to_Packed(std::max(open, c) + 10);
        h->low[d] = Value_to_Packed(std::min(open, c) - 10);
        h->deki[d] = Value_to_Packed(100000 + static_cast<int>(rng() % 100000));
      }
    };
    if (WriteDatabaseImage(DataFilePath(DB_FILE), image) != 0) std::abort();
    if (!VURN_file_in(-1, 0) || !VURN_file_in(-1, 1)) std::abort();
    LastKabu = MAX_KABU;
    for (int n = 0; n < MAX_KABU; ++n) {
      Fundamental& f = fundamental[n];
      f.code = 1300 + n;
      f.tani = 100;
      f.market = 1;
      std::snprintf(f.name, sizeof f.name, "銘柄%d", n);
    }
    MakeCodeOrder();
    // A snapshot of random walks for every stock, a few flat at the end.
    std::mt19937 rng(8192);
    for (int n = 0; n < MAX_KABU; ++n) {
      Pht& r = pht[n];
      int c = 200 + static_cast<int>(rng() % 5000);
      for (int i = 0; i < PHT_DAYS; ++i) {
        c = std::max(1, c + static_cast<int>(rng() % 41) - 20);
        r.close[i] = Value_to_Packed(c);
        r.close5[i] = Value_to_Packed(c + static_cast<int>(rng() % 300));
        r.close25[i] = Value_to_Packed(c + static_cast<int>(rng() % 900));
      }
      r.valid = 1;
      r.code = 1300 + n;
      r.end = PHT_LAST;
    }
    DispNum = 0;
    AshiFlag = 2;
    ChartOnStartup();
  }

 private:
  BenchWorkFolder folder_{"vurn-comparison-bench"};
};

BenchFolder& Folder() {
  static BenchFolder f;
  return f;
}

void BM_SimilarThreeLists(benchmark::State& state) {
  Folder();
  int a = 0;
  for (auto _ : state) {
    for (int p = 0; p < SIMILAR_LISTS; ++p) benchmark::DoNotOptimize(SimilarStocks(a, p, SIMILAR_RESULTS));
    a = (a + 997) % MAX_KABU;
  }
}

// Baseline: a copy of the snapshot the lists read.
void BM_BaselineCopySnapshot(benchmark::State& state) {
  Folder();
  static std::vector<char> out(sizeof pht);
  for (auto _ : state) {
    std::memcpy(out.data(), pht, sizeof pht);
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_ComparePaintSevenWeekly(benchmark::State& state) {
  Folder();
  QImage chart(1920, 1080, QImage::Format_RGB32);
  PaintChart(&chart);  // the chart's paint fixes the bars shown
  PntFgrCaptureChart();
  QImage img(1920, 1080, QImage::Format_RGB32);
  const int stocks[7] = {0, 1, 2, 3, 4, 5, 6};
  PaintCompare(&img, stocks);  // fonts and glyph caches
  for (auto _ : state) {
    PaintCompare(&img, stocks);
    benchmark::DoNotOptimize(img.constBits());
  }
}

// Baseline: one paint of the weekly chart at the same size.
void BM_BaselineChartPaintWeekly(benchmark::State& state) {
  Folder();
  QImage img(1920, 1080, QImage::Format_RGB32);
  PaintChart(&img);
  for (auto _ : state) {
    PaintChart(&img);
    benchmark::DoNotOptimize(img.constBits());
  }
}

#define PER_RUN(fn)                                  \
  BENCHMARK(fn)                                      \
      ->Iterations(1)                                \
      ->Repetitions(100)                             \
      ->ComputeStatistics("p95", P95)                \
      ->ReportAggregatesOnly(true)                   \
      ->Unit(benchmark::kMillisecond)

PER_RUN(BM_SimilarThreeLists);
PER_RUN(BM_BaselineCopySnapshot);
PER_RUN(BM_ComparePaintSevenWeekly);
PER_RUN(BM_BaselineChartPaintWeekly);

}  // namespace

int main(int argc, char** argv) { return RunPaintBenchmarks(argc, argv); }
