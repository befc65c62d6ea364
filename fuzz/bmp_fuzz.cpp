// Fuzz target for the BMP reader: any file is read into a DIB whose every part lies in
// its block, or refused with the DIB left empty; a DIB that was read converts to a
// picture of its own size, reading only its own rows and colour table.
#include <cstddef>
#include <cstdint>

#include "dib_fuzz_checks.h"
#include "media/enhanced_dib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = media_fuzz::WriteInput("input.bmp", data, size);
  TEnhancedDib dib;
  const bool read = dib.Load(path.c_str());
  media_fuzz::CheckDib(dib, read, size);
  return 0;
}
