// The local time of the computer, through the host's replaceable clock.
#pragma once

#include <cstdint>

// Fills the local date and time (month 1 to 12, weekday 0 = Sunday) and returns the time
// in seconds since 1970-01-01 (low 32 bits). All outputs are 0 before they are filled.
uint32_t GetNowTime(int* year, int* month, int* day, int* weekday, int* hour, int* minute, int* second);
// Writes the current local time as a diagnostic line.
void PrintNow();
