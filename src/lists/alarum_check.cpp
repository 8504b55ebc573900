#include "lists/alarum_check.h"

void CheckAlarumAfterDownload() {}
