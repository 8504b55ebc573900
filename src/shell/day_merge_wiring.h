// Connects the merge of a day to the rest of the program: command 40015 runs the update from
// a day file, and the merge's notifications reach the screening data.
#pragma once

void RegisterDayMerge();
