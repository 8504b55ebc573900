// In-memory chart state for the chart tests: a weekday calendar, a small stock table and
// the shown stock's record filled directly (no database file), with every chart setting
// and view variable at its start value.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "chart/chart_layout.h"
#include "chart/chart_settings.h"
#include "chart/chart_view.h"
#include "chart/value_tip.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "db/week_month_bars.h"
#include "platform/command_dispatch.h"
#include "platform/diagnostics.h"
#include "shell/settings.h"
#include "chart/shown_stock.h"
#include "support/db_fixture.h"

class ChartTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }

  static void Reset() {
    ResetDatabaseState();
    ResetAllSettings();
    ResetChartView();
    ResetScaleHold();
    ResetAshiCache();
    ResetValueTip();
    ClearCommands();
  }

  // A calendar of `days` weekdays ending 2026-12-09, and `stocks` stocks (codes 7000 + n,
  // market 1, unit 100) in code order.
  static void World(int days, int stocks) {
    const auto cal = FixtureCalendar(days);
    for (int i = 0; i < days; ++i) nikkei_date[i] = cal[static_cast<size_t>(i)];
    LastDate = days;
    const auto table = FixtureStocks(stocks);
    for (int n = 0; n < stocks; ++n) fundamental[n] = table[static_cast<size_t>(n)];
    LastKabu = stocks;
    MakeCodeOrder();
    InvalidateCalendarTables();
    ResetAshiCache();
  }

  // Makes the work record the record of stock s with data on days start ... end (all
  // zero otherwise) and shows it.
  static Hiashi* Show(int s, int start, int end, int32_t flag = 0) {
    Hiashi* h = WorkHiashi();
    std::memset(h, 0, sizeof *h);
    h->code = fundamental[s].code;
    std::memcpy(h->name, fundamental[s].name, sizeof h->name);
    h->start = start;
    h->end = end;
    h->flag = flag;
    DispNum = s;
    ResetAshiCache();
    return h;
  }

  // One day's bar; the values are kept exactly when they have at most four digits.
  static void Bar(Hiashi* h, int day, int open, int high, int low, int close, int volume,
                  int sell = 0, int buy = 0) {
    h->open[day] = Value_to_Packed(open);
    h->high[day] = Value_to_Packed(high);
    h->low[day] = Value_to_Packed(low);
    h->close[day] = Value_to_Packed(close);
    h->deki[day] = Value_to_Packed(volume);
    h->margin_sell[day] = Value_to_Packed(sell);
    h->margin_buy[day] = Value_to_Packed(buy);
  }
};

