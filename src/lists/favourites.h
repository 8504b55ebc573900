// The favourites' rules over the tables of user_data.h: folders, prices and profit, adding,
// moving, sorting, deleting, the clipboard texts, the wheel stepping, the colour bands and
// the "is a favourite" question. The windows (lists/ui/favourite_window.h) are thin over it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lists/number_format.h"
#include "lists/user_data.h"

constexpr int TYUMOKU_LIMIT = 3999;       // an add never goes beyond this many favourites
constexpr int GROUP_CREATE_LIMIT = 99;    // a new folder is refused from this many on
constexpr int32_t ALWAYS_FAVOURITE_CODE = 1001;  // the index counts as a favourite
constexpr int TYUMOKU_COLUMNS = 7;
constexpr size_t TYUMOKU_CLIP_BYTES = 1024000;

// The stock's latest close from its screening window: the last trading day's, or the most
// recent non-zero one before it; 0 without any (or for a stock number out of range).
int32_t LatestNonZeroClose(int stock_num);
// The last trading day as "yyyy/mm/dd" ("" without a calendar).
std::string LastTradingDayText();

// True when the code is 1001 or held in any folder (the back-fill's favourites scope).
bool IsTyumoku(int32_t code);
// The same by stock number.
bool IsTyumokuStock(int stock_num);

// Table indices of a folder's favourites, in table order.
std::vector<int> FolderRecords(int group);
// Value and Profit of one favourite from the latest close (a code no longer in the stock
// table is priced 0).
void PriceTyumoku(Tyumoku* t);
struct FolderTotals {
  int64_t value = 0, profit = 0;
};
// Prices every favourite of the folder and sums Value and Profit.
FolderTotals PriceFolder(int group);
// The seven column texts of a favourite (CP932).
std::vector<std::string> TyumokuRow(const Tyumoku& t);

// The number of codes in SelectCode (slots that are not -1).
int CountSelectCodes();
enum TyumokuAddResult { TYUMOKU_ADDED, TYUMOKU_FULL, TYUMOKU_DUPLICATE };
// The add dialog's OK: appends the SelectCode stocks to folder `group`, the chosen folder
// becoming the current one. single: Price and Share as entered (a stock the folder holds
// already is refused with a warning); otherwise the latest close and the trading unit, and
// stocks the folder holds are skipped. Refused as a whole (message) when the favourites
// would exceed TYUMOKU_LIMIT. *added: records appended.
TyumokuAddResult AddTyumokuFromSelectCode(int group, bool single, int32_t price, int32_t share, const char* date,
                                          int* added);

// Removes the records (table indices, any order); the rest keep their order.
void DeleteTyumokuRecords(std::vector<int> indices);
// Swaps the favourite with the nearest one of its folder before (direction < 0) or after
// it; the new table index, or -1 when it is already first (last).
int MoveTyumokuInFolder(int index, int direction);
// Puts the favourite into another folder (it keeps its table place); false when that
// folder holds the code already.
bool MoveTyumokuToFolder(int index, int target);
// Orders the folder's records by a column (0 code ... 6 date) in the sort state (1 or 2),
// in the table places the folder occupies.
void SortTyumokuFolder(int group, int column, int state);
// Stores edited fields (the date cut to 14 bytes, the memo to 99 and made one line) and
// prices the favourite again.
void CommitTyumoku(int index, int32_t price, int32_t share, const char* date, const char* memo);

// Appends a folder "新しいお気に入りフォルダ n" and makes it current; false when
// GROUP_CREATE_LIMIT folders exist.
bool AddTyumokuFolder();
// Deletes a folder with its favourites; later folders move down one place; false when it
// is the only one.
bool DeleteTyumokuFolder(int group);

// The folder's favourites as the clipboard holds them: code, name, Share, Date, Price,
// Value, Profit.
ClipboardText TyumokuCopyText(int group);
// Reads codes of the stock table from a pasted text (the first column of each line, a
// last line without a line break included) into SelectCode; returns how many.
int CollectPastedCodes(const std::string& text);

// The stock the wheel moves to from the shown stock in the current folder, or -1.
int TyumokuWheelTarget(int steps, int shown_stock);

// Band 0 (profit of 20 % or more) ... 4 (exactly 0) ... 8 (loss of 20 % or more).
int ProfitBand(int64_t profit, int64_t price, int64_t share);
// The band's colour as 0xRRGGBB.
uint32_t ProfitBandRgb(int band);

// The current folder's favourites for the favourites menu: code and name, in table order.
std::vector<std::pair<int32_t, std::string>> TyumokuMenuItems();
// Asks the main window to rebuild its favourites menu (TyumokuMenuHook).
void RebuildTyumokuMenu();
