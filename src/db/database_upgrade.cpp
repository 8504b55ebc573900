#include "db/database_upgrade.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "db/database_file.h"
#include "db/database_lock.h"
#include "db/open_retry.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "platform/host.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"

namespace {

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool HasPrices(const Hiashi& h) {
  for (int d = 0; d < MAX_DATE; ++d)
    if (h.close[d] != 0) return true;
  return false;
}

// One slot whose record does not belong to its stock-table entry.
struct Mismatch {
  int stock_num;
  int32_t old_code;
  char old_name[32];
  bool has_prices;
};

void AppendListLine(std::string* list, int* lines, const char* line) {
  if (*lines < NEW_STOCK_LIST_LINES) *list += line;
  else if (*lines == NEW_STOCK_LIST_LINES) *list += "　　　　　　　　　　　　　　　　　　　　　等\n";
  ++*lines;
}

// Asks before price history is replaced; true when the user agrees and the backup is made.
bool ConfirmResetWithBackup(const std::vector<Mismatch>& mismatches, int with_prices) {
  std::string text;
  char line[256];
  std::snprintf(line, sizeof line,
                "vurn.hy3 の %d 銘柄の株価データが、銘柄ファイル vurn.tag の銘柄と合いません。\n"
                "別の版の vurn.tag を使っている可能性があります。\n\n"
                "「はい」: vurn.hy3 の控えを vurn.hy3.bak に作ってから、これらの株価データを消して新しい銘柄にします。\n"
                "「いいえ」: 株価データはそのままにします（次回の起動でまた確認します）。\n\n",
                with_prices);
  text = line;
  int lines = 0;
  for (const Mismatch& m : mismatches) {
    if (!m.has_prices) continue;
    const Fundamental& f = fundamental[m.stock_num];
    std::snprintf(line, sizeof line, "　%s %s　←　%d %s\n", Code_to_String(f.code).c_str(), f.name, m.old_code,
                  m.old_name);
    AppendListLine(&text, &lines, line);
  }
  if (HostMessageBox(text.c_str(), "銘柄ファイルの確認", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
    PRT("株価データのある %d 銘柄は置き換えませんでした\n", with_prices);
    return false;
  }
  HostWaitOpen("vurn.hy3 の控えを作っています。\nしばらくお待ち下さい。");
  int err = 0;
  bool ok = CopyFileSafely(DataFilePath(DB_FILE), DataFilePath(DB_BACKUP_FILE), &err);
  HostWaitClose();
  if (!ok) {
    std::snprintf(line, sizeof line, "vurn.hy3 の控え(vurn.hy3.bak)を作れませんでした: %s\n株価データはそのままにします。",
                  FileErrorText(err));
    PRT("%s\n", line);
    HostMessageBox(line, "新規銘柄追加", MB_OK | MB_ICONERROR);
    return false;
  }
  PRT("vurn.hy3 の控えを vurn.hy3.bak に作りました\n");
  return true;
}

}  // namespace

int GrowDatabase() {
  const std::string path = DataFilePath(DB_FILE);
  DatabaseLockHold lock;
  if (!lock.held()) {
    ReportDbFailure("vurn.hy3 を更新できません（ロックを取れません）: %s", FileErrorText(lock.error));
    return 0;
  }
  int err = 0;
  std::FILE* f = OpenRetry(path.c_str(), "r+b", &err);
  if (!f) {
    ReportDbFailure("vurn.hy3 を書き込み用に開けません: %s", FileErrorText(err));
    return 0;
  }
  const int fd = ::fileno(f);
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  if (!ok) err = errno;
  const int64_t old_size = st.st_size;
  if (ok && old_size < DB_FILE_SIZE) {
    // Reserve the new slots on disk up front, so a full disk shows here and not in a later
    // update; the reserved bytes read as zero, that is as empty records.
    err = ::posix_fallocate(fd, static_cast<off_t>(old_size), static_cast<off_t>(DB_FILE_SIZE - old_size));
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (err) {
      ok = false;
      if (::ftruncate(fd, static_cast<off_t>(old_size)) != 0)
        PRT("vurn.hy3 を元の大きさに戻せません: %s\n", FileErrorText(errno));
    }
  }
  if (ok) {
    // Only now that every slot exists does the header say so.
    const DbHeader h{DB_VERSION, MAX_KABU, MAX_DATE, LastDate, LastKabu};
    errno = 0;
    ok = std::fseek(f, 0, SEEK_SET) == 0 && std::fwrite(&h, 1, sizeof h, f) == sizeof h &&
         std::fwrite(nikkei_date, 1, sizeof nikkei_date, f) == sizeof nikkei_date && std::fflush(f) == 0 &&
         ::fsync(fd) == 0;
    if (!ok) err = errno;
  }
  errno = 0;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ReportDbFailure("vurn.hy3 の拡張に失敗しました: %s", FileErrorText(err));
    return 0;
  }
  return 1;
}

