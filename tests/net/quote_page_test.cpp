// The quote page parsers: the date probe's fields and a stock's prices.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "db/price_model.h"
#include "net/page_text.h"
#include "net/quote_page.h"
#include "net/today_download.h"
#include "support/db_fixture.h"
#include "support/prt_text.h"
#include "support/today_pages.h"
#include "support/utf8.h"

namespace {

// The page's plain text as the parsers get it (reduced, then CP932).
std::string PlainText(const std::string& html) {
  std::vector<char> out(html.size() + 16);
  ReduceHtmlText(html.data(), html.size(), out.data(), out.size());
  Utf8_to_Ansi(out.data(), out.size());
  return out.data();
}

TEST(QuotePage, DateProbeCases) {
  struct Case {
    const char* name;
    std::string time_text, limit_date;
    bool ok;
    int month, day, hour, minute;
    bool assumed;
  } cases[] = {
      {"closed", "15:30", "12/10", true, 12, 10, 15, 30, false},
      {"during trading", "14:50", "12/10", true, 12, 10, 14, 50, false},
      {"a date instead of a time: closed, 15:30 assumed", "12/10", "12/10", true, 12, 10, 15, 30, true},
      {"another date instead of a time: no time", "12/09", "12/10", false, 12, 10, 0, 0, false},
      {"before the opening", "08:10", "--/--", false, 0, 0, 8, 10, false},
  };
  for (const Case& c : cases) {
    QuoteFigures figures;
    figures.time_text = c.time_text;
    figures.limit_date = c.limit_date;
    figures.open = figures.high = figures.low = figures.close = "1";
    figures.volume = "1";
    QuoteDate q;
    EXPECT_EQ(ParseQuoteDate(PlainText(QuotePage(figures)).c_str(), &q), c.ok) << c.name;
    EXPECT_EQ(q.month, c.month) << c.name;
    EXPECT_EQ(q.day, c.day) << c.name;
    EXPECT_EQ(q.hour, c.hour) << c.name;
    EXPECT_EQ(q.minute, c.minute) << c.name;
    EXPECT_EQ(q.assumed, c.assumed) << c.name;
  }
  QuoteDate q;
  EXPECT_FALSE(ParseQuoteDate("no limit line here", &q));
  // "リアルタイム株価、" (a sentence, not the time label) is passed over.
  const std::string page = PlainText(U8(u8"<p>リアルタイム株価、ご覧 09:01</p>\n<p>リアルタイム株価 15:30</p>\n"
                                        u8"<p>値幅制限 (12/10)</p>\n"));
  ASSERT_TRUE(ParseQuoteDate(page.c_str(), &q));
  EXPECT_EQ(q.hour * 100 + q.minute, 1530);
}

TEST(QuotePage, PricesCases) {
  QuoteFigures figures;
  figures.open = "1,234";
  figures.high = U8(u8"ストップ高1,300");
  figures.low = "1,200.9";
  figures.close = "1,250";
  figures.volume = "12,345,600";
  const std::string html = QuotePage(figures);
  QuotePrices p = ParseQuotePrices(PlainText(html).c_str(), html.c_str(), 7203, 1);
  EXPECT_EQ(p.open, 1234);
  EXPECT_EQ(p.high, 1300);
  EXPECT_EQ(p.low, 1200);
  EXPECT_EQ(p.close, 1250);
  EXPECT_EQ(p.volume, 12345600);

  // Hundredths, truncated on the text.
  figures.open = "128.14";
  figures.high = "128.5";
  figures.low = "127.999";
  figures.close = "128.1";
  const std::string h2 = QuotePage(figures);
  p = ParseQuotePrices(PlainText(h2).c_str(), h2.c_str(), 1013, 100);
  EXPECT_EQ(p.open, 12814);
  EXPECT_EQ(p.high, 12850);
  EXPECT_EQ(p.low, 12799);
  EXPECT_EQ(p.close, 12810);

  // No price section: everything 0.
  figures.prices = false;
  const std::string h3 = QuotePage(figures);
  p = ParseQuotePrices(PlainText(h3).c_str(), h3.c_str(), 7203, 1);
  EXPECT_EQ(p.open + p.high + p.low + p.close + p.volume, 0);

  // Exchange rates: one rate for all four prices.
  p = ParseQuotePrices("x \"counterCurrencyPrice\":150.123,", "", 1003, 100);
  EXPECT_EQ(p.open, 15012);
  EXPECT_EQ(p.close, 15012);
  EXPECT_EQ(p.volume, 0);

  // The close from the escaped page state when the board has none.
  figures.prices = true;
  figures.close.clear();
  const std::string h4 = QuotePage(figures) + "<script>x=\"{\\\"changePriceRate\\\":{\\\"value\\\":\\\"2,468\\\"}}\"</script>";
  p = ParseQuotePrices(PlainText(h4).c_str(), h4.c_str(), 7203, 1);
  EXPECT_EQ(p.close, 2468);
}

// A figure beyond what a packed value takes keeps the stock out of today's table, logged,
// never stored saturated.
TEST(QuotePage, FiguresBeyondThePackedRangeAreNotStored) {
  ResetDatabaseState();
  LastKabu = 1;
  fundamental[0] = FixtureStocks(1)[0];
  const std::string over = "2,147,483,648", top = "2,147,483,647";
  const struct {
    const char* what;
    std::string QuoteFigures::*field;
    std::string value;
    bool stored;
  } cases[] = {
      {"close", &QuoteFigures::close, over, false},
      {"high", &QuoteFigures::high, over, false},
      {"volume", &QuoteFigures::volume, over, false},
      {"volume of fourteen digits", &QuoteFigures::volume, "99,999,999,999,999", false},
      {"the largest volume", &QuoteFigures::volume, top, true},
  };
  for (const auto& c : cases) {
    ClearWebDayTable();
    QuoteFigures figures;
    figures.open = "1,000";
    figures.high = "1,010";
    figures.low = "990";
    figures.close = "1,000";
    figures.volume = "12,300";
    figures.*c.field = c.value;
    const std::string html = QuotePage(figures);
    const QuotePrices p = ParseQuotePrices(PlainText(html).c_str(), html.c_str(), 7203, 1);
    EXPECT_EQ(StoreWebDay(0, p.open, p.high, p.low, p.close, p.volume), c.stored ? 1 : 0) << c.what;
    EXPECT_EQ(WebDayTable[0].code != 0, c.stored) << c.what;
    if (!c.stored) EXPECT_TRUE(PrtHas("値が範囲外")) << c.what;
  }
  EXPECT_EQ(WebDayTable[0].deki, 2147483647u);
  ResetDatabaseState();
}

}  // namespace
