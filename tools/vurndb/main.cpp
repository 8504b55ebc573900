// vurndb: the price database from the command line, for scripts and tests.
//   vurndb [-C folder] [-f file] info        header, calendar range, stock count
//   vurndb [-C folder] [-f file] check       every record against the layout rules
//   vurndb [-C folder] [-f file] dump CODE   one stock's bars as text
//   vurndb [-C folder] master LIST [-o FILE] [--force]
//                                             a new edition of vurn.tag from the list of
//                                             listed issues (.xls or CSV)
//   vurndb [-C folder] merge [--insert] FILE  merges a day file into vurn.hy3
//   vurndb [-C folder] today                  downloads today's prices and merges them
// The folder defaults to the current one, the file to vurn.hy3 (try.hy3 when vurn.hy3 is
// missing); the stock master file is vurn.tag in the same folder. Only master, merge and
// today write; today runs as the timed download does (no questions) under the update lock.
// Exit codes: 0 done (check: sound), 1 check found problems, 2 usage, 3 a file is missing,
// unreadable or not a database of this layout (the stock master file included: every
// command refuses it alike, naming it and the reason; for today: no vurn.hy3 to update),
// 4 CODE is not in the stock master file, 5 LIST is not a list of listed issues or was
// refused (damaged, older than vurn.tag, or delisting too many stocks without --force), 6 merge
// refused the day file or stopped, or today's download failed (database as before), 7 today
// found the update lock held by another program, the portal's rest window open or the site
// not answering at all: nothing was done, run it again later.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "db/database_check.h"
#include "db/database_file.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/stock_code.h"
#include "master_command.h"
#include "merge_command.h"
#include "net/today_download.h"
#include "platform/codepage.h"
#include "platform/working_folder.h"
#include "shell/today_command.h"

