#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <set>

#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "res/accelerators.h"
#include "res/menus.h"
#include "res/toolbar.h"
#include "shell/main_keys.h"
#include "shell/ui/main_window.h"
#include "support/scripted_host.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"

namespace {

// "text|id" per item, "-" per separator, "text>" for a submenu, as the user sees them.
QStringList Describe(const QMenu* m) {
  QStringList out;
  for (QAction* a : m->actions()) {
    if (a->isSeparator()) out << u"-"_qs;
    else if (a->menu()) out << a->text() + u">"_qs;
    else out << a->text() + u"|"_qs + QString::number(a->data().toInt());
  }
  return out;
}

QMenu* TopMenu(MainWindow& w, int index) { return w.menuBar()->actions().at(index)->menu(); }

TEST(Menus, MenuBarMatchesTheCommandTables) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);  // start-up stops without a database
  ScriptedHost host;
  MainWindow w;
  QStringList tops;
  for (QAction* a : w.menuBar()->actions()) tops << a->text();
  EXPECT_EQ(tops, (QStringList{u"ファイル(&F)"_qs, u"検索(&S)"_qs, u"表示(&V)"_qs, u"お気に入り(&A)"_qs, u"ヘルプ(&H)"_qs}));
  EXPECT_EQ(Describe(TopMenu(w, 0)),
            (QStringList{u"株価をダウンロード(&D)>"_qs, u"過去株価を補充(&S)|40104"_qs, u"-"_qs,
                         u"株価データの削除(&R)|40134"_qs, u"-"_qs,
                         u"各種設定(&C)|40081"_qs, u"-"_qs, u"チャート画面のコピー(&B)>"_qs, u"印刷(&P)|40120"_qs,
                         u"-"_qs, u"終了(&X)|101"_qs}));
  EXPECT_EQ(Describe(TopMenu(w, 1)),
            (QStringList{u"銘柄コード検索(&C)|1002"_qs, u"銘柄名検索(&N)\tCtrl+F|40010"_qs, u"-"_qs,
                         u"株式銘柄スクリーニング(&S)\tCtrl+S|40090"_qs}));
  EXPECT_EQ(w.FindCommandAction(40133), nullptr);  // a regular database: no "build" item
  QStringList view = Describe(TopMenu(w, 2));
  ASSERT_EQ(view.size(), 24);
  EXPECT_EQ(view[6], u"十字カーソル(&Q)|40143"_qs);
  EXPECT_EQ(view[13], u"ボリンジャー・バンド(&B)|40124"_qs);
  EXPECT_EQ(view[23], u"MACD(&M)|40141"_qs);
  EXPECT_EQ(Describe(TopMenu(w, 4)), (QStringList{u"目次(&C)|104"_qs, u"Kivoraのページへ(&W)...|1103"_qs, u"-"_qs,
                                                 u"Kivoraについて(&A)...|103"_qs}));
}

TEST(Menus, BuildItemStaysInTheSampleMode) {
  TempDir dir;
  WriteFixtureTag(3);
  FixtureDatabase sample;
  sample.file = "try.hy3";
  WriteFixtureDatabase(sample);
  ScriptedHost host;  // the sample-mode notice is an OK box
  MainWindow w;
  QAction* build = w.FindCommandAction(40133);
  ASSERT_NE(build, nullptr);
  EXPECT_EQ(build->text(), u"正規のデータベース作成(&M)"_qs);
  // Once the build left the sample mode the item goes at the next refresh of the menus.
  fSampleDB = 0;
  w.RefreshCommandStates();
  EXPECT_EQ(w.FindCommandAction(40133), nullptr);
  ResetDatabaseState();
}

