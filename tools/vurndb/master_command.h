// vurndb master LIST [-o FILE]: a new edition of the stock master file from the exchange's
// list of listed issues (.xls, or the same table saved as CSV).
#pragma once

#include <string>

// Runs the command with the arguments after "master"; folder ends in "/". Returns the
// exit code.
int MasterCommand(const std::string& folder, int argc, char** argv);
