// The update from a day file: command 40015 (the user chooses a file) and the merge after
// today's download (the downloaded file). The file is checked and merged inside the
// progress dialog ("DBチェック中", then "DB更新中"), and the end is told in a box (only
// logged in a timed run).
#pragma once

#include <string>

// The filters of the open-file dialog, pairs of caption and patterns separated by "|".
extern const char* const DAY_FILE_FILTERS;

// Merges the day file at path, or the file the user chooses (in the folder "data") when path
// is empty. timed: the timed download runs (no append and gap questions, no boxes).
// Returns 1 when merged.
int UpdateFromDayFile(const std::string& path, bool timed);
