// GetTickCount: a monotonic count of milliseconds, kept to 32 bits.
#include "platform/ticks.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace {

TEST(GetTickCount, NeverGoesBackwards) {
  DWORD previous = GetTickCount();
  for (int i = 0; i < 100000; ++i) {
    const DWORD now = GetTickCount();
    // A step "back" would show as a difference close to 2^32.
    ASSERT_LT(static_cast<DWORD>(now - previous), 60000u) << "at call " << i;
    previous = now;
  }
}

TEST(GetTickCount, CountsTheMillisecondsThatPass) {
  // Bounded below by the sleep and above by an outer measure of the same stretch, give or
  // take the millisecond either count may be into; DWORD differences survive a wrap.
  const auto outerStart = std::chrono::steady_clock::now();
  const DWORD start = GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  const DWORD elapsed = GetTickCount() - start;
  const auto outer = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - outerStart);
  EXPECT_GE(elapsed, 119u);
  EXPECT_LE(elapsed, static_cast<DWORD>(outer.count()) + 1);
}

}  // namespace
