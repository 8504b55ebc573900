#include "db/maintenance_settings.h"

char CsvOut[256];

void ResetMaintenanceSettings() { CsvOut[0] = '\0'; }
