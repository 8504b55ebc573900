// The benefit window: opening from the file, the filters, the kind column, a selected row
// showing its stock, the page button, and closing.
#include "net/ui/yutai_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

#include <cstring>

#include "chart/shown_stock.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "net/net_config.h"
#include "net/yutai_table.h"
#include "platform/codepage.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/report_list_model.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/utf8.h"

namespace {

class YutaiWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    ResetShownStock();
    ClearCommands();
    const int32_t codes[] = {1001, 2914, 7203, 9984};
    for (int32_t c : codes) {
      Fundamental& f = fundamental[LastKabu++];
      f.code = c;
      std::snprintf(f.company, sizeof f.company, "company%d", c);
    }
    MakeCodeOrder();
    ClearYutaiTable(yutai);
    const struct {
      int32_t code;
      const char8_t* months;
      int32_t bunrui;
    } records[] = {{2914, u8"12月", 1 | 16}, {7203, u8"3月・9月", 2}, {9984, u8"11月", 0}};
    Yutai_Last_Num = 0;
    for (const auto& r : records) {
      Yutai& y = yutai[Yutai_Last_Num++];
      y.code = r.code;
      std::snprintf(y.name, sizeof y.name, "company%d", r.code);
      Cp932CopyTruncated(y.kakutei, sizeof y.kakutei, Utf8ToCp932(U8(r.months)));
      y.bunrui = r.bunrui;
    }
    Cp932CopyTruncated(YutaiDateText, sizeof YutaiDateText, Utf8ToCp932(U8(u8"2026年12月1日現在の情報 ")));
    ASSERT_EQ(WriteYutai(), 1);
    ClearYutaiTable(yutai);  // the window reads the file
    Yutai_Last_Num = 0;
    YutaiMonth = YutaiBunruiNum = 0;
    owner = new QWidget;
    RegisterYutaiWindow(owner, {});
  }
  void TearDown() override {
    delete owner;
    ClearCommands();
    YutaiMonth = YutaiBunruiNum = 0;
    ResetShownStock();
    ResetDatabaseState();
  }
  TempDir dir;
  ScriptedHost host;
  QWidget* owner = nullptr;
};

QString Cell(QTableView* v, int row, int col) { return v->model()->index(row, col).data().toString(); }

TEST_F(YutaiWindowTest, ListFiltersAndSelection) {
  ASSERT_TRUE(OnCommand(IDM_YUTAI_LIST));
  YutaiWindow* w = TheYutaiWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(CommandCheckState(IDM_YUTAI_LIST), 1);
  EXPECT_EQ(w->DateText()->text(), u"2026年12月1日現在の情報 "_qs);
  QTableView* list = w->List();
  ASSERT_EQ(list->model()->rowCount(), 3);
  EXPECT_EQ(Cell(list, 0, 0), u"2914"_qs);
  EXPECT_EQ(Cell(list, 0, 3), u"食料品／交通"_qs);
  EXPECT_EQ(Cell(list, 2, 3), u"----"_qs);  // no known kind: listed all the same
  EXPECT_EQ(w->MonthBox()->count(), 13);
  EXPECT_EQ(w->MonthBox()->itemText(3), u" 3月"_qs);
  EXPECT_EQ(w->KindBox()->count(), 17);

  w->MonthBox()->setCurrentIndex(9);  // 9月
  ASSERT_EQ(list->model()->rowCount(), 1);
  EXPECT_EQ(Cell(list, 0, 0), u"7203"_qs);
  w->MonthBox()->setCurrentIndex(1);  // 1月: not inside 11月 or 12月
  EXPECT_EQ(list->model()->rowCount(), 0);
  w->MonthBox()->setCurrentIndex(0);
  w->KindBox()->setCurrentIndex(5);   // 交通・旅行
  ASSERT_EQ(list->model()->rowCount(), 1);
  EXPECT_EQ(YutaiBunruiNum, 5);

  list->selectRow(0);
  EXPECT_EQ(DispNum, Code_to_StockNum(2914));
  w->findChild<QPushButton*>(QString::number(IDC_YUTAI_PAGE))->click();
  ASSERT_EQ(host.urls.size(), 1u);
  EXPECT_EQ(host.urls[0], CurrentNetConfig().stock_info_url + "/stock/2914/yutai");

  w->findChild<QPushButton*>(QString::number(IDCANCEL))->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(TheYutaiWindow(), nullptr);
  EXPECT_EQ(CommandCheckState(IDM_YUTAI_LIST), 0);
  // The filters last for the run.
  ASSERT_TRUE(OnCommand(IDM_YUTAI_LIST));
  EXPECT_EQ(TheYutaiWindow()->KindBox()->currentIndex(), 5);
  EXPECT_EQ(TheYutaiWindow()->List()->model()->rowCount(), 1);
}

TEST_F(YutaiWindowTest, WithoutAFileTheWindowAsksForAnUpdate) {
  std::remove(dir.File(YUTAI_FILE).c_str());
  YutaiDateText[0] = '\0';
  ASSERT_TRUE(OnCommand(IDM_YUTAI_LIST));
  EXPECT_EQ(TheYutaiWindow()->DateText()->text(), u"更新ボタンを押して下さい。"_qs);
  EXPECT_EQ(TheYutaiWindow()->List()->model()->rowCount(), 0);
}

}  // namespace
