// Conversion of a TDib's rows to a top-down Qt image, and the monochrome snap.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#include "framework/graphics/dib.h"
#include "framework/graphics/large_image.h"
#include "framework/graphics/qt_bridge.h"

namespace {

constexpr QRgb Opaque = 0xFF000000u;

// One colour channel of a bit-field pixel, scaled to 0..255. It is asked about uses
// pixels; a table of every value is made only when that costs less than scaling them
// one by one, so a small picture with wide masks converts without filling 64K entries.
class TChannel {
 public:
  TChannel(DWORD mask, std::uint64_t uses) : Mask(mask) {
    if (mask == 0) {
      Lut.assign(1, 0);  // an absent channel reads as 0
      return;
    }
    Shift = std::countr_zero(mask);
    // A mask with gaps scales as if the gaps were set, so no value exceeds 255.
    const int width = std::bit_width(mask >> Shift);
    Max = (std::uint64_t{1} << width) - 1;
    if (Max <= 0xFFFF && Max < uses) {
      Lut.resize(static_cast<std::size_t>(Max) + 1);
      for (std::uint64_t v = 0; v <= Max; ++v) Lut[v] = Scale(v);
    }
  }

  BYTE operator()(DWORD pixel) const {
    const DWORD v = (pixel & Mask) >> Shift;
    return Lut.empty() ? Scale(v) : Lut[v];
  }

 private:
  BYTE Scale(std::uint64_t v) const { return static_cast<BYTE>((v * 255 + Max / 2) / Max); }

  DWORD Mask;
  int Shift = 0;
  std::uint64_t Max = 0;
  std::vector<BYTE> Lut;
};

inline DWORD ReadWord(const BYTE* p) {
  return DWORD{p[0]} | (DWORD{p[1]} << 8);
}
inline DWORD ReadDword(const BYTE* p) {
  return DWORD{p[0]} | (DWORD{p[1]} << 8) | (DWORD{p[2]} << 16) | (DWORD{p[3]} << 24);
}

using TPaletteLut = std::array<QRgb, 256>;

void ConvertIndexed(const BYTE* src, QRgb* dst, int width, int bits, const TPaletteLut& lut) {
  switch (bits) {
    case 8:
      for (int x = 0; x < width; ++x) dst[x] = lut[src[x]];
      break;
    case 4: {
      int x = 0;
      for (; x + 1 < width; x += 2, ++src) {
        dst[x] = lut[*src >> 4];
        dst[x + 1] = lut[*src & 0x0F];
      }
      if (x < width) dst[x] = lut[*src >> 4];
      break;
    }
    case 1:
      for (int x = 0; x < width; ++x) dst[x] = lut[(src[x >> 3] >> (7 - (x & 7))) & 1];
      break;
  }
}

void Convert16(const BYTE* src, QRgb* dst, int width, const std::vector<QRgb>& lut) {
  for (int x = 0; x < width; ++x, src += 2) dst[x] = lut[ReadWord(src)];
}

void Convert16(const BYTE* src, QRgb* dst, int width, const TChannel& r, const TChannel& g,
               const TChannel& b) {
  for (int x = 0; x < width; ++x, src += 2) {
    const DWORD p = ReadWord(src);
    dst[x] = qRgb(r(p), g(p), b(p));
  }
}

void Convert24(const BYTE* src, QRgb* dst, int width) {
  int x = 0;
  // Four pixels from three little-endian words: a large picture spends its load time here.
  for (; x + 4 <= width; x += 4, src += 12) {
    const DWORD a = ReadDword(src), b = ReadDword(src + 4), c = ReadDword(src + 8);
    dst[x] = Opaque | (a & 0xFFFFFF);
    dst[x + 1] = Opaque | (a >> 24) | ((b & 0xFFFF) << 8);
    dst[x + 2] = Opaque | (b >> 16) | ((c & 0xFF) << 16);
    dst[x + 3] = Opaque | (c >> 8);
  }
  for (; x < width; ++x, src += 3) {
    dst[x] = Opaque | (QRgb{src[2]} << 16) | (QRgb{src[1]} << 8) | QRgb{src[0]};
  }
}

void Convert32Default(const BYTE* src, QRgb* dst, int width) {
  for (int x = 0; x < width; ++x, src += 4) dst[x] = Opaque | (ReadDword(src) & 0xFFFFFF);
}

void Convert32(const BYTE* src, QRgb* dst, int width, const TChannel& r, const TChannel& g,
               const TChannel& b) {
  for (int x = 0; x < width; ++x, src += 4) {
    const DWORD p = ReadDword(src);
    dst[x] = qRgb(r(p), g(p), b(p));
  }
}

}  // namespace

