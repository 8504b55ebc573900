#include "platform/setting_row.h"

#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/profile_file.h"

namespace {

int* IntsOf(const SettingRow& row) { return static_cast<int*>(row.var); }

// The negative of v; the range of a negated row keeps INT_MIN out, this keeps it defined.
int Negate(int v) { return v == INT_MIN ? INT_MAX : -v; }

int WrittenCount(const SettingRow& row) { return row.written > 0 ? row.written : row.count; }

}  // namespace

void SettingReplaced(const char* key, int was, int now) {
  PRT("設定 %s の値 %d は使えないので %d にします\n", key, was, now);
}

const SettingLimit& SettingLimitOf(const SettingRow& row, int i) {
  return row.limit[i < row.nlimit ? i : row.nlimit - 1];
}

void SettingDefaults(const SettingRow& row, int* def) {
  for (int i = 0; i < SETTING_MAX_NUMBERS; ++i) def[i] = row.def[i];
  if (row.defaults) row.defaults(def);
}

int SettingInRange(const SettingRow& row, int i, int v, int def) {
  const SettingLimit& l = SettingLimitOf(row, i);
  if (l.rule == SETTING_SWITCH) return v != 0 ? 1 : 0;
  if (v >= l.lo && v <= l.hi) return v;
  int now = def;
  if (l.rule == SETTING_CLAMP || (l.rule == SETTING_PERIOD && v > 0)) now = v < l.lo ? l.lo : l.hi;
  SettingReplaced(row.key, v, now);
  return now;
}

void SettingGetNumbers(const SettingRow& row, int* numbers) {
  if (row.convert) {
    row.convert->get(row, numbers);
    return;
  }
  const int* var = IntsOf(row);
  const int n = WrittenCount(row) > row.count ? row.count : WrittenCount(row);
  for (int i = 0; i < n; ++i) numbers[i] = row.flags & SETTING_NEGATED ? Negate(var[i]) : var[i];
}

void SettingSetNumbers(const SettingRow& row, const int* numbers) {
  int def[SETTING_MAX_NUMBERS];
  SettingDefaults(row, def);
  int v[SETTING_MAX_NUMBERS];
  for (int i = 0; i < row.count; ++i) v[i] = SettingInRange(row, i, numbers[i], def[i]);
  if (row.valid && !row.valid(row, v))
    for (int i = 0; i < row.count; ++i) v[i] = def[i];
  if (row.convert) {
    row.convert->set(row, v);
    return;
  }
  int* var = IntsOf(row);
  for (int i = 0; i < row.count; ++i) var[i] = row.flags & SETTING_NEGATED ? Negate(v[i]) : v[i];
}

void ResetSettingRow(const SettingRow& row) {
  switch (row.form) {
    case SETTING_INTS: {
      int def[SETTING_MAX_NUMBERS];
      SettingDefaults(row, def);
      if (row.convert) {
        row.convert->set(row, def);
        break;
      }
      int* var = IntsOf(row);
      for (int i = 0; i < row.count; ++i) var[i] = row.flags & SETTING_NEGATED ? Negate(def[i]) : def[i];
      break;
    }
    case SETTING_TEXT:
      Cp932CopyTruncated(static_cast<char*>(row.var), static_cast<size_t>(row.count), row.def_text);
      break;
    case SETTING_CUSTOM:
      row.custom->reset(row);
      break;
  }
}

void ReadSettingRow(const ProfileFile& ini, const SettingRow& row) {
  switch (row.form) {
    case SETTING_INTS: {
      int v[SETTING_MAX_NUMBERS];
      SettingDefaults(row, v);
      ProfileGetInts(ini, row.section, row.key, v, row.count);
      SettingSetNumbers(row, v);
      break;
    }
    case SETTING_TEXT: {
      char buf[PROFILE_VALUE_BYTES];
      ProfileGetString(ini, row.section, row.key, row.def_text, buf, sizeof buf);
      Cp932CopyTruncated(static_cast<char*>(row.var), static_cast<size_t>(row.count), buf);
      break;
    }
    case SETTING_CUSTOM:
      row.custom->read(ini, row);
      break;
  }
  if (row.loaded) row.loaded();
}

void WriteSettingRow(ProfileFile& ini, const SettingRow& row) {
  if (row.flags & SETTING_NOT_WRITTEN) return;
  if (row.saving) row.saving();
  switch (row.form) {
    case SETTING_INTS: {
      int v[SETTING_MAX_NUMBERS] = {};
      SettingGetNumbers(row, v);
      ProfileSetInts(ini, row.section, row.key, v, WrittenCount(row));
      break;
    }
    case SETTING_TEXT:
      ProfileSetString(ini, row.section, row.key,
                       row.write_text ? row.write_text : static_cast<const char*>(row.var));
      break;
    case SETTING_CUSTOM:
      row.custom->write(ini, row);
      break;
  }
}
