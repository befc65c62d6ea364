// The program's compiled-in binary resources (RCDATA), found by number.
#pragma once

#include <cstddef>

#include "platform/wintypes.h"

struct TRcData {
  const BYTE* Data = nullptr;
  std::size_t Size = 0;
};

// Our own chime for the solved board where the desktop has no start-up sound.
constexpr int WAVE_CHIME = 12;

// The resource with this number, or an empty one when there is none.
TRcData FindRcData(int id);
