// The desktop's side of the update from a day file: the open-file dialog of command 40015
// and the modeless progress window "UPDATE" (controls 1090: count, 1089: stock).
#pragma once

#include <QStringList>

class QWidget;

// Installs the dialogs over owner (the main window); nullptr removes them.
void InstallDayFileUpdateWindows(QWidget* owner);
// Qt's filter list for the day-file filters ("caption|patterns|..." pairs).
QStringList DayFileNameFilters(const char* filters);
