// The diagnostic history as text, for tests that check what was written with PRT.
#pragma once

#include <string>
#include <string_view>

// The whole history as one string, lines joined without separators, so that a wrapped line
// is found whole.
std::string PrtJoined();
// The whole history, one line per history line.
std::string PrtHistory();
// True when the history holds the text (CP932), even across a wrapped line.
bool PrtHas(std::string_view text);
