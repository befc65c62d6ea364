// Turns the toolbar's text pictures and the drawn icon into DIBs and registers them.
#include "resources/bitmaps.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

#include "framework/graphics/dib.h"
#include "framework/resources/resources.h"
#include "resources/icon_art.h"
#include "resources/icon_pixels.h"
#include "resources/toolbar_art.h"

namespace {

BITMAPINFOHEADER Header(int size, WORD bits) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = size;
  header.biHeight = size;
  header.biPlanes = 1;
  header.biBitCount = bits;
  header.biCompression = BI_RGB;
  return header;
}

// A character outside the palette is a fault in the art; it shows as the face colour.
BYTE PaletteIndex(char key) {
  const auto* it = std::find_if(ArtPalette.begin(), ArtPalette.end(),
                                [key](const TArtColour& c) { return c.Key == key; });
  return static_cast<BYTE>(it != ArtPalette.end() ? it - ArtPalette.begin() : ArtFaceIndex);
}

TDib GlyphDib(const TToolbarArt& art) {
  TDib dib;
  if (!dib.CreateFromHeader(Header(ToolbarGlyphSize, 4))) return dib;
  RGBQUAD* colours = dib.GetColors();
  for (std::size_t i = 0; i < ArtPalette.size(); ++i) {
    colours[i] = RGBQUAD{ArtPalette[i].Blue, ArtPalette[i].Green, ArtPalette[i].Red, 0};
  }
  for (int y = 0; y < ToolbarGlyphSize; ++y) {
    // The text runs top down, the DIB's rows bottom up.
    const char* text = art.Rows[static_cast<std::size_t>(y)];
    BYTE* row = dib.ScanLine(ToolbarGlyphSize - 1 - y);
    const std::size_t length = std::strlen(text);
    for (int x = 0; x < ToolbarGlyphSize; ++x) {
      const auto at = static_cast<std::size_t>(x);
      const BYTE index = at < length ? PaletteIndex(text[at]) : static_cast<BYTE>(ArtFaceIndex);
      row[x / 2] |= static_cast<BYTE>(x % 2 == 0 ? index << 4 : index);
    }
  }
  return dib;
}

// 32 bits a pixel: blue, green, red, alpha.
TDib IconDib(int size) {
  TDib dib;
  if (!dib.CreateFromHeader(Header(size, 32))) return TDib();
  // 0xAARRGGBB stored little end first is blue, green, red, alpha already.
  static_assert(std::endian::native == std::endian::little);
  const std::span<const std::uint32_t> runs = ProgramIconRuns(size);
  int x = 0;
  int y = 0;
  // The runs go top down, the DIB's rows bottom up.
  auto* row = reinterpret_cast<std::uint32_t*>(dib.ScanLine(size - 1));
  for (std::size_t at = 0; at + 1 < runs.size() && y < size; at += 2) {
    for (std::uint32_t left = runs[at]; left > 0 && y < size;) {
      const int count = static_cast<int>(std::min<std::uint32_t>(left, size - x));
      std::fill_n(row + x, count, runs[at + 1]);
      left -= static_cast<std::uint32_t>(count);
      x += count;
      if (x == size && ++y < size) {
        x = 0;
        row = reinterpret_cast<std::uint32_t*>(dib.ScanLine(size - 1 - y));
      }
    }
  }
  // Runs that fall short of the whole picture are a fault in the build.
  return y == size ? std::move(dib) : TDib();
}

}  // namespace

void AddBitmapResources() {
  for (const TToolbarArt& art : ToolbarArt()) TResources::AddBitmap(art.Id, GlyphDib(art));
  for (const int size : ProgramIconSizes) TResources::AddIcon(IconProgram, IconDib(size));
}
