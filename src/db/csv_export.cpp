#include "db/csv_export.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "db/day_index.h"
#include "db/maintenance_settings.h"
#include "db/packed_value.h"
#include "db/record_io.h"
#include "db/stock_code.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/file_io.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "platform/working_folder.h"

int CsvFirst = 0;
int CsvLast = 0;

namespace {
int V(uint16_t p) { return Packed_to_Value(p); }

// One line per day from..to: the date and five values in `head`, then the margin buy and sell
// balances in `margins` when the record holds them, else `plain`.
std::string DayLines(const Hiashi& h, int from, int to, const char* head, const char* margins, const char* plain) {
  std::string out;
  char line[128];
  if (to > LastDate - 1) to = LastDate - 1;
  for (int d = from < 0 ? 0 : from; d <= to; ++d) {
    const int n = std::snprintf(line, sizeof line, head, nikkei_date[d], V(h.open[d]), V(h.high[d]), V(h.low[d]),
                                V(h.close[d]), V(h.deki[d]));
    if (h.flag & FLAG_MARGIN) std::snprintf(line + n, sizeof line - n, margins, V(h.margin_buy[d]), V(h.margin_sell[d]));
    else std::snprintf(line + n, sizeof line - n, "%s", plain);
    out += line;
  }
  return out;
}
}  // namespace

std::string FourPriceLines(const Hiashi& h) {
  return DayLines(h, h.start, h.end, "%d %9d %5d %5d %5d %10d", " %8d %8d\n", "\n");
}

std::string CsvFileText(const Hiashi& h, int first, int last) {
  // The same text as "%d\t%d\t%d\t%d\t%d\t%d" and "\t%d\t%d\r\n" or "\r\n" would give, formatted
  // by hand: with a formatted print per field the export of every stock took many times as
  // long as writing its bytes.
  int from = h.start > first ? h.start : first, to = h.end < last ? h.end : last;
  if (to > LastDate - 1) to = LastDate - 1;
  if (from < 0) from = 0;
  std::string out;
  if (to < from) return out;
  out.reserve(static_cast<size_t>(to - from + 1) * 48);
  const bool margins = (h.flag & FLAG_MARGIN) != 0;
  char line[8 * 12 + 4];
  for (int d = from; d <= to; ++d) {
    char* p = line;
    auto field = [&p, &line](int32_t v) {
      if (p != line) *p++ = '\t';
      p = std::to_chars(p, line + sizeof line, v).ptr;
    };
    field(nikkei_date[d]);
    for (const uint16_t* a : {h.open, h.high, h.low, h.close, h.deki}) field(V(a[d]));
    if (margins) {
      field(V(h.margin_buy[d]));
      field(V(h.margin_sell[d]));
    }
    *p++ = '\r';
    *p++ = '\n';
    out.append(line, static_cast<size_t>(p - line));
  }
  return out;
}

int WriteCsvFile(const std::string& folder, const Hiashi& h, int first, int last) {
  const std::string path = folder + Code_to_String(h.code).c_str() + ".txt";
  PRT("%s\n", path.c_str());
  const std::string text = CsvFileText(h, first, last);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  int err = WriteFully(fd, text.data(), text.size(), 0);
  if (::close(fd) != 0 && !err) err = errno;
  return err;
}

std::string CsvOutFolder() {
  std::string folder = CsvOut;
  if (folder.empty()) folder = std::string(CurrentDir) + "data";
  else if (folder[0] != '/') folder = std::string(CurrentDir) + folder;
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string CsvFolderProblem(const std::string& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return std::string("フォルダがありません (") + std::strerror(errno) + ")";
  if (!S_ISDIR(st.st_mode)) return "フォルダではありません";
  if (::access(folder.c_str(), W_OK | X_OK) != 0)
    return std::string("フォルダに書き込めません (") + std::strerror(errno) + ")";
  return "";
}

bool CheckCsvRange(int32_t first_date, int32_t last_date, int* first, int* last) {
  const int f = FindDayIndex(first_date), l = FindDayIndex(last_date);
  if (f < 0 || l < 0 || f > l) return false;
  *first = f;
  *last = l;
  return true;
}

void ExportCsv(int shown_stock) {
  bool all = false;
  if (HostMessageBox("表示中の銘柄のみをCSV形式で書き出しますか？\n全ての銘柄を書き出したい場合は「いいえ」を押してください。",
                     "この銘柄だけを変換しますか？", MB_YESNO | MB_ICONQUESTION) != IDYES) {
    if (HostMessageBox("全銘柄をCSV形式で出力した場合、ハードディスクを300MBほど使用します。操作を続行しますか？",
                       "全銘柄CSV出力", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
      return;
    all = true;
  }
  if (LastDate <= 0) return;
  CsvFirst = 0;
  CsvLast = LastDate - 1;
  if (HostMessageBox("出力する日付の範囲を指定しますか？", "日付範囲の指定", MB_OKCANCEL | MB_ICONQUESTION) == IDOK &&
      CsvDateRangeDialog)
    CsvDateRangeDialog();

  std::string folder = CsvOutFolder();
  char text[1024];
  std::snprintf(text, sizeof text, "%s\n以下にデータを出力します。ディレクトリを指定しますか？", folder.c_str());
  if (HostMessageBox(text, "出力ディレクトリの指定", MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {
    const std::string chosen = HostChooseFolder("フォルダを選択して下さい", folder);
    if (!chosen.empty()) {
      PRT("%s\n", chosen.c_str());
      Cp932CopyTruncated(CsvOut, sizeof CsvOut, chosen);
      folder = CsvOutFolder();
    }
  }
  // A folder that cannot take the files is reported before anything is written.
  const std::string problem = CsvFolderProblem(folder);
  if (!problem.empty()) {
    std::snprintf(text, sizeof text, "%s\n%s\n\nCSV形式の出力を中止しました。", folder.c_str(), problem.c_str());
    HostMessageBox(text, "全銘柄CSV出力", MB_OK | MB_ICONERROR);
    return;
  }
  std::snprintf(text, sizeof text,
                "%d - %d までのデータを出力します。\n\nCSV形式のデータは\n\n'銘柄コード.txt'\n\nという名前で\n\n%s\n\nの下に保存されます。",
                nikkei_date[CsvFirst], nikkei_date[CsvLast], folder.c_str());
  if (HostMessageBox(text, "最終確認", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;

  HostWaitOpen("CSVファイルの出力中です。\nしばらくお待ち下さい。");
  auto buf = std::make_unique<Hiashi>();
  const int from = all ? 0 : shown_stock, to = all ? LastKabu - 1 : shown_stock;
  int failed = 0;
  std::string failure;
  for (int s = from; s <= to && s >= 0; ++s) {
    ReadRecord(s, buf.get());
    const int err = WriteCsvFile(folder, *buf, CsvFirst, CsvLast);
    if (err) {
      failure = std::string(Code_to_String(buf->code).c_str()) + ".txt: " + std::strerror(err);
      ++failed;
      break;
    }
    HostPumpEvents();
  }
  HostWaitClose();
  if (failed) {
    std::snprintf(text, sizeof text, "CSVファイルを書き込めませんでした。\n%s\n%s", folder.c_str(), failure.c_str());
    HostMessageBox(text, "変換終了", MB_OK | MB_ICONERROR);
    return;
  }
  HostMessageBox("CSV形式への変換を完了しました。", "変換終了", MB_OK | MB_ICONINFORMATION);
}
