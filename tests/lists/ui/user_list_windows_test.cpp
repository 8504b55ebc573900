// The favourites, trade-history and price-alert windows, driven headless through their
// commands, buttons and the scripted host.
#include "lists/ui/user_list_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "chart/chart_settings.h"
#include "chart/shown_stock.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/alarum_check.h"
#include "lists/favourite_add.h"
#include "lists/favourites.h"
#include "lists/list_settings.h"
#include "lists/screening_snapshot.h"
#include "lists/ui/alarum_window.h"
#include "lists/ui/favourite_window.h"
#include "lists/ui/trade_history_window.h"
#include "lists/user_data.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/hooks.h"
#include "platform/qt/qt_codepage.h"
#include "shell/main_keys.h"
#include "shell/update_command.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/qt/controls.h"

namespace {

QString Cell(QTableView* v, int row, int col) { return v->model()->index(row, col).data().toString(); }
QString Field(QWidget* w, int id) { return Control<QLineEdit>(w, id)->text(); }
void SelectRows(QTableView* v, std::initializer_list<int> rows) {
  v->clearSelection();
  for (int r : rows)
    v->selectionModel()->select(v->model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Runs `act` on the modal dialog that the next call opens.
void OnModal(std::function<void(QWidget*)> act, bool* seen) {
  QTimer::singleShot(0, [act, seen] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    *seen = true;
    act(d);
  });
}

class UserListWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    ResetUserData();
    ClearCommands();
    std::memset(pht, 0, sizeof pht);
    LastKabu = 4;
    LastDate = 60;
    nikkei_date[59] = 20261209;
    const int codes[] = {7201, 7202, 7203, 26600};
    const char* names[] = {"トヨタ自動車", "ソニーＧ", "任天堂", "五桁銘柄"};
    const int closes[] = {550, 500, 525, 1200};
    for (int s = 0; s < LastKabu; ++s) {
      fundamental[s].code = codes[s];
      fundamental[s].tani = 100;
      std::strcpy(fundamental[s].name, names[s]);
      pht[s].open[49] = Value_to_Packed(closes[s] - 10);
      pht[s].high[49] = Value_to_Packed(closes[s] + 20);
      pht[s].low[49] = Value_to_Packed(closes[s] - 20);
      pht[s].close[49] = Value_to_Packed(closes[s]);
    }
    FavoriteBackColor = 1;
    RiguiRitu = 5;
    SonkiriRitu = -5;
    AlarumCheck = 0;
    KidouView = 1;
    RegisterUserListWindows(nullptr, {});
    DispNum = 0;
  }
  void TearDown() override {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete OpenTyumokuWindow();
    delete OpenRirekiWindow();
    delete OpenAlarumWindow();
    AddToFavouritesHook = nullptr;
    FavoriteWheelHook = nullptr;
    AlarumCheckedHook = nullptr;
    AlarumLimitsHook = nullptr;
    ClearCommands();
    ResetUserData();
    ResetDatabaseState();
  }
  static void Fav(int group, int code, int price, int share) {
    Tyumoku& t = tyumoku[Tyumoku_Num++];
    t = Tyumoku{};
    t.Group = group;
    t.Code = code;
    std::snprintf(t.Name, sizeof t.Name, "%s", fundamental[Code_to_StockNum(code)].name);
    t.Price = price;
    t.Share = share;
    std::strcpy(t.Date, "2026/12/01");
  }
};

