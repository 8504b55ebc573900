// Command identifiers of menus, accelerators, the tool bar and posted commands.
#pragma once

constexpr int IDM_EXIT = 101;              // ファイル: 終了
constexpr int IDM_HELP = 104;
constexpr int IDM_PRT_WINDOW = 109;        // diagnostic window on/off ("p")
constexpr int IDM_PRT_FILE = 40016;        // PRT output to the file "output" on/off
constexpr int IDM_PRT_COPY = 40128;        // the whole diagnostic history to the clipboard
constexpr int IDM_PREV_STOCK = 40020;
constexpr int IDM_NEXT_STOCK = 40021;
constexpr int IDM_ASHI_DAILY = 40042;
constexpr int IDM_ASHI_WEEKLY = 40039;
constexpr int IDM_ASHI_MONTHLY = 40080;
constexpr int IDM_ASHI_NEXT = 40109;
constexpr int IDM_SPACING_WIDER = 40085;
constexpr int IDM_SPACING_NARROWER = 40086;
constexpr int IDM_BUILD_REGULAR_DB = 40133;
constexpr int IDM_CROSS_CURSOR = 40143;
constexpr int IDM_PNTFGR = 40127;           // ポイント＆フィギュア(&W): the window in mode 0
constexpr int IDM_COMPARE = 40136;          // チャートの比較(&H): the window in mode 1
constexpr int IDM_SETTINGS = 40081;         // 各種設定
constexpr int IDM_PRINT = 40120;            // 印刷
constexpr int IDM_COPY_COLOUR = 40137;      // チャート画面のコピー: カラー
constexpr int IDM_COPY_MONO = 40138;        // チャート画面のコピー: 白黒
constexpr int IDM_ABOUT = 103;
constexpr int IDM_CODE_SEARCH = 1002;
constexpr int IDM_NAME_SEARCH = 40010;       // 銘柄名検索 (also the key "f")
constexpr int IDM_RANKING = 40092;           // 銘柄一覧・ランキング, checked while open
constexpr int IDM_SCREENING = 40090;         // 株式銘柄スクリーニング, checked while open
constexpr int IDM_WEB_PAGE = 1103;
// Selects the stock whose code is the command's parameter; every code works, including
// alphanumeric codes above 19999 that the selection range below cannot carry.
constexpr int IDM_SELECT_CODE = 1105;
constexpr int IDM_ASHI_BOX = 1044;
// A key-down posted to the main window (the parameter is the virtual key).
constexpr int IDM_POST_KEY = 1106;
constexpr int IDM_COMPANY_INFO = 40097;      // 企業情報, checked while the window exists
constexpr int IDM_FUN_DETAIL = 40096;        // company window: 詳細情報 (the download dialog)
constexpr int IDM_FUN_HOMEPAGE = 40099;      // company window: ホームページ
constexpr int IDM_FUN_PERFORMANCE = 40113;   // company window: Yahoo!の情報
constexpr int IDM_YUTAI_LIST = 40101;        // 株主優待情報, checked while the window exists
constexpr int IDM_TODAY_DOWNLOAD = 40082;
constexpr int IDM_DAYFILE_UPDATE = 40015;
constexpr int IDM_BACKFILL = 40104;
constexpr int IDM_DELETE_PRICES = 40134;
// The stock-selection range: command 10000 + code selects the stock with that code
// (codes 1 to 19999).
constexpr int IDM_SELECT_STOCK_BASE = 10000;
constexpr int IDM_SELECT_STOCK_FIRST = 10001;
constexpr int IDM_SELECT_STOCK_LAST = 29999;
// The user's lists.
constexpr int IDM_TYUMOKU_ADD = 40087;     // the shown stock to the favourites
constexpr int IDM_TYUMOKU_LIST = 40089;    // favourites window, checked while open
constexpr int IDM_TYUMOKU_IMPORT = 40147;  // the add dialog over the codes in SelectCode
constexpr int IDM_RIREKI_LIST = 40102;     // trade-history window, checked while open
constexpr int IDM_RIREKI_ADD = 40103;      // the shown stock to the trade history
constexpr int IDM_ALARUM_LIST = 40116;     // price-alert window, checked while open
constexpr int IDM_ALARUM_ADD = 1354;       // a new price alert for the shown stock
