// Screening: the condition set, its validation, the evaluation of every stock on the
// screening data, the top-N rankings and the hit list.
#pragma once

#include <cstdint>
#include <string>
#include "platform/hooks.h"

#include "lists/screening_settings.h"

constexpr int KENSAKU_MAX = 1000;

// The working condition set: 7 pages of 20 slots, each a choice index (0: no condition).
extern int32_t ScreCond[SCRE_SLOTS];
// The hits of the last run or name search, -1 after the last.
extern int KensakuList[KENSAKU_MAX];

// The highest choice index of a slot (0 for a slot that no page uses).
int ScreSlotMaxChoice(int slot);
// Keeps every slot within its choices (values from the settings file or older versions).
void ClampScreCond(int32_t* cond);
// Keeps the favourites-folder condition (slot 127, folder index + 1) on the same folder
// after folder `folder` is deleted: it is cleared when it named that folder and moves down
// by one when it named a later one; every saved group (ScreGroup) is adjusted the same way.
// Called by the favourites window after a deletion.
void ScreFolderDeleted(int32_t* cond, int folder);

// The value a choice stands for (yen, units, percent, periods, ...), as listed for the
// slot; 0 for index 0 of a slot whose index 0 means "指定なし".
double ScreChoiceValue(int slot, int index);

// The validation lines of the set ("" when it can run).
std::string ValidateScreCond(const int32_t* cond);
// Whether one stock passes every set condition (the stock must have the last trading day).
bool ScreeningPasses(int stock_num, const int32_t* cond);

// Runs ScreCond: validates, fills KensakuList sorted by code and opens the result window.
// Returns the number of hits, or -1 when nothing is listed (reported with a box).
int RunScreening();

// The result window opens through OpenKensakuResult (platform/hooks.h).

// Top-N rankings of ROE (0), dividend yield (1), PER (2), PBR (3): whether the stock is
// among the first n percent. Only stocks with the figure (non-zero) are ranked.
bool ScreeningTopPercent(int which, int stock_num, int percent);
// The moving average of period a of a timeframe as of `shift` bars before the last
// (shift 0 or a ladder period), from the moving-average table. A period the table gives
// (directly or, with a shift, derived) comes unrounded; an interpolated one is truncated.
double ScreMoveAve(int timeframe, int stock_num, int a, int shift);
