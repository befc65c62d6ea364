// Shared by the fuzz targets whose every check costs a read and parse of a whole file: the
// checks an input gets are drawn from its hash, so one input pays for a few and a campaign
// meets them all. The same input always draws the same ones, so a finding replays.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz_choices {

class TChoices {
 public:
  TChoices(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) Bits = (Bits ^ data[i]) * 16777619u;  // FNV-1a
  }

  // A number below count (0 when count is 0 or 1).
  std::size_t Take(std::size_t count) {
    if (count <= 1) return 0;
    const std::size_t taken = Bits % count;
    Bits = Bits / static_cast<std::uint32_t>(count) * 2654435761u + 1;
    return taken;
  }

 private:
  std::uint32_t Bits = 2166136261u;
};

}  // namespace fuzz_choices
