#include "lists/screening_engine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "chart/chart_settings.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/trading_calendar.h"
#include "lists/screening_snapshot.h"
#include "lists/user_data.h"
#include "platform/diagnostics.h"
#include "platform/host.h"

int32_t ScreCond[SCRE_SLOTS];
int KensakuList[KENSAKU_MAX];

namespace {

// The values of a slot's choices. `none`: index 0 is "指定なし" and the values belong to
// index 1 onward; otherwise they belong to index 0 onward.
struct Choices {
  std::vector<double> values;
  bool none = true;
};

const std::vector<double> kTop = {3, 5, 10, 15, 20, 30, 50};
const std::vector<double> kCross = {1, 2};

const Choices& ChoicesOf(int slot) {
  static const Choices empty{{}, true};
  static const Choices markets{std::vector<double>(18, 0), true};
  static const Choices industries{std::vector<double>(INDUSTRY_COUNT, 0), true};
  static const Choices invest{{30000, 50000, 100000, 300000, 500000, 1000000, 2000000, 5000000, 10000000, 100000000}};
  static const Choices price{{50, 100, 150, 200, 300, 500, 1000, 5000, 10000, 100000, 1000000}};
  static const Choices volume{{50, 100, 150, 200, 300, 500, 700, 1000, 5000}};
  static const Choices flag{{1}};
  static const Choices top{kTop};
  static const Choices roe{{0.5, 1, 2, 3, 5, 10, 15, 20, 40}};
  static const Choices yield{{0.1, 0.7, 1.0, 1.5, 2.0, 2.5, 3.0, 5.0, 8.0}};
  static const Choices per{{0, 1, 2, 3, 5, 10, 20, 30, 50}};
  static const Choices pbr{{0.3, 0.5, 1.0, 1.5, 2.0, 3.0, 5.0, 50.0}};
  static const Choices cross{kCross};
  static const Choices psy_buy{{5, 10, 15, 20, 25, 30, 40}};
  static const Choices psy_sell{{95, 90, 85, 80, 75, 70, 60}};
  static const Choices rci_buy{{5, 10, 15, 20, 25, 30}};
  static const Choices rci_sell{{95, 90, 85, 80, 75, 70}};
  static const Choices mode{{0, 1}, false};
  static const Choices kairi{{40, 30, 20, 15, 10, 7, 5, 3, 0, -3, -5, -7, -10, -15, -20, -30, -40}};
  static const Choices stoc_buy{{5, 10, 15, 20, 25, 30, 35, 40}};
  static const Choices stoc_sell{{95, 90, 85, 80, 75, 70, 65, 60}};
  static const Choices vr{{90, 85, 80, 75, 70, 65, 35, 30, 25, 20, 15, 10}};
  static const Choices sigma{{1, 2, 3}};
  static const Choices recent{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15}};
  static const Choices base{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15, 20, 30}, false};
  static const Choices factor{{1.5, 2, 3, 5, 7, 10, 20, 30, 50}, false};
  static const Choices margin_ratio{{100, 30, 20, 10, 5, 3, 2, 1.0, 0.7, 0.5, 0.3, 0.2, 0.1}};
  switch (slot) {
    case 0: case 1: case 2: return markets;
    case 3: case 4: case 5: return industries;
    case 6: case 7: return invest;
    case 8: case 9: return price;
    case 10: return volume;
    case 11: case 60: return flag;
    case 20: case 23: case 40: case 43: return top;
    case 21: case 22: return roe;
    case 24: case 25: return yield;
    case 41: case 42: return per;
    case 44: case 45: return pbr;
    case 61: case 62: case 63: case 64: case 65: case 66: case 84: case 124: return cross;
    case 80: return psy_buy;
    case 81: return psy_sell;
    case 82: case 83: return rci_buy;
    case 89: case 90: return rci_sell;
    case 91: case 123: case 126: return mode;
    case 85: case 86: return kairi;
    case 87: return stoc_buy;
    case 88: return stoc_sell;
    case 100: case 101: return vr;
    case 102: case 103: return sigma;
    case 120: return recent;
    case 121: return base;
    case 122: return factor;
    case 125: return margin_ratio;
    default: return empty;
  }
}

