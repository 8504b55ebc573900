#include "platform/hooks.h"

void (*PrtChangedHook)() = nullptr;
void (*PrtWindowClosedHook)() = nullptr;
void (*RecordMergedHook)(int, const Hiashi&) = nullptr;
void (*ScreeningStaleHook)() = nullptr;
void (*MergeFinishedHook)() = nullptr;
void (*CsvDateRangeDialog)() = nullptr;
void (*ChartRepaintHook)() = nullptr;
void (*ChartScrollBarHook)(int, int, int) = nullptr;
void (*AshiBoxSelectHook)(int) = nullptr;
bool (*MainPlacementApply)(const WinPlacement&) = nullptr;
bool (*MainPlacementRead)(WinPlacement&) = nullptr;
void (*TimedDownloadCheckHook)() = nullptr;
bool (*AccessWarningHook)() = nullptr;
void (*OpenCodeInputDialog)(int) = nullptr;
bool (*FavoriteWheelHook)(int) = nullptr;
void (*TodayDownloadFeature)() = nullptr;
void (*DayFileUpdateFeature)() = nullptr;
void (*BackfillFeature)() = nullptr;
void (*DeletionFeature)() = nullptr;
int (*TodayDownloadDialog)() = nullptr;
int (*MergeDayFileHook)(const char*, bool) = nullptr;
void (*AddToFavouritesHook)(int) = nullptr;
void (*OpenKensakuResult)() = nullptr;
