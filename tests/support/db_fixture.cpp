#include "support/db_fixture.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/record_io.h"
#include "db/sample_data.h"
#include "db/stock_code.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"
#include "chart/shown_stock.h"

int32_t FixtureCode(int n) { return 7000 + n; }

std::vector<Fundamental> FixtureStocks(int count) {
  std::vector<Fundamental> v(static_cast<size_t>(count));
  for (int n = 0; n < count; ++n) {
    Fundamental& f = v[static_cast<size_t>(n)];
    f.code = FixtureCode(n);
    std::snprintf(f.name, sizeof f.name, "銘柄%d", n);
    std::snprintf(f.company, sizeof f.company, "テスト会社%d", n);
    std::snprintf(f.industry, sizeof f.industry, "%s", IndustryName[n % INDUSTRY_COUNT]);
    f.market = 1;
    f.tani = 100;
    f.flag = FLAG_DAILY_DOWNLOAD;
  }
  return v;
}

std::vector<int32_t> FixtureCalendar(int days) {
  std::vector<int32_t> v(static_cast<size_t>(days));
  if (days > 0) BuildTradingCalendar(20261210, days, v.data());
  return v;
}

void FillFixtureRecord(int n, int days, Hiashi* h) {
  std::memset(h, 0, sizeof *h);
  const Fundamental f = FixtureStocks(n + 1).back();
  std::memcpy(h->name, f.name, sizeof h->name);
  h->code = f.code;
  h->flag = f.flag;
  for (int d = 0; d < days; ++d) {
    const int32_t c = 1000 + 10 * n + d;
    h->close[d] = Value_to_Packed(c);
    h->open[d] = Value_to_Packed(c - 1);
    h->high[d] = Value_to_Packed(c + 2);
    h->low[d] = Value_to_Packed(c - 3);
    h->deki[d] = Value_to_Packed(100 * (d + 1));
  }
  h->start = 0;
  h->end = days - 1;
}

void WriteFixtureDatabase(const FixtureDatabase& layout) {
  int of_version = DbSlotsOfVersion(layout.version);
  if (of_version == 0) of_version = MAX_KABU;
  std::vector<int32_t> dates = FixtureCalendar(layout.days);
  dates.resize(MAX_DATE, 0);
  DbImage image;
  image.header = DbHeader{layout.version, layout.slot_count >= 0 ? layout.slot_count : of_version, MAX_DATE, layout.days, layout.stocks};
  image.dates = dates.data();
  image.records = layout.records >= 0 ? layout.records : of_version;
  image.filled = layout.stocks;
  const int days = layout.days;
  image.fill = [days](int n, Hiashi* h) { FillFixtureRecord(n, days, h); };
  ASSERT_EQ(WriteDatabaseImage(DataFilePath(layout.file), image), 0);
}

void WriteFixtureTag(const std::vector<Fundamental>& entries, int32_t date) {
  ASSERT_EQ(WriteTag(DataFilePath(TAG_FILE), static_cast<int>(entries.size()), date, entries.data()), 0);
}

void WriteFixtureTag(int stocks, int32_t date) { WriteFixtureTag(FixtureStocks(stocks), date); }

void WriteFixtureDatabase(int stocks, int days) {
  WriteFixtureTag(stocks);
  FixtureDatabase layout;
  layout.stocks = stocks;
  layout.days = days;
  WriteFixtureDatabase(layout);
}

void WriteEtfFaultDatabase(int stocks, int days) {
  std::vector<Fundamental> entries = FixtureStocks(stocks);
  for (int n = 0; n < stocks; ++n) entries[n].code = 1300 + n;
  WriteFixtureTag(entries);
  std::vector<int32_t> dates;
  for (int d = 0; d < days; ++d) dates.push_back(20240801 + (d / 20) * 100 + d % 20 + 1);
  dates.resize(MAX_DATE, 0);
  DbImage image;
  image.header.last_date = days;
  image.header.last_kabu = stocks;
  image.dates = dates.data();
  image.filled = stocks;
  image.fill = [&entries, days](int n, Hiashi* h) {
    FillFixtureRecord(n, days, h);
    h->code = entries[n].code;
    h->close[10] = Value_to_Packed(h->code);
    h->close[45] = Value_to_Packed(h->code);
    h->margin_buy[45] = Value_to_Packed(7);
  };
  ASSERT_EQ(WriteDatabaseImage(DataFilePath(DB_FILE), image), 0);
}

void EnterSampleMode(const std::vector<Fundamental>& entries, int sample_stocks) {
  WriteFixtureTag(entries);
  FixtureDatabase sample;
  sample.stocks = sample_stocks;
  sample.file = SAMPLE_DB_FILE;
  WriteFixtureDatabase(sample);
  ASSERT_NE(LoadTag(), 0);
  ASSERT_EQ(VURN_file_in(-1, DB_IN_HEADER), 1);
  ASSERT_EQ(VURN_file_in(-1, DB_IN_CALENDAR), 1);
  ASSERT_EQ(fSampleDB, 1);
  LastKabu = sample_stocks;
  MakeCodeOrder();
}

void ResetDatabaseState() {
  ForgetLoadedDatabase();
  DispNum = 0;
  ClearPrtHistory();
}

