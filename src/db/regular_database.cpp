#include "db/regular_database.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "db/database_file.h"
#include "db/database_lock.h"
#include "db/master_file.h"
#include "db/price_model.h"
#include "db/record_io.h"
#include "platform/diagnostics.h"
#include "platform/file_error.h"
#include "platform/working_folder.h"

int WriteRegularDatabase() {
  const std::string path = DataFilePath(DB_FILE);
  if (::access(path.c_str(), F_OK) == 0 || errno != ENOENT) {
    // A database that appeared meanwhile is the user's: it is never written over.
    ReportDbFailure("%s が既にあるため、新しく作りません", DB_FILE);
    return 0;
  }
  // Stock 0 (the Nikkei 225) keeps the sample's prices; it carries the calendar's history.
  auto first = std::make_unique<Hiashi>();
  if (ReadRecordChecked(0, first.get()) != RecordRead::kOurs) {
    PRT("dbm サンプルの銘柄0のレコードを読めないので空で作ります\n");
    std::memset(first.get(), 0, sizeof *first);
  }
  // The sample mode uses only the first stocks of the table.
  if (LoadTag() == 0) PRT("dbm ファンダメンタル読みこみ失敗！\n");

  DatabaseLockHold lock;
  if (!lock.held()) {
    ReportDbFailure("%s を作れません（ロックを取れません）: %s", DB_FILE, FileErrorText(lock.error));
    return 0;
  }
  DbImage image;
  image.header = DbHeader{DB_VERSION, MAX_KABU, MAX_DATE, LastDate, LastKabu};
  image.dates = nikkei_date;
  image.records = MAX_KABU;
  // Slots after the last entry of the table stay holes.
  image.filled = 1;
  for (int n = MAX_KABU - 1; n > 0; --n)
    if (fundamental[n].code || fundamental[n].flag || fundamental[n].name[0]) {
      image.filled = n + 1;
      break;
    }
  const Hiashi* stock0 = first.get();
  image.fill = [stock0](int n, Hiashi* h) {
    if (n == 0) {
      std::memcpy(h, stock0, sizeof *h);
      if (h->code || h->name[0]) return;
    }
    const Fundamental& f = fundamental[n];
    h->code = f.code;
    h->flag = f.flag;
    std::memcpy(h->name, f.name, sizeof h->name);
    h->name[sizeof h->name - 1] = '\0';
  };
  if (const int err = WriteDatabaseImage(path, image)) {
    ReportDbFailure("%s を作れません: %s", DB_FILE, FileErrorText(err));
    return 0;
  }
  fSampleDB = 0;
  if (!VURN_file_in(-1, DB_IN_HEADER)) PRT("dbm 作成した %s のヘッダを読めません: %s\n", DB_FILE, DbFailureText());
  PRT("dbm %s を作成しました（%d 銘柄、%d 日）\n", DB_FILE, LastKabu, LastDate);
  return 1;
}