inline int32_t V(uint16_t packed) { return Packed_to_Value(packed); }

// Lower and upper bounds of a range pair: an unset end is open.
double Lower(const int32_t* c, int slot, double open) { return c[slot] ? ScreChoiceValue(slot, c[slot]) : open; }
double Upper(const int32_t* c, int slot, double open) { return c[slot] ? ScreChoiceValue(slot, c[slot]) : open; }

// --- top-N rankings ---------------------------------------------------------------------

struct Ranks {
  unsigned generation = ~0u;
  int kabu = -1;
  std::vector<int> pos[4];  // by stock number: position in the ranking, INT_MAX unranked
  int count[4] = {};
};
Ranks g_ranks;

double RankFigure(int which, int s) {
  switch (which) {
    case 0: return fundamental[s].roe;
    case 1: return pht_value[s].yield;
    case 2: return pht_value[s].per;
    default: return pht_value[s].pbr;
  }
}

void BuildRanks() {
  if (g_ranks.generation == PhtGeneration && g_ranks.kabu == LastKabu) return;
  g_ranks.generation = PhtGeneration;
  g_ranks.kabu = LastKabu;
  std::vector<int> order;
  for (int which = 0; which < 4; ++which) {
    order.clear();
    for (int s = 0; s < LastKabu; ++s) {
      const double v = RankFigure(which, s);
      if (v != 0 && std::isfinite(v)) order.push_back(s);
    }
    // PER: smallest first; the others largest first. Equal figures keep table order.
    const bool ascending = which == 2;
    std::stable_sort(order.begin(), order.end(), [which, ascending](int a, int b) {
      return ascending ? RankFigure(which, a) < RankFigure(which, b) : RankFigure(which, a) > RankFigure(which, b);
    });
    g_ranks.pos[which].assign(MAX_KABU, INT_MAX);
    for (size_t i = 0; i < order.size(); ++i) g_ranks.pos[which][order[i]] = static_cast<int>(i);
    g_ranks.count[which] = static_cast<int>(order.size());
  }
}

// A figure's condition: top N % when that slot is set, else the inclusive range.
bool FigureTest(const int32_t* c, int which, int top_slot, int lo_slot, int hi_slot, int s, double value) {
  if (c[top_slot]) return ScreeningTopPercent(which, s, static_cast<int>(ScreChoiceValue(top_slot, c[top_slot])));
  if (!c[lo_slot] && !c[hi_slot]) return true;
  return Lower(c, lo_slot, -10000) <= value && value <= Upper(c, hi_slot, 10000);
}

// --- indicators on the window ------------------------------------------------------------

int Highest(const Pht& p, int from, int to) {
  int32_t h = INT_MIN;
  for (int w = from; w <= to; ++w) h = std::max(h, V(p.high[w]));
  return h;
}
int Lowest(const Pht& p, int from, int to) {
  int32_t l = INT_MAX;
  for (int w = from; w <= to; ++w) l = std::min(l, V(p.low[w]));
  return l;
}

bool IchimokuTest(const Pht& p) {
  const int n1 = Ichimoku[0], n2 = Ichimoku[1];
  if (n1 > PHT_DAYS || n2 > PHT_DAYS || n1 < 1 || n2 < 1) return false;
  auto mid = [&p](int n) {
    return static_cast<int>((static_cast<int64_t>(Highest(p, PHT_DAYS - n, PHT_LAST)) + Lowest(p, PHT_DAYS - n, PHT_LAST)) / 2);
  };
  return mid(n2) > mid(n1);
}

