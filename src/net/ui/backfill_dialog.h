// The dialog "MILLER_DOWNLOAD" (補充可能な株価、および信用残データをダウンロード): the scope
// (shown stock, all stocks, favourites only), the six choices with their guide texts, the
// progress with elapsed and remaining time. It drives the core run of net/backfill.h.
#pragma once

class QWidget;

constexpr int IDC_MILLER_SHOWN = 1201;
constexpr int IDC_MILLER_ALL = 1202;
constexpr int IDC_MILLER_FAVOURITES = 1419;
constexpr int IDC_MILLER_CHOICE = 1351;
constexpr int IDC_MILLER_GUIDE = 1105;
constexpr int IDC_MILLER_PROGRESS = 1035;
constexpr int IDC_MILLER_ELAPSED = 1104;
constexpr int IDC_MILLER_REMAINING = 1055;

// Opens the dialog modally over owner and returns its result.
int ShowBackfillDialog(QWidget* owner);
// Makes command 40104 open the dialog over owner (BackfillDialog).
void InstallBackfillDialog(QWidget* owner);
