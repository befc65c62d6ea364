// Small helpers of the framework's own (private): strings copied into callers' buffers
// the way Windows copies them, and the screen's points-to-pixels scale.
#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/utf8.h"

// The desktop is taken to show 96 pixels to the inch, as the classic dialogs assume.
constexpr int ScreenDpi = 96;

constexpr int PointsToPixels(int points) {
  return (points * ScreenDpi + 36) / 72;
}

// Copies text into buffer, cut to size - 1 bytes (never inside a UTF-8 character) and
// ended by a zero; returns the bytes copied (0 without a buffer).
inline int CopyText(std::string_view text, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  const int length = static_cast<int>(Utf8CutLength(text, static_cast<std::size_t>(size - 1)));
  if (length > 0) std::memcpy(buffer, text.data(), static_cast<std::size_t>(length));
  buffer[length] = '\0';
  return length;
}
