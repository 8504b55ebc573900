// One stock's record in and out of a caller's buffer. Batch work over many stocks (the
// start-up upgrade, the day merge, screening) reads and writes through its own buffer with
// these; the work record that the chart paints from is one caller among others
// (VURN_file_in and VURN_file_out mode 2 call them with it).
#pragma once

#include "db/price_model.h"

// Reads record stock_num of vurn.hy3 (try.hy3 in the sample mode) into *buf, opening and
// closing the file. Returns 1 when *buf holds that stock's record (start and end kept
// inside the calendar). Returns 0 when the record cannot be read or is not that stock's
// (its code is not the stock table's, or no code at all): *buf is then the empty record of
// the stock (code, name and flag from the stock table, no prices), DbFailureText() says
// why, and the slot is reported once per run.
int ReadRecord(int stock_num, Hiashi* buf);
// Writes *buf into slot stock_num of vurn.hy3 under the update lock (hold DatabaseLockHold
// around a batch so that no other instance writes between its records). Never grows the
// file. Returns 1, or 0 when it failed (reported; DbFailureText() says why).
int WriteRecord(int stock_num, const Hiashi* buf);

// What ReadRecord found, for a caller that treats a record of another stock apart from a
// failed read (the chart shows both as no data, but only a failed read is an error).
enum class RecordRead { kFailed, kOurs, kNotOurs };
RecordRead ReadRecordChecked(int stock_num, Hiashi* buf);

// The raw bytes of slot stock_num of a database file that the caller holds open, for work
// over every slot of one file (the upgrade): no checks of the contents; bytes beyond the end
// of the file read as zero. Returns 0, or the errno of a failed read.
int ReadSlot(int fd, int stock_num, Hiashi* buf);

// Moves start and end inward past days without a close (a deletion or repair cleared the
// stock's first or last days), clearing those days, so the record keeps a close on every day
// of its range. A record left with no close gets the empty range (start = end + 1).
void TrimRangeToCloses(Hiashi* h);

// Forgets which slots were reported (for tests, and after the stock table is reloaded).
void ResetRecordReports();
