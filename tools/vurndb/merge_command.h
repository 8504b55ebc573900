// vurndb merge [--insert] FILE: merges a day file into vurn.hy3 of the folder, as the timed
// download does (no questions; an older day is inserted only with --insert), under the
// update lock, with one line on success and the reason on failure.
#pragma once

#include <string>

// Runs the command with the arguments after "merge"; folder ends in "/". Returns the exit
// code: 0 merged, 2 usage, 3 a file is missing or unreadable, 6 the day file was refused or
// the merge stopped (the database is as before).
int MergeCommand(const std::string& folder, int argc, char** argv);
