// The tick count: a monotonic millisecond counter that wraps at 32 bits.
#include "platform/ticks.h"

#include <chrono>
#include <cstdint>

DWORD GetTickCount() {
  // The steady clock never jumps with the wall clock; the cast keeps the low 32 bits, so
  // the count wraps after about 49.7 days and differences of two counts stay right
  // across the wrap, as callers of a 32-bit tick count expect.
  const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
  return static_cast<DWORD>(static_cast<std::uint64_t>(ms));
}
