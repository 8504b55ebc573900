#include "db/database_upgrade.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "db/database_file.h"
#include "db/database_lock.h"
#include "db/price_model.h"
#include "db/record_io.h"
#include "db/stock_code.h"
#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "platform/host.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"

// Every change the upgrade makes goes into a new file that replaces vurn.hy3 in one rename
// (the old file kept as vurn.hy3.bak where price history is given up), so that a kill at
// any point leaves vurn.hy3 exactly as before or after. The work runs on its own record
// buffer, never on the work record the chart paints from.

namespace {

constexpr const char* READ_FAILED = "データベースの読みこみ失敗";
constexpr const char* GROW_WAIT =
    "データベースの拡張をしています。\n1分ほどお待ち下さい。\n\nこの処理は今回のバージョンアップでのみ行われます。";
constexpr const char* NEW_STOCKS_WAIT = "新規銘柄を追加しています。\n1分ほどお待ち下さい。\n\nこの処理は今回のみ行われます。";

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

int64_t FileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
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

// What one run of the upgrade writes into the new file.
struct Plan {
  bool grow = false;          // to MAX_KABU slots, header rewritten as version 6
  bool keep_backup = false;   // the old file stays as vurn.hy3.bak
  bool show = true;           // wait dialogs (the full database build shows none)
  std::vector<Mismatch> records;  // slots that get the empty record of their stock
};

void AppendListLine(std::string* list, int* lines, const std::string& line) {
  if (*lines < NEW_STOCK_LIST_LINES) *list += line;
  else if (*lines == NEW_STOCK_LIST_LINES) *list += "　　　　　　　　　　　　　　　　　　　　　等\n";
  ++*lines;
}

// Asks before price history is replaced; true when the user agrees (the old file is then
// kept as vurn.hy3.bak).
bool ConfirmReset(const std::vector<Mismatch>& mismatches, int with_prices) {
  std::string text = "vurn.hy3 の " + std::to_string(with_prices) +
                     " 銘柄の株価データが、銘柄ファイル vurn.tag の銘柄と合いません。\n"
                     "別の版の vurn.tag を使っている可能性があります。\n\n"
                     "「はい」: vurn.hy3 の控えを vurn.hy3.bak に作ってから、これらの株価データを消して新しい銘柄にします。\n"
                     "「いいえ」: 株価データはそのままにします（次回の起動でまた確認します）。\n\n";
  int lines = 0;
  for (const Mismatch& m : mismatches) {
    if (!m.has_prices) continue;
    const Fundamental& f = fundamental[m.stock_num];
    AppendListLine(&text, &lines,
                   std::string("　") + Code_to_String(f.code).c_str() + " " + f.name + "　←　" +
                       std::to_string(m.old_code) + " " + m.old_name + "\n");
  }
  if (HostMessageBox(text.c_str(), "銘柄ファイルの確認", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
    PRT("株価データのある %d 銘柄は置き換えませんでした\n", with_prices);
    return false;
  }
  return true;
}

// Asks what to do with a file that ends before its last record; true to complete it with
// empty records (the old file kept as vurn.hy3.bak).
bool ConfirmCompleteShortFile(int slots, int expected) {
  PRT("vurn.hy3 のレコードは %d 件しかありません（%d 件のはず）\n", slots, expected);
  const std::string text =
      "vurn.hy3 が途中で切れています。\n" + std::to_string(expected) + " 銘柄分のレコードのうち " +
      std::to_string(slots) +
      " 銘柄分しかありません。\n残りの銘柄の株価データは失われています。\n\n"
      "「はい」: 今の vurn.hy3 を vurn.hy3.bak に残してから、足りない分を空のレコードで補います。\n"
      "「いいえ」: vurn.hy3 はそのままにします。足りない分の銘柄はデータなしと表示され、"
      "そこへは書き込みません（次回の起動でまた確認します）。";
  if (HostMessageBox(text.c_str(), "データベースの確認", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
    PRT("途中で切れた vurn.hy3 はそのままにしました\n");
    return false;
  }
  return true;
}

// Finds the slots whose record carries another code than their stock-table entry, reading
// the file through buf. Returns false when the file cannot be read (reported).
bool FindMismatches(Hiashi* buf, std::vector<Mismatch>* out, int* with_prices) {
  out->clear();
  *with_prices = 0;
  if (LastKabu <= 0) return true;
  const std::string path = DataFilePath(DB_FILE);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    ReportDbFailure("vurn.hy3 を読めません: %s", FileErrorText(errno));
    return false;
  }
  int err = ReadSlot(fd, LastKabu - 1, buf);
  // A matching last slot means the records of this master file were made before.
  if (!err && buf->code != fundamental[LastKabu - 1].code) {
    for (int i = LastKabu - 1; i >= 0 && !err; --i) {
      err = ReadSlot(fd, i, buf);
      if ((i & 63) == 0) HostPumpEvents();
      if (err || buf->code == fundamental[i].code) continue;
      Mismatch m{i, buf->code, {}, buf->code != 0 && HasPrices(*buf)};
      std::memcpy(m.old_name, buf->name, sizeof m.old_name);
      m.old_name[sizeof m.old_name - 1] = '\0';
      if (m.has_prices) ++*with_prices;
      out->push_back(m);
    }
  }
  ::close(fd);
  if (err) {
    ReportDbFailure("vurn.hy3 を読めません: %s", FileErrorText(err));
    return false;
  }
  return true;
}

// Writes the plan into a new file that replaces vurn.hy3. Returns false (reported; vurn.hy3
// unchanged) on a failure.
bool BuildAndReplace(const Plan& plan, Hiashi* buf) {
  DatabaseLockHold lock;
  if (!lock.held()) {
    ReportDbFailure("vurn.hy3 を更新できません（ロックを取れません）: %s", FileErrorText(lock.error));
    return false;
  }
  const std::string path = DataFilePath(DB_FILE);
  const int64_t old_size = FileSize(path);
  FileReplace r;
  if (plan.show) HostWaitOpen(plan.grow ? GROW_WAIT : NEW_STOCKS_WAIT);
  bool ok = FileReplaceBegin(&r, path) && FileReplaceCopyFrom(&r, path);
  if (ok && plan.grow) {
    // The new slots take their disk space now, so a full disk shows here and not in a later
    // update; they read as zero bytes, that is as empty records.
    const DbHeader h{DB_VERSION, MAX_KABU, MAX_DATE, LastDate, LastKabu};
    ok = FileReplaceReserve(&r, old_size, DB_FILE_SIZE - old_size) && FileReplaceSetSize(&r, DB_FILE_SIZE) &&
         FileReplaceWriteAt(&r, &h, sizeof h, 0) &&
         FileReplaceWriteAt(&r, nikkei_date, sizeof nikkei_date, DB_CALENDAR_OFFSET);
  }
  if (ok && plan.grow && !plan.records.empty() && plan.show) {
    HostWaitClose();
    HostWaitOpen(NEW_STOCKS_WAIT);
  }
  int written = 0;
  for (const Mismatch& m : plan.records) {
    if (!ok) break;
    const Fundamental& f = fundamental[m.stock_num];
    PRT("Tag変更での追加 %5d,%s,%-12s,old ph->code=%d\n", f.code, Code_to_String(f.code).c_str(), f.name, m.old_code);
    std::memset(buf, 0, sizeof *buf);
    buf->code = f.code;
    buf->flag = f.flag;
    std::memcpy(buf->name, f.name, sizeof buf->name);
    buf->name[sizeof buf->name - 1] = '\0';
    ok = FileReplaceWriteAt(&r, buf, sizeof *buf, DbRecordOffset(m.stock_num));
    if ((++written & 63) == 0) HostPumpEvents();
  }
  if (ok) {
    ok = plan.keep_backup ? FileReplaceCommitKeeping(&r, DataFilePath(DB_BACKUP_FILE)) : FileReplaceCommit(&r);
  } else {
    FileReplaceAbort(&r);
  }
  if (plan.show) HostWaitClose();
  if (!ok) {
    ReportDbFailure("vurn.hy3 を書き換えられません: %s", FileErrorText(r.error));
    return false;
  }
  if (plan.keep_backup) PRT("vurn.hy3 の控えを vurn.hy3.bak に作りました\n");
  return true;
}

// The completion box of the new-stocks step.
void ShowAdded(const Plan& plan) {
  std::string list;
  int lines = 0;
  for (const Mismatch& m : plan.records) {
    const Fundamental& f = fundamental[m.stock_num];
    AppendListLine(&list, &lines, std::string("　") + Code_to_String(f.code).c_str() + " " + f.company + "　　\n");
  }
  const std::string text = std::to_string(plan.records.size()) + " 銘柄 追加しました。\n\n" + list;
  HostMessageBox(text.c_str(), "新規銘柄追加完了", MB_OK);
}

// Drops from the plan the slots with price history unless the user agrees to give it up.
void DecidePriceHistory(Plan* plan, int with_prices) {
  if (with_prices == 0) return;
  const bool reset = plan->show && ConfirmReset(plan->records, with_prices);
  if (reset) {
    plan->keep_backup = true;
    return;
  }
  std::vector<Mismatch> kept;
  for (const Mismatch& m : plan->records)
    if (!m.has_prices) kept.push_back(m);
  plan->records.swap(kept);
}

// Removes what a run that was killed before its commit left behind: temporary files, and a
// backup that is only a second name of the unchanged vurn.hy3 (later updates in place would
// change it too). Only while no other instance is at work, whose files these may be.
void RemoveLeftovers() {
  const std::string db = DataFilePath(DB_FILE), bak = DataFilePath(DB_BACKUP_FILE);
  std::vector<std::string> temps = LeftoverTemporaries(db);
  for (const std::string& t : LeftoverTemporaries(bak)) temps.push_back(t);
  const bool stale_backup = IsSecondNameOf(bak, db);
  if (temps.empty() && !stale_backup) return;
  if (TryLockDatabase() != 0) return;
  int removed = 0;
  for (const std::string& t : temps) removed += ::unlink(t.c_str()) == 0;
  if (removed > 0) PRT("中断された更新の一時ファイルを %d 個削除しました\n", removed);
  if (stale_backup && IsSecondNameOf(bak, db) && ::unlink(bak.c_str()) == 0)
    PRT("中断された更新の vurn.hy3.bak を削除しました（vurn.hy3 は変更されていません）\n");
  UnlockDatabase();
}

}  // namespace

int GrowDatabase() {
  Plan plan;
  plan.grow = true;
  plan.show = false;
  auto buf = std::make_unique<Hiashi>();
  return BuildAndReplace(plan, buf.get()) ? 1 : 0;
}

int CreateNewStockRecords(bool show) {
  auto buf = std::make_unique<Hiashi>();
  Plan plan;
  plan.show = show;
  int with_prices = 0;
  if (!FindMismatches(buf.get(), &plan.records, &with_prices)) return -1;
  DecidePriceHistory(&plan, with_prices);
  if (plan.records.empty()) return 0;
  if (!BuildAndReplace(plan, buf.get())) {
    if (show) {
      std::string text = "新規銘柄の追加に失敗しました。\nvurn.hy3 は変更していません。\n\n";
      text += DbFailureText();
      HostMessageBox(text.c_str(), "新規銘柄追加", MB_OK | MB_ICONERROR);
    }
    return -1;
  }
  if (show) ShowAdded(plan);
  return static_cast<int>(plan.records.size());
}

void UpgradeDatabase() {
  RemoveLeftovers();
  if (!FileExists(DataFilePath(DB_FILE))) {
    PRT("vurn.hy3 がない。TRY版。\n");
    return;
  }
  const int sample_before = fSampleDB;
  // A header that cannot be used is reported and left alone; start-up then reports the
  // database as unreadable.
  if (!VURN_file_in(-1, 0)) {
    std::string text = DbFailureText();
    text += "\n\nvurn.hy3 は変更していません。";
    HostMessageBox(text.c_str(), READ_FAILED, MB_OK | MB_ICONERROR);
    return;
  }
  // A refused calendar is left alone too; start-up's own read reports it, once.
  if (!VURN_file_in(-1, 1)) return;
  if (fSampleDB && !sample_before) return;  // vurn.hy3 vanished between the checks

  Plan plan;
  // A file that ends before its last record has lost stocks: the user decides before
  // anything completes it.
  const int slots = DbSlotsInFile(), expected = DbSlotsOfVersion(DbVersion);
  if (slots < expected) {
    if (!ConfirmCompleteShortFile(slots, expected)) return;
    plan.keep_backup = true;
  }
  plan.grow = DbVersion != DB_VERSION || slots < MAX_KABU;
  if (DbVersion != DB_VERSION) {
    PRT("データベースのバージョンが違います=%d\n", DbVersion);
    PRT("vurn.hy3の拡張\n");
    PRT("LastKabu=%d,LastDate=%d\n", LastKabu, LastDate);
  }

  auto buf = std::make_unique<Hiashi>();
  int with_prices = 0;
  if (!FindMismatches(buf.get(), &plan.records, &with_prices)) {
    std::string text = DbFailureText();
    text += "\n\nvurn.hy3 は変更していません。";
    HostMessageBox(text.c_str(), READ_FAILED, MB_OK | MB_ICONERROR);
    return;
  }
  DecidePriceHistory(&plan, with_prices);
  if (!plan.grow && plan.records.empty()) return;

  if (!BuildAndReplace(plan, buf.get())) {
    std::string text = plan.grow ? "データベース(vurn.hy3)の拡張に失敗しました。\nvurn.hy3 は変更していません。\n\n"
                                 : "新規銘柄の追加に失敗しました。\nvurn.hy3 は変更していません。\n\n";
    text += DbFailureText();
    HostMessageBox(text.c_str(), plan.grow ? "データベースの拡張" : "新規銘柄追加", MB_OK | MB_ICONERROR);
    return;
  }
  if (DbVersion != DB_VERSION) {
    DbVersion = DB_VERSION;
    PRT("DB5 ---> DB6 end...\n");
  } else if (slots < MAX_KABU) {
    PRT("vurn.hy3 に空のレコードを %d 件補いました\n", MAX_KABU - slots);
  }
  if (!plan.records.empty()) ShowAdded(plan);
}
