// GetTickCount: the steady clock in milliseconds, kept to 32 bits.
#include "platform/ticks.h"

#include <chrono>
#include <cstdint>
#include <thread>

#include <gtest/gtest.h>

namespace {

DWORD SteadyTicks() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
}

}  // namespace

TEST(GetTickCount, IsTheSteadyClockInMillisecondsCutTo32Bits) {
  // Differences in DWORD arithmetic stay right even if the count wraps in between.
  const DWORD before = SteadyTicks();
  const DWORD ticks = GetTickCount();
  const DWORD after = SteadyTicks();
  EXPECT_LE(static_cast<DWORD>(ticks - before), static_cast<DWORD>(after - before));
}

TEST(GetTickCount, NeverGoesBackwards) {
  DWORD previous = GetTickCount();
  for (int i = 0; i < 100000; ++i) {
    const DWORD now = GetTickCount();
    // A step "back" would show as a difference close to 2^32.
    ASSERT_LT(static_cast<DWORD>(now - previous), 60000u) << "at call " << i;
    previous = now;
  }
}

TEST(GetTickCount, AdvancesByAboutTheTimeSlept) {
  const DWORD start = GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const DWORD elapsed = GetTickCount() - start;
  // Sanity bounds only: the sleep lasts at least 50 ms, a busy machine may add a lot.
  EXPECT_GE(elapsed, 49u);
  EXPECT_LT(elapsed, 10000u);
}
