// Fuzz target for the JPEG reader: any file decodes into a 24-bit DIB of the declared size
// or is refused with the DIB left empty, and the library's messages go to the message box
// (answered here) rather than anywhere else.
#include <cstddef>
#include <cstdint>

#include "framework/graphics/qt_bridge.h"
#include "media/enhanced_dib.h"
#include "media_fuzz_support.h"

using media_fuzz::Check;

namespace {

// Every pixel costs the decoder's per-pixel work under coverage tracing, and the inputs
// that reach new code are those that declare big pictures: a grown corpus would run at a
// few hundred inputs a second. 64 x 64 pixels still make two bands of a turned picture and
// several blocks of any sampling; larger sizes and the size bound are the unit tests'.
// Every byte pair that could start a frame header counts, so the header the library takes
// cannot slip past.
constexpr std::uint64_t MaxFuzzPixels = 1 << 12;

bool DeclaresLargePicture(const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i + 9 <= size; ++i) {
    const std::uint8_t marker = data[i + 1];
    if (data[i] != 0xFF || marker < 0xC0 || marker > 0xCF || marker == 0xC4 || marker == 0xC8 ||
        marker == 0xCC) {
      continue;
    }
    const std::uint64_t height = (std::uint64_t{data[i + 5]} << 8) | data[i + 6];
    const std::uint64_t width = (std::uint64_t{data[i + 7]} << 8) | data[i + 8];
    if (width * height > MaxFuzzPixels) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (DeclaresLargePicture(data, size)) return 0;
  media_fuzz::MessageCount();
  const std::string path = media_fuzz::WriteInput("input.jpg", data, size);
  TEnhancedDib dib;
  if (!dib.Load(path.c_str())) {
    Check(!dib.IsOK() && dib.BlockSize() == 0, "a refused file left data in the DIB");
    return 0;
  }
  Check(dib.BitsPixel() == 24 && dib.Compression() == BI_RGB, "not a 24-bit DIB");
  Check(dib.GetColors() == nullptr, "a JPEG DIB with a colour table");
  Check(dib.BlockSize() == 40 + dib.BytesPerLine() * static_cast<std::size_t>(dib.Height()),
        "the block is not header and rows");
  const QImage image = DibToImage(dib);
  Check(image.width() == dib.Width() && image.height() == dib.Height(), "converted size differs");
  return 0;
}
