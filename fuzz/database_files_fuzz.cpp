// Fuzz target for the loaders of the stock master file and the price database: the input's
// first byte chooses the file, the rest is its start; the file is written into a scratch
// working folder (the rest of a full-size file is left as a hole) and loaded as at
// start-up. A refusal is fine; a load must leave the tables within their limits.
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "db/database_file.h"
#include "db/master_file.h"
#include "db/price_model.h"
#include "fuzz_main.h"
#include "platform/working_folder.h"

namespace {

const std::string& ScratchFolder() {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/vurn_fuzz_XXXXXX";
    const char* made = ::mkdtemp(tmpl);
    Require(made != nullptr, "scratch folder");
    SetCurrentDir(made);
    return std::string(made) + "/";
  }();
  return dir;
}

void WriteFile(const std::string& path, const unsigned char* data, size_t size, long long full_size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  Require(fd >= 0, "scratch file");
  Require(::write(fd, data, size) == static_cast<ssize_t>(size), "scratch write");
  if (full_size > static_cast<long long>(size)) Require(::ftruncate(fd, full_size) == 0, "scratch size");
  ::close(fd);
}

}  // namespace

void FuzzOne(const unsigned char* data, size_t size) {
  const std::string& dir = ScratchFolder();
  if (size < 1) return;
  const unsigned char choice = data[0];
  ++data;
  --size;
  LastKabu = 0;
  LastDate = 0;
  if (choice & 1) {
    // The master file, sometimes padded to its full size so that the entries are read.
    WriteFile(dir + TAG_FILE, data, size, (choice & 2) ? TAG_FILE_SIZE : 0);
    LoadTag();
    Require(LastKabu >= 0 && LastKabu <= MAX_KABU, "stock count within the table");
  } else {
    // The database: header, calendar and the first record, sometimes at full size.
    WriteFile(dir + DB_FILE, data, size, (choice & 2) ? DbRecordOffset(MAX_KABU) : 0);
    if (VURN_file_in(0, 0) == 1) {
      Require(LastDate >= 0 && LastDate <= MAX_DATE, "calendar length within the limit");
      if (VURN_file_in(0, 1) == 1)
        for (int d = 1; d < LastDate; ++d) Require(nikkei_date[d - 1] < nikkei_date[d], "ascending calendar");
      VURN_file_in(0, 2);
    }
  }
}
