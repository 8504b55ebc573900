// The in-memory price model: limits, the stock table, the trading calendar and the
// daily-bar record. The structs are also file layouts (little-endian, fixed offsets).
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int MAX_KABU = 8192;  // stock table capacity and record slots in the database file
constexpr int MAX_DATE = 2816;  // calendar capacity and length of every daily array
constexpr int DB_VERSION = 6;   // version of the database file layout

// Flag bits of Fundamental::flag and Hiashi::flag.
constexpr int32_t FLAG_DELISTED = 0x04;        // no longer traded
constexpr int32_t FLAG_INDEX = 0x08;           // market index or exchange rate, not a company
constexpr int32_t FLAG_NO_PRICES = 0x20;       // newly added stock with no price data yet
constexpr int32_t FLAG_MARGIN = 0x40;          // the record holds margin balances
constexpr int32_t FLAG_DAILY_DOWNLOAD = 0x100; // takes part in the daily download

// One stock-table entry (152 bytes, stored byte for byte in the stock master file).
struct Fundamental {
  int32_t code;         // numeric stock code
  char name[32];        // short name, NUL-terminated CP932
  char industry[17];    // industry name or empty
  char company[53];     // full company name
  int8_t market;        // index into MarketName
  int8_t pad;
  int32_t tani;         // trading unit in shares
  double dividend;      // dividend yield in percent = dividend / latest close
  double per_coef;      // PER = latest close * per_coef
  double pbr_coef;      // PBR = latest close * pbr_coef
  double roe;           // return on equity in percent
  int32_t flag;         // FLAG_... bits
  int32_t reserved;     // carried through unchanged
};
static_assert(sizeof(Fundamental) == 152);
static_assert(offsetof(Fundamental, code) == 0);
static_assert(offsetof(Fundamental, name) == 4);
static_assert(offsetof(Fundamental, industry) == 36);
static_assert(offsetof(Fundamental, company) == 53);
static_assert(offsetof(Fundamental, market) == 106);
static_assert(offsetof(Fundamental, tani) == 108);
static_assert(offsetof(Fundamental, dividend) == 112);
static_assert(offsetof(Fundamental, per_coef) == 120);
static_assert(offsetof(Fundamental, pbr_coef) == 128);
static_assert(offsetof(Fundamental, roe) == 136);
static_assert(offsetof(Fundamental, flag) == 144);
static_assert(offsetof(Fundamental, reserved) == 148);

// One stock's whole daily history (39472 bytes), also the record of the database file.
// Daily arrays are indexed by day index and hold packed values.
struct Hiashi {
  uint16_t open[MAX_DATE];
  uint16_t high[MAX_DATE];
  uint16_t low[MAX_DATE];
  uint16_t close[MAX_DATE];        // 0 means no data that day
  uint16_t deki[MAX_DATE];         // volume in shares
  uint16_t margin_sell[MAX_DATE];  // 信用売残 in shares
  uint16_t margin_buy[MAX_DATE];   // 信用買残 in shares
  char name[32];
  int32_t code;                    // equals fundamental[stock_num].code
  int32_t flag;
  int32_t start;                   // first day index with data
  int32_t end;                     // last day index with data
};
static_assert(sizeof(Hiashi) == 39472);
static_assert(offsetof(Hiashi, open) == 0);
static_assert(offsetof(Hiashi, high) == 5632);
static_assert(offsetof(Hiashi, low) == 11264);
static_assert(offsetof(Hiashi, close) == 16896);
static_assert(offsetof(Hiashi, deki) == 22528);
static_assert(offsetof(Hiashi, margin_sell) == 28160);
static_assert(offsetof(Hiashi, margin_buy) == 33792);
static_assert(offsetof(Hiashi, name) == 39424);
static_assert(offsetof(Hiashi, code) == 39456);
static_assert(offsetof(Hiashi, flag) == 39460);
static_assert(offsetof(Hiashi, start) == 39464);
static_assert(offsetof(Hiashi, end) == 39468);

// The stock table and the number of entries in use; the position is the stock number.
extern Fundamental fundamental[MAX_KABU];
extern int LastKabu;
// The trading calendar: real dates (yyyymmdd), strictly ascending, LastDate in use.
extern int32_t nikkei_date[MAX_DATE];
extern int LastDate;
// Stocks in code order: CodeOrder[k][1] is the stock at position k, CodeOrder[s][0] the
// position of stock s.
extern int32_t CodeOrder[MAX_KABU][2];
// The scratch record: all zero, written as slot 0 when the database file is created.
extern Hiashi ScratchHiashi;

// Market names (26) and industry names (33).
constexpr int MARKET_COUNT = 26;
constexpr int INDUSTRY_COUNT = 33;
extern const char* const MarketName[MARKET_COUNT];
extern const char* const IndustryName[INDUSTRY_COUNT];
// The market name of an entry, "指定なし" for an index outside the table.
const char* MarketNameOf(int market);

// Reads record stock_num of the database file into the work record and returns it.
Hiashi* LoadHiashi(int stock_num);
// The work record, without reading.
Hiashi* WorkHiashi();
