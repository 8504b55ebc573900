#include "lists/price_alerts.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/list_sort.h"
#include "lists/number_format.h"
#include "lists/screening_snapshot.h"
#include "platform/codepage.h"
#include "platform/host.h"

int CheckAlarum() {
  if (Alarum_Num <= 0) return 0;
  int hits = 0;
  for (int i = 0; i < Alarum_Num; ++i) {
    Alarum& a = alarum[i];
    a.Flag = 0;
    const int s = Code_to_StockNum(a.Code);
    a.NowPrice = s >= 0 ? PhtLatestClose(s) : 0;
    // No price, no verdict: a stop loss must not fire on a stock that did not trade.
    if (a.NowPrice <= 0) continue;
    if (a.Check1 && a.Price1 >= a.NowPrice) {
      a.Flag = 1;
      ++hits;
    }
    if (a.Check2 && a.NowPrice >= a.Price2) {
      a.Flag = 1;
      ++hits;
    }
  }
  return hits;
}

int AlarumOfCode(int32_t code) {
  for (int i = 0; i < Alarum_Num; ++i)
    if (alarum[i].Code == code) return i;
  return -1;
}

int32_t AlarumLevel(int32_t base, int percent) {
  const int64_t v = int64_t{base} * (100 + int64_t{percent}) / 100;
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

bool AppendAlarum(int s, int32_t base, int rigui_percent, int sonkiri_percent) {
  if (Alarum_Num >= ALARUM_MAX) {
    HostMessageBox("登録済みの銘柄を削除してください。", "これ以上登録できません", MB_OK);
    return false;
  }
  if (s < 0 || s >= LastKabu) return false;
  Alarum& a = alarum[Alarum_Num];
  a = Alarum{};
  a.Code = fundamental[s].code;
  Cp932CopyTruncated(a.Name, sizeof a.Name, fundamental[s].name);
  a.NowPrice = base;
  a.Price1 = AlarumLevel(base, -sonkiri_percent);
  a.Price2 = AlarumLevel(base, rigui_percent);
  a.Check1 = a.Check2 = 1;
  a.Flag = 0;
  ++Alarum_Num;
  return true;
}

std::vector<std::string> AlarumRow(const Alarum& a) {
  std::vector<std::string> row = {Code_to_String(a.Code).c_str(), a.Name, CommaAdd(a.NowPrice)};
  row.push_back(a.Check2 ? CommaAdd(a.Price2) : "---");
  row.push_back(a.Check1 ? CommaAdd(a.Price1) : "---");
  return row;
}

std::vector<int> ShownAlarums(bool hits_only) {
  std::vector<int> out;
  for (int i = 0; i < Alarum_Num; ++i)
    if (!hits_only || alarum[i].Flag) out.push_back(i);
  return out;
}

void DeleteAlarumRecords(std::vector<int> indices) {
  std::vector<bool> gone(Alarum_Num, false);
  for (int i : indices)
    if (i >= 0 && i < Alarum_Num) gone[i] = true;
  int n = 0;
  for (int i = 0; i < Alarum_Num; ++i)
    if (!gone[i]) alarum[n++] = alarum[i];
  Alarum_Num = n;
}

void SortAlarum(int column, int state) {
  std::vector<ListSortKey> keys;
  std::vector<Alarum> recs(alarum, alarum + Alarum_Num);
  for (const Alarum& a : recs) {
    ListSortKey k;
    switch (column) {
      case 0: k.number = a.Code; break;
      case 1: k.text = true; k.str = a.Name; break;
      case 2: k.number = a.NowPrice; break;
      case 3: k.number = a.Check2 ? a.Price2 : 0; break;
      default: k.number = a.Check1 ? a.Price1 : 0; break;
    }
    keys.push_back(k);
  }
  const std::vector<int> order = ListSortOrder(keys, state);
  for (size_t n = 0; n < recs.size(); ++n) alarum[n] = recs[order[n]];
}

int AlarumLimits(int code, int* stop_loss, int* take_profit) {
  const int i = AlarumOfCode(code);
  if (i < 0) return 0;
  int bits = 0;
  if (alarum[i].Check1) {
    *stop_loss = alarum[i].Price1;
    bits |= 1;
  }
  if (alarum[i].Check2) {
    *take_profit = alarum[i].Price2;
    bits |= 2;
  }
  return bits;
}
