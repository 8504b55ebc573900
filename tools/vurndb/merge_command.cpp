#include "merge_command.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "db/database_file.h"
#include "db/day_merge.h"
#include "db/master_file.h"
#include "db/stock_code.h"
#include "platform/codepage.h"
#include "platform/working_folder.h"

namespace {

enum Exit { EXIT_OK = 0, EXIT_USAGE = 2, EXIT_FILES = 3, EXIT_REFUSED = 6 };

std::string U(const char* cp932) { return Cp932ToUtf8(cp932); }

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// The merge as a timed run: no questions but the insertion of an older day, every reason
// for stopping on standard error.
struct ConsoleMergeUi final : MergeUi {
  bool allow_insert = false;
  int Box(const char* text, const char* caption, unsigned type) override {
    if ((type & MB_BUTTON_MASK) != MB_OKCANCEL || allow_insert) return IDOK;
    std::fprintf(stderr, "vurndb: %s\n", U(text).c_str());
    std::fprintf(stderr, "vurndb: an older day is inserted only with --insert\n");
    return IDCANCEL;
  }
  void Stopped(const char* reason) override { std::fprintf(stderr, "vurndb: %s\n", U(reason).c_str()); }
};

}  // namespace

int MergeCommand(const std::string& folder, int argc, char** argv) {
  bool allow_insert = false;
  int i = 0;
  if (i < argc && std::strcmp(argv[i], "--insert") == 0) {
    allow_insert = true;
    ++i;
  }
  if (i + 1 != argc) {
    std::fprintf(stderr, "usage: vurndb [-C folder] merge [--insert] FILE\n");
    return EXIT_USAGE;
  }
  const std::string day_file = argv[i];
  SetCurrentDir(folder.c_str());
  if (!Exists(DataFilePath(DB_FILE))) {
    std::fprintf(stderr, "vurndb: %s%s is missing (the sample database is never updated)\n", folder.c_str(), DB_FILE);
    return EXIT_FILES;
  }
  if (!Exists(day_file)) {
    std::fprintf(stderr, "vurndb: %s is missing\n", day_file.c_str());
    return EXIT_FILES;
  }
  if (LoadTag() == 0) {
    std::fprintf(stderr, "vurndb: %s%s cannot be read as a stock master file\n", folder.c_str(), TAG_FILE);
    return EXIT_FILES;
  }
  MakeCodeOrder();
  ConsoleMergeUi ui;
  ui.timed = true;
  ui.allow_insert = allow_insert;
  MergeSummary sum;
  if (!MergeDayFilePath(day_file, &ui, &sum)) return EXIT_REFUSED;
  std::printf("merged %s: %s %d, %d stocks, %d days (%s)\n", day_file.c_str(), sum.inserted ? "inserted" : "appended",
              sum.date, sum.stocks_merged, sum.last_date,
              sum.dropped_oldest ? "oldest day shifted out" : sum.rewritten ? "database rewritten" : "in place");
  return EXIT_OK;
}