// Whether the stock has a bar of the timeframe before its last one. A stock that began
// within the window is looked up in the calendar; one that began earlier has 49 days more.
bool HasEarlierBar(const Pht& p, int tf) {
  if (p.start <= 0) return true;
  const int last = LastTradingDay();
  int first = LastDate - PHT_DAYS + p.start;
  if (first < 0) first = 0;
  if (last < 0 || first >= last) return false;
  if (tf == MA_DAILY) return true;
  if (tf == MA_WEEKLY) {
    EnsureWeekTable();
    return DayWeek[first] < DayWeek[last];
  }
  EnsureMonthTable();
  return DayMonth[first] < DayMonth[last];
}

// The averages as of the previous bar are compared as derived, unrounded. Without a
// previous bar they are only the rounding residue of the table (a fraction around zero)
// and would make a listing look like a cross.
bool MoveAveCross(int tf, int s, const int* periods, int kind) {
  if (!HasEarlierBar(pht[s], tf)) return false;
  const int sp = periods[0], lp = periods[1];
  const double s1 = ScreMoveAve(tf, s, sp, 0), l1 = ScreMoveAve(tf, s, lp, 0);
  const double s0 = ScreMoveAve(tf, s, sp, 1), l0 = ScreMoveAve(tf, s, lp, 1);
  if (kind == 1) return s1 >= l1 && s0 < l0;
  return s1 <= l1 && s0 > l0;
}

// EMA of a period over the window: the seed is the mean of the first `period` non-zero
// closes, placed at position period - 1. False when there are not that many.
bool Ema(const Pht& p, int period, double* out) {
  double sum = 0;
  int n = 0;
  for (int w = 0; w < PHT_DAYS && n < period; ++w) {
    const int32_t c = V(p.close[w]);
    if (c != 0) sum += c, ++n;
  }
  if (n < period) return false;
  out[period - 1] = sum / period;
  for (int w = period; w < PHT_DAYS; ++w) out[w] = out[w - 1] + 2.0 / (period + 1) * (V(p.close[w]) - out[w - 1]);
  return true;
}

bool MacdTest(const Pht& p, int cross, int zero) {
  const int f = MACD[0], g = MACD[1], h = MACD[2];
  const int from = std::max(f, g);
  if (f < 1 || g < 1 || h < 1 || from > PHT_LAST || from + h > 48) return false;
  double ef[PHT_DAYS] = {}, eg[PHT_DAYS] = {}, macd[PHT_DAYS] = {};
  if (!Ema(p, f, ef) || !Ema(p, g, eg)) return false;
  for (int w = from; w < PHT_DAYS; ++w) macd[w] = ef[w] - eg[w];
  auto signal = [&](int w) {
    double sum = 0;
    for (int i = w - h + 1; i <= w; ++i) sum += macd[i];
    return sum / h;
  };
  if (cross == 1 && !(macd[48] < signal(48) && macd[49] >= signal(49))) return false;
  if (cross == 2 && !(macd[48] > signal(48) && macd[49] <= signal(49))) return false;
  if (zero == 1 && !(macd[49] > 0)) return false;
  if (zero == 2 && !(macd[49] < 0)) return false;
  return true;
}

bool ParabolicTest(const Pht& p, int kind) {
  bool rising = true, ep_set = false;
  double sar = V(p.low[0]), ep = 0, af = 0.02;
  bool state[PHT_DAYS];
  for (int w = 0; w < PHT_DAYS; ++w) {
    const double hi = V(p.high[w]), lo = V(p.low[w]);
    if (rising) {
      const bool changed = !ep_set || hi > ep;
      if (changed) ep = hi, ep_set = true;
      sar += af * (ep - sar);
      if (changed) af = std::min(af + 0.02, 0.2);
      if (sar >= lo) rising = false, sar = ep, ep = lo, af = 0.02;
    } else {
      const bool changed = lo < ep;
      if (changed) ep = lo;
      sar += af * (ep - sar);
      if (changed) af = std::min(af + 0.02, 0.2);
      if (sar <= hi) rising = true, sar = ep, ep = hi, af = 0.02;
    }
    state[w] = rising;
  }
  if (kind == 1) return state[49] && !state[48];
  return !state[49] && state[48];
}

