// The countdown dialog "COUNT_DOWN": 30 seconds before the timed download (mode 1), or the
// rest while the portal's access counter blocks the back-fill (mode 2). Its one-second timer
// drives the core countdown of net/timed_download.h.
#pragma once

class QWidget;

constexpr int IDC_COUNT_DOWN_TEXT = 1434;
constexpr int IDC_COUNT_DOWN_TIME = 1432;

// Opens the dialog modally over owner: 1 when the count ran out, 0 when interrupted.
int ShowCountDownDialog(QWidget* owner, int mode);
// Makes the countdown open this dialog over owner (CountDownDialog).
void InstallCountDownDialog(QWidget* owner);
