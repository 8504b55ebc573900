// A day file: one trading day's prices of many stocks, as today's download writes it
// ("data/y%s.txt") or as other sources deliver it (PanRolling "s*.txt", broker "d*.txt").
// CP932 text; the first line starts with the date ("yy/mm/dd" or yyyymmdd), every further
// line is one stock: code text, name, open, high, low, close, volume in thousands of shares
// and optionally the split percentage, separated by blanks or tabs.
//
// The whole file is read and checked before anything is merged: a line that cannot be read
// exactly refuses the file with a message naming the line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int DAY_LINE_MAX = 255;                   // bytes of one line, its line feed included
constexpr size_t DAY_FILE_MAX_BYTES = 16u << 20;    // far above a full day of every stock
constexpr int64_t DAY_MICRO = 1000000;              // numbers are kept in millionths

// The folder of the day files under the working folder.
constexpr const char* DAY_FILE_FOLDER = "data";

struct DayLine {
  int line_no = 0;        // 1-based line in the file
  int32_t code = 0;
  std::string name;
  // Prices and volume as written, in millionths (decimals beyond six places dropped): the
  // merge truncates prices to whole units and rounds the volume to whole shares.
  int64_t open = 0, high = 0, low = 0, close = 0;
  int64_t volume = 0;     // thousands of shares, in millionths
  int64_t split = 0;      // percentage, in millionths; 0 for none
};

struct DayFile {
  std::string path;
  int32_t date = 0;       // yyyymmdd
  bool pan = false;       // fPanDataFile: the file's name starts with "s" (PanRolling units)
  std::vector<DayLine> lines;  // in file order, each code once
};

// Reads one line from bytes at *pos: up to and including a line feed, at most DAY_LINE_MAX
// bytes; a carriage return is read as a blank. Returns the bytes read (0 at the end), or -1
// for a line that is longer or holds a NUL byte (*pos is then past it).
int ReadLine(const std::string& bytes, size_t* pos, char line[DAY_LINE_MAX + 1]);

// Parses a day file's bytes. On refusal returns false with the reason (CP932), naming the
// line. `name` is the file's name without its folder (it decides the PanRolling units).
bool ParseDayFile(const std::string& bytes, const std::string& name, DayFile* out, std::string* error);
// Reads and parses the file at path.
bool ReadDayFile(const std::string& path, DayFile* out, std::string* error);

// Civil-date helpers: the day number (days since 1970-01-01) and weekday (0 = Sunday) of a
// yyyymmdd date; false for a date that is not in the calendar (20240231).
bool CivilDay(int32_t date, int64_t* day_number, int* weekday);

// The PanRolling unit corrections of a line for stock number stock_num (trading unit tani).
void ApplyPanScales(DayLine* line, int stock_num, int32_t tani);