bool PsychoTest(const Pht& p, const int32_t* c) {
  const int n = Psycological;
  if (n >= PHT_DAYS || n < 1) return false;
  int up = 0, down = 0;
  for (int w = PHT_DAYS - n; w < PHT_DAYS; ++w) {
    const int32_t d = V(p.close[w]) - V(p.close[w - 1]);
    if (d > 0) ++up;
    else if (d < 0) ++down;
  }
  const int value = static_cast<int>((up - down) * 50.0 / n + 50);
  const double buy = c[80] ? ScreChoiceValue(80, c[80]) : INT_MAX;
  const double sell = c[81] ? ScreChoiceValue(81, c[81]) : INT_MIN;
  return value < buy && value > sell;
}

// RCI of n closes ending at d; false when the window would start before position 0.
bool Rci(const Pht& p, int n, int d, double* out) {
  if (n < 2 || d - n + 1 < 0) return false;
  int32_t v[PHT_DAYS];
  int t[PHT_DAYS];
  for (int i = 0; i < n; ++i) v[i] = V(p.close[d - n + 1 + i]), t[i] = i;
  double sum = 0;
  for (int k = 0; k < n; ++k) {
    int best = k;
    for (int i = k + 1; i < n; ++i)
      if (v[i] > v[best]) best = i;
    std::swap(v[k], v[best]);
    std::swap(t[k], t[best]);
    const double diff = k - t[k];
    sum += diff * diff;
  }
  *out = 300.0 * sum / (static_cast<double>(n) * (static_cast<double>(n) * n - 1));
  return true;
}

bool RciTest(const Pht& p, const int32_t* c) {
  double s48, s49, l48, l49;
  if (!Rci(p, RCI[0], 48, &s48) || !Rci(p, RCI[0], 49, &s49) || !Rci(p, RCI[1], 48, &l48) || !Rci(p, RCI[1], 49, &l49))
    return false;
  if (c[82] && !(s48 <= l48 && s49 > l49 && s49 < ScreChoiceValue(82, c[82]))) return false;
  if (c[89] && !(s48 >= l48 && s49 < l49 && s49 > ScreChoiceValue(89, c[89]))) return false;
  return true;
}

bool Rsi(const Pht& p, int n, int d, double* out) {
  if (n < 1 || d - n < 0) return false;
  double up = 0, down = 0;
  for (int w = d - n + 1; w <= d; ++w) {
    const double x = V(p.close[w]) - V(p.close[w - 1]);
    if (x > 0) up += x;
    else down -= x;
  }
  *out = up + down == 0 ? 50 : 100 * up / (up + down);
  return true;
}

// "のみを検索" looks at the last day alone, so it works up to the period the window holds
// (49); only "から復帰" needs the day before as well.
bool RsiTest(const Pht& p, const int32_t* c) {
  double r48, r49;
  if (!Rsi(p, RSI, 49, &r49)) return false;
  const bool a_set = c[83] != 0, b_set = c[90] != 0;
  const double a = ScreChoiceValue(83, c[83]), b = ScreChoiceValue(90, c[90]);
  if (c[91] == 0) {
    if (a_set && b_set) return false;
    if (a_set) return r49 <= a;
    return r49 >= b;
  }
  if (!Rsi(p, RSI, 48, &r48)) return false;
  return (a_set && r48 < a && r49 >= a) || (b_set && r48 > b && r49 <= b);
}

bool Dmi(const Pht& p, int n, int d, double* plus, double* minus) {
  if (n < 1 || d - n < 0) return false;
  double su = 0, sd = 0, st = 0;
  for (int w = d - n + 1; w <= d; ++w) {
    const double hi = V(p.high[w]), lo = V(p.low[w]), phi = V(p.high[w - 1]), plo = V(p.low[w - 1]);
    const double pc = V(p.close[w - 1]);
    double up = std::max(0.0, hi - phi), down = std::max(0.0, plo - lo);
    if (up < down) up = 0;
    else if (down < up) down = 0;
    else up = down = 0;
    su += up, sd += down;
    st += std::max({hi - lo, hi - pc, pc - lo});
  }
  if (st == 0) return false;
  *plus = 100 * su / st, *minus = 100 * sd / st;
  return true;
}

