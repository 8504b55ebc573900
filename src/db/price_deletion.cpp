#include "db/price_deletion.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include "db/database_file.h"
#include "db/database_lock.h"
#include "db/packed_value.h"
#include "db/record_io.h"
#include "db/stock_code.h"
#include "platform/diagnostics.h"
#include "platform/file_replace.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "platform/working_folder.h"

int DeleteKindLastUsed = 0;

namespace {

constexpr unsigned kAsk = MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2;

// Day d takes the close of the day before as its four prices, and its margin balances; its
// volume becomes 0. The stock's first day has no day before: it leaves the stock's range.
void FlattenDay(Hiashi* h, int d) {
  h->open[d] = h->high[d] = h->low[d] = h->close[d] = h->close[d - 1];
  h->margin_sell[d] = h->margin_sell[d - 1];
  h->margin_buy[d] = h->margin_buy[d - 1];
  h->deki[d] = 0;
  TrimRangeToCloses(h);
}

void Told(int s, const Hiashi& h) {
  if (RecordMergedHook) RecordMergedHook(s, h);
}

void Failed(const char* what, int err) {
  char text[512];
  std::snprintf(text, sizeof text, "%s\n%s\n\nデータベースは元のままです。", what, err ? std::strerror(err) : DbFailureText());
  PRT("%s\n", text);
  HostMessageBox(text, "株価データの削除", MB_OK | MB_ICONERROR);
}

// Kind 1: every record below LastKabu, the header and calendar in a new file.
int DeleteDayOfAllStocks(int d) {
  const std::string path = DataFilePath(DB_FILE);
  DatabaseLockHold lock;
  if (!lock.held()) {
    Failed(("vurn.hy3 を更新できません。" + LockFailureText(lock.error)).c_str(), 0);
    return 0;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    Failed("vurn.hy3 を読めません。", errno);
    return 0;
  }
  FileReplace r;
  if (!FileReplaceBegin(&r, path) || !FileReplaceCopyFrom(&r, path)) {
    const int err = r.error;
    FileReplaceAbort(&r);
    ::close(fd);
    Failed("vurn.hy3 の新しいファイルを作れません。", err);
    return 0;
  }
  const bool last_day = d == LastDate - 1;
  const int new_days = last_day ? LastDate - 1 : LastDate;
  auto h = std::make_unique<Hiashi>();
  std::unique_ptr<bool[]> changed(new bool[MAX_KABU]());
  for (int s = 0; s < LastKabu; ++s) {
    if (ReadSlot(fd, s, h.get()) != 0) {
      FileReplaceAbort(&r);
      ::close(fd);
      Failed("vurn.hy3 のレコードを読めません。", errno);
      return 0;
    }
    // A slot holding another stock's record is not this stock's history: left alone.
    if (h->code != fundamental[s].code) continue;
    if (last_day) {
      for (uint16_t* a : {h->open, h->high, h->low, h->close, h->deki, h->margin_sell, h->margin_buy}) a[d] = 0;
      if (h->end == new_days) h->end -= 1;
      if (h->start >= new_days) h->start = h->end = 0;
      if (h->start > h->end) {
        PRT("開始終了が逆。あり得ないが・・・\n");
        h->start = h->end = 0;
      }
    } else {
      if (h->close[d] == 0) continue;
      FlattenDay(h.get(), d);
    }
    changed[s] = true;
    if (!FileReplaceWriteAt(&r, h.get(), sizeof *h, DbRecordOffset(s))) break;
    if (s % 64 == 0) HostPumpEvents();
  }
  ::close(fd);
  if (last_day) {
    int32_t dates[MAX_DATE];
    std::memcpy(dates, nikkei_date, sizeof dates);
    dates[d] = 0;
    const DbHeader header{DB_VERSION, MAX_KABU, MAX_DATE, new_days, LastKabu};
    FileReplaceWriteAt(&r, &header, sizeof header, 0);
    FileReplaceWriteAt(&r, dates, sizeof dates, DB_CALENDAR_OFFSET);
  }
  if (!FileReplaceCommit(&r)) {
    const int err = r.error;
    FileReplaceAbort(&r);
    Failed("vurn.hy3 の新しいファイルを書き終えられません。", err);
    return 0;
  }
  if (last_day) {
    nikkei_date[d] = 0;
    LastDate = new_days;
  }
  // The screening data hear of every changed stock once the new file is in place.
  for (int s = 0; s < LastKabu; ++s) {
    if (!changed[s]) continue;
    ReadRecord(s, h.get());
    Told(s, *h);
  }
  return 1;
}

}  // namespace

