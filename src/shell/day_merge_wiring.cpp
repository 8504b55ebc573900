#include "shell/day_merge_wiring.h"

#include "db/day_file_update.h"
#include "db/day_merge.h"
#include "lists/screening_refresh.h"
#include "platform/hooks.h"
#include "shell/update_command.h"

void RegisterDayMerge() {
  DayFileUpdateFeature = [] { UpdateFromDayFile("", false); };
  RecordMergedHook = RefreshScreeningStock;
  ScreeningStaleHook = MarkScreeningStale;
  MergeFinishedHook = SaveScreeningAfterMerge;
}