bool DmiTest(const Pht& p, int kind) {
  double p48, m48, p49, m49;
  if (!Dmi(p, DMI, 48, &p48, &m48) || !Dmi(p, DMI, 49, &p49, &m49)) return false;
  if (kind == 1) return p48 <= m48 && p49 > m49;
  return p48 >= m48 && p49 < m49;
}

bool KairiTest(const Pht& p, int s, const int32_t* c) {
  const int n = Kairi[0];
  if (n < 1) return false;
  double avg;
  if (n <= PHT_DAYS) {
    double sum = 0;
    for (int w = PHT_DAYS - n; w < PHT_DAYS; ++w) sum += V(p.close[w]);
    avg = sum / n;
  } else {
    avg = ScreMoveAve(MA_DAILY, s, n, 0);
  }
  const double close = V(p.close[PHT_LAST]);
  const double dev = avg == 0 ? 0 : (close - avg) * 100 / avg;
  return Lower(c, 85, -1e300) < dev && dev < Upper(c, 86, 1e300);
}

bool StocTest(const Pht& p, const int32_t* c) {
  const int n = Stoc;
  if (n < 1 || n + 5 > PHT_DAYS) return false;
  int64_t hh[PHT_DAYS] = {}, ll[PHT_DAYS] = {};
  for (int d = 44; d < PHT_DAYS; ++d) hh[d] = Highest(p, d - n + 1, d), ll[d] = Lowest(p, d - n + 1, d);
  int64_t k[PHT_DAYS] = {};
  for (int d = 46; d < PHT_DAYS; ++d) {
    int64_t num = 0, den = 0;
    for (int w = d - 2; w <= d; ++w) num += V(p.close[w]) - ll[w], den += hh[w] - ll[w];
    k[d] = 100 * num / (den == 0 ? 1 : den);
  }
  const int64_t sd48 = (k[46] + k[47] + k[48]) / 3, sd49 = (k[47] + k[48] + k[49]) / 3;
  if (c[87]) {
    if (k[49] > ScreChoiceValue(87, c[87])) return false;
    if (!(k[48] < sd48 && k[49] > sd49)) return false;
  }
  if (c[88] && !(k[49] >= ScreChoiceValue(88, c[88]) && k[48] > sd48 && k[49] < sd49)) return false;
  return true;
}

bool VolumeRatioTest(const Pht& p, const int32_t* c) {
  const int n = VR;
  if (n < 1 || n > PHT_LAST) return false;
  int64_t total = 0, up = 0;
  for (int w = PHT_LAST; w > PHT_LAST - n; --w) {
    const int64_t v = V(p.volume[w]);
    total += v;
    const int32_t now = V(p.close[w]), before = V(p.close[w - 1]);
    if (now > before) up += v;
    else if (now == before) up += v / 2;
  }
  const int64_t ratio = up * 100 / (total == 0 ? 1 : total);
  return Lower(c, 100, -1e300) < ratio && ratio < Upper(c, 101, 1e300);
}

bool BollingerTest(const Pht& p, const int32_t* c) {
  const int n = DayMoveAve[0];
  if (n < 2 || n > PHT_DAYS) return false;
  double sum = 0;
  for (int w = PHT_DAYS - n; w < PHT_DAYS; ++w) sum += V(p.close[w]);
  const double mean = sum / n;
  double sq = 0;
  for (int w = PHT_DAYS - n; w < PHT_DAYS; ++w) sq += (V(p.close[w]) - mean) * (V(p.close[w]) - mean);
  const double sigma = std::sqrt(sq / (n - 1));
  const double close = V(p.close[PHT_LAST]);
  const bool below = c[103] && mean - ScreChoiceValue(103, c[103]) * sigma > close;
  const bool above = c[102] && close > mean + ScreChoiceValue(102, c[102]) * sigma;
  return below || above;
}

