// The stock table, the calendar and the database's state as before any load: in a
// persistent run one input's load must not reach the next.
#pragma once

#include <cstring>

#include "db/database_file.h"
#include "db/master_file.h"
#include "db/price_model.h"
#include "db/record_io.h"

inline void FreshDatabaseState() {
  std::memset(fundamental, 0, sizeof fundamental);
  std::memset(nikkei_date, 0, sizeof nikkei_date);
  LastKabu = 0;
  LastDate = 0;
  DbVersion = 0;
  fSampleDB = 0;
  fCalendarRefused = 0;
  TagDate = 0;
  std::memset(WorkHiashi(), 0, sizeof(Hiashi));
  ResetRecordReports();
}
