// Settings of the database maintenance.
#pragma once

// Folder of the CSV export (key "CsvOut"), CP932, read whole; empty when never chosen.
extern char CsvOut[256];

void ResetMaintenanceSettings();