QImage DibToImage(const TDib& dib) {
  if (!dib.IsOK()) return QImage();
  const int width = dib.Width();
  const int height = dib.Height();
  const int bits = dib.BitsPixel();
  const DWORD compression = dib.Compression();
  if (width < 1 || height < 1) return QImage();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return QImage();
  }
  if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bits == 16 || bits == 32))) {
    return QImage();
  }
  // The top row in range means every row is: rows lie one after another.
  const BYTE* base = dib.ScanLine(0);
  if (base == nullptr || dib.ScanLine(height - 1) == nullptr) return QImage();
  const std::size_t stride = dib.BytesPerLine();

  TPaletteLut palette{};
  std::vector<QRgb> lut16;
  DWORD masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (bits == 32) {
    masks[0] = 0xFF0000;
    masks[1] = 0xFF00;
    masks[2] = 0xFF;
  }
  if (compression == BI_BITFIELDS) {
    const DWORD* m = dib.GetMasks();
    if (m == nullptr) return QImage();
    masks[0] = m[0];
    masks[1] = m[1];
    masks[2] = m[2];
  }
  const auto pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  // Every 16-bit value once, instead of three scalings per pixel, pays from 64K pixels on.
  const bool table16 = bits == 16 && pixels >= 0x10000;
  const std::uint64_t channelUses = table16 ? 0x10000 : pixels;
  const TChannel red(masks[0], channelUses), green(masks[1], channelUses),
      blue(masks[2], channelUses);

  if (bits <= 8) {
    // Indices past the table read as black.
    palette.fill(Opaque);
    const int count = std::min(dib.NumColors(), 1 << bits);
    const RGBQUAD* colors = dib.GetColors();
    if (count > 0 && colors == nullptr) return QImage();
    for (int i = 0; i < count; ++i) {
      palette[i] = qRgb(colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue);
    }
  } else if (table16) {
    lut16.resize(0x10000);
    for (DWORD p = 0; p < 0x10000; ++p) lut16[p] = qRgb(red(p), green(p), blue(p));
  }
  const bool default32 = masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;

  QImage image = UnfilledImage(width, height);
  if (image.isNull()) return QImage();
  for (int y = 0; y < height; ++y) {
    const BYTE* src = base + static_cast<std::size_t>(height - 1 - y) * stride;
    auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
    switch (bits) {
      case 16:
        if (table16) {
          Convert16(src, dst, width, lut16);
        } else {
          Convert16(src, dst, width, red, green, blue);
        }
        break;
      case 24:
        Convert24(src, dst, width);
        break;
      case 32:
        if (default32) {
          Convert32Default(src, dst, width);
        } else {
          Convert32(src, dst, width, red, green, blue);
        }
        break;
      default:
        ConvertIndexed(src, dst, width, bits, palette);
        break;
    }
  }
  return image;
}

QImage IconToImage(const TDib& dib) {
  if (!dib.IsOK() || dib.BitsPixel() != 32 || dib.Compression() != BI_RGB) return DibToImage(dib);
  const int width = dib.Width();
  const int height = dib.Height();
  const BYTE* bottom = height > 0 ? dib.ScanLine(0) : nullptr;
  if (width < 1 || bottom == nullptr || dib.ScanLine(height - 1) == nullptr) return QImage();
  // Rows lie one after another from the bottom one.
  const std::size_t stride = dib.BytesPerLine();
  const std::size_t rowBytes = 4 * static_cast<std::size_t>(width);
  bool anyAlpha = false;
  for (int y = 0; y < height && !anyAlpha; ++y) {
    const BYTE* row = bottom + static_cast<std::size_t>(y) * stride;
    for (std::size_t at = 3; at < rowBytes && !anyAlpha; at += 4) anyAlpha = row[at] != 0;
  }
  if (!anyAlpha) return DibToImage(dib);
  // Blue, green, red and alpha bytes read as one word are the colour with its alpha.
  QImage image(width, height, QImage::Format_ARGB32);
  if (image.isNull()) return image;
  for (int y = 0; y < height; ++y) {
    const BYTE* src = bottom + static_cast<std::size_t>(height - 1 - y) * stride;
    auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x, src += 4) dst[x] = ReadDword(src);
  }
  return image;
}

void SnapToMonochrome(QImage& image) {
  if (image.isNull()) return;
  if (image.format() != QImage::Format_RGB32) image.convertTo(QImage::Format_RGB32);
  const int width = image.width();
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) row[x] = qGray(row[x]) >= 128 ? 0xFFFFFFFFu : Opaque;
  }
}
