// Filling the favourites list with 3999 rows (goal: at most 50 ms), beside a baseline of
// copying the same favourites table in the same run: the prices and texts of the rows
// alone, and the whole refill of the window (offscreen).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <vector>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/favourites.h"
#include "lists/screening_snapshot.h"
#include "lists/ui/favourite_window.h"
#include "lists/ui/user_list_windows.h"
#include "lists/user_data.h"
#include "platform/diagnostics.h"

namespace {

void Fill() {
  static bool done = false;
  if (done) return;
  done = true;
  fPrtOff = 1;
  LastKabu = 4000;
  LastDate = 100;
  nikkei_date[99] = 20261209;
  for (int s = 0; s < LastKabu; ++s) {
    fundamental[s].code = 1300 + s;
    fundamental[s].tani = 100;
    std::snprintf(fundamental[s].name, sizeof fundamental[s].name, "銘柄%d", s);
    pht[s].close[PHT_LAST] = Value_to_Packed(500 + s % 900);
  }
  ResetUserData();
  MakeCodeOrder();
  for (int i = 0; i < TYUMOKU_LIMIT; ++i) {
    Tyumoku& t = tyumoku[Tyumoku_Num++];
    t.Code = 1300 + i;
    std::snprintf(t.Name, sizeof t.Name, "銘柄%d", i);
    t.Price = 480 + i % 700;
    t.Share = 100 * (1 + i % 10);
    std::strcpy(t.Date, "2026/12/01");
  }
}

void BM_Baseline_CopyTable(benchmark::State& state) {
  Fill();
  static std::vector<Tyumoku> copy(TYUMOKU_MAX);
  for (auto _ : state) {
    std::memcpy(copy.data(), tyumoku, sizeof(Tyumoku) * Tyumoku_Num);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Baseline_CopyTable)->Unit(benchmark::kMicrosecond);

void BM_FavouriteRows(benchmark::State& state) {
  Fill();
  for (auto _ : state) {
    PriceFolder(0);
    std::vector<std::vector<std::string>> rows;
    for (int i : FolderRecords(0)) rows.push_back(TyumokuRow(tyumoku[i]));
    benchmark::DoNotOptimize(rows.data());
  }
}
BENCHMARK(BM_FavouriteRows)->Unit(benchmark::kMillisecond);

void BM_FavouriteWindowRefill(benchmark::State& state) {
  Fill();
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "favourites_bench";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  RegisterUserListWindows(nullptr, {});
  ToggleTyumokuWindow();
  TyumokuWindow* w = OpenTyumokuWindow();
  for (auto _ : state) w->Refill();
  ToggleTyumokuWindow();
}
BENCHMARK(BM_FavouriteWindowRefill)->Unit(benchmark::kMillisecond);

}  // namespace
