// Cutting and counting UTF-8 text: never inside a character, bytes that form none cut
// where they fall.
#include <string>

#include <gtest/gtest.h>

#include "platform/utf8.h"

namespace {

TEST(Utf8, CutsAndCountsWholeCharacters) {
  const std::string mixed = "a\xC3\x84\xE8\xAA\x9E\xF0\x9F\x98\x80z";  // 1, 2, 3, 4, 1 bytes
  const struct {
    std::size_t MaxBytes;
    std::size_t Cut;
  } cuts[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3}, {5, 3}, {6, 6}, {9, 6}, {10, 10}, {11, 11}, {99, 11}};
  for (const auto& c : cuts) EXPECT_EQ(Utf8CutLength(mixed, c.MaxBytes), c.Cut) << c.MaxBytes;
  const std::size_t chars[] = {0, 1, 3, 6, 10, 11, 11};
  for (std::size_t n = 0; n < std::size(chars); ++n) {
    EXPECT_EQ(Utf8CharsLength(mixed, n), chars[n]) << n;
  }
  EXPECT_EQ(Utf8CharCount(mixed), 5u);
  // Four continuation bytes in a row are no character: the cut falls where it is asked.
  EXPECT_EQ(Utf8CutLength("ab\x80\x80\x80\x80\x80", 5), 5u);
}

}  // namespace
