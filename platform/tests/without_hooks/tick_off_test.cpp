// The clock as the shipped programs are built: without the test hooks, a step named in the
// environment is ignored and every reading is the real clock's. This program compiles the
// clock itself without the hooks, whatever the build's option.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "platform/tick.h"

namespace {

uint32_t RealTicks() { return platform::TicksFromDuration(std::chrono::steady_clock::now().time_since_epoch()); }

TEST(TickWithoutTestHooks, TheEnvironmentDoesNotStepTheClock) {
  setenv(platform::kTickStepVariable, "1000000", 1);
  // A reading taken between two readings of the real clock lies between them (a wrap of
  // the 32-bit count between the two is taken as a retry).
  for (int attempt = 0; attempt < 3; ++attempt) {
    const uint32_t before = RealTicks();
    const uint32_t reading = GetTickCount();
    const uint32_t after = RealTicks();
    if (after < before) continue;
    EXPECT_LE(before, reading);
    EXPECT_LE(reading, after);
    break;
  }
  unsetenv(platform::kTickStepVariable);
}

}  // namespace
