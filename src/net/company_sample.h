// The sample company-information file "try_fu4.hy3" for the sample stocks: generated
// profile texts and three fiscal years of figures consistent with each stock's valuation
// coefficients, so the company window has something to show before any download.
#pragma once

#include <string>

// Writes folder/try_fu4.hy3 from the stock master file folder/vurn.tag (replaced safely).
// 0, or the errno of the failure (ENOENT when the master file cannot be read).
int WriteSampleCompanyFile(const std::string& folder);
