#include "shell/today_command.h"

#include <cerrno>

#include "db/database_file.h"
#include "db/database_lock.h"
#include "db/day_file_update.h"
#include "db/master_file.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/alarum_check.h"
#include "net/access_throttle.h"
#include "net/today_download.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "shell/settings.h"


int MergeTodayDayFile(const char* path) {
  if (!path || !path[0]) return 0;
  if (MergeDayFileHook) return MergeDayFileHook(path, fTimedDownload != 0);
  return UpdateFromDayFile(path, fTimedDownload != 0);
}

void TodayDownloadCommand() {
  int result;
  if (TodayDownloadDialog) {
    result = TodayDownloadDialog();
  } else {
    ClearWebDayTable();
    result = RunTodayDownload(nullptr);
  }
  if (result != 1) return;
  MergeTodayDayFile(WebDayFileName);
  if (!fTimedDownload) CheckAlarumAfterDownload();
}

TodayUpdateResult RunTodayUpdate(DownloadProgress* progress, std::string* reason) {
  auto unusable = [&](const std::string& why) {
    *reason = why;
    return TODAY_NO_DATABASE;
  };
  auto fail = [&](const std::string& why) {
    *reason = why;
    return TODAY_FAILED;
  };
  TagDate = LoadTag();
  if (TagDate == 0) return unusable(std::string(TAG_FILE) + " を読めません");
  if (!VURN_file_in(-1, 0) || !VURN_file_in(-1, 1)) return unusable(DbFailureText());
  if (fSampleDB) return unusable("サンプル版のデータベース(try.hy3)は更新できません。vurn.hy3 がありません");
  MakeCodeOrder();
  LoadSettings();
  auto later = [&](const std::string& why) {
    *reason = why;
    return TODAY_LATER;
  };
  DatabaseLockHold lock;
  if (lock.error == EBUSY) return later("データベースは他のプログラムが更新中です");
  if (!lock.held()) return fail("データベースの更新ロックを取れません。" + LockFailureText(lock.error));
  // Unattended, as the timed download runs: no questions, no boxes.
  struct Timed {
    int saved = fTimedDownload;
    Timed() { fTimedDownload = 1; }
    ~Timed() { fTimedDownload = saved; }
  } timed;
  // The portal's rest window holds as for the download command: an open window means later.
  if (!AccessAllowsCommand(IDM_TODAY_DOWNLOAD))
    return later("アクセス規制中です（残り" + FormatWaitTime(BlockRemaining()) + "）。時間をおいて実行してください");
  ClearWebDayTable();
  if (RunTodayDownload(progress) != 1)
    return TodayDownloadUnreachable() ? later(TodayDownloadFailure()) : fail(TodayDownloadFailure());
  if (MergeTodayDayFile(WebDayFileName) != 1)
    return fail(std::string(WebDayFileName) + " をデータベースに取り込めませんでした");
  return TODAY_UPDATED;
}
