#include "support/merge_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "db/database_file.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/stock_code.h"
#include "platform/working_folder.h"
#include "support/db_fixture.h"

std::string DayFileText(int32_t date, const std::vector<DayRow>& rows) {
  std::string text = std::to_string(date) + "\n";
  char line[256];
  for (const DayRow& r : rows) {
    std::snprintf(line, sizeof line, "%s\t%s%d\t%lld\t%lld\t%lld\t%lld\t%s%s%s\n", Code_to_String(FixtureCode(r.stock)).c_str(),
                  "銘柄", r.stock, static_cast<long long>(r.open), static_cast<long long>(r.high),
                  static_cast<long long>(r.low), static_cast<long long>(r.close), r.volume, r.split ? "\t" : "",
                  r.split ? r.split : "");
    text += line;
  }
  return text;
}

void WriteMergeFixture(const std::vector<Fundamental>& entries, const std::vector<int32_t>& calendar,
                       const std::vector<int>& empty) {
  WriteFixtureTag(entries);
  std::vector<int32_t> dates = calendar;
  dates.resize(MAX_DATE, 0);
  const int days = static_cast<int>(calendar.size());
  DbImage image;
  image.header = DbHeader{DB_VERSION, MAX_KABU, MAX_DATE, days, static_cast<int32_t>(entries.size())};
  image.dates = dates.data();
  image.filled = static_cast<int>(entries.size());
  image.fill = [&](int n, Hiashi* h) {
    const Fundamental& f = entries[static_cast<size_t>(n)];
    if (std::find(empty.begin(), empty.end(), n) != empty.end()) {
      std::memset(h, 0, sizeof *h);
      h->code = f.code;
      h->flag = f.flag;
      std::memcpy(h->name, f.name, sizeof h->name);
      return;
    }
    FillFixtureRecord(n, days, h);
    h->code = f.code;
    h->flag = f.flag;
    for (int d = 0; d < days; ++d) {
      h->margin_sell[d] = Value_to_Packed(1000 * (d + 1));
      h->margin_buy[d] = Value_to_Packed(2000 * (d + 1));
    }
  };
  ASSERT_EQ(WriteDatabaseImage(DataFilePath(DB_FILE), image), 0);
}

void WriteMergeFixture(int stocks, const std::vector<int32_t>& calendar) {
  WriteMergeFixture(FixtureStocks(stocks), calendar);
}

bool LoadMergeFixture() {
  if (LoadTag() == 0) return false;
  MakeCodeOrder();
  return VURN_file_in(-1, 0) == 1 && VURN_file_in(-1, 1) == 1;
}

std::string DatabaseBytes(int stocks) {
  const std::string path = DataFilePath(DB_FILE);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "";
  return std::to_string(st.st_size) + "|" + ReadFileRange(path, 0, static_cast<size_t>(DbRecordOffset(stocks)));
}
