// The price alerts' rules over the table of user_data.h: the check against the latest
// closes, adding with take-profit and stop-loss levels, sorting, deleting, moving, and the
// limits the chart draws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lists/user_data.h"

constexpr int ALARUM_COLUMNS = 5;

// Sets every NowPrice to the stock's latest close and every Flag from the two limits; the
// number of hits (an alert meeting both counts twice). A price of 0 (no trade on the last
// day, or a code no longer in the stock table) fires nothing.
int CheckAlarum();
// The alert of a code, or -1.
int AlarumOfCode(int32_t code);
// base x (100 + percent) / 100, truncated, in 64 bits and kept within int32.
int32_t AlarumLevel(int32_t base, int percent);
// Appends an alert for the stock at the base price with the percentages (both positive:
// take profit above, stop loss below); the setting SonkiriRitu keeps the stop loss as its
// negative. False (with the message) when ALARUM_MAX alerts exist.
bool AppendAlarum(int stock_num, int32_t base, int rigui_percent, int sonkiri_percent);
// The five column texts of an alert (CP932).
std::vector<std::string> AlarumRow(const Alarum& a);
// Table indices of the alerts shown: all, or only those with Flag set.
std::vector<int> ShownAlarums(bool hits_only);
// Removes the records (table indices); the rest keep their order.
void DeleteAlarumRecords(std::vector<int> indices);
// Orders the whole table by a column (0 ... 4) in the sort state (1 or 2); a switched-off
// level counts as 0.
void SortAlarum(int column, int state);
// The chart's levels for a code: bit 1 with *stop_loss set, bit 2 with *take_profit set
// (first alert of the code, active levels only).
int AlarumLimits(int code, int* stop_loss, int* take_profit);
