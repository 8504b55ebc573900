// The trade history's rules over the table of user_data.h: profit, adding from the chart's
// stock or from a favourite, editing, sorting, deleting, moving and the clipboard text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lists/number_format.h"
#include "lists/user_data.h"

constexpr int RIREKI_COLUMNS = 9;
constexpr size_t RIREKI_CLIP_BYTES = 256000;

// (SellPrice - BuyPrice) x Share - Cost, in 64 bits.
int64_t RirekiProfit(const Rireki& r);
// Computes every Profit and returns their sum (総損益).
int64_t PriceRireki();
// The nine column texts of a record (CP932), its Profit computed afresh.
std::vector<std::string> RirekiRow(Rireki* r);

// Adds the stock with this code: from the window (favourite -1: bought and sold at the last
// close, one trading unit) or from favourite `favourite` (its purchase data and memo). The
// capacity is checked before the question, so a full history never asks. False when the
// code is unknown, the history is full or the user cancelled.
bool AddRireki(int32_t code, int favourite);
// Stores the edited fields of a record (dates cut to 14 bytes, the memo to 199, made one
// line) and computes its Profit.
void CommitRireki(int index, int32_t share, const char* buy_date, int32_t buy_price, const char* sell_date,
                  int32_t sell_price, int32_t cost, const char* memo);
// Removes the records (table indices); the rest keep their order.
void DeleteRirekiRecords(std::vector<int> indices);
// Swaps the record with the one before (direction < 0) or after it; the new index, or -1.
int MoveRireki(int index, int direction);
// Orders the whole history by a column (0 ... 8) in the sort state (1 or 2).
void SortRireki(int column, int state);
// The history as the clipboard holds it.
ClipboardText RirekiCopyText();
