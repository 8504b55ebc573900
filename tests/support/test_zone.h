// The time zone of the test programs. The program reads dates in the computer's own zone
// (a Japanese user's machine runs on Japan time), so the tests run in Japan time unless
// VURN_TEST_TZ names another zone: scripts/test-clock.sh runs the suite in other zones too,
// and a test whose expectation holds only in Japan time pins the zone with ScopedZone.
#pragma once

#include <string>

// Sets TZ to $VURN_TEST_TZ, or to Asia/Tokyo when that is not set. Called by every test main
// before anything reads the clock; the programs the tests start inherit the zone.
void UseTestZone();

// Puts another zone in place for one scope and the previous one back at its end.
class ScopedZone {
 public:
  explicit ScopedZone(const char* zone);
  ~ScopedZone();
  ScopedZone(const ScopedZone&) = delete;
  ScopedZone& operator=(const ScopedZone&) = delete;

 private:
  std::string saved_;
  bool had_ = false;
};
