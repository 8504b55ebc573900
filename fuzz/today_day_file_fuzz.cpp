// Fuzz target for today's download from the quote pages to the day file: the input's first
// page gives the stock names (one a line, as a master file may hold them), each further
// page is the quote page of the next stock (the page fetch is replaced, see page_seam.h).
// The entries are written as the day file, which the merge's reader must take back whole:
// the same date, the same codes once each, the same prices and volume.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "db/day_file.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "fuzz_scratch.h"
#include "net/today_download.h"
#include "page_seam.h"

namespace {

constexpr const char* CODES[] = {"7203", "1001", "1003", "130A", "8306"};
constexpr int STOCKS = sizeof CODES / sizeof CODES[0];

}  // namespace

void FuzzOne(const unsigned char* data, size_t size) {
  FreshScratchFolder();
  fTimedDownload = 1;  // no boxes
  ServePages(data, size);
  std::string_view names = g_pages[0];
  g_next_page = 1;
  LastKabu = STOCKS;
  for (int s = 0; s < STOCKS; ++s) {
    Fundamental& f = fundamental[s];
    f = Fundamental{};
    f.code = String_to_Code(CODES[s]);
    f.tani = 100;
    f.flag = FLAG_DAILY_DOWNLOAD;
    const size_t lf = names.find('\n');
    const std::string_view name = names.substr(0, lf);
    std::memcpy(f.name, name.data(), std::min(name.size(), sizeof f.name - 1));
    names.remove_prefix(lf == std::string_view::npos ? names.size() : lf + 1);
  }
  ClearWebDayTable();
  WebDate = 20261210;
  for (int s = 0; s < STOCKS; ++s) GetQuotePage(s, 0);

  Require(WriteWebDayFile() == 1, "the day file is written");
  DayFile day;
  std::string error;
  Require(ReadDayFile(WebDayFileName, &day, &error), "the merge reads the day file back");
  Require(day.date == WebDate && !day.pan, "its date");
  // The file lists the entries in ascending code order.
  std::vector<WebDayEntry> entries;
  for (int s = 0; s < STOCKS; ++s)
    if (WebDayTable[s].code != 0) entries.push_back(WebDayTable[s]);
  std::sort(entries.begin(), entries.end(), [](const WebDayEntry& a, const WebDayEntry& b) { return a.code < b.code; });
  size_t n = 0;
  for (const WebDayEntry& e : entries) {
    Require(n < day.lines.size(), "every entry has its line");
    const DayLine& line = day.lines[n++];
    Require(line.code == e.code && !line.name.empty(), "code and name");
    Require(line.open == e.start * DAY_MICRO && line.high == e.max * DAY_MICRO && line.low == e.min * DAY_MICRO &&
                line.close == e.end * DAY_MICRO && line.volume == int64_t{e.deki} * 1000 && line.split == 0,
            "prices and volume as stored");
  }
  Require(n == day.lines.size(), "no line without its entry");
}
