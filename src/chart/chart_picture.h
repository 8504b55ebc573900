// The chart as a picture for printing and for the clipboard: the capture's record in the
// diagnostic window and the reduction to two colours (the background white, everything
// else black) that printing and the black-and-white copy use.
#pragma once

#include "platform/host.h"

// Writes the capture's size to the diagnostic window.
void LogChartCapture(const HostImage& image);
// The most frequent colour (the lowest colour value among equal counts) becomes white and
// every other colour black. Returns the colour taken for the background.
uint32_t ReduceToTwoColours(HostImage* image);
