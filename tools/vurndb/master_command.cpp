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

std::string U(const std::string& cp932) { return Cp932ToUtf8(cp932); }

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
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) out = argv[++i];
    else if (argv[i][0] != '-' && list_path.empty()) list_path = argv[i];
    else {
      std::fprintf(stderr, "usage: vurndb [-C folder] master LIST [-o vurn.tag]\n");
      return EXIT_USAGE;
    }
  }
  if (list_path.empty()) {
    std::fprintf(stderr, "usage: vurndb [-C folder] master LIST [-o vurn.tag]\n");
    return EXIT_USAGE;
  }
  const std::string tag = folder + TAG_FILE;
  if (out.empty()) out = tag;
  else if (out.find('/') == std::string::npos) out = folder + out;

  std::string bytes, error;
  if (!ReadBytes(list_path, &bytes)) {
    std::fprintf(stderr, "vurndb: %s を読めません\n", list_path.c_str());
    return EXIT_FILES;
  }
  TextTable table;
  if (IsSpreadsheet(bytes)) {
    if (!ReadSpreadsheet(list_path, &table, &error)) {
      std::fprintf(stderr, "vurndb: %s: %s\n", list_path.c_str(), U(error).c_str());
      return EXIT_LIST;
    }
  } else {
    table = ParseCsvTable(bytes);
  }
  ListedIssueList list;
  if (!ReadListedIssues(table, &list, &error)) {
    std::fprintf(stderr, "vurndb: %s: %s\n", list_path.c_str(), U(error).c_str());
    return EXIT_LIST;
  }
  for (const std::string& p : list.problems) std::fprintf(stderr, "vurndb: %s\n", U(p).c_str());

  // The current edition, when there is one: its stocks keep their numbers.
  auto current = std::make_unique<Fundamental[]>(MAX_KABU);
  int count = 0;
  int32_t made = 0;
  struct stat st {};
  if (::stat(tag.c_str(), &st) == 0) {
    DbInspectError e;
    if (!ReadMasterRaw(tag, &count, &made, current.get(), &e)) {
      std::fprintf(stderr, "vurndb: %s\n", U(e.text).c_str());
      return EXIT_FILES;
    }
  }
  std::vector<Fundamental> edition;
  EditionSummary summary;
  if (!MakeMasterEdition(current.get(), count, list, &edition, &summary, &error)) {
    std::fprintf(stderr, "vurndb: %s\n", U(error).c_str());
    return EXIT_LIST;
  }
  for (const std::string& w : summary.warnings) std::fprintf(stderr, "vurndb: %s\n", U(w).c_str());
  const int32_t date = list.date ? list.date : made;
  if (int err = WriteTag(out, static_cast<int>(edition.size()), date, edition.data())) {
    std::fprintf(stderr, "vurndb: %s を書けません: %s\n", out.c_str(), std::strerror(err));
    return EXIT_FILES;
  }
  std::printf("%s: %zu stocks (was %d), made %d\n", out.c_str(), edition.size(), count, date);
  PrintCodes("added", summary.added);
  PrintCodes("delisted", summary.delisted);
  PrintCodes("changed", summary.changed);
  return EXIT_OK;
}