bool VolumeChangeTest(const Pht& p, const int32_t* c) {
  const int r = static_cast<int>(ScreChoiceValue(120, c[120]));
  const int b = static_cast<int>(ScreChoiceValue(121, c[121]));
  if (r < 1 || b < 1 || PHT_DAYS - r - b < 0) return false;
  double recent = 0, base = 0;
  for (int w = PHT_DAYS - r; w < PHT_DAYS; ++w) recent += V(p.volume[w]);
  for (int w = PHT_DAYS - r - b; w < PHT_DAYS - r; ++w) base += V(p.volume[w]);
  recent /= r, base /= b;
  if (recent == 0) recent = 0.0001;
  if (base == 0) base = 0.0001;
  const double x = ScreChoiceValue(122, c[122]);
  return c[123] == 0 ? recent / base > x : recent / base < 1 / x;
}

bool MarginTest(const Pht& p, const int32_t* c) {
  int w = PHT_LAST;
  while (w >= 0 && p.margin_buy[w] == 0) --w;
  if (w < 0) return false;
  const double buy = V(p.margin_buy[w]), sell = V(p.margin_sell[w]);
  if (!c[125]) return c[124] == 1 || sell != 0;
  if (buy == 0 || sell == 0) return false;
  const double x = ScreChoiceValue(125, c[125]);
  return c[126] == 0 ? buy / sell > x : buy / sell < x;
}

bool InFolder(int32_t code, int folder) {
  for (int i = 0; i < Tyumoku_Num; ++i)
    if (tyumoku[i].Group == folder && tyumoku[i].Code == code) return true;
  return false;
}

}  // namespace

int ScreSlotMaxChoice(int slot) {
  if (slot == 127) return Group_Num;
  const Choices& ch = ChoicesOf(slot);
  const int n = static_cast<int>(ch.values.size());
  return ch.none ? n : (n > 0 ? n - 1 : 0);
}

void ClampScreCond(int32_t* cond) {
  for (int k = 0; k < SCRE_SLOTS; ++k) {
    const int max = ScreSlotMaxChoice(k);
    if (cond[k] < 0 || cond[k] > max) {
      PRT("スクリーニング条件 %d の値 %d は使えないので 0 にします\n", k, cond[k]);
      cond[k] = 0;
    }
  }
}

namespace {
void FolderDeletedIn(int32_t* cond, int folder) {
  const int32_t named = cond[127] - 1;  // -1: no folder condition
  if (named == folder) cond[127] = 0;
  else if (named > folder) --cond[127];
}
}  // namespace

void ScreFolderDeleted(int32_t* cond, int folder) {
  FolderDeletedIn(cond, folder);
  // The saved groups name folders too; a group passed in itself is adjusted only once.
  for (int g = 0; g < ScreGroupNum && g < SCRE_GROUP_MAX; ++g)
    if (ScreGroup[g].cond != cond) FolderDeletedIn(ScreGroup[g].cond, folder);
}

double ScreChoiceValue(int slot, int index) {
  const Choices& ch = ChoicesOf(slot);
  const int i = ch.none ? index - 1 : index;
  if (slot == 127) return index;
  if (i < 0 || i >= static_cast<int>(ch.values.size())) return 0;
  return ch.values[i];
}

