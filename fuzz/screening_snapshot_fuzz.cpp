// Fuzz target for the screening snapshot loader ("vurn_tmp.hy1"): the input's first bytes
// are a condition set, the rest the windows, valuation figures and moving averages of three
// stocks in a file that is otherwise current (version, last day, sample flag; the rest a
// hole). The load keeps every window within its positions, and the screening then runs
// over what was loaded as it would after a start.
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "db/database_file.h"
#include "db/price_model.h"
#include "fuzz_scratch.h"
#include "lists/screening_engine.h"
#include "lists/screening_snapshot.h"

namespace {

constexpr int STOCKS = 3;
constexpr int32_t CODES[STOCKS] = {7203, 6758, 1319};

// Copies up to size bytes of the input to the file at offset; returns the bytes used.
size_t Put(int fd, int64_t offset, const unsigned char*& data, size_t& size, size_t want) {
  const size_t n = std::min(size, want);
  Require(::pwrite(fd, data, n, offset) == static_cast<ssize_t>(n), "scratch write");
  data += n;
  size -= n;
  return n;
}

}  // namespace

void FuzzOne(const unsigned char* data, size_t size) {
  const std::string path = FreshScratchFolder() + PHT_FILE;
  // The condition set, one byte a slot.
  int32_t cond[SCRE_SLOTS] = {};
  for (int i = 0; i < SCRE_SLOTS && size > 0; ++i, ++data, --size) cond[i] = *data;
  ClampScreCond(cond);
  // The stock table and a calendar of 60 days.
  LastKabu = STOCKS;
  for (int s = 0; s < STOCKS; ++s) {
    fundamental[s] = Fundamental{};
    fundamental[s].code = CODES[s];
    fundamental[s].tani = 100;
    fundamental[s].per_coef = 0.1;
    fundamental[s].pbr_coef = 0.01;
  }
  LastDate = 60;
  for (int d = 0; d < LastDate; ++d) nikkei_date[d] = 20261001 + d;
  fSampleDB = 0;

  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  Require(fd >= 0, "scratch file");
  const int32_t head[3] = {PHT_FILE_VERSION, nikkei_date[LastDate - 1], fSampleDB};
  Require(::pwrite(fd, head, sizeof head, 0) == sizeof head, "scratch write");
  for (int s = 0; s < STOCKS; ++s) {
    // Each window is built for its stock, so that the load takes it as it is.
    const int64_t at = PHT_FILE_PHT_OFFSET + int64_t{sizeof(Pht)} * s;
    Put(fd, at, data, size, offsetof(Pht, code));
    Require(::pwrite(fd, &CODES[s], sizeof CODES[s], at + offsetof(Pht, code)) == sizeof CODES[s], "scratch write");
    Put(fd, at + offsetof(Pht, start), data, size, sizeof(Pht) - offsetof(Pht, start));
  }
  Put(fd, PHT_FILE_VALUE_OFFSET, data, size, sizeof(PhtValue) * STOCKS);
  for (int t = 0; t < 3; ++t)
    Put(fd, PHT_FILE_MA_OFFSET + 2LL * LADDER_COUNT * MAX_KABU * t, data, size, 2 * LADDER_COUNT * STOCKS);
  Require(::ftruncate(fd, PHT_FILE_SIZE) == 0, "scratch size");
  ::close(fd);

  ScreeningBuildAll();
  ValidateScreCond(cond);
  for (int s = 0; s < STOCKS; ++s) {
    const Pht& p = pht[s];
    Require(p.code == CODES[s], "the window of its stock");
    Require(p.start >= 0 && p.start <= PHT_LAST && p.end >= 0 && p.end <= PHT_LAST, "window within its positions");
    PhtLatestClose(s);
    for (int which = 0; which < 4; ++which) ScreeningTopPercent(which, s, 10);
    for (int t = MA_DAILY; t <= MA_MONTHLY; ++t) ScreMoveAve(t, s, PeriodLadder[3], PeriodLadder[1]);
    if (p.valid && p.end == PHT_LAST) ScreeningPasses(s, cond);
  }
}
