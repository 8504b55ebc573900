#include "res/menus.h"

#define SEPARATOR {nullptr, 0, nullptr, 0}
#define ITEM(text, id) {text, id, nullptr, 0}
#define SUBMENU(text, items) {text, 0, items, static_cast<int>(sizeof(items) / sizeof(items[0]))}

namespace {

const MenuItemDef kDownload[] = {
    ITEM("今日の株価をダウンロード(&A)", 40082),
    ITEM("ダウンロード済みデータで更新(&M)", 40015),
};
const MenuItemDef kChartCopy[] = {
    ITEM("カラー(&C)\tCtrl+C", 40137),
    ITEM("白黒(&M)\tCtrl+M", 40138),
};
const MenuItemDef kFile[] = {
    SUBMENU("株価をダウンロード(&D)", kDownload),
    ITEM("過去株価を補充(&S)", 40104),
    SEPARATOR,
    ITEM("株価データの削除(&R)", 40134),
    ITEM("正規のデータベース作成(&M)", 40133),
    SEPARATOR,
    ITEM("各種設定(&C)", 40081),
    SEPARATOR,
    SUBMENU("チャート画面のコピー(&B)", kChartCopy),
    ITEM("印刷(&P)", 40120),
    SEPARATOR,
    ITEM("終了(&X)", 101),
};
const MenuItemDef kSearch[] = {
    ITEM("銘柄コード検索(&C)", 1002),
    ITEM("銘柄名検索(&N)\tCtrl+F", 40010),
    SEPARATOR,
    ITEM("株式銘柄スクリーニング(&S)\tCtrl+S", 40090),
};

// The overlays and indicators, shared by the view menu and the chart menu.
#define OVERLAY_ITEMS                                                                       \
  ITEM("価格帯レシオ(&R)", 40077), ITEM("一目均衡表(&I)", 40091), ITEM("ボリンジャー・バンド(&B)", 40124), \
      ITEM("パラボリック(&G)", 40140)
#define INDICATOR_ITEMS                                                                         \
  ITEM("サイコロジカル(&P)", 40098), ITEM("RCI(順位相対係数)(&C)", 40093), ITEM("RSI(相対力指数)(&S)", 40094), \
      ITEM("DMI(トレンドの強弱)(&D)", 40095), ITEM("ボリュームレシオ(&V)", 40107),                     \
      ITEM("ストキャスティクス(&T)", 40126), ITEM("乖離率(&Z)", 40106), ITEM("MACD(&M)", 40141)

const MenuItemDef kView[] = {
    ITEM("企業情報(&K)\tCtrl+K", 40097),
    ITEM("銘柄一覧・ランキング(&L)\tCtrl+L", 40092),
    ITEM("株主優待情報(&Y)", 40101),
    ITEM("取引履歴(&H)", 40102),
    ITEM("株価お知らせ(&O)", 40116),
    ITEM("4本値の表示(&E)", 40105),
    ITEM("十字カーソル(&Q)", 40143),
    SEPARATOR,
    ITEM("チャートの比較(&H)", 40136),
    ITEM("ポイント＆フィギュア(&W)", 40127),
    SEPARATOR,
    OVERLAY_ITEMS,
    SEPARATOR,
    INDICATOR_ITEMS,
};
const MenuItemDef kFavorites[] = {
    ITEM("お気に入りに追加(&A)", 40087),
    ITEM("お気に入りの一覧(&I)\tCtrl+I", 40089),
    SEPARATOR,
};
const MenuItemDef kHelp[] = {
    ITEM("目次(&C)", 104),
    ITEM("Kivoraのページへ(&W)...", 1103),
    SEPARATOR,
    ITEM("Kivoraについて(&A)...", 103),
};

const MenuItemDef kCandles[] = {
    ITEM("日足(&D)\tCtrl+F12", 40042),
    ITEM("週足(&W)", 40039),
    ITEM("月足(&M)", 40080),
    SEPARATOR,
    ITEM("日足の切り替え(&C)\tF12 or Shift", 40109),
    ITEM("指標の切り替え(&S)\tF11", 40111),
    SEPARATOR,
    ITEM("間隔を広く(&B)\tF10", 40085),
    ITEM("間隔を狭く(&S)\tF9", 40086),
    SEPARATOR,
    ITEM("出来高欄を大きく(&H)\tF8", 40132),
    ITEM("高値安値の表示(&M)\tF7", 40144),
    SEPARATOR,
    ITEM("出来高に戻す(&R)\tCtrl+F11", 40114),
};
const MenuItemDef kChartPopup[] = {
    SUBMENU("ローソク足(&L)", kCandles),
    ITEM("十字カーソル(&Q)", 40143),
    ITEM("チャートの比較(&H)", 40136),
    ITEM("ポイント＆フィギュア(&W)", 40127),
    SEPARATOR,
    OVERLAY_ITEMS,
    SEPARATOR,
    INDICATOR_ITEMS,
    SEPARATOR,
    ITEM("株価お知らせに追加(&O)", 1354),
    SEPARATOR,
    ITEM("お気に入りに追加(&A)", 40087),
};

}  // namespace

const MenuItemDef MainMenuBar[] = {
    SUBMENU("ファイル(&F)", kFile),   SUBMENU("検索(&S)", kSearch),   SUBMENU("表示(&V)", kView),
    SUBMENU("お気に入り(&A)", kFavorites), SUBMENU("ヘルプ(&H)", kHelp),
};
const int MainMenuBarCount = sizeof(MainMenuBar) / sizeof(MainMenuBar[0]);

const MenuItemDef ChartPopupMenu[] = {SUBMENU("VURNPOPUP", kChartPopup)};
const int ChartPopupMenuCount = 1;

const MenuItemDef kCrossPopup[] = {
    ITEM("十字カーソルを消去(&Q)", 40143),
};
const MenuItemDef CrossPopupMenu[] = {SUBMENU("CROSS_POPUP", kCrossPopup)};
const int CrossPopupMenuCount = 1;

const MenuItemDef PrtPopupMenu[] = {
    ITEM("全部クリップボードへコピー(&C)", 40128),
    SEPARATOR,
    ITEM("PRTをファイル出力(&O)", 40016),
};
const int PrtPopupMenuCount = sizeof(PrtPopupMenu) / sizeof(PrtPopupMenu[0]);
