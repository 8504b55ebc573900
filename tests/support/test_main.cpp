// Test main of the core, network and slow tests: the test zone first, then every test.
#include <gtest/gtest.h>

#include "support/test_zone.h"

int main(int argc, char** argv) {
  UseTestZone();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
