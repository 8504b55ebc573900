// Building vurn.hy3 from a market-data source: the calendar of the Nikkei average series,
// one record per stock of vurn.tag. A master file of up to 4096 stocks gives the version-4
// layout of 4096 record slots that Vurn grows to the current layout at its next start; a
// larger one gives the current layout of MAX_KABU slots, so that no stock is left out.
//
// The new file is written beside the old one and renamed over it only when complete: a
// Cancel, a failure or a kill at any point leaves the old vurn.hy3 as it was.
#pragma once

#include <functional>

#include "market_source.h"

constexpr int SEED_SLOTS = 4096;  // record slots of the version-4 file
constexpr int SEED_VERSION = 4;
constexpr long long SEED_FILE_SIZE = 11284LL + SEED_SLOTS * 39472LL;
static_assert(SEED_FILE_SIZE == 161688596);

// The layout of the file seeded from a master file of `stocks` stocks.
struct SeedLayout {
  int version;
  int slot_count;
  long long size;
};
SeedLayout SeedLayoutFor(int stocks);

enum class SeedResult {
  kDone,      // vurn.hy3 written
  kDeclined,  // a confirmation was not answered with OK: nothing changed
  kStopped,   // stopped by the user or a failure: nothing changed; the tool exits with 1
  kRefused,   // source files that cannot be read whole, and no going on without them: nothing changed
};

// Caption of the question whether to go on without the stocks whose price files cannot be
// read whole (Yes/No, No the default).
inline constexpr const char* SEED_BAD_SOURCE_CAPTION = "株価ファイルの誤り";

struct SeedRun {
  MarketSource* source = nullptr;
  // Called before each slot with the progress text "%4d/%4d" and the stock text.
  std::function<void(int slot, const char* progress, const char* stock)> progress;
  // Asked between slots: true stops the build, keeping the old database.
  std::function<bool()> cancelled;
  // Told each warning of the build (CP932, one line): ignored rights factors, series cut to
  // the calendar, days left out, stocks left without prices.
  std::function<void(const char* line)> note;
};

// Runs the build in the working folder (CurrentDir). Questions and reports go through the
// host's message boxes, events run between slots through the host. Every price file of the
// master file's stocks is read through before anything is asked or written: files that
// cannot be read whole are listed (file, line, reason) with the question whether to go on
// without those stocks.
SeedResult SeedDatabase(const SeedRun& run);

// The whole number of a value from the source: values within rounding noise of a whole
// number are that number, others are truncated towards zero.
double SeedWhole(double value);