TEST_F(UserListWindows, FavouritesWindowShowsSortsCopiesAndDeletes) {
  ScriptedHost host;
  Group_Num = 2;
  std::strcpy(GroupName[1], "長期");
  Fav(0, 7201, 500, 1000);  // +50,000: just under 10 % (the divisor has 0.0001 added)
  Fav(1, 7202, 400, 100);
  Fav(0, 7203, 600, 100);   // -7,500: -12.5 %
  ASSERT_TRUE(OnCommand(IDM_TYUMOKU_LIST));
  TyumokuWindow* w = OpenTyumokuWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(CommandCheckState(IDM_TYUMOKU_LIST), 1);
  EXPECT_EQ(w->windowTitle(), u"お気に入り銘柄"_qs);
  QTableView* list = w->List();
  ASSERT_EQ(list->model()->rowCount(), 2);
  EXPECT_EQ(Cell(list, 0, 0), u"7201"_qs);
  EXPECT_EQ(Cell(list, 0, 2), u"500"_qs);
  EXPECT_EQ(Cell(list, 0, 3), u"1,000"_qs);
  EXPECT_EQ(Cell(list, 0, 4), u"550,000"_qs);
  EXPECT_EQ(Cell(list, 0, 5), u"50,000"_qs);
  EXPECT_EQ(Cell(list, 1, 5), u"-7,500"_qs);
  EXPECT_EQ(Field(w, 1095), u"602,500"_qs);
  EXPECT_EQ(Field(w, 1085), u"42,500"_qs);
  EXPECT_EQ(list->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(226, 253, 225));
  EXPECT_EQ(list->model()->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(249, 172, 243));

  // Selecting shows the details and the stock.
  SelectRows(list, {1});
  EXPECT_EQ(DispNum, 2);
  EXPECT_EQ(Control<QLabel>(w, 1237)->text(), u"2026/12/09 の株価"_qs);
  EXPECT_EQ(Field(w, 1076), u"515"_qs);
  EXPECT_EQ(Field(w, 1073), u"525"_qs);
  EXPECT_EQ(Field(w, 1081), u"600"_qs);

  // The memo commits when it loses the focus.
  QLineEdit* memo = Control<QLineEdit>(w, 1094);
  memo->setText(u"押し目"_qs);
  QFocusEvent out(QEvent::FocusOut);
  QApplication::sendEvent(memo, &out);
  EXPECT_STREQ(tyumoku[2].Memo, "押し目");
  Control<QLineEdit>(w, 1081)->setText(u"500"_qs);
  Control<QPushButton>(w, 1039)->click();
  EXPECT_EQ(Cell(list, 1, 5), u"2,500"_qs);

  // Header clicks: the code largest first, then reversed; other folders keep their places.
  list->horizontalHeader()->sectionClicked(0);
  EXPECT_EQ(Cell(list, 0, 0), u"7203"_qs);
  list->horizontalHeader()->sectionClicked(0);
  EXPECT_EQ(Cell(list, 0, 0), u"7201"_qs);
  EXPECT_EQ(tyumoku[1].Code, 7202);

  w->Copy();
  EXPECT_EQ(host.clipboard, "7201\tトヨタ自動車\t1000\t2026/12/01\t500\t550000\t50000\r\n"
                                  "7203\t任天堂\t100\t2026/12/01\t500\t52500\t2500\r\n");

  // The other folder.
  w->Folders()->setCurrentIndex(1);
  w->FolderChosen(1);
  EXPECT_EQ(Group_Select, 1);
  ASSERT_EQ(list->model()->rowCount(), 1);
  EXPECT_EQ(Cell(list, 0, 0), u"7202"_qs);

  // Delete asks, Cancel keeps, OK removes.
  SelectRows(list, {0});
  host.Answer(IDCANCEL, "確認");
  Control<QPushButton>(w, 1043)->click();
  EXPECT_EQ(Tyumoku_Num, 3);
  host.Answer(IDOK, "確認");
  Control<QPushButton>(w, 1043)->click();
  EXPECT_EQ(host.boxes.back().text, "選択された 1 個の銘柄をお気に入りから削除しますか？");
  EXPECT_EQ(Tyumoku_Num, 2);
  EXPECT_EQ(list->model()->rowCount(), 0);

  ASSERT_TRUE(OnCommand(IDM_TYUMOKU_LIST));
  EXPECT_EQ(OpenTyumokuWindow(), nullptr);
  EXPECT_EQ(CommandCheckState(IDM_TYUMOKU_LIST), 0);
}