int ConfirmDelete(int kind, int date_num, int stock_num) {
  if (date_num < 0 || date_num >= LastDate || stock_num < 0 || stock_num >= LastKabu) return 0;
  const int32_t date = nikkei_date[date_num];
  const int y = date / 10000, m = date / 100 % 100, dd = date % 100;
  const Fundamental& f = fundamental[stock_num];
  char text[1024];
  switch (kind) {
    case DELETE_ONE_DAY_ONE_STOCK:
      std::snprintf(text, sizeof text,
                    "%s ( %d ) の　%d/ %d/ %d の株価を削除します。\nよろしいですか？\n\n削除された日の株価は便宜上その前日の株価に統一されます。\n\n"
                    "削除後はこの銘柄を指定して「株価の補充」でデータを\n補填してください。",
                    f.company, f.code, y, m, dd);
      return HostMessageBox(text, "確認", kAsk) == IDOK;
    case DELETE_ONE_DAY_ALL_STOCKS:
      std::snprintf(text, sizeof text, "%d/ %d/ %d の全ての銘柄の株価を削除します。\nよろしいですか？\n\n%s", y, m, dd,
                    date_num == LastDate - 1 ? "削除後は株価の更新（自動ダウンロード）によりデータを補填してください。"
                                             : "削除後は「全ての銘柄」を選択して\nデータを補填してください。");
      if (HostMessageBox(text, "確認", kAsk) != IDOK) return 0;
      std::snprintf(text, sizeof text,
                    "この操作は %d/%d/%d の全ての銘柄の株価を削除します。\n\n削除には2分ほどかかります。\n本当に削除してよろしいですか？",
                    y, m, dd);
      return HostMessageBox(text, "最終確認", kAsk) == IDOK;
    case DELETE_ALL_DAYS_ONE_STOCK:
      std::snprintf(text, sizeof text,
                    "%s(%d) の　全ての日付の株価を削除します。\nよろしいですか？\n\n削除後はこの銘柄を指定して「過去株価を補充」を行って下さい。",
                    f.company, f.code);
      if (HostMessageBox(text, "確認", kAsk) != IDOK) return 0;
      std::snprintf(text, sizeof text, "この操作は %s(%d) の全ての日付の株価を削除します。\n\n本当に削除してよろしいですか？",
                    f.company, f.code);
      return HostMessageBox(text, "最終確認", kAsk) == IDOK;
    default:
      return 0;
  }
}

int DeletePrices(int kind, int date_num, int stock_num) {
  if (stock_num < 0 || stock_num >= LastKabu) return 0;
  auto h = std::make_unique<Hiashi>();
  int done = 0;
  switch (kind) {
    case DELETE_ONE_DAY_ONE_STOCK:
      if (date_num <= 0 || date_num >= LastDate) return 0;
      if (ReadRecordChecked(stock_num, h.get()) != RecordRead::kOurs) {
        Failed("この銘柄のレコードを読めません。", 0);
        return 0;
      }
      FlattenDay(h.get(), date_num);
      if (!WriteRecord(stock_num, h.get())) {
        Failed("vurn.hy3 に書き込めません。", 0);
        return 0;
      }
      Told(stock_num, *h);
      done = 1;
      break;
    case DELETE_ONE_DAY_ALL_STOCKS:
      if (date_num <= 0 || date_num >= LastDate) return 0;
      HostWaitOpen("　株価データ削除中です。\n\n　2分ほどお待ち下さい。\n");
      done = DeleteDayOfAllStocks(date_num);
      HostWaitClose();
      break;
    case DELETE_ALL_DAYS_ONE_STOCK: {
      std::memset(h.get(), 0, sizeof *h);
      const Fundamental& f = fundamental[stock_num];
      h->code = f.code;
      h->flag = f.flag;
      std::memcpy(h->name, f.name, sizeof h->name);
      h->name[sizeof h->name - 1] = 0;
      if (!WriteRecord(stock_num, h.get())) {
        Failed("vurn.hy3 に書き込めません。", 0);
        return 0;
      }
      Told(stock_num, *h);
      done = 1;
      break;
    }
    default:
      return 0;
  }
  if (done && MergeFinishedHook) MergeFinishedHook();
  return done;
}

bool DeletionDayValues(int stock_num, int date_num, int values[5]) {
  if (stock_num < 0 || stock_num >= LastKabu || date_num < 0 || date_num >= LastDate) return false;
  auto h = std::make_unique<Hiashi>();
  if (ReadRecordChecked(stock_num, h.get()) != RecordRead::kOurs || date_num < h->start || date_num > h->end)
    return false;
  const uint16_t* a[5] = {h->open, h->high, h->low, h->close, h->deki};
  for (int k = 0; k < 5; ++k) values[k] = Packed_to_Value(a[k][date_num]);
  return h->close[date_num] != 0;
}
