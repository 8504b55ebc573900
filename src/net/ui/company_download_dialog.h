// The dialog "FUN_DOWNLOAD" (企業情報をダウンロード): the scope of the download (the shown
// stock, the stocks still missing, or every stock), Download and Cancel. The run itself is
// net/company_download.h behind the progress dialog.
#pragma once

class QWidget;

constexpr int IDC_FUN_SHOWN = 1201;
constexpr int IDC_FUN_MISSING = 1202;
constexpr int IDC_FUN_ALL = 1203;

// Opens the dialog modally over owner; 1 when a download ran.
int ShowCompanyDownloadDialog(QWidget* owner);