std::string ValidateScreCond(const int32_t* c) {
  std::string out;
  auto order = [&](int lo, int hi, const char* msg) {
    if (c[lo] && c[hi] && ScreChoiceValue(hi, c[hi]) < ScreChoiceValue(lo, c[lo])) out += msg;
  };
  auto both = [&](int a, int b, const char* msg) {
    if (c[a] && c[b]) out += msg;
  };
  order(6, 7, "投資金額の大小関係を訂正してください。\n");
  order(8, 9, "株価の大小関係を訂正してください。\n");
  order(21, 22, "ROEの大小関係を訂正してください。\n");
  order(24, 25, "配当利回りの大小関係を訂正してください。\n");
  order(41, 42, "PERの大小関係を訂正してください。\n");
  order(44, 45, "PBRの大小関係を訂正してください。\n");
  both(82, 89, "RCIの売りと買いを同時に検索は出来ません。\n");
  both(83, 90, "RSIの売りと買いを同時に検索は出来ません。\n");
  // The deviation choices run from +40 down to -40: "at most" below "at least" is wrong.
  order(85, 86, "乖離率の大小関係を訂正してください。\n");
  both(87, 88, "ストキャスティクスの条件は片方のみを指定して下さい。\n");
  order(100, 101, "ボリュームレシオの大小関係を訂正してください。\n");
  both(102, 103, "ボリンジャーバンドの売りと買いは同時に検索できません。\n");
  return out;
}

bool ScreeningTopPercent(int which, int s, int percent) {
  BuildRanks();
  const int64_t first = static_cast<int64_t>(percent) * g_ranks.count[which] / 100;
  return g_ranks.pos[which][s] < first;
}

double ScreMoveAve(int tf, int s, int a, int shift) {
  if (PeriodLadder[0] == 0) MakePeriodLadder();
  const uint16_t* m = MoveAveTable[tf][s];
  double per[LADDER_COUNT], val[LADDER_COUNT];
  int n = 0;
  double ms = 0;
  if (shift > 0) {
    for (int j = 0; j < LADDER_COUNT; ++j)
      if (PeriodLadder[j] == shift) ms = V(m[j]);
  }
  for (int j = 0; j < LADDER_COUNT; ++j) {
    const int pj = PeriodLadder[j];
    if (shift == 0) {
      per[n] = pj, val[n++] = V(m[j]);
    } else if (pj > shift) {
      per[n] = pj - shift;
      val[n++] = (static_cast<double>(V(m[j])) * pj - ms * shift) / (pj - shift);
    }
  }
  if (n == 0) return 0;
  int j = 0;
  while (j < n && per[j] < a) ++j;
  if (j < n && per[j] == a) return val[j];
  if (n == 1) return std::trunc(val[0]);
  if (j == 0) j = 1;        // below the first point: from the first two
  if (j >= n) j = n - 1;    // above the last point: extrapolate from the last two
  return std::trunc(val[j - 1] + (val[j] - val[j - 1]) * (a - per[j - 1]) / (per[j] - per[j - 1]));
}

