#include "shell/shell_commands.h"

#include <filesystem>

#include "db/database_file.h"
#include "db/stock_code.h"
#include "platform/hooks.h"
#include "platform/host.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"
#include "shell/user_guide.h"
#include "chart/shown_stock.h"

int nCodeSearch = 0;


bool SelectStockByCode(int code) {
  int n = Code_to_StockNum(code);
  if (n < 0) {
    PRT("お気に入りメニュー選択Err!\n");
    return false;
  }
  return ShowStock(n);
}

namespace {

void OpenHelp(int) { OpenUserGuide(UserGuideFolders()); }

void CodeSearch(int) {
  ++nCodeSearch;
  if (nCodeSearch == 3) {
    HostMessageBox("単に数字を入力すると自動的に銘柄コード検索画面になります。\nお試しください。",
                   "ちょっと便利な機能", MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (OpenCodeInputDialog) OpenCodeInputDialog(0);
}

}  // namespace

void RegisterShellCommands() {
  RegisterCommand(IDM_HELP, OpenHelp);
  RegisterCommand(IDM_WEB_PAGE, [](int) { HostOpenUrl(KIVORA_WEB_PAGE); });
  RegisterCommand(IDM_CODE_SEARCH, CodeSearch);
  // Without the search dialog the command would only count: greyed until it is installed.
  RegisterCommandEnabled(IDM_CODE_SEARCH, [] { return OpenCodeInputDialog != nullptr; });
  RegisterCommand(IDM_PRT_COPY, [](int) { CopyPrtToClipboard(); });
  RegisterCommand(IDM_PRT_FILE, [](int) { TogglePrtFile(); });
  RegisterCommandCheck(IDM_PRT_FILE, [] { return fPrtFile != 0; });
  RegisterCommand(IDM_SELECT_CODE, [](int) { SelectStockByCode(static_cast<int>(CommandParam)); });
  RegisterCommandRange(IDM_SELECT_STOCK_FIRST, IDM_SELECT_STOCK_LAST,
                       [](int id) { SelectStockByCode(id - IDM_SELECT_STOCK_BASE); });
}
