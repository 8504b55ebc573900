// The dialog "FUN_DOWNLOAD" (企業情報をダウンロード): the scope of the download (the shown
// stock, the stocks still missing, or every stock), the run's progress bar, elapsed and
// remaining times and text line, Download and Cancel (which stops a run before its next
// stock). The run itself is net/company_download.h.
#pragma once

class QWidget;

constexpr int IDC_FUN_SHOWN = 1201;
constexpr int IDC_FUN_MISSING = 1202;
constexpr int IDC_FUN_ALL = 1203;
constexpr int IDC_FUN_PROGRESS = 1035;
constexpr int IDC_FUN_ELAPSED = 1104;
constexpr int IDC_FUN_REMAINING = 1055;
constexpr int IDC_FUN_TEXT = 1105;

// Opens the dialog modally over owner; 1 when a download ran and its records were kept.
int ShowCompanyDownloadDialog(QWidget* owner);
