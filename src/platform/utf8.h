// UTF-8 text measured and cut by characters: every text the program shows or stores is
// UTF-8, and a cut inside a character would leave a broken one at the end.
#pragma once

#include <cstddef>
#include <string_view>

// Whether c continues a UTF-8 character rather than starting one.
constexpr bool IsUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The length of text cut to at most maxBytes bytes without splitting a character: a cut
// that falls inside one moves back to where that character starts. Bytes that form no
// character (more than three continuation bytes in a row) are cut where they fall.
constexpr std::size_t Utf8CutLength(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  std::size_t end = maxBytes;
  for (int step = 0; step < 3 && end > 0 && IsUtf8Continuation(text[end]); ++step) --end;
  return IsUtf8Continuation(text[end]) ? maxBytes : end;
}

// The characters in text; a byte that continues no character counts as none.
constexpr std::size_t Utf8CharCount(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) count += IsUtf8Continuation(c) ? 0 : 1;
  return count;
}

// The bytes of the first count characters of text (all of it when it has fewer).
constexpr std::size_t Utf8CharsLength(std::string_view text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t chars = 0; end < text.size(); ++end) {
    if (!IsUtf8Continuation(text[end]) && chars++ == count) break;
  }
  return end;
}
