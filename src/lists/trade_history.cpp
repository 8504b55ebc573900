#include "lists/trade_history.h"

#include <algorithm>
#include <cstdio>

#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/favourites.h"
#include "lists/list_sort.h"
#include "lists/screening_snapshot.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/host.h"

namespace {
void CopyText(char* dst, size_t size, const char* src) { Cp932CopyTruncated(dst, size, src ? src : ""); }
}  // namespace

int64_t RirekiProfit(const Rireki& r) {
  return (int64_t{r.SellPrice} - r.BuyPrice) * r.Share - r.Cost;
}

int64_t PriceRireki() {
  int64_t sum = 0;
  for (int i = 0; i < Rireki_Num; ++i) sum += rireki[i].Profit = RirekiProfit(rireki[i]);
  return sum;
}

std::vector<std::string> RirekiRow(Rireki* r) {
  r->Profit = RirekiProfit(*r);
  // One CommaAdd at a time: each call overwrites the text of the one before.
  std::vector<std::string> row;
  row.reserve(RIREKI_COLUMNS);
  row.emplace_back(Code_to_String(r->Code).c_str());
  row.emplace_back(r->Name);
  row.emplace_back(CommaAdd(r->Share));
  row.emplace_back(r->BuyDate);
  row.emplace_back(CommaAdd(r->BuyPrice));
  row.emplace_back(r->SellDate);
  row.emplace_back(CommaAdd(r->SellPrice));
  row.emplace_back(CommaAdd(r->Cost));
  row.emplace_back(CommaAdd(r->Profit));
  return row;
}

bool AddRireki(int32_t code, int favourite) {
  const int s = Code_to_StockNum(code);
  if (s < 0) {
    HostMessageBox("この銘柄コード　DBに存在しません。", "警告", MB_OK);
    return false;
  }
  if (Rireki_Num >= RIREKI_MAX) {
    HostMessageBox("既存の銘柄データをクリップボード経由でコピー、保存された後、削除してください",
                   "これ以上履歴を登録できません", MB_OK);
    return false;
  }
  char question[256];
  std::snprintf(question, sizeof question, "%s(%s)を「取引履歴」に追加しますか？", fundamental[s].name,
                Code_to_String(code).c_str());
  if (HostMessageBox(question, "確認", MB_OKCANCEL) != IDOK) return false;
  Rireki& r = rireki[Rireki_Num];
  r = Rireki{};
  r.Code = code;
  CopyText(r.Name, sizeof r.Name, fundamental[s].name);
  CopyText(r.SellDate, sizeof r.SellDate, LastTradingDayText().c_str());
  r.SellPrice = PhtLatestClose(s);
  r.Cost = 0;
  if (favourite >= 0 && favourite < Tyumoku_Num) {
    const Tyumoku& t = tyumoku[favourite];
    CopyText(r.BuyDate, sizeof r.BuyDate, t.Date);
    r.BuyPrice = t.Price;
    r.Share = t.Share;
    CopyText(r.Memo, sizeof r.Memo, t.Memo);
  } else {
    CopyText(r.BuyDate, sizeof r.BuyDate, r.SellDate);
    r.BuyPrice = r.SellPrice;
    r.Share = fundamental[s].tani;
  }
  r.Profit = RirekiProfit(r);
  ++Rireki_Num;
  return true;
}

void CommitRireki(int index, int32_t share, const char* buy_date, int32_t buy_price, const char* sell_date,
                  int32_t sell_price, int32_t cost, const char* memo) {
  if (index < 0 || index >= Rireki_Num) return;
  Rireki& r = rireki[index];
  r.Share = share;
  r.BuyPrice = buy_price;
  r.SellPrice = sell_price;
  r.Cost = cost;
  CopyText(r.BuyDate, 15, buy_date);  // at most 14 bytes
  CopyText(r.SellDate, 15, sell_date);
  MakeOneLine(r.BuyDate);
  MakeOneLine(r.SellDate);
  CopyText(r.Memo, sizeof r.Memo, memo);
  MakeOneLine(r.Memo);
  r.Profit = RirekiProfit(r);
}

void DeleteRirekiRecords(std::vector<int> indices) {
  std::vector<bool> gone(Rireki_Num, false);
  for (int i : indices)
    if (i >= 0 && i < Rireki_Num) {
      gone[i] = true;
      PRT("Rireki %d\n", i);
    }
  int n = 0;
  for (int i = 0; i < Rireki_Num; ++i)
    if (!gone[i]) rireki[n++] = rireki[i];
  Rireki_Num = n;
}

int MoveRireki(int index, int direction) {
  const int j = index + (direction < 0 ? -1 : 1);
  if (index < 0 || index >= Rireki_Num || j < 0 || j >= Rireki_Num) return -1;
  std::swap(rireki[index], rireki[j]);
  return j;
}

void SortRireki(int column, int state) {
  std::vector<ListSortKey> keys;
  std::vector<Rireki> recs(rireki, rireki + Rireki_Num);
  for (const Rireki& r : recs) {
    ListSortKey k;
    switch (column) {
      case 0: k.number = r.Code; break;
      case 1: k.text = true; k.str = r.Name; break;
      case 2: k.number = r.Share; break;
      case 3: k.text = true; k.str = r.BuyDate; break;
      case 4: k.number = r.BuyPrice; break;
      case 5: k.text = true; k.str = r.SellDate; break;
      case 6: k.number = r.SellPrice; break;
      case 7: k.number = r.Cost; break;
      default: k.number = RirekiProfit(r); break;
    }
    keys.push_back(k);
  }
  const std::vector<int> order = ListSortOrder(keys, state);
  for (size_t n = 0; n < recs.size(); ++n) rireki[n] = recs[order[n]];
}

ClipboardText RirekiCopyText() {
  ClipboardText clip(RIREKI_CLIP_BYTES);
  for (int i = 0; i < Rireki_Num; ++i) {
    const Rireki& r = rireki[i];
    ClipboardAppendf(&clip, "%s\t%s\t%d\t%s\t%d\t%s\t%d\t%d\t%lld\r\n", Code_to_String(r.Code).c_str(), r.Name,
                     r.Share, r.BuyDate, r.BuyPrice, r.SellDate, r.SellPrice, r.Cost,
                     static_cast<long long>(RirekiProfit(r)));
  }
  return clip;
}
