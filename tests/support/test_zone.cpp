#include "support/test_zone.h"

#include <cstdlib>
#include <ctime>

void UseTestZone() {
  const char* zone = std::getenv("VURN_TEST_TZ");
  setenv("TZ", zone && *zone ? zone : "Asia/Tokyo", 1);
  tzset();
}

ScopedZone::ScopedZone(const char* zone) {
  const char* now = std::getenv("TZ");
  had_ = now != nullptr;
  if (had_) saved_ = now;
  setenv("TZ", zone, 1);
  tzset();
}

ScopedZone::~ScopedZone() {
  if (had_) setenv("TZ", saved_.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}
