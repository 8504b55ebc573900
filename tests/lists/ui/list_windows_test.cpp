#include "lists/ui/list_windows.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>

#include "chart/shown_stock.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "lists/favourite_add.h"
#include "lists/list_settings.h"
#include "lists/screening_engine.h"
#include "lists/screening_snapshot.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/qt/qt_codepage.h"
#include "platform/qt/report_list_model.h"
#include "shell/main_keys.h"
#include "shell/shell_commands.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/qt/controls.h"

namespace {

QString Cell(QTableView* v, int row, int col) { return v->model()->index(row, col).data().toString(); }

void SelectRows(QTableView* v, std::initializer_list<int> rows) {
  v->clearSelection();
  for (int r : rows)
    v->selectionModel()->select(v->model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

std::vector<int> g_fav_calls;
void RecordFavourite(int code) { g_fav_calls.push_back(code); }

class ListWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    ClearCommands();
    std::memset(pht, 0, sizeof pht);
    std::memset(pht_value, 0, sizeof pht_value);
    LastKabu = 4;
    LastDate = 60;
    nikkei_date[59] = 20261209;
    const char* names[] = {"トヨタ自動車", "ソニーＧ", "任天堂", "ＡＢＣマート"};
    const int closes[] = {550, 500, 525, 510};
    for (int s = 0; s < LastKabu; ++s) {
      fundamental[s].code = 7201 + s;
      fundamental[s].tani = 100;
      fundamental[s].market = 1;
      std::strcpy(fundamental[s].name, names[s]);
      for (int w = 0; w < PHT_DAYS; ++w) pht[s].close[w] = Value_to_Packed(500);
      pht[s].close[49] = Value_to_Packed(closes[s]);
    }
    JuniParameter[0] = JuniParameter[1] = 0;
    JuniParameter[2] = 1;
    JuniParameter[3] = 0;
    RegisterListWindows(nullptr, {});
    AddToFavouritesHook = nullptr;
    g_fav_calls.clear();
    DispNum = 0;
  }
  void TearDown() override {
    if (OpenRankingWindow()) ToggleRankingWindow();
    delete OpenResultList();
    AddToFavouritesHook = nullptr;
    ClearCommands();
    ResetDatabaseState();
  }
};

TEST_F(ListWindows, RankingByCommandWithKeysOrdersAndCopy) {
  ScriptedHost host;
  ASSERT_TRUE(OnCommand(IDM_RANKING));
  RankingWindow* w = OpenRankingWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->objectName(), u"JUNI_LIST"_qs);
  EXPECT_EQ(w->windowTitle(), u"ランキング"_qs);
  EXPECT_EQ(CommandCheckState(IDM_RANKING), 1);
  EXPECT_EQ(Control<QLineEdit>(w, 1091)->text(), u"12/ 9"_qs);
  QTableView* list = Control<QTableView>(w, 1092);
  ASSERT_EQ(list->model()->rowCount(), 4);
  EXPECT_EQ(Cell(list, 0, 0), u"1"_qs);
  EXPECT_EQ(Cell(list, 0, 1), u"   10.00"_qs);
  EXPECT_EQ(Cell(list, 0, 2), u"7201"_qs);
  EXPECT_EQ(Cell(list, 0, 3), u"トヨタ自動車"_qs);
  EXPECT_EQ(Cell(list, 1, 2), u"7203"_qs);

  // "下位" reverses; key 0 forces "---"; another key switches back to "上位".
  QComboBox* order = Control<QComboBox>(w, 1200);
  QComboBox* key = Control<QComboBox>(w, 1199);
  order->setCurrentIndex(1);
  EXPECT_EQ(Cell(list, 0, 2), u"7202"_qs);
  key->setCurrentIndex(0);
  EXPECT_EQ(order->currentText(), u"---"_qs);
  EXPECT_EQ(Cell(list, 0, 0), u"--"_qs);
  EXPECT_EQ(Cell(list, 3, 1), u"----"_qs);
  key->setCurrentIndex(1);
  EXPECT_EQ(order->currentText(), u"上位"_qs);

  // Selecting a row shows its stock.
  SelectRows(list, {1});
  EXPECT_EQ(DispNum, 2);

  Control<QPushButton>(w, 40030)->click();
  EXPECT_EQ(FromCp932(host.clipboard).toStdString(),
            u"1\t   10.00\t7201\tトヨタ自動車\r\n2\t    5.00\t7203\t任天堂\r\n3\t    2.00\t7204\tＡＢＣマート\r\n"
            u"4\t    0.00\t7202\tソニーＧ\r\n"_qs.toStdString());

  // Without the favourites window the button says so.
  host.Answer(IDOK, "お気に入りへ");
  Control<QPushButton>(w, 1042)->click();
  ASSERT_EQ(host.boxes.size(), 1u);
  AddToFavouritesHook = RecordFavourite;
  SelectRows(list, {0, 2});
  Control<QPushButton>(w, 1042)->click();
  EXPECT_EQ(g_fav_calls, std::vector<int>{-1});
  EXPECT_EQ(SelectCode[0], 7201);
  EXPECT_EQ(SelectCode[1], 7204);
  EXPECT_EQ(SelectCode[2], -1);

  // Closing keeps the choices.
  ASSERT_TRUE(OnCommand(IDM_RANKING));
  EXPECT_EQ(OpenRankingWindow(), nullptr);
  EXPECT_EQ(CommandCheckState(IDM_RANKING), 0);
  EXPECT_EQ(JuniParameter[2], 1);
  EXPECT_EQ(JuniParameter[3], 0);
}