TEST_F(UserListWindows, AddingTheShownStockAndPastingSeveral) {
  ScriptedHost host;
  DispNum = 3;
  bool seen = false;
  OnModal(
      [](QWidget* d) {
        EXPECT_EQ(d->objectName(), u"TYUMOKU_TUIKA"_qs);
        EXPECT_EQ(Control<QLabel>(d, 1236)->text(), u"五桁銘柄(1A70)をお気に入りに追加します。"_qs);
        EXPECT_EQ(Control<QLineEdit>(d, 1243)->text(), u"1200"_qs);
        EXPECT_EQ(Control<QLineEdit>(d, 1244)->text(), u"100"_qs);
        EXPECT_EQ(Control<QLineEdit>(d, 1245)->text(), u"2026/12/09"_qs);
        Control<QLineEdit>(d, 1243)->setText(u"1100"_qs);
        Control<QPushButton>(d, 1)->click();
      },
      &seen);
  ASSERT_TRUE(OnCommand(IDM_TYUMOKU_ADD));
  ASSERT_TRUE(seen);
  ASSERT_EQ(Tyumoku_Num, 1);
  EXPECT_EQ(tyumoku[0].Code, 26600);
  EXPECT_EQ(tyumoku[0].Price, 1100);

  // A paste of two codes (the second line without a line break) closes the window and
  // adds both through the dialog in multi-selection mode; the one held already is skipped.
  ASSERT_TRUE(OnCommand(IDM_TYUMOKU_LIST));
  host.clipboard = "7201\tトヨタ\r\n1A70";
  seen = false;
  OnModal(
      [](QWidget* d) {
        EXPECT_EQ(Control<QLabel>(d, 1236)->text(), u"選択された 2 銘柄を、全てお気に入りに追加します。"_qs);
        EXPECT_TRUE(Control<QLineEdit>(d, 1243)->text().isEmpty());
        Control<QPushButton>(d, 1)->click();
      },
      &seen);
  OpenTyumokuWindow()->Paste();
  ASSERT_TRUE(seen);
  EXPECT_EQ(OpenTyumokuWindow(), nullptr);
  ASSERT_EQ(Tyumoku_Num, 2);
  EXPECT_EQ(tyumoku[1].Code, 7201);
  EXPECT_EQ(tyumoku[1].Price, 550);

  // The wheel steps through the folder when asked to.
  WheelFavorite = 1;
  DispNum = 0;
  MainOnWheel(120);
  EXPECT_EQ(DispNum, 3);
  WheelFavorite = 0;
}

