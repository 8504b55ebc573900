#include "lists/ui/user_list_windows.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "chart/chart_settings.h"
#include "chart/shown_stock.h"
#include "db/price_model.h"
#include "lists/favourite_add.h"
#include "lists/favourites.h"
#include "lists/price_alerts.h"
#include "lists/stock_search.h"
#include "lists/ui/alarum_window.h"
#include "lists/ui/favourite_window.h"
#include "lists/ui/trade_history_window.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/hooks.h"
#include "platform/qt/dialog_controls.h"
#include "platform/qt/report_list_model.h"
#include "shell/update_command.h"

namespace {

QWidget* g_owner = nullptr;
ListWindowPlacement g_placement;

bool ShownStockValid() { return DispNum >= 0 && DispNum < LastKabu; }

bool WheelThroughFavourites(int steps) {
  if (!WheelFavorite) return false;
  const int s = TyumokuWheelTarget(steps, DispNum);
  if (s >= 0) ShowListStock(s);
  return true;
}

}  // namespace

QWidget* UserListOwner() { return g_owner; }
const ListWindowPlacement& UserListPlacement() { return g_placement; }

void FollowStock(int s) {
  if (s != DispNum) ShowListStock(s);
}

QGridLayout* AddMovableList(QWidget* w, QVBoxLayout* layout, QTableView* list, ReportListModel* model,
                            const QString& field_label, int field_id, std::function<void(int)> move) {
  SetupReportView(list, model);
  layout->addWidget(list, 1);
  layout->addWidget(new QLabel(u"(Ctrl,Shift) + クリックで複数選択して削除可"_qs, w));
  auto* grid = new QGridLayout;
  QPushButton* up = IdButton(w, u"▲"_qs, 1046);
  QPushButton* down = IdButton(w, u"▼"_qs, 1045);
  grid->addWidget(up, 0, 0);
  grid->addWidget(down, 0, 1);
  grid->addWidget(new QLabel(field_label, w), 0, 2);
  grid->addWidget(IdField(w, field_id, true), 0, 3);
  QObject::connect(up, &QPushButton::clicked, w, [move] { move(-1); });
  QObject::connect(down, &QPushButton::clicked, w, [move] { move(1); });
  return grid;
}

void RegisterUserListWindows(QWidget* owner, ListWindowPlacement placement) {
  g_owner = owner;
  g_placement = placement;
  AddToFavouritesHook = RunTyumokuAdd;
  FavoriteWheelHook = WheelThroughFavourites;
  AlarumCheckedHook = AlarumChecked;
  AlarumLimitsHook = AlarumLimits;

  RegisterCommand(IDM_TYUMOKU_LIST, [](int) { ToggleTyumokuWindow(); });
  RegisterCommandCheck(IDM_TYUMOKU_LIST, [] { return OpenTyumokuWindow() != nullptr; });
  RegisterCommand(IDM_TYUMOKU_ADD, [](int) {
    if (ShownStockValid()) AddToFavourites(fundamental[DispNum].code);
  });
  RegisterCommand(IDM_TYUMOKU_IMPORT, [](int) { RunTyumokuAdd(-1); });

  RegisterCommand(IDM_RIREKI_LIST, [](int) { ToggleRirekiWindow(); });
  RegisterCommandCheck(IDM_RIREKI_LIST, [] { return OpenRirekiWindow() != nullptr; });
  RegisterCommand(IDM_RIREKI_ADD, [](int) {
    if (ShownStockValid()) AddRirekiAndRefresh(fundamental[DispNum].code, -1);
  });

  RegisterCommand(IDM_ALARUM_LIST, [](int) { ToggleAlarumWindow(); });
  RegisterCommandCheck(IDM_ALARUM_LIST, [] { return OpenAlarumWindow() != nullptr; });
  RegisterCommand(IDM_ALARUM_ADD, [](int) {
    if (ShownStockValid()) RunAlarumAdd(DispNum, LatestNonZeroClose(DispNum));
  });

  // The price-changing commands close the tool windows first.
  static bool closers = false;
  if (!closers) {
    closers = true;
    RegisterToolWindowCloser(CloseTyumokuWindow);
    RegisterToolWindowCloser(CloseRirekiWindow);
    RegisterToolWindowCloser(CloseAlarumWindow);
  }
}

void UnregisterUserListWindows() {
  CloseTyumokuWindow();
  CloseRirekiWindow();
  CloseAlarumWindow();
  AddToFavouritesHook = nullptr;
  FavoriteWheelHook = nullptr;
  AlarumCheckedHook = nullptr;
  AlarumLimitsHook = nullptr;
  g_owner = nullptr;
}
