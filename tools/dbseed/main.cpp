// dbseed: builds the price database vurn.hy3 of the working folder from a market-data source
// folder (see folder_source.h): in the version-4 layout of 4096 slots that Kivora grows at its
// next start, or in the current layout when vurn.tag holds more than 4096 stocks.
//   dbseed [--source DIR]              the dialog; DIR defaults to "panrolling" in the
//                                      working folder
//   dbseed --source DIR [--yes] [--skip-bad]
//                                      without a window: --yes answers OK to the questions
//                                      (replacing an existing vurn.hy3 included); without it
//                                      they are answered Cancel. Price files that cannot be
//                                      read whole refuse the run unless --skip-bad, which
//                                      leaves those stocks without prices.
//   dbseed --convert CSVDIR --to DIR   makes a source folder from Kivora's CSV export
// Warnings of the build go to standard error.
// Exit status: 0 done (or declined), 1 failed or stopped (vurn.hy3 as before), 2 usage,
// 3 refused for faulty price files (vurn.hy3 as before).
#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "export_convert.h"
#include "folder_source.h"
#include "platform/codepage.h"
#include "platform/host.h"
#include "platform/qt/qt_translations.h"
#include "platform/working_folder.h"
#include "seed_build.h"
#include "seed_dialog.h"

namespace {

// Boxes on the terminal, answered OK with --yes and Cancel without it.
class ConsoleSeedHost final : public Host {
 public:
  bool yes = false;
  bool skip_bad = false;
  int MessageBox(const char* text, const char* caption, unsigned type) override {
    const bool question = (type & MB_BUTTON_MASK) != MB_OK;
    // Going on without the stocks whose files are faulty takes its own option: --yes alone
    // must not give away prices.
    const bool ok = std::strcmp(caption, SEED_BAD_SOURCE_CAPTION) == 0 ? skip_bad : yes;
    const int answer = !question ? IDOK : ok ? ((type & MB_BUTTON_MASK) == MB_YESNO ? IDYES : IDOK)
                                             : ((type & MB_BUTTON_MASK) == MB_YESNO ? IDNO : IDCANCEL);
    std::fprintf(stderr, "[%s] %s%s\n", Cp932ToUtf8(caption).c_str(), Cp932ToUtf8(text).c_str(),
                 question ? (answer == IDOK || answer == IDYES ? " -> OK" : " -> Cancel") : "");
    return answer;
  }
};

constexpr const char* kUsage =
    "usage: dbseed [--source DIR] [--yes] [--skip-bad]\n"
    "       dbseed --convert CSVDIR --to DIR\n"
    "  --source DIR  build vurn.hy3 of the current folder from the source folder DIR without a\n"
    "                window (without --source: the dialog, DIR defaulting to ./panrolling)\n"
    "  --yes         answer OK to the questions, replacing an existing vurn.hy3 included\n"
    "  --skip-bad    go on when price files cannot be read whole, leaving those stocks\n"
    "                without prices (without it such files refuse the run with exit 3)\n"
    "  --convert CSVDIR --to DIR  make a source folder from the CSV export\n"
    "Exit status: 0 done or declined, 1 failed or stopped, 2 usage, 3 refused for faulty\n"
    "price files; on any failure vurn.hy3 is as it was.\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

void SetWorkingFolder() {
  char cwd[4096];
  if (::getcwd(cwd, sizeof cwd)) SetCurrentDir(cwd);
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit (a full disk) is a failed write, reported, never the end of the process
  // midway with a temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  std::string source_dir, convert_from, convert_to;
  bool yes = false, skip_bad = false, headless = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--source" && i + 1 < argc) {
      source_dir = argv[++i];
      headless = true;
    } else if (a == "--yes") {
      yes = true;
    } else if (a == "--skip-bad") {
      skip_bad = true;
    } else if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--convert" && i + 1 < argc) {
      convert_from = argv[++i];
    } else if (a == "--to" && i + 1 < argc) {
      convert_to = argv[++i];
    } else {
      return Usage();
    }
  }
  SetWorkingFolder();
  if (!convert_from.empty() || !convert_to.empty()) {
    if (convert_from.empty() || convert_to.empty()) return Usage();
    std::string reason;
    const int n = ConvertExportFolder(convert_from, convert_to, &reason);
    if (n < 0) {
      std::fprintf(stderr, "dbseed: %s\n", Cp932ToUtf8(reason).c_str());
      return 1;
    }
    std::printf("%d stocks converted into %s\n", n, convert_to.c_str());
    return 0;
  }

  FolderSource source;
  std::string reason;
  if (headless) {
    ConsoleSeedHost host;
    host.yes = yes;
    host.skip_bad = skip_bad;
    SetHost(&host);
    if (!source.Open(source_dir, &reason)) {
      std::fprintf(stderr, "dbseed: %s\n", Cp932ToUtf8(reason).c_str());
      SetHost(nullptr);
      return 1;
    }
    SeedRun run;
    run.source = &source;
    run.progress = [](int slot, const char* progress, const char*) {
      if ((slot + 1) % 512 == 0) std::fprintf(stderr, "%s\n", progress);
    };
    run.note = [](const char* line) { std::fprintf(stderr, "dbseed: %s\n", Cp932ToUtf8(line).c_str()); };
    const SeedResult result = SeedDatabase(run);
    SetHost(nullptr);
    return result == SeedResult::kStopped ? 1 : result == SeedResult::kRefused ? 3 : 0;
  }

  QApplication app(argc, argv);
  InstallJapaneseTranslations(&app);
  SeedQtHost host;
  SetHost(&host);
  if (source_dir.empty()) source_dir = DataFilePath("panrolling");
  int status = 0;
  if (!source.Open(source_dir, &reason)) {
    std::fprintf(stderr, "dbseed: %s\n", Cp932ToUtf8(reason).c_str());
    HostMessageBox("PanRolling社のDataBaseを先にインストールして下さい。\n\n詳しくはヘルプファイルをご覧下さい。",
                   "初期化に失敗しました", MB_OK | MB_ICONERROR);
  } else {
    SeedDialog dialog(&source);
    host.owner = &dialog;
    dialog.exec();
    status = dialog.exit_status;
  }
  SetHost(nullptr);
  return status;
}
