// TDib: the one-block device-independent bitmap and its checked accessors.
#include "framework/graphics/dib.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace {

constexpr std::uint64_t HeaderBytes = sizeof(BITMAPINFOHEADER);
constexpr std::uint64_t BitFieldMaskBytes = 3 * sizeof(DWORD);

bool IsUncompressed(DWORD compression) {
  return compression == BI_RGB || compression == BI_BITFIELDS;
}

}  // namespace

int TDib::DefaultNumColors(int bitCount) {
  switch (bitCount) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

std::uint64_t TDib::RowStride(std::int64_t width, int bitCount) {
  if (width <= 0 || bitCount <= 0) return 0;
  const auto w = static_cast<std::uint64_t>(width);
  const auto bits = static_cast<std::uint64_t>(bitCount);
  // Saturate rather than wrap: a saturated stride is refused by every size check.
  if (w > (UINT64_MAX - 31) / bits) return UINT64_MAX;
  return (w * bits + 31) / 32 * 4;
}

bool TDib::CreateFromHeader(const BITMAPINFOHEADER& header) {
  // Free the old block first so a failed call never leaves stale pixels behind.
  Release();

  const std::int64_t width = header.biWidth;
  const std::int64_t height = header.biHeight;
  const int bits = header.biBitCount;
  const DWORD compression = header.biCompression;
  if (width < 1 || height < 1 || header.biPlanes != 1) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return false;
  }
  switch (compression) {
    case BI_RGB:
      break;
    case BI_BITFIELDS:
      if (bits != 16 && bits != 32) return false;
      break;
    case BI_RLE8:
      if (bits != 8) return false;
      break;
    case BI_RLE4:
      if (bits != 4) return false;
      break;
    default:
      return false;
  }

  const std::uint64_t maxColors = bits <= 8 ? std::uint64_t{1} << bits : 256;
  const std::uint64_t numColors =
      header.biClrUsed != 0 ? header.biClrUsed : static_cast<std::uint64_t>(DefaultNumColors(bits));
  if (numColors > maxColors) return false;

  std::uint64_t imageBytes = header.biSizeImage;
  if (IsUncompressed(compression)) {
    const std::uint64_t stride = RowStride(width, bits);
    // Checked before multiplying so the product cannot wrap.
    if (stride > MaxBlockSize) return false;
    const std::uint64_t needed = stride * static_cast<std::uint64_t>(height);
    if (imageBytes == 0) imageBytes = needed;
    if (imageBytes < needed) return false;
  }

  const std::uint64_t maskBytes = compression == BI_BITFIELDS ? BitFieldMaskBytes : 0;
  const std::uint64_t blockBytes = HeaderBytes + maskBytes + 4 * numColors + imageBytes;
  if (blockBytes > MaxBlockSize) return false;

  try {
    Block.resize(static_cast<std::size_t>(blockBytes));
  } catch (const std::bad_alloc&) {
    Release();
    return false;
  }

  BITMAPINFOHEADER stored = header;
  stored.biSize = static_cast<DWORD>(HeaderBytes);
  stored.biClrUsed = static_cast<DWORD>(numColors);
  stored.biSizeImage = static_cast<DWORD>(imageBytes);
  std::memcpy(Block.data(), &stored, sizeof stored);
  return true;
}

const BITMAPINFOHEADER* TDib::GetInfoHeader() const {
  return IsOK() ? reinterpret_cast<const BITMAPINFOHEADER*>(Block.data()) : nullptr;
}

BITMAPINFOHEADER* TDib::GetInfoHeader() {
  return IsOK() ? reinterpret_cast<BITMAPINFOHEADER*>(Block.data()) : nullptr;
}

const BITMAPINFO* TDib::GetInfo() const {
  return IsOK() ? reinterpret_cast<const BITMAPINFO*>(Block.data()) : nullptr;
}

int TDib::Width() const {
  return IsOK() ? GetInfoHeader()->biWidth : 0;
}
int TDib::Height() const {
  return IsOK() ? GetInfoHeader()->biHeight : 0;
}
int TDib::BitsPixel() const {
  return IsOK() ? GetInfoHeader()->biBitCount : 0;
}
DWORD TDib::Compression() const {
  return IsOK() ? GetInfoHeader()->biCompression : 0;
}
DWORD TDib::SizeImage() const {
  return IsOK() ? GetInfoHeader()->biSizeImage : 0;
}

int TDib::NumColors() const {
  if (!IsOK()) return 0;
  const DWORD used = GetInfoHeader()->biClrUsed;
  if (used == 0) return DefaultNumColors(BitsPixel());
  return static_cast<int>(std::min<DWORD>(used, INT_MAX));
}

std::size_t TDib::MaskBytes() const {
  return Compression() == BI_BITFIELDS ? static_cast<std::size_t>(BitFieldMaskBytes) : 0;
}

std::size_t TDib::BytesPerLine() const {
  if (!IsOK()) return 0;
  return static_cast<std::size_t>(RowStride(Width(), BitsPixel()));
}

// Every pointer accessor goes through this, so that a header edited after creation can
// make them return null but never point past the block.
bool TDib::Layout(TLayout& layout) const {
  if (!IsOK()) return false;
  layout.Masks = HeaderBytes;
  layout.Colors = layout.Masks + MaskBytes();
  layout.Bits = layout.Colors + 4 * static_cast<std::uint64_t>(NumColors());
  layout.BitsBytes = SizeImage();
  return layout.Bits <= Block.size() && layout.BitsBytes <= Block.size() - layout.Bits;
}

const DWORD* TDib::GetMasks() const {
  return const_cast<TDib*>(this)->GetMasks();
}

DWORD* TDib::GetMasks() {
  TLayout layout;
  if (MaskBytes() == 0 || !Layout(layout)) return nullptr;
  return reinterpret_cast<DWORD*>(Block.data() + layout.Masks);
}

const RGBQUAD* TDib::GetColors() const {
  return const_cast<TDib*>(this)->GetColors();
}

RGBQUAD* TDib::GetColors() {
  TLayout layout;
  if (NumColors() == 0 || !Layout(layout)) return nullptr;
  return reinterpret_cast<RGBQUAD*>(Block.data() + layout.Colors);
}

const BYTE* TDib::GetBits() const {
  return const_cast<TDib*>(this)->GetBits();
}

BYTE* TDib::GetBits() {
  TLayout layout;
  if (!Layout(layout) || layout.BitsBytes == 0) return nullptr;
  return Block.data() + layout.Bits;
}

const BYTE* TDib::ScanLine(int y) const {
  return const_cast<TDib*>(this)->ScanLine(y);
}

BYTE* TDib::ScanLine(int y) {
  TLayout layout;
  if (!Layout(layout) || !IsUncompressed(Compression())) return nullptr;
  if (y < 0 || y >= Height()) return nullptr;
  const std::uint64_t stride = RowStride(Width(), BitsPixel());
  // Division keeps the row-end test free of overflow whatever the header now says.
  if (stride == 0 || layout.BitsBytes / stride < static_cast<std::uint64_t>(y) + 1) {
    return nullptr;
  }
  return Block.data() + layout.Bits + static_cast<std::uint64_t>(y) * stride;
}
