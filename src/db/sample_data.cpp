#include "db/sample_data.h"

#include <cstdio>

#include <cstring>
#include <memory>

#include "db/database_file.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "platform/codepage.h"

namespace {

// ---- dates -------------------------------------------------------------------------

int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int32_t RealDateFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
  return static_cast<int32_t>(y * 10000 + m * 100 + d);
}

int64_t DaysFromRealDate(int32_t date) { return DaysFromCivil(date / 10000, date / 100 % 100, date % 100); }

// 0 = Sunday
int WeekdayOfDays(int64_t z) { return static_cast<int>(z >= -4 ? (z + 4) % 7 : (z + 5) % 7 + 6); }

// ---- a small deterministic random source (SplitMix64), arithmetic only ---------------

struct Random {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  // Close to a standard normal (sum of twelve uniforms); no library maths, so every
  // machine draws the same numbers.
  double Normal() {
    double s = 0;
    for (int i = 0; i < 12; ++i) s += Uniform();
    return s - 6.0;
  }
};

double Abs(double x) { return x < 0 ? -x : x; }

double PowInt(double x, int n) {
  double r = 1.0;
  while (n > 0) {
    if (n & 1) r *= x;
    x *= x;
    n >>= 1;
  }
  return r;
}

// The daily growth factor g with g^n = ratio, by bisection.
double DailyGrowth(double ratio, int n) {
  if (n <= 0) return 1.0;
  double lo = 0.9, hi = 1.1;
  for (int i = 0; i < 200; ++i) {
    const double mid = (lo + hi) / 2;
    if (PowInt(mid, n) < ratio) lo = mid;
    else hi = mid;
  }
  return (lo + hi) / 2;
}

int32_t Round(double v) {
  if (v < 1) return 1;
  if (v > 2000000000.0) return 2000000000;
  return static_cast<int32_t>(v + 0.5);
}

int32_t RoundToUnit(double v, int32_t unit) {
  if (v < 0) v = 0;
  if (v > 2000000000.0) v = 2000000000.0;
  const int64_t n = static_cast<int64_t>(v / unit + 0.5);
  return static_cast<int32_t>(n * unit);
}

// ---- the stocks ---------------------------------------------------------------------

struct SampleStock {
  int32_t code;
  const char* name;
  const char* company;
  const char* industry;  // one of the 33 industry names, empty for the indices
  int8_t market;            // index into the market names
  int32_t tani;
  int32_t flag;
  double first, last;       // price level (split-adjusted) on the first and the last day
  double vol;               // daily volatility
  double w_market, w_own;   // weights of the market's and the stock's own moves
  int32_t volume;           // typical daily volume in shares (0: none)
  bool margin;              // margin balances in the record
  int32_t listed;           // first trading date, 0 = from the calendar's start
  int32_t split_date;       // first date after a split, 0 = none
  int32_t split_ratio;      // shares per old share
  double dividend, eps, bps, roe;  // yearly dividend, earnings and book value per share (yen)
};

constexpr int32_t IDX = FLAG_INDEX;
constexpr int32_t CO = FLAG_DAILY_DOWNLOAD;
constexpr int8_t PRIME = 1;  // 東証プライム

