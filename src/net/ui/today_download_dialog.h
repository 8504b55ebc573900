// The dialog "WEB_DOWNLOAD" (今日の株価をダウンロード): the source, the trading date, the
// progress with elapsed and remaining time, Download and Cancel. It drives the core run of
// net/today_download.h and returns 1 when a day file was written.
#pragma once

class QWidget;

// Control identifiers (each control's objectName is its number).
constexpr int IDC_WEB_SOURCE = 1259;
constexpr int IDC_WEB_DATE = 1036;
constexpr int IDC_WEB_PROGRESS = 1035;
constexpr int IDC_WEB_ELAPSED = 1104;
constexpr int IDC_WEB_REMAINING = 1055;
constexpr int IDC_WEB_EXPLAIN = 1105;

// Opens the dialog modally over owner and returns its result.
int ShowTodayDownloadDialog(QWidget* owner);
// Makes command 40082 open the dialog over owner (TodayDownloadDialog).
void InstallTodayDownloadDialog(QWidget* owner);
