#include "puzzle/random.h"

namespace {
std::uint64_t State = 0;
}  // namespace

void SeedRandom(std::uint32_t seed) {
  State = seed;
}

std::uint32_t NextRandom() {
  // 64-bit linear congruential step; the answer is the upper half without its sign bit.
  State = State * 0x0000015A00004E35ULL + 1;
  return static_cast<std::uint32_t>(State >> 32) & 0x7FFFFFFFu;
}
