#include "chart/shown_stock.h"

int DispNum = 0;
