// Weekly and monthly bars of every stock of a full database (8192 records over a full
// calendar of 2816 trading days), beside reading those records alone (a memcpy of the
// same bytes into a work record).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "db/price_model.h"
#include "db/week_month_bars.h"

namespace {

struct Database {
  std::unique_ptr<Hiashi[]> records;
  Database() : records(new Hiashi[MAX_KABU]) {
    using namespace std::chrono;
    // Monday to Friday from 5 January 2015: a full calendar.
    int n = 0;
    for (sys_days d = sys_days{year{2015} / January / 5}; n < MAX_DATE; d += days{1}) {
      unsigned wd = weekday{d}.c_encoding();
      if (wd == 0 || wd == 6) continue;
      year_month_day ymd{d};
      nikkei_date[n++] = static_cast<int>(ymd.year()) * 10000 + static_cast<int>(unsigned(ymd.month())) * 100 +
                         static_cast<int>(unsigned(ymd.day()));
    }
    LastDate = MAX_DATE;
    uint32_t x = 12345;
    auto next = [&x] { return x = x * 1664525u + 1013904223u; };
    for (int s = 0; s < MAX_KABU; ++s) {
      Hiashi& h = records[s];
      std::memset(&h, 0, sizeof h);
      // Most stocks have the whole calendar; every eighth was listed later.
      h.start = s % 8 == 0 ? static_cast<int>(next() % MAX_DATE) : 0;
      h.end = MAX_DATE - 1;
      h.code = 1000 + s;
      for (int d = h.start; d <= h.end; ++d) {
        uint16_t price = static_cast<uint16_t>((100 + next() % 8000) << 3 | (next() % 2));
        h.open[d] = h.high[d] = h.low[d] = h.close[d] = price;
        h.deki[d] = static_cast<uint16_t>(next() & 0xFFFF);
        h.margin_sell[d] = static_cast<uint16_t>(next() & 0xFFFF);
        h.margin_buy[d] = static_cast<uint16_t>(next() & 0xFFFF);
      }
    }
    ResetAshiCache();
    EnsureWeekTable();
    EnsureMonthTable();
  }
};

Database& Db() {
  static Database db;
  return db;
}

// Baseline: every record read into the work record.
void BM_ReadRecords(benchmark::State& state) {
  Database& db = Db();
  Hiashi* work = WorkHiashi();
  for (auto _ : state) {
    for (int s = 0; s < MAX_KABU; ++s) {
      std::memcpy(work, &db.records[s], sizeof(Hiashi));
      benchmark::DoNotOptimize(work);
      benchmark::ClobberMemory();
    }
  }
  state.SetBytesProcessed(state.iterations() * int64_t{MAX_KABU} * int64_t{sizeof(Hiashi)});
}
BENCHMARK(BM_ReadRecords)->Unit(benchmark::kMillisecond);

// The weekly and the monthly series of every stock, built from its record.
void BM_BuildWeekMonthBars(benchmark::State& state) {
  Database& db = Db();
  for (auto _ : state) {
    for (int s = 0; s < MAX_KABU; ++s) {
      MakeShuashi(db.records[s], shuashi);
      MakeTsukiashi(db.records[s], tsukiashi);
      benchmark::ClobberMemory();
    }
  }
  state.SetBytesProcessed(state.iterations() * int64_t{MAX_KABU} * int64_t{sizeof(Hiashi)});
}
BENCHMARK(BM_BuildWeekMonthBars)->Unit(benchmark::kMillisecond);

// What a pass over the database costs: read each record, then build both series from it.
void BM_ReadAndBuild(benchmark::State& state) {
  Database& db = Db();
  Hiashi* work = WorkHiashi();
  for (auto _ : state) {
    for (int s = 0; s < MAX_KABU; ++s) {
      std::memcpy(work, &db.records[s], sizeof(Hiashi));
      MakeShuashi(*work, shuashi);
      MakeTsukiashi(*work, tsukiashi);
      benchmark::ClobberMemory();
    }
  }
  state.SetBytesProcessed(state.iterations() * int64_t{MAX_KABU} * int64_t{sizeof(Hiashi)});
}
BENCHMARK(BM_ReadAndBuild)->Unit(benchmark::kMillisecond);

// Building the calendar's week and month tables once (done when the calendar changes).
void BM_BuildCalendarTables(benchmark::State& state) {
  Db();
  for (auto _ : state) {
    BuildWeekTable();
    BuildMonthTable();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BuildCalendarTables)->Unit(benchmark::kMicrosecond);

}  // namespace