TEST_F(UserListWindows, MovingAFavouriteToTheHistoryRemovesOnlyThatOne) {
  ScriptedHost host;
  Fav(0, 7201, 500, 1000);
  Fav(0, 7202, 400, 100);
  ASSERT_TRUE(OnCommand(IDM_RIREKI_LIST));
  ASSERT_TRUE(OnCommand(IDM_TYUMOKU_LIST));
  TyumokuWindow* w = OpenTyumokuWindow();
  SelectRows(w->List(), {0, 1});
  host.Answer(IDOK, "確認");  // add to the history
  host.Answer(IDOK, "確認");  // delete from the favourites
  Control<QPushButton>(w, 1044)->click();
  EXPECT_EQ(host.boxes[0].text, "トヨタ自動車(7201)を「取引履歴」に追加しますか？");
  EXPECT_EQ(host.boxes[1].text, "選択された 1 個の銘柄をお気に入りから削除しますか？");
  ASSERT_EQ(Tyumoku_Num, 1);
  EXPECT_EQ(tyumoku[0].Code, 7202);
  ASSERT_EQ(Rireki_Num, 1);
  EXPECT_EQ(rireki[0].BuyPrice, 500);
  EXPECT_EQ(rireki[0].SellPrice, 550);

  // The history window shows it; cancelling the second question keeps both.
  RirekiWindow* h = OpenRirekiWindow();
  ASSERT_EQ(h->List()->model()->rowCount(), 1);
  EXPECT_EQ(Cell(h->List(), 0, 8), u"50,000"_qs);
  EXPECT_EQ(Field(h, 1255), u"50,000"_qs);
  SelectRows(w->List(), {0});
  host.Answer(IDOK, "確認");
  host.Answer(IDCANCEL, "確認");
  Control<QPushButton>(w, 1044)->click();
  EXPECT_EQ(Tyumoku_Num, 1);
  EXPECT_EQ(Rireki_Num, 2);

  // Editing a record: costs commit on focus loss; 総損益 covers all records.
  SelectRows(h->List(), {0});
  EXPECT_FALSE(Field(h, 1251).isEmpty());
  QLineEdit* cost = Control<QLineEdit>(h, 1088);
  cost->setText(u"55000"_qs);
  QFocusEvent out(QEvent::FocusOut);
  QApplication::sendEvent(cost, &out);
  EXPECT_EQ(Cell(h->List(), 0, 8), u"-5,000"_qs);
  EXPECT_EQ(Field(h, 1255), u"5,000"_qs);  // -5,000 + 10,000
  // ▼ then delete both.
  Control<QPushButton>(h, 1045)->click();
  EXPECT_EQ(rireki[1].Cost, 55000);
  h->List()->selectAll();
  host.Answer(IDOK, "確認");
  Control<QPushButton>(h, 1043)->click();
  EXPECT_EQ(host.boxes.back().text, "2銘柄を「取引履歴」から削除しますか？");
  EXPECT_EQ(Rireki_Num, 0);

  // The add button: the chart's stock.
  DispNum = 2;
  host.Answer(IDOK, "確認");
  Control<QPushButton>(h, IDM_RIREKI_ADD)->click();
  ASSERT_EQ(h->List()->model()->rowCount(), 1);
  EXPECT_EQ(Cell(h->List(), 0, 4), u"525"_qs);
}

TEST_F(UserListWindows, AlertHitOpensTheFilteredWindow) {
  ScriptedHost host;
  Alarum_Num = 3;
  alarum[0] = Alarum{0, 7201, "トヨタ自動車", 0, 1, 500, 1, 600};  // no hit at 550
  alarum[1] = Alarum{0, 7202, "ソニーＧ", 0, 1, 500, 1, 600};      // stop loss at 500
  alarum[2] = Alarum{0, 7203, "任天堂", 0, 0, 0, 1, 520};          // take profit at 525
  CheckAlarumAfterDownload();
  AlarumWindow* w = OpenAlarumWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->HitsOnly()->isChecked());
  QTableView* list = w->List();
  ASSERT_EQ(list->model()->rowCount(), 2);
  EXPECT_EQ(Cell(list, 0, 0), u"7202"_qs);
  EXPECT_EQ(Cell(list, 1, 4), u"---"_qs);
  EXPECT_EQ(Cell(list, 1, 3), u"520"_qs);
  // ▲ on the first shown row does nothing although an unshown alert lies before it.
  SelectRows(list, {0});
  Control<QPushButton>(w, 1046)->click();
  EXPECT_EQ(alarum[0].Code, 7201);
  // ▼ swaps with the next shown alert.
  Control<QPushButton>(w, 1045)->click();
  EXPECT_EQ(alarum[1].Code, 7203);
  EXPECT_EQ(alarum[2].Code, 7202);
  // Editing a level and committing checks again.
  SelectRows(list, {1});
  EXPECT_EQ(Field(w, 1355), u"500"_qs);
  Control<QLineEdit>(w, 1361)->setText(u"450"_qs);
  Control<QPushButton>(w, 1039)->click();
  EXPECT_EQ(alarum[2].Flag, 0);
  EXPECT_EQ(list->model()->rowCount(), 1);
  // All alerts again.
  w->HitsOnly()->click();
  EXPECT_EQ(list->model()->rowCount(), 3);
  ASSERT_TRUE(OnCommand(IDM_ALARUM_LIST));
  EXPECT_EQ(AlarumCheck, 0);

  // Without a hit the window stays closed.
  alarum[1].Check2 = 0;
  CheckAlarumAfterDownload();
  EXPECT_EQ(OpenAlarumWindow(), nullptr);
  // At start-up only when asked for.
  alarum[1].Check2 = 1;
  alarum[1].Price2 = 100;
  KidouView = 0;
  CheckAlarumAtStartup();
  EXPECT_EQ(OpenAlarumWindow(), nullptr);
  KidouView = 1;
  CheckAlarumAtStartup();
  EXPECT_NE(OpenAlarumWindow(), nullptr);
}

