// Extending the calendar by fetched trading days: the plan (duplicates, weekends, old dates,
// the trim of a full calendar), the re-alignment of a record, and the rewrite of the whole
// database with a kill at every file step.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "db/calendar_insert.h"
#include "db/database_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/record_io.h"
#include "platform/working_folder.h"
#include "support/db_fixture.h"
#include "support/kill_points.h"
#include "support/merge_fixture.h"
#include "support/temp_dir.h"

namespace {

class CalendarInsert : public ::testing::Test {
 protected:
  void SetUp() override { ResetDatabaseState(); }
  void TearDown() override { ResetDatabaseState(); }
  void UseCalendar(const std::vector<int32_t>& dates) {
    for (size_t i = 0; i < dates.size(); ++i) nikkei_date[i] = dates[i];
    LastDate = static_cast<int>(dates.size());
  }
  TempDir dir;
};

TEST_F(CalendarInsert, ThePlanLeavesOutDuplicatesWeekendsAndOldDates) {
  std::vector<int32_t> calendar = FixtureCalendar(10);  // 2026-11-26 .. 2026-12-09
  calendar.erase(calendar.begin() + 5);                  // 2026-12-03
  UseCalendar(calendar);
  const int32_t fetched[] = {20261209, 20261203, 20261203, 20261205, 20261125, 20261340, 20261210};
  auto plan = std::make_unique<CalendarPlan>();
  PlanCalendarInsert(fetched, 7, plan.get());
  EXPECT_EQ(plan->added, 2);  // 12-03 once, 12-10 after the last day
  EXPECT_EQ(plan->trim, 0);
  EXPECT_EQ(plan->new_days, 11);
  EXPECT_EQ(plan->new_dates[5], 20261203);
  EXPECT_TRUE(plan->is_new[5]);
  EXPECT_TRUE(plan->is_new[10]);
  EXPECT_FALSE(plan->is_new[4]);
  EXPECT_EQ(plan->new_pos[5], 6);  // 12-04 moved one day on
}

TEST_F(CalendarInsert, AFullCalendarExtendedByThreeDaysDropsItsThreeOldest) {
  UseCalendar(FixtureCalendar(MAX_DATE));  // ends 2026-12-09 (a Wednesday)
  const int32_t fetched[] = {20261210, 20261211, 20261214};
  auto plan = std::make_unique<CalendarPlan>();
  PlanCalendarInsert(fetched, 3, plan.get());
  EXPECT_EQ(plan->trim, 3);
  EXPECT_EQ(plan->new_days, MAX_DATE);
  EXPECT_EQ(plan->new_dates[0], nikkei_date[3]);
  EXPECT_EQ(plan->new_pos[0], -1);
  EXPECT_EQ(plan->new_pos[3], 0);
  auto h = std::make_unique<Hiashi>();
  FillFixtureRecord(0, MAX_DATE, h.get());
  const uint16_t last_close = h->close[MAX_DATE - 1];
  const uint16_t day3 = h->close[3];
  RealignRecord(*plan, h.get());
  EXPECT_EQ(h->start, 0);
  EXPECT_EQ(h->close[0], day3);
  EXPECT_EQ(h->end, MAX_DATE - 1);  // it was current: it stays current
  EXPECT_EQ(h->close[MAX_DATE - 4], last_close);
  EXPECT_EQ(h->close[MAX_DATE - 1], last_close);  // the new days hold the last close
  EXPECT_EQ(h->deki[MAX_DATE - 1], 0);
}

TEST_F(CalendarInsert, ARecordEndingBeforeTheLastDayKeepsItsEnd) {
  UseCalendar(FixtureCalendar(10));
  const int32_t fetched[] = {20261210};
  auto plan = std::make_unique<CalendarPlan>();
  PlanCalendarInsert(fetched, 1, plan.get());
  auto h = std::make_unique<Hiashi>();
  FillFixtureRecord(0, 10, h.get());
  h->start = 2;
  h->end = 6;
  RealignRecord(*plan, h.get());
  EXPECT_EQ(h->start, 2);
  EXPECT_EQ(h->end, 6);
}

TEST_F(CalendarInsert, AKillAtAnyStepLeavesTheDatabaseAsBeforeOrAsAfter) {
  std::vector<int32_t> calendar = FixtureCalendar(12);
  calendar.erase(calendar.begin() + 6);
  const int32_t missing = FixtureCalendar(12)[6];
  WriteMergeFixture(3, calendar);
  ASSERT_TRUE(LoadMergeFixture());
  const std::string path = DataFilePath(DB_FILE);
  const uint64_t before = ContentHash(path);
  const int32_t fetched[] = {missing};
  auto plan = std::make_unique<CalendarPlan>();
  PlanCalendarInsert(fetched, 1, plan.get());
  const CalendarPlan* p = plan.get();
  const int steps = CountSteps([p] { return RewriteForCalendar(*p) == 1; });
  ASSERT_GT(steps, 0);
  const uint64_t after = ContentHash(path);
  ASSERT_NE(after, before);
  ASSERT_EQ(LastDate, 12);
  auto h = std::make_unique<Hiashi>();
  ASSERT_EQ(ReadRecord(1, h.get()), 1);
  EXPECT_EQ(h->close[6], h->close[5]);  // the new day holds the close before it
  EXPECT_EQ(h->end, 11);
  // Back to the old database for every kill point.
  for (int step = 1; step <= steps; ++step) {
    WriteMergeFixture(3, calendar);
    ASSERT_TRUE(LoadMergeFixture());
    ASSERT_EQ(ContentHash(path), before);
    const StepRun run = RunUntilStep(step, [p] { return RewriteForCalendar(*p) == 1; });
    const uint64_t now = ContentHash(path);
    EXPECT_TRUE(now == before || now == after) << "step " << step << " of " << steps;
    EXPECT_NE(run, StepRun::kFailed);
  }
}

}  // namespace
