// Printing the chart (40120) and copying it to the clipboard in colour (40137) or in black
// and white (40138): all three work from what the chart window shows, cross-hair included.
#pragma once

class QWidget;

// owner: the main window (its tool windows are closed before printing).
void RegisterChartPictureCommands(QWidget* owner);
