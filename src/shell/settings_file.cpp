// LoadSettings, SaveSettings and ResetAllSettings: the rows of the settings table in file
// order.
#include <string>
#include <strings.h>

#include "lists/user_data.h"
#include "net/net_settings.h"
#include "platform/diagnostics.h"
#include "platform/host.h"
#include "platform/profile_file.h"
#include "platform/working_folder.h"
#include "shell/settings.h"
#include "shell/settings_table.h"

void ResetAllSettings() {
  // In table order: a default that follows another setting finds that one reset already.
  for (const SettingRow& row : SettingRows()) ResetSettingRow(row);
}

void LoadSettings() {
  ResetAllSettings();
  const std::string path = DataFilePath(SETTINGS_FILE_NAME);
  ProfileFile ini;
  ProfileLoad(ini, path.c_str());
  if (ini.unreadable)
    HostMessageBox("設定ファイル mirelo.ini を読めません（フォルダであるか、読む権限がないか、大きすぎます）。\n\n"
                   "既定の設定で起動します。このファイルは終了時にも書き換えないので、\n"
                   "今回変えた設定は保存されません。",
                   "設定ファイル", MB_OK | MB_ICONWARNING);
  for (const SettingRow& row : SettingRows()) ReadSettingRow(ini, row);
  ApplyNetSettings();
  if (!LoadVurnIniOrginal()) LoadUserDataFallback(ini);
}

void SaveSettings() {
  const std::string path = DataFilePath(SETTINGS_FILE_NAME);
  PRT("%s\n", path.c_str());
  // The file is read again so that every line this program does not own is kept as it
  // stands now.
  ProfileFile ini;
  ProfileLoad(ini, path.c_str());
  for (const SettingRow& row : SettingRows()) WriteSettingRow(ini, row);
  // An unreadable file was announced at start-up; a failed write is said here.
  if (!ProfileSave(ini, path.c_str()) && !ini.unreadable)
    HostMessageBox("設定ファイル mirelo.ini を書けませんでした。今回変えた設定は保存されていません。", "設定ファイル",
                   MB_OK | MB_ICONWARNING);
  SaveVurnIniOrg();
}

void SaveSettingsSection(const char* section) {
  const std::string path = DataFilePath(SETTINGS_FILE_NAME);
  ProfileFile ini;
  ProfileLoad(ini, path.c_str());
  for (const SettingRow& row : SettingRows())
    if (row.section && strcasecmp(row.section, section) == 0) WriteSettingRow(ini, row);
  ProfileSave(ini, path.c_str());
}
