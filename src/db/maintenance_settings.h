// Settings of the database maintenance (defined with their rows in the settings table).
#pragma once

// Folder of the CSV export (key "CsvOut"), CP932, read whole; empty when never chosen.
extern char CsvOut[256];