TEST_F(ListWindows, ResultListRowsSelectionAndFavourites) {
  ScriptedHost host;
  std::fill(std::begin(KensakuList), std::end(KensakuList), -1);
  KensakuList[0] = 3;
  KensakuList[1] = 1;
  KensakuList[2] = 2;
  ShowResultList();
  ResultListWindow* w = OpenResultList();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->objectName(), u"KENSAKUKEKA_LIST"_qs);
  EXPECT_EQ(Control<QLineEdit>(w, 1102)->text(), u"3"_qs);
  QTableView* list = Control<QTableView>(w, 1101);
  EXPECT_EQ(Cell(list, 0, 0), u"7204"_qs);
  EXPECT_EQ(Cell(list, 0, 1), u"ＡＢＣマート"_qs);
  SelectRows(list, {2});
  EXPECT_EQ(DispNum, 2);
  // Several rows: the codes go to the rows' own slots.
  AddToFavouritesHook = RecordFavourite;
  SelectRows(list, {0, 2});
  Control<QPushButton>(w, 1042)->click();
  EXPECT_EQ(g_fav_calls, std::vector<int>{-1});
  EXPECT_EQ(SelectCode[0], 7204);
  EXPECT_EQ(SelectCode[1], -1);
  EXPECT_EQ(SelectCode[2], 7203);
  SelectRows(list, {1});
  Control<QPushButton>(w, 1042)->click();
  EXPECT_EQ(g_fav_calls.back(), 7202);
  Control<QPushButton>(w, 40030)->click();
  EXPECT_EQ(FromCp932(host.clipboard), u"7204\tＡＢＣマート\r\n7202\tソニーＧ\r\n7203\t任天堂\r\n"_qs);
}

TEST_F(ListWindows, CodeInputClosesAtTheFourthCharacter) {
  ScriptedHost host;
  CodeInputDialog dlg(nullptr, 7);
  EXPECT_EQ(dlg.objectName(), u"CODE_INPUT"_qs);
  QLineEdit* field = Control<QLineEdit>(&dlg, 1002);
  EXPECT_EQ(field->text(), u"7"_qs);
  field->setText(u"720"_qs);
  EXPECT_EQ(dlg.result(), 0);
  field->setText(u"7203"_qs);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(DispNum, 2);

  CodeInputDialog none(nullptr, 0);
  Control<QLineEdit>(&none, 1002)->setText(u"9999"_qs);
  EXPECT_EQ(none.result(), QDialog::Accepted);
  EXPECT_EQ(DispNum, 2);
}

// A digit typed over the chart opens the code search with that digit; the next ones are
// typed after it, as half-width or as full-width characters (the input method on).
TEST_F(ListWindows, CodeSearchByKeysFromTheChart) {
  struct Case {
    const char* what;
    char first;
    QString rest;
    int shown;  // the stock shown afterwards
  };
  const Case cases[] = {
      {"half-width", '7', u"203"_qs, 2},
      {"full-width", '7', u"２０３"_qs, 2},
      {"full-width, a code with a letter", '1', u"Ａ７０"_qs, 3},
  };
  fundamental[3].code = 26600;  // "1A70"
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedHost host;
    DispNum = 0;
    QString left_open;
    QTimer::singleShot(0, [&] {
      QWidget* d = QApplication::activeModalWidget();
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(d->objectName(), u"CODE_INPUT"_qs);
      QLineEdit* field = Control<QLineEdit>(d, 1002);
      EXPECT_EQ(d->focusWidget(), field);
      EXPECT_FALSE(field->hasSelectedText());
      for (QChar ch : c.rest) {
        const auto key = ch.unicode() < 0x80 ? Qt::Key(ch.unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, field, key, QString(ch), Qt::NoModifier);
      }
      // A dialog still open has not found four characters: closed here so that the test goes on.
      if (QApplication::activeModalWidget() == d) {
        left_open = field->text();
        d->close();
      }
    });
    MainOnChar(c.first);
    EXPECT_EQ(left_open, QString());
    EXPECT_EQ(DispNum, c.shown);
  }
}

TEST_F(ListWindows, NameSearchOpensTheResultList) {
  ScriptedHost host;
  NameInputDialog dlg(nullptr);
  EXPECT_EQ(dlg.objectName(), u"NAME_INPUT"_qs);
  QLineEdit* field = Control<QLineEdit>(&dlg, 40010);
  field->setText(u"ﾆﾝﾃﾝﾄﾞｳ"_qs);  // no stock has it
  host.Answer(IDOK, "警告");
  dlg.Search();
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "「 ﾆﾝﾃﾝﾄﾞｳ 」を含む銘柄は存在しません\n");
  EXPECT_TRUE(field->text().isEmpty());
  field->setText(u"abc"_qs);
  host.Answer(IDOK, "警告");
  dlg.Search();
  EXPECT_EQ(OpenResultList(), nullptr);  // "ａｂｃ" is not "ＡＢＣ"
  field->setText(u"ABC"_qs);
  dlg.Search();
  ASSERT_NE(OpenResultList(), nullptr);
  EXPECT_EQ(DispNum, 3);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(ListWindows, KeysAndCommandsOpenTheDialogs) {
  ScriptedHost host;
  static QString seen;
  seen.clear();
  auto close_modal = [] {
    QTimer::singleShot(0, [] {
      if (QWidget* m = QApplication::activeModalWidget()) {
        seen += m->objectName() + u" "_qs;
        m->close();
      }
    });
  };
  close_modal();
  MainOnChar('f');
  close_modal();
  ASSERT_TRUE(OnCommand(IDM_NAME_SEARCH));
  close_modal();
  MainOnChar('5');
  EXPECT_EQ(seen, u"NAME_INPUT NAME_INPUT CODE_INPUT "_qs);
}

}  // namespace
