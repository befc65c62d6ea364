// The program's one pseudo-random generator: seeded once at start, so a scramble can be
// replayed from its seed.
#pragma once

#include <cstdint>

void SeedRandom(std::uint32_t seed);
// 0 .. 0x7FFFFFFF.
std::uint32_t NextRandom();
