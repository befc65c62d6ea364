// Writing a whole file so that a failure leaves the previous file as it was: the bytes go
// to a new file beside the target, which replaces the target only once all is written.
#pragma once

#include <cstddef>
#include <cstdint>

enum class TReplaceResult {
  Replaced,
  CannotCreate,  // the target cannot be written, or no file can be made beside it
  WriteFailed,   // writing or replacing failed; the target is untouched
};

TReplaceResult ReplaceFileContents(const char* path, const std::uint8_t* data, std::size_t size);
