#include "db/etf_repair.h"

#include <cstdio>
#include <memory>
#include <string>

#include "db/database_lock.h"
#include "db/packed_value.h"
#include "db/record_io.h"
#include "db/stock_code.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "platform/host.h"

int RepairEtfCloses() {
  if (LastDate <= 0 || nikkei_date[LastDate - 1] > 20241201) return 0;
  PRT("前回と違う版で起動！\n");
  if (HostMessageBox("2024年9月1日の版(Ver.3.58)で 約230 のETF銘柄の終値が正しくない(銘柄コードと同じになる)バグがありました。\n"
                     "「今日の株価をダウンロード」で取得した場合です。\n\n"
                     "それらの終値を削除しますか？削除後は20日分の株価を補充、が必要になります。\n",
                     "正しくない株価データを削除しますか？", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK &&
      HostMessageBox("まだ修正を行ってない場合は削除することを推奨します。\n\n"
                     "このメッセージはバージョンアップした初回起動時のみ表示されます。\n",
                     "再確認、株価データを削除しますか？", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
    return 0;

  DatabaseLockHold lock;
  auto h = std::make_unique<Hiashi>();
  int stocks = 0, days = 0;
  std::string report;
  char line[160];
  const int from = LastDate - 1000 > 0 ? LastDate - 1000 : 0;
  for (int s = 0; s < LastKabu; ++s) {
    if (ReadRecordChecked(s, h.get()) != RecordRead::kOurs) continue;
    bool changed = false;
    for (int d = from; d < LastDate; ++d) {
      if (nikkei_date[d] < 20240902 || Packed_to_Value(h->close[d]) != h->code) continue;
      PRT("%4d:%4d:%d:end==code! %5d,%5d,%s\n", stocks, days, nikkei_date[d], Packed_to_Value(h->close[d]), h->code,
          h->name);
      h->open[d] = h->high[d] = h->low[d] = h->close[d] = h->deki[d] = 0;
      ++days;
      changed = true;
    }
    if (!changed) continue;
    // Cleared first or last days leave the stock's range; a cleared day inside it takes the
    // close of the day before, as a deleted day does, so the record keeps a close on every day
    // of its range until the back-fill brings the real prices.
    TrimRangeToCloses(h.get());
    for (int d = h->start + 1; d <= h->end; ++d)
      if (h->close[d] == 0) h->open[d] = h->high[d] = h->low[d] = h->close[d] = h->close[d - 1];
    ++stocks;
    WriteRecord(s, h.get());
    if (RecordMergedHook) RecordMergedHook(s, *h);
    if (stocks <= ETF_REPAIR_REPORT_LINES) {
      std::snprintf(line, sizeof line, "　%s %s　　\n", Code_to_String(h->code).c_str(), fundamental[s].company);
      report += line;
    } else if (stocks == ETF_REPAIR_REPORT_LINES + 1) {
      report += "　　　　　　　　　　　　　　　　　　　　　等\n";
    }
    HostPumpEvents();
  }
  if (stocks == 0) {
    HostMessageBox("修正した株価データはありませんでした", "問題なし", MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  if (MergeFinishedHook) MergeFinishedHook();
  char head[160];
  std::snprintf(head, sizeof head, "%d 銘柄を修正しました。\n20日分、もしくは40日分の株価の補充を実行して下さい。\n\n", stocks);
  HostMessageBox((head + report).c_str(), "修正完了しました", MB_OK | MB_ICONINFORMATION);
  return stocks;
}
