// One key of the settings file as a row: where it lives (section, key), the variable it
// fills, how many numbers it holds, their defaults and ranges, and what a number outside its
// range becomes. Reading, writing and resetting a key all run from its row, so a key, its
// default and its range are written in one place. A row that holds something other than
// numbers or one text (a window placement record, a list with its own rule) carries
// conversion functions; a row that is not one key (a group of sections) carries its own
// read, write and reset.
#pragma once

#include <climits>
#include <cstddef>
#include <initializer_list>

struct ProfileFile;

// What a number outside its range becomes.
enum SettingRule : unsigned char {
  SETTING_DEFAULT,  // the row's default for that number
  SETTING_CLAMP,    // the nearer end of the range
  SETTING_PERIOD,   // 0 or below: the default; otherwise the nearer end of the range
  SETTING_SWITCH,   // an on/off switch: any number other than 0 reads as 1, without a report
};

struct SettingLimit {
  int lo = INT_MIN;
  int hi = INT_MAX;
  SettingRule rule = SETTING_DEFAULT;
};
// Every int is legal (the value carries no meaning the program could trip over).
inline constexpr SettingLimit ANY_INT = {INT_MIN, INT_MAX, SETTING_DEFAULT};
// 0 off, 1 on.
inline constexpr SettingLimit SWITCH = {0, 1, SETTING_SWITCH};

enum SettingForm : unsigned char {
  SETTING_INTS,    // count decimal integers separated by single blanks
  SETTING_TEXT,    // one text, read into a buffer of count bytes
  SETTING_CUSTOM,  // read, written and reset by the row's own functions
};

enum SettingFlag : unsigned {
  SETTING_NOT_WRITTEN = 1,  // read at start, never written back
  SETTING_NEGATED = 2,      // held in memory as the negative of the number in the file
};

constexpr int SETTING_MAX_NUMBERS = 24;
constexpr int SETTING_MAX_LIMITS = 9;

struct SettingRow;

// Conversions of a row whose variable is not an int array: the numbers as the file holds
// them, and back.
struct SettingConvert {
  void (*get)(const SettingRow& row, int* numbers);
  void (*set)(const SettingRow& row, const int* numbers);
};

// A row that is not one key.
struct SettingCustom {
  void (*read)(const ProfileFile& ini, const SettingRow& row);
  void (*write)(ProfileFile& ini, const SettingRow& row);
  void (*reset)(const SettingRow& row);
};

struct SettingRow {
  const char* section = nullptr;
  const char* key = nullptr;
  SettingForm form = SETTING_INTS;
  void* var = nullptr;  // INTS: int[count] (unless convert is set); TEXT: char[count]
  int count = 1;        // INTS: numbers read; TEXT: bytes of the buffer
  int written = 0;      // INTS: numbers written when it differs from count (0: count)
  int def[SETTING_MAX_NUMBERS] = {};  // INTS: the defaults, in file form
  const char* def_text = "";          // TEXT: the default
  // The range of each number; numbers past the last limit given use the last one.
  SettingLimit limit[SETTING_MAX_LIMITS] = {};
  int nlimit = 1;
  unsigned flags = 0;
  const char* write_text = nullptr;                // TEXT: written in place of the variable
  void (*defaults)(int* def) = nullptr;            // INTS: defaults that follow other settings
  // INTS: a check of the numbers together, after each is in its range; false (after its
  // own diagnostic line) gives every default.
  bool (*valid)(const SettingRow& row, const int* numbers) = nullptr;
  void (*loaded)() = nullptr;                      // runs after the key was read
  void (*saving)() = nullptr;                      // runs before the key is written
  const SettingConvert* convert = nullptr;
  const SettingCustom* custom = nullptr;

  // Builders, so that a table reads one row a line.
  constexpr SettingRow Limits(std::initializer_list<SettingLimit> l) const {
    SettingRow r = *this;
    r.nlimit = 0;
    for (const SettingLimit& x : l) r.limit[r.nlimit++] = x;
    return r;
  }
  constexpr SettingRow Flags(unsigned f) const { SettingRow r = *this; r.flags |= f; return r; }
  constexpr SettingRow Written(int n) const { SettingRow r = *this; r.written = n; return r; }
  constexpr SettingRow DefaultText(const char* t) const { SettingRow r = *this; r.def_text = t; return r; }
  constexpr SettingRow WriteText(const char* t) const { SettingRow r = *this; r.write_text = t; return r; }
  constexpr SettingRow Defaults(void (*f)(int*)) const { SettingRow r = *this; r.defaults = f; return r; }
  constexpr SettingRow Valid(bool (*f)(const SettingRow&, const int*)) const { SettingRow r = *this; r.valid = f; return r; }
  constexpr SettingRow Loaded(void (*f)()) const { SettingRow r = *this; r.loaded = f; return r; }
  constexpr SettingRow Saving(void (*f)()) const { SettingRow r = *this; r.saving = f; return r; }
  constexpr SettingRow Convert(const SettingConvert* c) const { SettingRow r = *this; r.convert = c; return r; }
};

// A key of count numbers held in the int array var, with its defaults (missing ones are 0)
// and one range for every number (more ranges with .Limits).
constexpr SettingRow IntsRow(const char* section, const char* key, int* var, int count,
                             std::initializer_list<int> def, SettingLimit limit) {
  SettingRow r;
  r.section = section;
  r.key = key;
  r.form = SETTING_INTS;
  r.var = var;
  r.count = count;
  int i = 0;
  for (int d : def) r.def[i++] = d;
  r.limit[0] = limit;
  return r;
}
constexpr SettingRow IntRow(const char* section, const char* key, int* var, int def, SettingLimit limit) {
  return IntsRow(section, key, var, 1, {def}, limit);
}
// A text of up to size - 1 bytes (CP932, cut at a character boundary).
constexpr SettingRow TextRow(const char* section, const char* key, char* var, int size, const char* def) {
  SettingRow r;
  r.section = section;
  r.key = key;
  r.form = SETTING_TEXT;
  r.var = var;
  r.count = size;
  r.def_text = def;
  return r;
}
constexpr SettingRow CustomRow(const char* section, const char* key, void* var, const SettingCustom* custom) {
  SettingRow r;
  r.section = section;
  r.key = key;
  r.form = SETTING_CUSTOM;
  r.var = var;
  r.custom = custom;
  return r;
}

// The range of number i of row.
const SettingLimit& SettingLimitOf(const SettingRow& row, int i);
// The defaults of an INTS row in file form (def, or what its defaults function gives).
void SettingDefaults(const SettingRow& row, int* def);
// Brings number i into its range (with a diagnostic line naming the key when it changes,
// except for a switch) and returns it. def is that number's default.
int SettingInRange(const SettingRow& row, int i, int v, int def);
// The diagnostic line of a value that was replaced.
void SettingReplaced(const char* key, int was, int now);

// The numbers of an INTS row as the file holds them (count of them), and back: numbers
// are brought into their ranges before they reach the variable. The settings pages read
// and store through these too.
void SettingGetNumbers(const SettingRow& row, int* numbers);
void SettingSetNumbers(const SettingRow& row, const int* numbers);

// Puts the row's variable back to its default.
void ResetSettingRow(const SettingRow& row);
// Reads the key (a missing key or number leaves the default, a malformed number ends the
// numbers read, every number is checked against its range), then runs `loaded`. Reads
// start from the defaults, so reset the rows in table order first.
void ReadSettingRow(const ProfileFile& ini, const SettingRow& row);
// Runs `saving` and writes the key, unless it is never written.
void WriteSettingRow(ProfileFile& ini, const SettingRow& row);
