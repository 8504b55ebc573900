// The settings file "mirelo.ini": read once while the main window is created, written once
// when it is destroyed. Every key is a row of the settings table (shell/settings_table.h),
// which the load, the save and the reset run from. Each settings variable is declared by
// the module that uses it (window placements in shell/window_placement.h, chart state in
// chart/chart_settings.h, network in net/net_settings.h and net/download_settings.h, lists
// in lists/screening_settings.h and lists/list_settings.h, the CSV folder in
// db/maintenance_settings.h); the shell's own ones are here.
#pragma once

constexpr const char* SETTINGS_FILE_NAME = "mirelo.ini";

// Version string of the program that last saved the file (first 32 bytes), empty when none.
extern char VersionInfo[33];
// Section "ReplaceTag": carried through unchanged.
extern int ReplaceTagInterval;
extern int ReplaceTagNextDate;
extern int ReplaceTagDoneDate;

// Puts every settings variable of every module back to its default.
void ResetAllSettings();

// Reads every key in file order into the variables (every number brought into its range on
// the way in, with a PRT line naming the key when a value is replaced), applies the main
// window's placement right after reading it, hands the network keys to the transport, then
// loads the user data (falling back to the sections of this file).
void LoadSettings();
// Writes every key back (the main window's placement as the desktop reports it,
// "VersionInfo" as this program's version), keeping every other line of the file, then
// saves the user data.
void SaveSettings();
// Writes the keys of one section only (the rest of the file as it stands), through the same
// safe replace: the download state during a run.
void SaveSettingsSection(const char* section);
