#include "db/day_file_update.h"

#include <cstdio>
#include <memory>

#include "db/day_file.h"
#include "db/day_merge.h"
#include "db/price_model.h"
#include "platform/diagnostics.h"
#include "platform/host.h"
#include "platform/progress.h"
#include "platform/working_folder.h"

const char* const DAY_FILE_FILTERS =
    "Kivora1日分ファイル(s*.txt;y*.txt;d*.txt)|s*.txt;y*.txt;d*.txt|PanRollingファイル(s*.txt)|s*.txt|"
    "Yahoo(y*.txt),大和証券(d*.txt)ダウンロードファイル|y*.txt;d*txt|";

namespace {

// The program's side of a merge: the host's progress dialog (its Cancel is honoured while
// stopping still leaves the database as it was) and its boxes.
struct WindowMergeUi final : MergeUi {
  std::unique_ptr<ProgressRun> run;
  void ProgressOpen(const char* title) override { run = std::make_unique<ProgressRun>(title, "", LastKabu); }
  void ProgressTitle(const char* title) override {
    run.reset();
    run = std::make_unique<ProgressRun>(title, "", LastKabu);
  }
  void ProgressStock(int done, int total, const char* count, const char* stock) override {
    if (!run) return;
    char text[160];
    std::snprintf(text, sizeof text, "%s\n%s", count, stock);
    run->SetText(text);
    run->Step(done);
  }
  void ProgressClose() override { run.reset(); }
  bool Cancelled() override { return run && run->Cancelled(); }
};

}  // namespace

int UpdateFromDayFile(const std::string& path, bool timed) {
  std::string file = path;
  if (file.empty()) {
    file = HostChooseOpenFile("ダウンロード済みデータで更新", DataFilePath(DAY_FILE_FOLDER), DAY_FILE_FILTERS);
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
