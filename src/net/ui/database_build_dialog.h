// The dialog "DBMAKE_DOWNLOAD" (株価データベースの作成): asks before building the regular
// database from the web, then shows the build's progress with elapsed and remaining time.
// Cancel before OK closes it with nothing written; during the run it stops the download at
// the next stock. It always ends with 1.
#pragma once

class QWidget;

constexpr int IDC_DBMAKE_TEXT = 1373;
constexpr int IDC_DBMAKE_PROGRESS = 1035;
constexpr int IDC_DBMAKE_ELAPSED = 1104;
constexpr int IDC_DBMAKE_REMAINING = 1055;

// Opens the dialog modally over owner and returns its result.
int ShowDbMakeDialog(QWidget* owner);
// Makes command 40133 open the dialog over owner (DbMakeDialog).
void InstallDbMakeDialog(QWidget* owner);
