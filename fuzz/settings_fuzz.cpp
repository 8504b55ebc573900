// Fuzz target for the settings load: any bytes as "mirelo.ini" in a scratch working folder
// go through the program's own load (every row of the settings table, the network keys,
// the lists kept in the settings file). Every number lands within its row's range, every
// text is terminated inside its buffer, and the settings written from the result load
// back to the same file.
#include <cstring>
#include <string>

#include "fuzz_scratch.h"
#include "platform/profile_file.h"
#include "platform/setting_row.h"
#include "shell/settings.h"
#include "shell/settings_table.h"

namespace {

std::string WrittenSettings() {
  ProfileFile ini;
  for (const SettingRow& row : SettingRows()) WriteSettingRow(ini, row);
  return ProfileText(ini);
}

}  // namespace

void FuzzOne(const unsigned char* data, size_t size) {
  const std::string path = FreshScratchFolder() + SETTINGS_FILE_NAME;
  ResetAllSettings();
  WriteScratchFile(path, data, size, 0);
  LoadSettings();
  for (const SettingRow& row : SettingRows()) {
    if (row.form == SETTING_TEXT) {
      Require(std::memchr(row.var, 0, static_cast<size_t>(row.count)) != nullptr, "text inside its buffer");
    } else if (row.form == SETTING_INTS) {
      int numbers[SETTING_MAX_NUMBERS];
      for (int i = 0; i < row.count; ++i) numbers[i] = SettingLimitOf(row, i).lo;  // numbers not written
      SettingGetNumbers(row, numbers);
      for (int i = 0; i < row.count; ++i) {
        const SettingLimit& limit = SettingLimitOf(row, i);
        Require(numbers[i] >= limit.lo && numbers[i] <= limit.hi, "number within its range");
      }
    }
  }
  const std::string text = WrittenSettings();
  WriteScratchFile(path, text.data(), text.size(), 0);
  LoadSettings();
  Require(WrittenSettings() == text, "written settings load back the same");
}
