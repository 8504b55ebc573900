// Small fixture databases for tests, written with the program's own writers into the
// working folder (CurrentDir, normally a TempDir). Files are full-size where the layout
// says so, but the slots after the fixture's stocks are holes: they take no disk space.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/database_file.h"
#include "db/price_model.h"
#include "support/prt_text.h"
#include "support/test_files.h"

// The code of fixture stock n: 7000 + n (text "7000", "7001", ...).
int32_t FixtureCode(int n);
// Fixture stock table entries 0..count-1: code, name "銘柄n", company "テスト会社n",
// industry, market 1, tani 100, flag FLAG_DAILY_DOWNLOAD.
std::vector<Fundamental> FixtureStocks(int count);
// The calendar of `days` weekdays ending on 2026-12-09.
std::vector<int32_t> FixtureCalendar(int days);
// The record of fixture stock n over `days` days: close 1000 + 10 n + d on day d (so each
// stock's bars differ), open close−1, high close+2, low close−3, volume 100 (d + 1),
// start 0, end days−1.
void FillFixtureRecord(int n, int days, Hiashi* h);

struct FixtureDatabase {
  int stocks = 3;                  // records filled with FillFixtureRecord
  int days = 10;
  int version = DB_VERSION;        // header version (4, 5, 6, or anything for refusal tests)
  int slot_count = -1;             // header slot count; -1: the version's
  int records = -1;                // slots the file holds; -1: the version's
  const char* file = DB_FILE;      // name in the working folder
};
// Writes the database file described; fails the test when it cannot.
void WriteFixtureDatabase(const FixtureDatabase& layout);
// Writes vurn.tag with the first `stocks` fixture entries (or the given ones).
void WriteFixtureTag(int stocks, int32_t date = 20261201);
void WriteFixtureTag(const std::vector<Fundamental>& entries, int32_t date = 20261201);
// vurn.tag and vurn.hy3 of `stocks` stocks over `days` days, consistent with each other.
void WriteFixtureDatabase(int stocks, int days);
// A database as an older release left it (calendar Aug-Oct 2024, 20 days a month): codes 1300
// on, a close equal to the code on 2024-08-11 (before the faulty release) and on 2024-10-06
// (day 45, where the margin buy balance is 7), which the one-time repair after a version change
// clears.
void WriteEtfFaultDatabase(int stocks, int days);

// The sample mode as start-up leaves it: vurn.tag with the entries, try.hy3 holding the
// first sample_stocks of them (10 days) and no vurn.hy3; the table, header and calendar
// loaded with only the sample's stocks in use. Fails the test when it cannot.
void EnterSampleMode(const std::vector<Fundamental>& entries, int sample_stocks);

// Forgets what earlier tests loaded: the stock table, the calendar, the work record, the
// sample flag, the shown stock and the diagnostic history.
void ResetDatabaseState();

