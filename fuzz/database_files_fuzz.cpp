// Fuzz target for the loaders of the stock master file and the price database: the input's
// first byte chooses the file, the rest is its start; the file is written into a scratch
// working folder (the rest of a full-size file is left as a hole) and loaded as at
// start-up. A refusal is fine; a load must leave the tables within their limits. With the
// third bit set the data tool's inspection and check read the file alone (not a padded
// database: the check would read every one of its empty records).
#include <string>

#include "db/database_check.h"
#include "db/database_file.h"
#include "db/master_file.h"
#include "db/price_model.h"
#include "fuzz_scratch.h"

void FuzzOne(const unsigned char* data, size_t size) {
  if (size < 1) return;
  const std::string& dir = FreshScratchFolder();
  ForgetLoadedDatabase();
  const unsigned char choice = data[0];
  ++data;
  --size;
  if (choice & 1) {
    // The master file, sometimes padded to its full size so that the entries are read.
    WriteScratchFile(dir + TAG_FILE, data, size, (choice & 2) ? TAG_FILE_SIZE : 0);
    LoadTag();
    Require(LastKabu >= 0 && LastKabu <= MAX_KABU, "stock count within the table");
  } else {
    // The database: header, calendar and the first record, sometimes at full size.
    WriteScratchFile(dir + DB_FILE, data, size, (choice & 2) ? DbRecordOffset(MAX_KABU) : 0);
    if (VURN_file_in(0, 0) == 1) {
      Require(LastDate >= 0 && LastDate <= MAX_DATE, "calendar length within the limit");
      if (VURN_file_in(0, 1) == 1)
        for (int d = 1; d < LastDate; ++d) Require(nikkei_date[d - 1] < nikkei_date[d], "ascending calendar");
      VURN_file_in(0, 2);
    }
  }
  if ((choice & 4) && ((choice & 1) || !(choice & 2))) {
    // The other file is left out, so that each input reads the same.
    const std::string tag = dir + TAG_FILE, db = dir + DB_FILE;
    ::unlink(((choice & 1) ? db : tag).c_str());
    DbFileInfo info;
    DbInspectError error;
    if (!ReadDbFileInfo(db, tag, &info, &error)) Require(!error.text.empty(), "a refusal names its reason");
    DbCheckResult result;
    if (CheckDbFiles(db, tag, &result, &error))
      Require(result.problem_count >= static_cast<int>(result.problems.size()) &&
                  result.problems.size() <= DB_CHECK_MAX_LINES,
              "problems counted");
  }
}