int CreateNewStockRecords(bool show) {
  if (LastKabu <= 0) return 0;
  const Hiashi* h = WorkHiashi();
  VURN_file_in(LastKabu - 1, 2);
  if (h->code == fundamental[LastKabu - 1].code) return 0;

  if (show) HostWaitOpen("新規銘柄を追加しています。\n1分ほどお待ち下さい。\n\nこの処理は今回のみ行われます。");
  DatabaseLockHold lock;
  if (!lock.held()) {
    if (show) {
      HostWaitClose();
      HostMessageBox("他の Kivora が vurn.hy3 を更新中のため、新規銘柄を追加できませんでした。", "新規銘柄追加",
                     MB_OK | MB_ICONERROR);
    }
    return -1;
  }
  // First find every slot that needs a new record, so that price history is never
  // replaced without asking.
  std::vector<Mismatch> mismatches;
  int with_prices = 0;
  for (int i = LastKabu - 1; i >= 0; --i) {
    VURN_file_in(i, 2);
    if ((i & 63) == 0) HostPumpEvents();
    if (h->code == fundamental[i].code) continue;
    Mismatch m{i, h->code, {}, h->code != 0 && HasPrices(*h)};
    std::memcpy(m.old_name, h->name, sizeof m.old_name);
    m.old_name[sizeof m.old_name - 1] = '\0';
    if (m.has_prices) ++with_prices;
    mismatches.push_back(m);
  }
  bool reset_prices = false;
  if (with_prices > 0 && show) {
    HostWaitClose();
    reset_prices = ConfirmResetWithBackup(mismatches, with_prices);
    HostWaitOpen("新規銘柄を追加しています。\n1分ほどお待ち下さい。\n\nこの処理は今回のみ行われます。");
  }

  std::string list;
  int count = 0, lines = 0;
  bool failed = false;
  for (const Mismatch& m : mismatches) {
    const Fundamental& f = fundamental[m.stock_num];
    if (m.has_prices && !reset_prices) continue;
    const CodeText code = Code_to_String(f.code);
    PRT("Tag変更での追加 %5d,%s,%-12s,old ph->code=%d\n", f.code, code.c_str(), f.name, m.old_code);
    Hiashi* w = WorkHiashi();
    std::memset(w, 0, sizeof *w);
    w->code = f.code;
    w->flag = f.flag;
    std::memcpy(w->name, f.name, sizeof w->name);
    w->name[sizeof w->name - 1] = '\0';
    if (!VURN_file_out(m.stock_num, 2)) {
      failed = true;
      break;
    }
    char line[128];
    std::snprintf(line, sizeof line, "　%s %s　　\n", code.c_str(), f.company);
    AppendListLine(&list, &lines, line);
    ++count;
    if ((count & 63) == 0) HostPumpEvents();
  }
  if (show) HostWaitClose();
  if (failed) {
    if (show) {
      std::string text = "新規銘柄の追加に失敗しました。\n";
      text += DbFailureText();
      HostMessageBox(text.c_str(), "新規銘柄追加", MB_OK | MB_ICONERROR);
    }
    return -1;
  }
  if (show && count > 0) {
    char head[64];
    std::snprintf(head, sizeof head, "%d 銘柄 追加しました。\n\n", count);
    HostMessageBox((head + list).c_str(), "新規銘柄追加完了", MB_OK);
  }
  return count;
}

void UpgradeDatabase() {
  if (!FileExists(DataFilePath(DB_FILE))) {
    PRT("vurn.hy3 がない。TRY版。\n");
    return;
  }
  const int sample_before = fSampleDB;
  // A header or calendar that cannot be used is left alone: start-up reads them next and
  // reports the database as unreadable, once.
  if (!VURN_file_in(-1, 0) || !VURN_file_in(-1, 1)) return;
  if (fSampleDB && !sample_before) return;  // vurn.hy3 vanished between the checks
  if (DbVersion != DB_VERSION) {
    PRT("データベースのバージョンが違います=%d\n", DbVersion);
    PRT("vurn.hy3の拡張\n");
    PRT("LastKabu=%d,LastDate=%d\n", LastKabu, LastDate);
    HostWaitOpen("データベースの拡張をしています。\n1分ほどお待ち下さい。\n\nこの処理は今回のバージョンアップでのみ行われます。");
    const int grown = GrowDatabase();
    HostWaitClose();
    if (!grown) {
      std::string text = "データベース(vurn.hy3)の拡張に失敗しました。\nvurn.hy3 は変更していません。\n\n";
      text += DbFailureText();
      HostMessageBox(text.c_str(), "データベースの拡張", MB_OK | MB_ICONERROR);
      return;
    }
    DbVersion = DB_VERSION;
    PRT("DB5 ---> DB6 end...\n");
  } else if (DbSlotsInFile() < MAX_KABU) {
    // A version-6 file short of whole trailing records gets them as the growth adds them.
    if (!GrowDatabase()) {
      std::string text = "データベース(vurn.hy3)の不足分を補えませんでした。\n\n";
      text += DbFailureText();
      HostMessageBox(text.c_str(), "データベースの拡張", MB_OK | MB_ICONERROR);
      return;
    }
    PRT("vurn.hy3 に空のレコードを %d 件補いました\n", MAX_KABU - DbSlotsInFile());
  }
  CreateNewStockRecords(true);
}
