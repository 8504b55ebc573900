#include "db/day_file_update.h"

#include "db/day_file.h"
#include "db/day_merge.h"
#include "platform/diagnostics.h"
#include "platform/host.h"
#include "platform/working_folder.h"

const char* const DAY_FILE_FILTERS =
    "Kivora1日分ファイル(s*.txt;y*.txt;d*.txt)|s*.txt;y*.txt;d*.txt|PanRollingファイル(s*.txt)|s*.txt|"
    "Yahoo(y*.txt),大和証券(d*.txt)ダウンロードファイル|y*.txt;d*txt|";

DayFileUpdateUi DayFileUpdateWindows;

namespace {

// The program's merge window: the "UPDATE" dialog and the host's boxes; events run between
// stocks.
struct WindowMergeUi final : MergeUi {
  void ProgressOpen(const char* title) override {
    if (DayFileUpdateWindows.open) DayFileUpdateWindows.open(title);
  }
  void ProgressTitle(const char* title) override {
    if (DayFileUpdateWindows.retitle) DayFileUpdateWindows.retitle(title);
  }
  void ProgressStock(const char* count, const char* stock) override {
    if (DayFileUpdateWindows.show) DayFileUpdateWindows.show(count, stock);
    HostPumpEvents();
  }
  void ProgressClose() override {
    if (DayFileUpdateWindows.close) DayFileUpdateWindows.close();
  }
};

}  // namespace

int UpdateFromDayFile(const std::string& path, bool timed) {
  std::string file = path;
  if (file.empty()) {
    if (DayFileUpdateWindows.choose_file)
      file = DayFileUpdateWindows.choose_file(DataFilePath(DAY_FILE_FOLDER), DAY_FILE_FILTERS);
    if (file.empty()) {
      PRT("%s\n", CurrentDir);
      return 0;
    }
  }
  PRT("\n%s\n", file.c_str());
  WindowMergeUi ui;
  ui.timed = timed;
  if (!MergeDayFilePath(file, &ui)) return 0;
  PRT("データの更新完了\n");
  if (!timed) HostMessageBox("データの更新完了", "データベース更新", MB_OK);
  return 1;
}
