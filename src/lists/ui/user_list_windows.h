// The windows over the user's lists (favourites, trade history, price alerts): their
// commands, the hooks they install, and what they share.
#pragma once

#include <functional>

#include "lists/ui/list_windows.h"

class QGridLayout;
class QVBoxLayout;

// Placement slots of ListWindowPlacement's `which` for these windows.
constexpr int PLACE_FAVOURITES = 2;
constexpr int PLACE_HISTORY = 3;

// Registers commands 40087, 40089, 40147, 40102, 40103, 40116 and 1354, and installs the
// add-to-favourites operation, the wheel stepping, the alert check's window and the
// chart's alert levels. owner: the main window.
void RegisterUserListWindows(QWidget* owner, ListWindowPlacement placement);
// Closes the windows and removes the hooks (the main window goes away).
void UnregisterUserListWindows();
// What the registration was given.
QWidget* UserListOwner();
const ListWindowPlacement& UserListPlacement();
// Shows a stock in the chart unless it is shown already.
void FollowStock(int stock_num);

// The list part that the price-alert and trade-history windows share: the list (set up over
// its model) with the multi-select hint under it, then a grid whose first row holds "▲"
// (1046) and "▼" (1045), which call move with -1 and 1, and a read-only field with its
// label. Returns the grid for the window's own rows (from row 1 on).
QGridLayout* AddMovableList(QWidget* w, QVBoxLayout* layout, QTableView* list, ReportListModel* model,
                            const QString& field_label, int field_id, std::function<void(int)> move);