// Real codes, names, industries, markets and trading units; levels and fundamentals are
// rough, illustrative figures for the generated prices.
const SampleStock kStocks[SAMPLE_STOCK_COUNT] = {
    {1001, "日経平均", "日経平均株価", "", 0, 1, IDX, 17000, 50000, 0.012, 1.0, 0.0, 800000000, false, 0, 0, 0, 0, 0, 0, 0},
    {1002, "TOPIX", "東証株価指数", "", 0, 1, IDX, 1350, 3300, 0.010, 0.9, 0.3, 800000000, false, 0, 0, 0, 0, 0, 0, 0},
    // The yen-dollar rate is held in hundredths of a yen.
    {1003, "円ドル", "米ドル/円 為替レート", "", 0, 1, IDX, 11800, 15500, 0.005, 0.2, 0.95, 0, false, 0, 0, 0, 0, 0, 0, 0},
    {2914, "日本たばこ産業", "日本たばこ産業株式会社", "食料品", PRIME, 100, CO, 4300, 4500, 0.012, 0.4, 0.9, 4000000, false, 0, 0, 0, 194, 250, 2100, 11.5},
    {4063, "信越化学工業", "信越化学工業株式会社", "化学", PRIME, 100, CO, 1300, 4800, 0.017, 0.7, 0.7, 5000000, false, 0, 0, 0, 106, 260, 1900, 13.8},
    {4502, "武田薬品工業", "武田薬品工業株式会社", "医薬品", PRIME, 100, CO, 5000, 4300, 0.014, 0.5, 0.85, 5000000, false, 0, 0, 0, 196, 70, 4600, 2.1},
    {5401, "日本製鉄", "日本製鉄株式会社", "鉄鋼", PRIME, 100, CO, 480, 650, 0.019, 0.7, 0.7, 15000000, false, 0, 0, 0, 24, 60, 900, 8.0},
    {6501, "日立製作所", "株式会社日立製作所", "電気機器", PRIME, 100, CO, 900, 4500, 0.018, 0.7, 0.7, 10000000, false, 0, 0, 0, 40, 140, 1300, 12.0},
    {6758, "ソニーグループ", "ソニーグループ株式会社", "電気機器", PRIME, 100, CO, 650, 3800, 0.019, 0.7, 0.7, 12000000, true, 0, 0, 0, 25, 180, 1200, 14.0},
    {6861, "キーエンス", "株式会社キーエンス", "電気機器", PRIME, 100, CO, 37000, 60000, 0.017, 0.7, 0.7, 400000, false, 0, 0, 0, 300, 1700, 12000, 14.2},
    {7203, "トヨタ自動車", "トヨタ自動車株式会社", "輸送用機器", PRIME, 100, CO, 1200, 3000, 0.015, 0.8, 0.6, 25000000, true, 0, 0, 0, 90, 350, 2600, 13.0},
    // The one split of the sample: ten new shares for one old, from 2024-10-01.
    {7974, "任天堂", "任天堂株式会社", "その他製品", PRIME, 100, CO, 1500, 11000, 0.019, 0.6, 0.8, 8000000, true, 0, 20241001, 10, 120, 230, 2000, 12.0},
    {8035, "東京エレクトロン", "東京エレクトロン株式会社", "電気機器", PRIME, 100, CO, 2600, 25000, 0.022, 0.8, 0.6, 4000000, false, 0, 0, 0, 600, 1100, 4000, 27.0},
    {8058, "三菱商事", "三菱商事株式会社", "卸売業", PRIME, 100, CO, 600, 3300, 0.016, 0.7, 0.7, 15000000, false, 0, 0, 0, 100, 240, 2800, 9.0},
    {8306, "三菱ＵＦＪ", "株式会社三菱ＵＦＪフィナンシャル・グループ", "銀行業", PRIME, 100, CO, 550, 2200, 0.018, 0.8, 0.6, 50000000, true, 0, 0, 0, 64, 150, 1500, 9.5},
    {9101, "日本郵船", "日本郵船株式会社", "海運業", PRIME, 100, CO, 700, 5200, 0.024, 0.6, 0.8, 4000000, false, 0, 0, 0, 200, 500, 6000, 9.0},
    {9432, "ＮＴＴ", "日本電信電話株式会社", "情報・通信", PRIME, 100, CO, 190, 155, 0.011, 0.5, 0.85, 120000000, true, 0, 0, 0, 5.2, 12, 115, 10.0},
    // Listed during the calendar: no prices before its first trading day.
    {9434, "ソフトバンク", "ソフトバンク株式会社", "情報・通信", PRIME, 100, CO, 146, 215, 0.010, 0.4, 0.9, 60000000, false, 20181219, 0, 0, 8.6, 9.5, 55, 20.0},
    {9983, "ファーストリテイリング", "株式会社ファーストリテイリング", "小売業", PRIME, 100, CO, 13000, 55000, 0.018, 0.7, 0.7, 600000, false, 0, 0, 0, 480, 1400, 9000, 17.0},
    {9984, "ソフトバンクグループ", "ソフトバンクグループ株式会社", "情報・通信", PRIME, 100, CO, 2500, 16000, 0.024, 0.9, 0.5, 10000000, true, 0, 0, 0, 44, 800, 9000, 9.0},
};

void CopyText(char* dst, size_t size, const char* text) { Cp932CopyTruncated(dst, size, text); }

Fundamental MakeEntry(const SampleStock& s) {
  Fundamental f{};
  f.code = s.code;
  CopyText(f.name, sizeof f.name, s.name);
  CopyText(f.industry, sizeof f.industry, s.industry);
  CopyText(f.company, sizeof f.company, s.company);
  f.market = s.market;
  f.tani = s.tani;
  // The master file's dividend figure divided by the close is the yield in percent.
  f.dividend = s.dividend * 100;
  f.per_coef = s.eps > 0 ? 1.0 / s.eps : 0;
  f.pbr_coef = s.bps > 0 ? 1.0 / s.bps : 0;
  f.roe = s.roe;
  f.flag = s.flag;
  return f;
}

int FirstIndexOnOrAfter(const int32_t* dates, int count, int32_t date) {
  for (int i = 0; i < count; ++i)
    if (dates[i] >= date) return i;
  return count;
}

// The market's own day-to-day moves, shared by every stock.
struct MarketMoves {
  double z[MAX_DATE];
  MarketMoves() {
    Random r{0x4B69766F72610001ull};
    for (double& v : z) v = r.Normal();
  }
};

