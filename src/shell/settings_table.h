// The keys of "mirelo.ini", one row each in file order: section, key, the variable named
// after the key, how many numbers it holds, the defaults, the range of each number and what
// a number outside it becomes. The load, the save, the reset to defaults and the settings
// pages all run from these rows.
//
// Each variable is declared in the header of the module that uses it (chart/chart_settings.h,
// db/maintenance_settings.h, lists/list_settings.h, lists/screening_settings.h,
// net/download_settings.h, net/net_settings.h, shell/window_placement.h, shell/settings.h)
// and defined beside its row, so that every program that uses one gets the defaults.
//
// Adding a key: declare its variable in its module's header, define it in
// settings_table.cpp and add its row where it belongs in the file order.
#pragma once

#include <span>

#include "platform/setting_row.h"

// Every row in file order.
std::span<const SettingRow> SettingRows();
// The row of key in section (ASCII case ignored), or nullptr.
const SettingRow* FindSettingRow(const char* section, const char* key);