TEST(Menus, ToolBarAndBarPeriodBox) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);  // start-up stops without a database
  ScriptedHost host;
  MainWindow w;
  QStringList tips;
  int separators = 0;
  for (QAction* a : w.ToolBar()->actions()) {
    if (a->isSeparator()) ++separators;
    else if (a->data().toInt()) tips << a->toolTip();
  }
  EXPECT_EQ(separators, 4);
  EXPECT_EQ(tips, (QStringList{u"200戻す"_qs, u"10戻す"_qs, u"１つ戻す"_qs, u"１つ進める"_qs, u"10進める"_qs,
                               u"200進める"_qs, u"お気に入り銘柄の一覧を表示"_qs, u"企業情報を表示"_qs,
                               u"銘柄一覧・ランキングを表示"_qs, u"ローソク足の間隔を狭く"_qs, u"ローソク足の間隔を広く"_qs}));
  QComboBox* box = w.AshiBox();
  ASSERT_EQ(box->count(), 3);
  EXPECT_EQ(box->itemText(2), u"月足"_qs);
  EXPECT_TRUE(box->font().bold());
  EXPECT_EQ(box->font().pixelSize(), 16);
}

TEST(Menus, AcceleratorKeyIsHandledOnceAndCheckMarksFollowState) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);  // start-up stops without a database
  ScriptedHost host;
  MainWindow w;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  static int runs;
  static bool cross;
  runs = 0;
  cross = false;
  RegisterCommand(IDM_ASHI_NEXT, [](int) { ++runs; });
  RegisterCommand(IDM_CROSS_CURSOR, [](int) { cross = !cross; });
  RegisterCommandCheck(IDM_CROSS_CURSOR, [] { return cross; });
  QTest::keyClick(w.windowHandle(), Qt::Key_F12);
  EXPECT_EQ(runs, 1);
  QAction* a = w.FindCommandAction(IDM_CROSS_CURSOR);
  ASSERT_NE(a, nullptr);
  a->trigger();
  EXPECT_TRUE(a->isChecked());
  a->trigger();
  EXPECT_FALSE(a->isChecked());
}

void CollectIds(const MenuItemDef* items, int count, std::set<int>& ids) {
  for (int i = 0; i < count; ++i) {
    if (items[i].submenu) CollectIds(items[i].submenu, items[i].submenu_count, ids);
    else if (items[i].id) ids.insert(items[i].id);
  }
}

// Every command of the menus, the accelerators and the tool bar either does something or
// is on this list, and a listed item is greyed (its key does nothing either), so nothing
// offered does nothing when chosen. When a feature lands, its commands leave the list.
TEST(Menus, CommandsThatWouldDoNothingAreListedAndGreyed) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);
  ScriptedHost host;
  MainWindow w;
  std::set<int> ids;
  CollectIds(MainMenuBar, MainMenuBarCount, ids);
  CollectIds(ChartPopupMenu, ChartPopupMenuCount, ids);
  CollectIds(PrtPopupMenu, PrtPopupMenuCount, ids);
  for (int i = 0; i < VurnAccelCount; ++i) ids.insert(VurnAccel[i].id);
  for (const ToolButtonDef& b : ToolBarButtons)
    if (b.id) ids.insert(b.id);
  std::set<int> dead;
  for (int id : ids)
    if (!CommandEnabled(id)) dead.insert(id);
  EXPECT_EQ(dead, std::set<int>{});
  w.RefreshCommandStates();
  for (QAction* a : w.findChildren<QAction*>()) {
    const int id = a->data().toInt();
    if (id && !a->menu()) EXPECT_EQ(a->isEnabled(), !dead.count(id)) << id;
  }
  int greyed_buttons = 0;
  for (QAction* a : w.ToolBar()->actions())
    if (a->data().toInt() && !a->isEnabled()) ++greyed_buttons;
  EXPECT_EQ(greyed_buttons, 0);
  // The key of a greyed item runs nothing.
  static int runs;
  runs = 0;
  RegisterCommand(40092, [](int) { ++runs; });
  RegisterCommandEnabled(40092, [] { return false; });
  EXPECT_TRUE(MainOnAccelerator('L', true));
  EXPECT_EQ(runs, 0);
}

}  // namespace