void FillRecord(const SampleStock& s, const Fundamental& f, const MarketMoves& market, const int32_t* dates,
                int days, Hiashi* h) {
  std::memset(h, 0, sizeof *h);
  std::memcpy(h->name, f.name, sizeof h->name);
  h->code = s.code;
  h->flag = s.flag | (s.margin ? FLAG_MARGIN : 0);
  const int first = s.listed ? FirstIndexOnOrAfter(dates, days, s.listed) : 0;
  const int split_at = s.split_date ? FirstIndexOnOrAfter(dates, days, s.split_date) : days;
  h->start = first;
  h->end = days - 1;

  Random r{0x53616D706C650000ull ^ static_cast<uint64_t>(s.code)};
  const double growth = DailyGrowth(s.last / s.first, days - 1 - first);
  double trend = s.first, slow = 0, fast = 0, prev = 0;
  double buy_dev = 0, sell_dev = 0;
  int32_t buy = 0, sell = 0;
  for (int d = first; d < days; ++d) {
    // Two mean-reverting swings around a steady trend: weeks-long and months-long.
    const double z = s.w_market * market.z[d] + s.w_own * r.Normal();
    fast = fast * 0.97 + s.vol * 0.8 * z;
    slow = slow * 0.995 + s.vol * 0.25 * r.Normal();
    double dev = fast + slow;
    if (dev < -0.6) dev = -0.6;
    if (dev > 1.5) dev = 1.5;
    const double close = trend * (1.0 + dev);
    trend *= growth;
    const double open = d == first ? close * (1.0 + 0.3 * s.vol * r.Normal()) : prev * (1.0 + 0.4 * s.vol * r.Normal());
    const double high = (open > close ? open : close) * (1.0 + 0.5 * s.vol * Abs(r.Normal()));
    const double low = (open < close ? open : close) * (1.0 - 0.5 * s.vol * Abs(r.Normal()));
    prev = close;
    const int32_t ratio = d < split_at ? (s.split_ratio > 0 ? s.split_ratio : 1) : 1;
    h->open[d] = Value_to_Packed(Round(open * ratio));
    h->high[d] = Value_to_Packed(Round(high * ratio));
    h->low[d] = Value_to_Packed(Round(low * ratio));
    h->close[d] = Value_to_Packed(Round(close * ratio));
    if (s.volume > 0) {
      const double busy = 0.6 + 0.8 * r.Uniform() + 0.4 * Abs(z);
      h->deki[d] = Value_to_Packed(RoundToUnit(s.volume * busy / ratio, s.tani));
    }
    if (s.margin) {
      // Balances are published weekly: they change on the week's last trading day.
      const int64_t today = DaysFromRealDate(dates[d]);
      const bool week_end = d + 1 >= days || DaysFromRealDate(dates[d + 1]) - today >= 3 ||
                            WeekdayOfDays(DaysFromRealDate(dates[d + 1])) < WeekdayOfDays(today);
      if (week_end || buy == 0) {
        buy_dev = buy_dev * 0.9 + 0.08 * r.Normal();
        sell_dev = sell_dev * 0.9 + 0.10 * r.Normal();
        buy = RoundToUnit(s.volume * 3.0 * (1.0 + buy_dev) / ratio, 100);
        sell = RoundToUnit(s.volume * 0.8 * (1.0 + sell_dev) / ratio, 100);
      }
      h->margin_buy[d] = Value_to_Packed(buy);
      h->margin_sell[d] = Value_to_Packed(sell);
    }
  }
}

}  // namespace

int BuildTradingCalendar(int32_t end_before, int count, int32_t* out) {
  int64_t day = DaysFromRealDate(end_before);
  int n = count;
  while (n > 0) {
    --day;
    const int wd = WeekdayOfDays(day);
    if (wd == 0 || wd == 6) continue;
    const int32_t date = RealDateFromDays(day);
    const int md = date % 10000;
    if (md == 1231 || md <= 103) continue;  // the year-end holidays
    out[--n] = date;
  }
  return count;
}

int WriteSampleData(const std::string& folder, std::string* failed_file) {
  std::string dir = folder.empty() ? std::string(".") : folder;
  if (dir.back() != '/') dir += '/';
  auto entries = std::make_unique<Fundamental[]>(SAMPLE_STOCK_COUNT);
  for (int i = 0; i < SAMPLE_STOCK_COUNT; ++i) entries[i] = MakeEntry(kStocks[i]);

  static int32_t dates[MAX_DATE];
  BuildTradingCalendar(SAMPLE_END_BEFORE, MAX_DATE, dates);
  const int32_t made = dates[MAX_DATE - 1];

  // The database first and the master file last: a start finds both or neither (a failed
  // write removes the database again), so a folder whose first start failed starts afresh.
  auto market = std::make_unique<MarketMoves>();
  DbImage image;
  image.header = DbHeader{DB_VERSION, MAX_KABU, MAX_DATE, MAX_DATE, SAMPLE_STOCK_COUNT};
  image.dates = dates;
  image.records = MAX_KABU;
  image.filled = SAMPLE_STOCK_COUNT;
  image.fill = [&](int n, Hiashi* h) { FillRecord(kStocks[n], entries[n], *market, dates, MAX_DATE, h); };
  if (int err = WriteDatabaseImage(dir + SAMPLE_DB_FILE, image)) {
    if (failed_file) *failed_file = dir + SAMPLE_DB_FILE;
    return err;
  }
  if (int err = WriteTag(dir + TAG_FILE, SAMPLE_STOCK_COUNT, made, entries.get())) {
    std::remove((dir + SAMPLE_DB_FILE).c_str());
    if (failed_file) *failed_file = dir + TAG_FILE;
    return err;
  }
  return 0;
}
