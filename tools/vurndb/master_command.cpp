#include "master_command.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sys/stat.h>

#include "db/database_check.h"
#include "db/master_file.h"
#include "db/master_list.h"
#include "db/stock_code.h"
#include "list_file.h"
#include "platform/codepage.h"

namespace {

constexpr int EXIT_OK = 0, EXIT_USAGE = 2, EXIT_FILES = 3, EXIT_LIST = 5;

const char* const USAGE = "usage: vurndb [-C folder] master LIST [-o vurn.tag] [--force]\n";

std::string U(const std::string& cp932) { return Cp932ToUtf8(cp932); }

// A message of one or more lines (CP932), each printed as vurndb's own line.
void PrintMessage(const std::string& prefix, const std::string& cp932) {
  size_t from = 0;
  while (from <= cp932.size()) {
    size_t end = cp932.find('\n', from);
    if (end == std::string::npos) end = cp932.size();
    std::fprintf(stderr, "vurndb: %s%s\n", prefix.c_str(), U(cp932.substr(from, end - from)).c_str());
    from = end + 1;
  }
}

// The first 20 of a list's problems or warnings: a damaged list may have thousands.
void PrintFirst(const std::vector<std::string>& lines) {
  const size_t shown = lines.size() < 20 ? lines.size() : 20;
  for (size_t k = 0; k < shown; ++k) PrintMessage("", lines[k]);
  if (shown < lines.size()) PrintMessage("", "ほか" + std::to_string(lines.size() - shown) + "件");
}

bool ReadBytes(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

void PrintCodes(const char* what, const std::vector<int32_t>& codes) {
  std::printf("%s: %zu", what, codes.size());
  const size_t shown = codes.size() < 20 ? codes.size() : 20;
  for (size_t k = 0; k < shown; ++k) std::printf(" %s", Code_to_String(codes[k]).c_str());
  if (shown < codes.size()) std::printf(" ...");
  std::printf("\n");
}

}  // namespace

int MasterCommand(const std::string& folder, int argc, char** argv) {
  std::string list_path, out;
  bool force = false;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) out = argv[++i];
    else if (std::strcmp(argv[i], "--force") == 0) force = true;
    else if (argv[i][0] != '-' && list_path.empty()) list_path = argv[i];
    else {
      std::fputs(USAGE, stderr);
      return EXIT_USAGE;
    }
  }
  if (list_path.empty()) {
    std::fputs(USAGE, stderr);
    return EXIT_USAGE;
  }
  const std::string tag = folder + TAG_FILE;
  if (out.empty()) out = tag;
  else if (out.find('/') == std::string::npos) out = folder + out;

  // Every refusal leaves the edition as it was, and says so.
  auto refuse = [&](const std::string& prefix, const std::string& why) {
    PrintMessage(prefix, why);
    PrintMessage(out, " は書き換えていません");
    return EXIT_LIST;
  };
  std::string bytes, error;
  struct stat list_st {};
  if (::stat(list_path.c_str(), &list_st) == 0 && S_ISDIR(list_st.st_mode)) {
    PrintMessage(list_path, " はフォルダです。上場銘柄一覧のファイル（data_j.xls か CSV）を指定してください");
    return EXIT_FILES;
  }
  if (!ReadBytes(list_path, &bytes)) {
    PrintMessage(list_path, " を読めません");
    return EXIT_FILES;
  }
  TextTable table;
  if (IsSpreadsheet(bytes)) {
    if (!ReadSpreadsheet(list_path, &table, &error)) return refuse(list_path + ": ", error);
  } else {
    table = ParseCsvTable(bytes);
  }
  ListedIssueList list;
  const bool read = ReadListedIssues(table, &list, &error);
  PrintFirst(list.problems);
  if (!read) return refuse(list_path + ": ", error);

  // The current edition, when there is one: its stocks keep their numbers.
  auto current = std::make_unique<Fundamental[]>(MAX_KABU);
  int count = 0;
  int32_t made = 0;
  struct stat st {};
  if (::stat(tag.c_str(), &st) == 0) {
    DbInspectError e;
    if (!ReadMasterRaw(tag, &count, &made, current.get(), &e)) {
      PrintMessage("", e.text);
      return EXIT_FILES;
    }
  }
  if (list.date && made && list.date < made && !force)
    return refuse("", "一覧の日付 " + std::to_string(list.date) + " は今の vurn.tag の作成日 " + std::to_string(made) +
                          " より古い版です。古い一覧で作り直すなら --force を付けてください");
  std::vector<Fundamental> edition;
  EditionSummary summary;
  if (!MakeMasterEdition(current.get(), count, list, &edition, &summary, &error)) return refuse("", error);
  PrintFirst(summary.warnings);
  const int limit = DelistLimit(summary.listed);
  if (static_cast<int>(summary.delisted.size()) > limit && !force) {
    PrintCodes("delisted", summary.delisted);
    std::fflush(stdout);
    return refuse("", "上場中の " + std::to_string(summary.listed) + " 銘柄のうち " +
                          std::to_string(summary.delisted.size()) + " 銘柄が一覧にありません（一度に上場廃止にできるのは " +
                          std::to_string(limit) + " 銘柄まで）。一覧が欠けていないか確かめてください。"
                          "本当に上場廃止にするなら --force を付けてください");
  }
  const int32_t date = list.date ? list.date : made;
  if (int err = WriteTag(out, static_cast<int>(edition.size()), date, edition.data())) {
    PrintMessage(out, std::string(" を書けません: ") + std::strerror(err));
    return EXIT_FILES;
  }
  std::printf("%s: %zu stocks (was %d), made %d\n", out.c_str(), edition.size(), count, date);
  PrintCodes("added", summary.added);
  PrintCodes("delisted", summary.delisted);
  PrintCodes("changed", summary.changed);
  return EXIT_OK;
}