bool ScreeningPasses(int s, const int32_t* c) {
  const Fundamental& f = fundamental[s];
  const Pht& p = pht[s];
  // 1. Indices and exchange rates are no companies (the ETF 1319 is kept).
  if ((f.flag & FLAG_INDEX) && f.code != 1319) return false;
  // 2. Market.
  if (c[0] || c[1] || c[2]) {
    if (!((c[0] && f.market == c[0]) || (c[1] && f.market == c[1]) || (c[2] && f.market == c[2]))) return false;
  }
  // 3. Industry.
  if (c[3] || c[4] || c[5]) {
    bool any = false;
    for (int k = 3; k <= 5; ++k)
      if (c[k] >= 1 && c[k] <= INDUSTRY_COUNT && std::strcmp(f.industry, IndustryName[c[k] - 1]) == 0) any = true;
    if (!any) return false;
  }
  const int64_t close = V(p.close[PHT_LAST]);
  // 4. Investment amount, both ends strict.
  if (c[6] || c[7]) {
    const double amount = static_cast<double>(close) * f.tani;
    if (!(Lower(c, 6, -1e300) < amount && amount < Upper(c, 7, 1e300))) return false;
  }
  // 5. Price: strict below, inclusive above.
  if (c[8] || c[9]) {
    if (close == 0 || !(Lower(c, 8, -1e300) < close && close <= Upper(c, 9, 1e300))) return false;
  }
  // 6. Average volume of the last five days.
  if (c[10]) {
    int64_t sum = 0;
    for (int w = 45; w < PHT_DAYS; ++w) sum += V(p.volume[w]);
    if (!(sum / 5 > ScreChoiceValue(10, c[10]))) return false;
  }
  // 7. Stocks without movement.
  if (c[11]) {
    bool still = true;
    for (int w = 40; w < PHT_LAST && still; ++w)
      still = p.close[w] == p.close[PHT_LAST] && p.volume[w] == p.volume[PHT_LAST];
    if (still) return false;
  }
  // 8 to 11. ROE, dividend yield, PER, PBR.
  const PhtValue& v = pht_value[s];
  if (!FigureTest(c, 0, 20, 21, 22, s, f.roe)) return false;
  if (!FigureTest(c, 1, 23, 24, 25, s, v.yield)) return false;
  if (!FigureTest(c, 2, 40, 41, 42, s, v.per)) return false;
  if (!FigureTest(c, 3, 43, 44, 45, s, v.pbr)) return false;
  // 12 to 15. Trend.
  if (c[60] && !IchimokuTest(p)) return false;
  if (c[61] && !MoveAveCross(MA_DAILY, s, DayMoveAve, c[61])) return false;
  if (c[62] && !MoveAveCross(MA_WEEKLY, s, WeekMoveAve, c[62])) return false;
  if (c[63] && !MoveAveCross(MA_MONTHLY, s, MonthMoveAve, c[63])) return false;
  if ((c[64] || c[65]) && !MacdTest(p, c[64], c[65])) return false;
  if (c[66] && !ParabolicTest(p, c[66])) return false;
  // 16 to 21. Tops and bottoms.
  if ((c[80] || c[81]) && !PsychoTest(p, c)) return false;
  if ((c[82] || c[89]) && !RciTest(p, c)) return false;
  if ((c[83] || c[90]) && !RsiTest(p, c)) return false;
  if (c[84] && !DmiTest(p, c[84])) return false;
  if ((c[85] || c[86]) && !KairiTest(p, s, c)) return false;
  if ((c[87] || c[88]) && !StocTest(p, c)) return false;
  // 22, 23. Others.
  if ((c[100] || c[101]) && !VolumeRatioTest(p, c)) return false;
  if ((c[102] || c[103]) && !BollingerTest(p, c)) return false;
  // 24 to 26. Volume change, margin, favourites folder.
  if (c[120] && !VolumeChangeTest(p, c)) return false;
  if ((c[124] || c[125]) && !MarginTest(p, c)) return false;
  if (c[127] && !InFolder(f.code, c[127] - 1)) return false;
  return true;
}

int RunScreening() {
  ClampScreCond(ScreCond);
  const std::string errors = ValidateScreCond(ScreCond);
  if (!errors.empty()) {
    HostMessageBox(errors.c_str(), "スクリーニング条件エラー", MB_OK | MB_ICONWARNING);
    return -1;
  }
  std::fill(std::begin(KensakuList), std::end(KensakuList), -1);
  int hits = 0;
  for (int s = 0; s < LastKabu; ++s) {
    if (!pht[s].valid || pht[s].end != PHT_LAST || !ScreeningPasses(s, ScreCond)) continue;
    KensakuList[hits++] = s;
    if (hits == KENSAKU_MAX) {
      PRT("検索Over!、予想Hit数=%d\n", static_cast<int>(static_cast<int64_t>(LastKabu) * KENSAKU_MAX / (s + 1)));
      char msg[128];
      std::snprintf(msg, sizeof msg, "該当銘柄が%d件を超えました。条件を変更してください。", KENSAKU_MAX);
      HostMessageBox(msg, "銘柄が多すぎます", MB_OK);
      return -1;
    }
  }
  if (hits == 0) {
    HostMessageBox("条件に該当する銘柄は存在しません", "条件が厳しすぎます", MB_OK);
    return -1;
  }
  std::stable_sort(KensakuList, KensakuList + hits,
                   [](int a, int b) { return fundamental[a].code < fundamental[b].code; });
  if (OpenKensakuResult) OpenKensakuResult();
  return hits;
}
