// The commands that switch the lower-pane indicators and the price overlays, with their
// check marks and the greying of the Bollinger command while the Ichimoku chart is on.
#pragma once

constexpr int IDM_KAKAKUTAI = 40077;      // 価格帯レシオ
constexpr int IDM_ICHIMOKU = 40091;       // 一目均衡表
constexpr int IDM_BOLLINGER = 40124;      // ボリンジャー・バンド
constexpr int IDM_PARABOLIC = 40140;      // パラボリック
constexpr int IDM_VIEW_PSYCHO = 40098;
constexpr int IDM_VIEW_RCI = 40093;
constexpr int IDM_VIEW_RSI = 40094;
constexpr int IDM_VIEW_DMI = 40095;
constexpr int IDM_VIEW_VR = 40107;
constexpr int IDM_VIEW_STOC = 40126;
constexpr int IDM_VIEW_KAIRI = 40106;
constexpr int IDM_VIEW_MACD = 40141;
constexpr int IDM_SHIHYO_NEXT = 40110;    // F11
constexpr int IDM_SHIHYO_PREV = 40111;    // 指標の切り替え
constexpr int IDM_BACK_TO_VOLUME = 40114; // 出来高に戻す

// Registers the commands above with the dispatch, with their check marks.
void RegisterIndicatorCommands();
