// Fuzz target for the BMP reader: any file is read into a DIB whose every part lies in
// its block, or refused with the DIB left empty; a DIB that was read converts to a
// picture of its own size, reading only its own rows and colour table.
#include <cstddef>
#include <cstdint>

#include "framework/gdi.h"
#include "framework/qt_bridge.h"
#include "media/enhanced_dib.h"
#include "media_fuzz_support.h"

using media_fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = media_fuzz::WriteInput("input.bmp", data, size);
  TEnhancedDib dib;
  if (!dib.Load(path.c_str())) {
    Check(!dib.IsOK() && dib.BlockSize() == 0, "a refused file left data in the DIB");
    return 0;
  }
  Check(dib.Width() > 0 && dib.Height() > 0, "a DIB without pixels was accepted");
  Check(dib.BlockSize() <= TDib::MaxBlockSize, "a DIB beyond the size bound");
  Check(dib.BlockSize() <= 40 + 12 + 4 * 256 + size, "a DIB larger than its file allows");
  const DWORD compression = dib.Compression();
  if (compression == BI_RLE8 || compression == BI_RLE4) return 0;
  Check(dib.ScanLine(0) != nullptr && dib.ScanLine(dib.Height() - 1) != nullptr,
        "rows outside the block");
  const QImage image = DibToImage(dib);
  Check(!image.isNull(), "a DIB that was read does not convert");
  Check(image.width() == dib.Width() && image.height() == dib.Height(), "converted size differs");
  if (dib.NumColors() > 0) {
    try {
      const TPalette palette(dib);
      Check(palette.GetNumEntries() == dib.NumColors(), "palette size differs");
    } catch (const TXGdi&) {
      Check(false, "a colour table that makes no palette");
    }
  }
  return 0;
}
