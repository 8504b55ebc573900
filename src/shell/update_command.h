// The common steps around the commands that change prices (today's download, the update
// from day files, the back-fill, the deletion): tool windows closed, refused in the sample
// mode, run with fBusy set, then the shown stock reloaded, the bar caches reset, the chart
// repainted and, where asked, scrolled to its newest bar.
#pragma once

using UpdateFeature = void (*)();

// Runs one update command; false when it was refused.
bool RunUpdateCommand(UpdateFeature feature, bool end_key);

// Closes the open tool windows (each tool window registers how it is closed).
void CloseToolWindows();
// Adds a closer; registering the same one again changes nothing.
void RegisterToolWindowCloser(void (*close)());

// Registers the update commands 40082, 40015, 40104 and 40134 and the regular database's
// build 40133 (their dialogs are installed
// by their features through the variables below; until then the common steps run alone).
void RegisterUpdateCommands();
// (TodayDownloadFeature, DayFileUpdateFeature, BackfillFeature, DeletionFeature and
// AccessWarningHook in platform/hooks.h).
// Takes the features and dialogs of the update commands away with the window that installed
// them: a command run afterwards does nothing instead of opening a dialog without an owner or
// fetching unattended.
void UnregisterUpdateFeatures();