namespace {

enum Exit {
  EXIT_OK = 0,
  EXIT_PROBLEMS = 1,
  EXIT_USAGE = 2,
  EXIT_FILES = 3,
  EXIT_NO_CODE = 4,
  EXIT_TODAY_FAILED = 6,
  EXIT_LATER = 7
};

int Usage() {
  std::fprintf(stderr,
               "usage: vurndb [-C folder] [-f file] info | check | dump CODE\n"
               "       vurndb [-C folder] master LIST [-o vurn.tag] [--force]\n"
               "         --force: accept a list older than vurn.tag, or one that delists more\n"
               "                  than 5 %% of the listed stocks (at least 50)\n"
               "       vurndb [-C folder] merge [--insert] FILE\n"
               "       vurndb [-C folder] today\n"
               "exit codes: 0 done (check: sound), 1 check found problems, 2 usage,\n"
               "            3 file missing, unreadable or not a database, 4 CODE not in vurn.tag,\n"
               "            5 LIST is not a list of listed issues, or was refused (no row with a\n"
               "              code, empty names, a code twice, a date not in the calendar, older than\n"
               "              vurn.tag or too many delisted without --force; vurn.tag unchanged),\n"
               "            6 merge refused the day file or stopped, or today's download failed,\n"
               "            7 today: the database is being updated by another program, the portal's\n"
               "              rest window is open or the site does not answer; nothing was done,\n"
               "              retry later\n");
  return EXIT_USAGE;
}

std::string U(const std::string& cp932) { return Cp932ToUtf8(cp932); }

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::string DateText(int32_t d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", d / 10000, d / 100 % 100, d % 100);
  return buf;
}

// The series held in hundredths (exchange rates and the like).
bool InHundredths(int32_t code) { return code == 1003 || code == 1007 || code == 1008 || code == 1013; }

std::string PriceText(uint16_t packed, bool hundredths) {
  const int32_t v = Packed_to_Value(packed);
  char buf[32];
  if (hundredths) std::snprintf(buf, sizeof buf, "%d.%02d", v / 100, v % 100);
  else std::snprintf(buf, sizeof buf, "%d", v);
  return buf;
}

int Info(const std::string& db, const std::string& tag) {
  DbFileInfo info;
  DbInspectError error;
  if (!ReadDbFileInfo(db, tag, &info, &error)) {
    std::fprintf(stderr, "vurndb: %s\n", U(error.text).c_str());
    return EXIT_FILES;
  }
  std::printf("file: %s\n", db.c_str());
  std::printf("size: %lld bytes (%d record slots)\n", static_cast<long long>(info.size), info.records_in_file);
  std::printf("version: %d\n", info.header.version);
  std::printf("slots: %d\n", info.header.slot_count);
  std::printf("calendar capacity: %d\n", info.header.date_capacity);
  std::printf("LastDate: %d\n", info.header.last_date);
  if (info.header.last_date > 0)
    std::printf("calendar: %s - %s\n", DateText(info.first_date).c_str(), DateText(info.last_date).c_str());
  std::printf("header LastKabu: %d\n", info.header.last_kabu);
  if (info.master_count >= 0)
    std::printf("master: %s, %d stocks, made %d\n", tag.c_str(), info.master_count, info.master_date);
  else
    std::printf("master: %s refused\n", tag.c_str());
  std::printf("stocks with prices: %d\n", info.stocks_with_prices);
  // A master file that check and dump refuse fails info as well.
  if (info.master_count < 0) {
    std::fprintf(stderr, "vurndb: %s\n", U(info.master_problem).c_str());
    return EXIT_FILES;
  }
  return EXIT_OK;
}

int Check(const std::string& db, const std::string& tag) {
  DbCheckResult result;
  DbInspectError error;
  if (!CheckDbFiles(db, tag, &result, &error)) {
    std::fprintf(stderr, "vurndb: %s\n", U(error.text).c_str());
    return EXIT_FILES;
  }
  if (!result.note.empty()) std::printf("%s\n", U(result.note).c_str());
  for (const std::string& line : result.problems) std::printf("%s\n", U(line).c_str());
  if (result.problem_count > static_cast<int>(result.problems.size()))
    std::printf("... %d more\n", result.problem_count - static_cast<int>(result.problems.size()));
  if (result.problem_count == 0) {
    std::printf("OK: %s, %d records checked\n", db.c_str(), result.records_checked);
    return EXIT_OK;
  }
  std::printf("NG: %d problems\n", result.problem_count);
  return EXIT_PROBLEMS;
}

int Dump(const std::string& db, const std::string& tag, const char* code_text) {
  const int32_t code = String_to_Code(code_text);
  if (code <= 0) {
    std::fprintf(stderr, "vurndb: %s is not a stock code\n", code_text);
    return EXIT_USAGE;
  }
  auto entries = std::make_unique<Fundamental[]>(MAX_KABU);
  int count = 0;
  int32_t made = 0;
  DbInspectError error;
  if (!ReadMasterRaw(tag, &count, &made, entries.get(), &error)) {
    std::fprintf(stderr, "vurndb: %s\n", U(error.text).c_str());
    return EXIT_FILES;
  }
  int slot = -1;
  for (int i = 0; i < count && i < MAX_KABU; ++i)
    if (entries[i].code == code) {
      slot = i;
      break;
    }
  if (slot < 0) {
    std::fprintf(stderr, "vurndb: %s is not in %s\n", code_text, tag.c_str());
    return EXIT_NO_CODE;
  }
  DbFileInfo info;
  if (!ReadDbFileInfo(db, tag, &info, &error)) {
    std::fprintf(stderr, "vurndb: %s\n", U(error.text).c_str());
    return EXIT_FILES;
  }
  static int32_t dates[MAX_DATE];
  {
    std::FILE* f = std::fopen(db.c_str(), "rb");
    errno = 0;
    if (!f || std::fseek(f, DB_CALENDAR_OFFSET, SEEK_SET) != 0 || std::fread(dates, sizeof dates, 1, f) != 1) {
      const int err = errno;
      if (f) std::fclose(f);
      std::fprintf(stderr, "vurndb: cannot read the calendar of %s: %s\n", db.c_str(),
                   err ? std::strerror(err) : "the file is too short");
      return EXIT_FILES;
    }
    std::fclose(f);
  }
  auto h = std::make_unique<Hiashi>();
  if (!ReadDbRecordRaw(db, slot, h.get(), &error)) {
    std::fprintf(stderr, "vurndb: %s\n", U(error.text).c_str());
    return EXIT_FILES;
  }
  const Fundamental& f = entries[slot];
  const int last = info.header.last_date < 0 ? 0 : info.header.last_date > MAX_DATE ? MAX_DATE : info.header.last_date;
  std::printf("# %s %s slot=%d tani=%d flag=0x%x start=%d end=%d\n", Code_to_String(code).c_str(),
              U(std::string(f.name, strnlen(f.name, sizeof f.name))).c_str(), slot, f.tani, h->flag, h->start, h->end);
  std::printf("# date open high low close volume margin_sell margin_buy\n");
  const bool cents = InHundredths(code);
  const int from = h->start < 0 ? 0 : h->start;
  const int to = h->end >= last ? last - 1 : h->end;
  for (int d = from; d <= to; ++d) {
    std::printf("%s %s %s %s %s %d %d %d\n", DateText(dates[d]).c_str(), PriceText(h->open[d], cents).c_str(),
                PriceText(h->high[d], cents).c_str(), PriceText(h->low[d], cents).c_str(),
                PriceText(h->close[d], cents).c_str(), Packed_to_Value(h->deki[d]), Packed_to_Value(h->margin_sell[d]),
                Packed_to_Value(h->margin_buy[d]));
  }
  return EXIT_OK;
}

// Progress of the download: the trading date, then a line every 500 stocks.
struct ConsoleProgress final : DownloadProgress {
  void ShowText(const char* text) override { std::printf("date: %s\n", U(text).c_str()); }
  void ShowProgress(int done, int total, const char* elapsed, const char* remaining) override {
    if (done - last_ < 500 && done != 0) return;
    last_ = done;
    std::printf("%d/%d elapsed %s remaining %s\n", done, total, U(elapsed).c_str(), U(remaining).c_str());
    std::fflush(stdout);
  }
  bool CancelRequested() override { return false; }
  int last_ = -1000;
};

int Today(const std::string& folder) {
  SetCurrentDir(folder.c_str());
  ConsoleProgress progress;
  std::string reason;
  const TodayUpdateResult r = RunTodayUpdate(&progress, &reason);
  if (r == TODAY_UPDATED) {
    std::printf("OK: %s merged\n", WebDayFileName);
    return EXIT_OK;
  }
  std::fprintf(stderr, "vurndb: %s\n", U(reason).c_str());
  if (r == TODAY_LATER) return EXIT_LATER;
  return r == TODAY_NO_DATABASE ? EXIT_FILES : EXIT_TODAY_FAILED;
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit (a full disk) is a failed write, reported, never the end of the process
  // midway with a temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  std::string folder = ".", file;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const std::string opt = argv[i];
    if ((opt == "-C" || opt == "-f") && i + 1 < argc) {
      (opt == "-C" ? folder : file) = argv[++i];
    } else {
      return Usage();
    }
  }
  if (i >= argc) return Usage();
  const std::string command = argv[i++];
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const std::string file_given = file;
  if (file.empty()) file = Exists(folder + DB_FILE) ? DB_FILE : SAMPLE_DB_FILE;
  const std::string db = file.find('/') == std::string::npos ? folder + file : file;
  const std::string tag = folder + TAG_FILE;
  if (command == "info" && i == argc) return Info(db, tag);
  if (command == "check" && i == argc) return Check(db, tag);
  if (command == "dump" && i + 1 == argc) return Dump(db, tag, argv[i]);
  if (command == "master") return MasterCommand(folder, argc - i, argv + i);
  // The merge updates vurn.hy3 of the folder and nothing else.
  if (command == "merge" && (file_given.empty() || file_given == DB_FILE)) return MergeCommand(folder, argc - i, argv + i);
  if (command == "today" && i == argc) return Today(folder);
  return Usage();
}
