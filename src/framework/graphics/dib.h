// A device-independent bitmap held as one memory block: the 40-byte header, the colour
// masks (bit-field DIBs only), the colour table, then the pixel rows from the bottom row
// up, each padded to a multiple of 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/winconst.h"
#include "platform/wintypes.h"

class TDib {
 public:
  // Largest block we agree to allocate; a header asking for more is refused.
  static constexpr std::uint64_t MaxBlockSize = std::uint64_t{1} << 30;

  TDib() = default;
  TDib(const TDib&) = default;
  TDib& operator=(const TDib&) = default;
  TDib(TDib&&) noexcept = default;
  TDib& operator=(TDib&&) noexcept = default;
  virtual ~TDib() = default;

  // Allocates the block at its final size for header and copies the header into it
  // (with biSize 40 and biClrUsed set to the colour-table length). Refuses, leaving the
  // DIB empty, headers that are not a bottom-up DIB of 1, 4, 8, 16, 24 or 32 bits, whose
  // colour table is longer than the bit count allows, whose image size is too small for
  // uncompressed rows, or whose block would exceed MaxBlockSize.
  bool CreateFromHeader(const BITMAPINFOHEADER& header);
  // Frees the block (clear() alone would keep its memory).
  void Release() { Block = std::vector<BYTE>(); }
  // Reads an uncompressed, bit-field or run-length BMP file with a 12-, 40-, 108- or
  // 124-byte header; top-down rows are stored bottom-up. Every size is checked against
  // the file's length and MaxBlockSize before the block is allocated. False leaves the
  // DIB empty.
  bool ReadBmp(const char* path);
  // The same from memory: a whole BMP file, or a packed DIB as the clipboard carries one
  // (the file less its 14-byte header, the rows right after the colour table).
  bool ReadBmpData(const BYTE* data, std::size_t size);

  bool IsOK() const { return !Block.empty(); }
  std::size_t BlockSize() const { return Block.size(); }

  const BITMAPINFOHEADER* GetInfoHeader() const;
  BITMAPINFOHEADER* GetInfoHeader();
  const BITMAPINFO* GetInfo() const;
  // Red, green and blue masks of a bit-field DIB, else null.
  const DWORD* GetMasks() const;
  DWORD* GetMasks();
  // The colour table, or null when there is none.
  const RGBQUAD* GetColors() const;
  RGBQUAD* GetColors();
  const BYTE* GetBits() const;
  BYTE* GetBits();

  int Width() const;
  int Height() const;
  int BitsPixel() const;
  DWORD Compression() const;
  int NumColors() const;
  DWORD SizeImage() const;
  // Bytes in one padded row of an uncompressed DIB.
  std::size_t BytesPerLine() const;
  // Row y counted from the bottom, as stored; null when out of range or compressed.
  const BYTE* ScanLine(int y) const;
  BYTE* ScanLine(int y);

  // Colour-table length that a bit count implies when biClrUsed is 0.
  static int DefaultNumColors(int bitCount);
  // Padded row length for width pixels of bitCount bits, in 64 bits so nothing wraps.
  static std::uint64_t RowStride(std::int64_t width, int bitCount);

 protected:
  std::size_t MaskBytes() const;
  std::vector<BYTE> Block;

 private:
  // Byte offsets of the parts the header describes; Layout() fails when they do not fit
  // in the block (an empty DIB, or a header edited after creation).
  struct TLayout {
    std::uint64_t Masks = 0;
    std::uint64_t Colors = 0;
    std::uint64_t Bits = 0;
    std::uint64_t BitsBytes = 0;
  };
  bool Layout(TLayout& layout) const;
};
