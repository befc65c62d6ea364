// Shared by the BMP and clipboard DIB fuzz targets: what any DIB that was read (or
// refused) must satisfy, whatever the bytes it came from.
#pragma once

#include <cstddef>

#include "framework/graphics/dib.h"
#include "framework/graphics/gdi.h"
#include "framework/graphics/qt_bridge.h"
#include "media_fuzz_support.h"

namespace media_fuzz {

// A refused input leaves the DIB empty; one that was read has every part in its block,
// and converts to a picture of its own size reading only its own rows and colour table.
inline void CheckDib(const TDib& dib, bool read, std::size_t inputSize) {
  if (!read) {
    Check(!dib.IsOK() && dib.BlockSize() == 0, "a refused input left data in the DIB");
    return;
  }
  Check(dib.Width() > 0 && dib.Height() > 0, "a DIB without pixels was accepted");
  Check(dib.BlockSize() <= TDib::MaxBlockSize, "a DIB beyond the size bound");
  Check(dib.BlockSize() <= 40 + 12 + 4 * 256 + inputSize, "a DIB larger than its input allows");
  const DWORD compression = dib.Compression();
  if (compression == BI_RLE8 || compression == BI_RLE4) return;
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
}

}  // namespace media_fuzz
