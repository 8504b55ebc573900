// vurndb master LIST [-o FILE] [--force]: a new edition of the stock master file from the
// exchange's list of listed issues (.xls, or the same table saved as CSV). A damaged list is
// refused; --force accepts an older list, or one that delists more than DelistLimit.
#pragma once

#include <string>

// Runs the command with the arguments after "master"; folder ends in "/". Returns the
// exit code.
int MasterCommand(const std::string& folder, int argc, char** argv);
