// The update from a day file: command 40015 (the user chooses a file) and the merge after
// today's download (the downloaded file). The file is checked and merged inside the
// progress window "UPDATE", and the end is told in a box (only logged in a timed run).
#pragma once

#include <string>

// The filters of the open-file dialog, pairs of caption and patterns separated by "|".
extern const char* const DAY_FILE_FILTERS;

// Merges the day file at path, or the file the user chooses when path is empty. timed: the
// timed download runs (no append and gap questions, no boxes). Returns 1 when merged.
int UpdateFromDayFile(const std::string& path, bool timed);

// The desktop's side, installed by the program's windows (nothing until then: no file is
// chosen and no progress is shown).
struct DayFileUpdateUi {
  // The open-file dialog: initial folder, filters as above; "" when cancelled.
  std::string (*choose_file)(const std::string& folder, const char* filters) = nullptr;
  // The modeless progress window "UPDATE": title, then count (control 1090) and stock (1089).
  void (*open)(const char* title) = nullptr;
  void (*retitle)(const char* title) = nullptr;
  void (*show)(const char* count, const char* stock) = nullptr;
  void (*close)() = nullptr;
};
extern DayFileUpdateUi DayFileUpdateWindows;
