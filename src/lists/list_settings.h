// Settings of the list windows: the ranking choices, the price-alert defaults and the
// colouring of the favourites and trade-history rows. Their defaults and ranges are rows of
// the settings table (shell/settings_table.cpp), which defines them.
#pragma once

// Ranking choices (section "Ranking", key "Parameter"): market 0-18, industry 0-33,
// key 0-11, order 0-2.
extern int JuniParameter[4];
inline constexpr int JUNI_PARAMETER_MAX[4] = {18, 33, 11, 2};

// Price alerts (section "Alarum"): the take-profit percentage proposed for a new alert and
// the stop-loss percentage, held here as its negative (the file holds it positive); the
// alert window's "反応した銘柄のみを表示" and "起動時に表示" choices.
extern int RiguiRitu;
extern int SonkiriRitu;
// The percentages the file may hold: a take-profit up to ten times the base price, a
// stop-loss of at most the whole price.
constexpr int RIGUI_RITU_MAX = 1000;
constexpr int SONKIRI_RITU_MAX = 100;
extern int AlarumCheck;
extern int KidouView;

// Colour the favourites and trade-history rows by profit (section "Color").
extern int FavoriteBackColor;