TEST_F(UserListWindows, NewAlertFromTheChartMenu) {
  ScriptedHost host;
  DispNum = 0;
  bool seen = false;
  OnModal(
      [](QWidget* d) {
        EXPECT_EQ(d->objectName(), u"ALARUM_TUIKA"_qs);
        EXPECT_EQ(Control<QLabel>(d, 1236)->text(), u"トヨタ自動車(7201)を「株価お知らせ」に追加します。"_qs);
        EXPECT_EQ(Control<QLineEdit>(d, 1199)->text(), u"550"_qs);
        EXPECT_EQ(Control<QLineEdit>(d, 1197)->text(), u"5"_qs);
        EXPECT_EQ(Control<QLineEdit>(d, 1198)->text(), u"5"_qs);  // shown positive
        Control<QLineEdit>(d, 1199)->setText(u"1000"_qs);
        Control<QLineEdit>(d, 1198)->setText(u"10"_qs);
        Control<QPushButton>(d, 1)->click();
      },
      &seen);
  ASSERT_TRUE(OnCommand(IDM_ALARUM_ADD));
  ASSERT_TRUE(seen);
  ASSERT_EQ(Alarum_Num, 1);
  EXPECT_EQ(alarum[0].Price1, 900);
  EXPECT_EQ(alarum[0].Price2, 1050);
  EXPECT_EQ(SonkiriRitu, -10);
  int sl = 0, tp = 0;
  ASSERT_TRUE(AlarumLimitsHook);
  EXPECT_EQ(AlarumLimitsHook(7201, &sl, &tp), 3);
  EXPECT_EQ(sl, 900);
  // A second alert for the stock is refused before the dialog.
  host.Answer(IDOK, "重複登録");
  ASSERT_TRUE(OnCommand(IDM_ALARUM_ADD));
  EXPECT_EQ(host.boxes.back().text, "既に登録済みです。");
  EXPECT_EQ(Alarum_Num, 1);
}

