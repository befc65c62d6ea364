// Fuzz target for the clipboard's BMP data, read as the clipboard reads it: a packed DIB
// (or a whole BMP file) from memory, with the same promises as the BMP file reader.
#include <cstddef>
#include <cstdint>

#include "dib_fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TDib dib;
  const bool read = dib.ReadBmpData(data, size);
  media_fuzz::CheckDib(dib, read, size);
  return 0;
}
