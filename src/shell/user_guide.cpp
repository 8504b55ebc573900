#include "shell/user_guide.h"

#include <filesystem>

#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/host.h"

std::vector<std::string> UserGuideFolders() {
  std::vector<std::string> folders;
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) folders.push_back((exe.parent_path().parent_path() / "share/kivora/help").string());
#ifdef KIVORA_SOURCE_HELP
  folders.push_back(KIVORA_SOURCE_HELP);
#endif
  return folders;
}

std::string FindUserGuide(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    const std::filesystem::path index = std::filesystem::path(folder) / "index.html";
    std::error_code ec;
    if (std::filesystem::is_regular_file(index, ec)) return index.string();
  }
  return {};
}

bool OpenUserGuide(const std::vector<std::string>& folders) {
  const std::string index = FindUserGuide(folders);
  if (!index.empty()) {
    if (HostOpenLocalFile(index)) return true;
    // No browser is set up for local pages: the user can still open the file by hand.
    PRT("ヘルプを開けませんでした: %s\n", index.c_str());
    const std::string text = "ヘルプを表示するブラウザを起動できませんでした。\n次のファイルをブラウザで開いてください:\n" +
                             Utf8ToCp932(index);
    HostMessageBox(text.c_str(), "ヘルプ", MB_OK | MB_ICONWARNING);
    return false;
  }
  // Paths are UTF-8 on disk; boxes take CP932.
  std::string where;
  for (const std::string& folder : folders) where += "\n" + Utf8ToCp932(folder);
  if (folders.empty()) where = "\n(探す場所がありません)";
  const std::string text = "ヘルプ(index.html)が見つかりません。次の場所を探しました:" + where +
                           "\n\nKivora をインストールし直すと、ヘルプも入ります。";
  PRT("ヘルプがありません\n");
  HostMessageBox(text.c_str(), "ヘルプ", MB_OK | MB_ICONWARNING);
  return false;
}