// The timed download closes the list windows when its minute comes, also while one of them
// waits on its own question box or dialog. The window goes once the user has answered, and
// the answer takes effect.
TEST_F(UserListWindows, ClosedByTheTimedDownloadWhileAQuestionOrDialogWaits) {
  struct Case {
    const char* what;
    int open;                                // the window's command
    int button;                              // pressed in the window
    const char* dialog;                      // the dialog it opens, or nullptr for boxes alone
    std::function<void(QWidget*)> in_dialog; // what the user does there
    std::vector<std::pair<int, const char*>> answers;  // the boxes' answers and captions
    std::function<void()> check;
  };
  auto click = [](int id) { return [id](QWidget* d) { Control<QPushButton>(d, id)->click(); }; };
  const Case cases[] = {
      {"favourites: delete", IDM_TYUMOKU_LIST, 1043, nullptr, nullptr, {{IDOK, "確認"}},
       [] { EXPECT_EQ(Tyumoku_Num, 1); }},
      {"favourites: to another folder", IDM_TYUMOKU_LIST, 1041, "TYUMOKU_HENKO",
       [](QWidget* d) {
         d->findChild<QComboBox*>(u"1246"_qs)->setCurrentIndex(1);
         Control<QPushButton>(d, 1)->click();
       },
       {}, [] { EXPECT_EQ(tyumoku[0].Group, 1); }},
      {"favourites: to the history", IDM_TYUMOKU_LIST, 1044, nullptr, nullptr, {{IDOK, "確認"}, {IDOK, "確認"}},
       [] {
         EXPECT_EQ(Rireki_Num, 2);
         EXPECT_EQ(Tyumoku_Num, 1);
       }},
      {"favourites: to the alerts", IDM_TYUMOKU_LIST, 1047, "ALARUM_TUIKA", click(1), {},
       [] { EXPECT_EQ(Alarum_Num, 2); }},
      {"favourites: folders, renamed", IDM_TYUMOKU_LIST, 1042, "TYUMOKU_GROUP",
       [](QWidget* d) {
         Control<QLineEdit>(d, 1100)->setText(u"短期"_qs);
         Control<QPushButton>(d, 1)->click();
       },
       {}, [] { EXPECT_STREQ(GroupName[0], "短期"); }},
      {"favourites: folders, one deleted", IDM_TYUMOKU_LIST, 1042, "TYUMOKU_GROUP", click(1043),
       {{IDOK, "お気に入りフォルダの削除"}}, [] { EXPECT_EQ(Group_Num, 1); }},
      {"history: delete", IDM_RIREKI_LIST, 1043, nullptr, nullptr, {{IDOK, "確認"}},
       [] { EXPECT_EQ(Rireki_Num, 0); }},
      {"history: the shown stock added", IDM_RIREKI_LIST, IDM_RIREKI_ADD, nullptr, nullptr, {{IDOK, "確認"}},
       [] { EXPECT_EQ(Rireki_Num, 2); }},
      {"alerts: delete", IDM_ALARUM_LIST, 1043, nullptr, nullptr, {{IDOK, "確認"}},
       [] { EXPECT_EQ(Alarum_Num, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetUserData();
    Group_Num = 2;
    std::strcpy(GroupName[1], "長期");
    Fav(0, 7201, 500, 1000);
    Fav(0, 7202, 400, 100);
    rireki[0] = Rireki{};
    rireki[0].Code = 7203;
    std::strcpy(rireki[0].Name, "任天堂");
    Rireki_Num = 1;
    alarum[0] = Alarum{0, 7203, "任天堂", 0, 1, 500, 1, 600};
    Alarum_Num = 1;
    DispNum = 1;
    ScriptedHost host;
    for (const auto& [answer, caption] : c.answers) host.Answer(answer, caption);
    int closings = 0;
    host.on_box = [&](const ShownBox&) {
      if (closings++ == 0) CloseToolWindows();
    };
    ASSERT_TRUE(OnCommand(c.open));
    QPointer<QWidget> w = c.open == IDM_TYUMOKU_LIST   ? static_cast<QWidget*>(OpenTyumokuWindow())
                          : c.open == IDM_RIREKI_LIST ? static_cast<QWidget*>(OpenRirekiWindow())
                                                      : static_cast<QWidget*>(OpenAlarumWindow());
    ASSERT_NE(w, nullptr);
    SelectRows(w->findChild<QTableView*>(), {0});
    bool seen = false;
    if (c.dialog)
      QTimer::singleShot(0, [&] {
        QWidget* d = QApplication::activeModalWidget();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->objectName(), QString::fromLatin1(c.dialog));
        seen = true;
        if (closings++ == 0) CloseToolWindows();
        c.in_dialog(d);
      });
    Control<QPushButton>(w, c.button)->click();
    EXPECT_EQ(seen, c.dialog != nullptr);
    EXPECT_GE(closings, 1);
    c.check();
    EXPECT_EQ(OpenTyumokuWindow(), nullptr);
    EXPECT_EQ(OpenRirekiWindow(), nullptr);
    EXPECT_EQ(OpenAlarumWindow(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
  }
}

}  // namespace

