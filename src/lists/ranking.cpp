#include "lists/ranking.h"

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstring>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/number_format.h"
#include "lists/screening_snapshot.h"

const char* const JuniKeyName[JUNI_KEY_COUNT] = {
    "指定なし", "株価上昇率", "出来高上昇率", "出来高", "売買代金", "最低売買単位",
    "ＰＥＲ", "ＰＢＲ", "ＲＯＥ", "配当利回り", "株価値幅率(5日)", "信用倍率"};
const char* const JuniOrderName[3] = {"上位", "下位", "---"};

namespace {
inline double V(uint16_t packed) { return Packed_to_Value(packed); }
}  // namespace

double JuniKey(int key, int s) {
  const Pht& p = pht[s];
  const Fundamental& f = fundamental[s];
  const double c49 = V(p.close[49]), c48 = V(p.close[48]);
  const double v49 = V(p.volume[49]), v48 = V(p.volume[48]);
  const double tani = f.tani;
  switch (key) {
    case 1: return c49 == 0 || c48 == 0 ? 0 : (c49 - c48) * 100 / c48;
    case 2: return v49 > 100 && v48 > 100 ? (v49 - v48) * 100 / v48 : 0;
    case 3: return v49 * tani;
    case 4: return v49 * tani * c49 / 10000;
    case 5: return c49 * tani / 10000;
    case 6: return pht_value[s].per;
    case 7: return pht_value[s].pbr;
    case 8: return f.roe;
    case 9: return pht_value[s].yield;
    case 10: {
      bool flat = true;
      for (int w = 46; w <= 49; ++w) flat = flat && p.close[w] == p.close[45];
      if (flat) return 0;
      double sum = 0;
      for (int w = 45; w <= 49; ++w) {
        const double c = V(p.close[w]);
        if (c != 0) sum += (V(p.high[w]) - V(p.low[w])) / c;
      }
      return 100 * sum / 5;
    }
    case 11:
      for (int w = 49; w >= 0; --w) {
        if (p.margin_buy[w] == 0) continue;
        const double sell = V(p.margin_sell[w]);
        return sell == 0 ? 0 : V(p.margin_buy[w]) / sell;
      }
      return -1;
    default: return 0;
  }
}

std::string FormatJuniKey(int key, double value) {
  char buf[64];
  const auto whole = [](double v) { return static_cast<int64_t>(v); };
  if (key == 3) {
    if (value >= 100000000) std::snprintf(buf, sizeof buf, "%s百万株", CommaAdd(whole(value / 1000000)));
    else if (value >= 100000) std::snprintf(buf, sizeof buf, "%s千株", CommaAdd(whole(value / 1000)));
    else std::snprintf(buf, sizeof buf, "%s株", CommaAdd(whole(value)));
  } else if (key == 4 || key == 5) {
    if (value >= 100000) std::snprintf(buf, sizeof buf, "%s億円", CommaAdd(whole(value) / 10000));
    else std::snprintf(buf, sizeof buf, "%s万円", CommaAdd(whole(value)));
  } else {
    std::snprintf(buf, sizeof buf, "%8.2lf", value);
  }
  return buf;
}

std::vector<JuniRow> MakeJuniRows(int market, int industry, int key, int order) {
  if (key <= 0 || key >= JUNI_KEY_COUNT) key = 0, order = JUNI_NONE;
  struct Entry {
    int s;
    double key;
  };
  std::vector<Entry> table;
  table.reserve(static_cast<size_t>(LastKabu));
  for (int s = 0; s < LastKabu; ++s) table.push_back({s, key ? JuniKey(key, s) : 0.0});
  if (order == JUNI_TOP)
    std::stable_sort(table.begin(), table.end(), [](const Entry& a, const Entry& b) { return a.key > b.key; });
  else if (order == JUNI_BOTTOM)
    std::stable_sort(table.begin(), table.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });

  std::vector<JuniRow> rows;
  int counter = 0;
  double previous = DBL_MAX;
  for (const Entry& e : table) {
    const Fundamental& f = fundamental[e.s];
    if (industry > 0 && (industry > INDUSTRY_COUNT || std::strcmp(f.industry, IndustryName[industry - 1]) != 0)) continue;
    if (market > 0 && f.market != market) continue;
    if (key >= 2 && key <= 5 && f.code <= 1099) continue;
    ++counter;
    JuniRow r;
    r.stock_num = e.s;
    if (order == JUNI_NONE) {
      r.no = "--";
      r.percent = "----";
    } else {
      if (e.key != previous) {
        r.no = std::to_string(counter);
        previous = e.key;
      } else {
        r.no = "--";
      }
      r.percent = FormatJuniKey(key, e.key);
    }
    r.code = Code_to_String(f.code).c_str();
    r.name = f.name;
    rows.push_back(std::move(r));
  }
  return rows;
}
