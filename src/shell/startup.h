// The start of the main window (loading in the designed order) and its orderly end.
#pragma once

// Runs the loading steps when the main window is created.
void MainOnCreate();
// The minute tick of timer 3 (60000 ms): the timed-download check.
void MainOnMinuteTimer();

// Runs the orderly end when the main window is destroyed: tool windows, settings, lists.
void MainOnDestroy();
