#include "db/database_file.h"

#include "db/price_model.h"

int fSampleDB = 0;

// Placeholder until the database file reader lands: every read fails and empties the record.
int VURN_file_in(int stock_num, int mode) {
  if (mode == 2) {
    Hiashi* h = WorkHiashi();
    *h = Hiashi{};
    h->start = LastDate;
    h->end = LastDate - 1;
  }
  return 0;
}
