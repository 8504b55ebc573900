// The chart view's commands (bar period, spacing, volume share, high/low marks, stock
// stepping) and its share of the main window's keys and wheel.
#pragma once

constexpr int IDM_ASHI_DAILY_KEY = 40115;   // Ctrl+F12: daily bars
constexpr int IDM_VOLUME_SHARE = 40132;     // 出来高欄を大きく
constexpr int IDM_HIGH_LOW_MARK = 40144;    // 高値安値の表示
constexpr int IDM_STEP_BACK_10 = 40022;
constexpr int IDM_STEP_FORWARD_10 = 40023;
constexpr int IDM_STEP_BACK_200 = 40024;
constexpr int IDM_STEP_FORWARD_200 = 40025;

// Registers the commands with the dispatch (the indicator and overlay commands too), the
// high/low check mark, and installs the keyboard scrolling and stock stepping into the
// main window's key and wheel handlers.
void RegisterChartCommands();
