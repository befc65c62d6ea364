// TDib::ReadBmp: a BMP file into the DIB block. The file is outside data: every size is
// worked out in 64 bits and checked against the file's real length and MaxBlockSize
// before anything is allocated, and nothing is read past what the block holds.
#include <algorithm>
#include <climits>
#include <cstring>
#include <fstream>
#include <ios>

#include "framework/graphics/dib.h"

namespace {

constexpr WORD BmpSignature = 0x4D42;  // "BM"
constexpr std::uint64_t FileHeaderBytes = 14;
constexpr DWORD CoreHeaderBytes = 12;
constexpr DWORD InfoHeaderBytes = 40;
constexpr DWORD V4HeaderBytes = 108;
constexpr DWORD V5HeaderBytes = 124;
constexpr std::uint64_t MaskBytes = 12;

// Fields are little-endian in the file whatever the host's byte order.
WORD ReadWord(const BYTE* p) {
  return static_cast<WORD>(p[0] | (p[1] << 8));
}
DWORD ReadDword(const BYTE* p) {
  return DWORD{p[0]} | (DWORD{p[1]} << 8) | (DWORD{p[2]} << 16) | (DWORD{p[3]} << 24);
}
LONG ReadLong(const BYTE* p) {
  return static_cast<LONG>(ReadDword(p));
}

// Where the BMP data comes from: a file or a block in memory. Both know their length and
// where they stand, so that every read can be checked before it is made.
class TBmpInput {
 public:
  virtual ~TBmpInput() = default;
  std::uint64_t Size() const { return Length; }

  bool Read(void* buffer, std::uint64_t bytes) {
    if (bytes > Length - Pos) return false;
    if (bytes == 0) return true;
    if (!Fetch(buffer, bytes)) return false;
    Pos += bytes;
    return true;
  }

  bool SkipTo(std::uint64_t offset) {
    if (offset < Pos || offset > Length) return false;
    if (offset == Pos) return true;
    if (!Seek(offset)) return false;
    Pos = offset;
    return true;
  }

 protected:
  // Reads bytes at Pos, which the caller has checked lie within Length.
  virtual bool Fetch(void* buffer, std::uint64_t bytes) = 0;
  virtual bool Seek(std::uint64_t offset) = 0;

  std::uint64_t Length = 0;
  std::uint64_t Pos = 0;
};

class TBmpFile : public TBmpInput {
 public:
  explicit TBmpFile(const char* path) : Stream(path, std::ios::binary) {
    if (!Stream) return;
    Stream.seekg(0, std::ios::end);
    const std::streamoff end = Stream.tellg();
    Stream.seekg(0, std::ios::beg);
    // Pipes and devices have no length to check against: refused.
    if (end < 0 || !Stream) return;
    Length = static_cast<std::uint64_t>(end);
    Usable = true;
  }

  bool IsUsable() const { return Usable; }

 protected:
  bool Fetch(void* buffer, std::uint64_t bytes) override {
    Stream.read(static_cast<char*>(buffer), static_cast<std::streamsize>(bytes));
    return static_cast<std::uint64_t>(Stream.gcount()) == bytes;
  }
  bool Seek(std::uint64_t offset) override {
    Stream.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
    return static_cast<bool>(Stream);
  }

 private:
  std::ifstream Stream;
  bool Usable = false;
};

class TBmpMemory : public TBmpInput {
 public:
  TBmpMemory(const BYTE* data, std::size_t size) : Data(data) { Length = data ? size : 0; }

 protected:
  bool Fetch(void* buffer, std::uint64_t bytes) override {
    std::memcpy(buffer, Data + Pos, static_cast<std::size_t>(bytes));
    return true;
  }
  bool Seek(std::uint64_t) override { return true; }

 private:
  const BYTE* Data;
};

bool SupportedFormat(int bits, DWORD compression) {
  switch (compression) {
    case BI_RGB:
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case BI_BITFIELDS:
      return bits == 16 || bits == 32;
    case BI_RLE8:
      return bits == 8;
    case BI_RLE4:
      return bits == 4;
    default:
      return false;
  }
}

// A BMP file, or with packed set a packed DIB: the same without the file header, its
// rows right after the colour table.
bool ReadBmpInput(TBmpInput& file, TDib& dib, bool packed) {
  std::uint64_t pixelOffset = 0;
  if (!packed) {
    BYTE fileHeader[FileHeaderBytes];
    if (!file.Read(fileHeader, sizeof fileHeader) || ReadWord(fileHeader) != BmpSignature) {
      return false;
    }
    pixelOffset = ReadDword(fileHeader + 10);
  }
  const std::uint64_t headerStart = packed ? 0 : FileHeaderBytes;

  BYTE raw[V5HeaderBytes] = {};
  if (!file.Read(raw, 4)) return false;
  const DWORD headerSize = ReadDword(raw);
  if (headerSize != CoreHeaderBytes && headerSize != InfoHeaderBytes &&
      headerSize != V4HeaderBytes && headerSize != V5HeaderBytes) {
    return false;
  }
  if (!file.Read(raw + 4, headerSize - 4)) return false;

  // The later headers are the 40-byte one followed by the colour masks and fields we
  // have no use for (colour space, gamma, profile).
  BITMAPINFOHEADER header{};
  header.biSize = InfoHeaderBytes;
  std::int64_t height = 0;
  std::uint64_t entryBytes = 4;
  DWORD masks[3] = {};
  if (headerSize == CoreHeaderBytes) {
    header.biWidth = ReadWord(raw + 4);
    height = ReadWord(raw + 6);
    header.biPlanes = ReadWord(raw + 8);
    header.biBitCount = ReadWord(raw + 10);
    header.biCompression = BI_RGB;
    entryBytes = 3;
  } else {
    header.biWidth = ReadLong(raw + 4);
    height = ReadLong(raw + 8);
    header.biPlanes = ReadWord(raw + 12);
    header.biBitCount = ReadWord(raw + 14);
    header.biCompression = ReadDword(raw + 16);
    header.biSizeImage = ReadDword(raw + 20);
    header.biXPelsPerMeter = ReadLong(raw + 24);
    header.biYPelsPerMeter = ReadLong(raw + 28);
    header.biClrUsed = ReadDword(raw + 32);
    header.biClrImportant = ReadDword(raw + 36);
  }
  const int bits = header.biBitCount;
  const DWORD compression = header.biCompression;
  if (header.biPlanes != 1 || header.biWidth < 1 || height == 0) return false;
  if (!SupportedFormat(bits, compression)) return false;
  // A negative height stores the rows top-down; run-length data cannot be.
  const bool topDown = height < 0;
  if (topDown && compression != BI_RGB && compression != BI_BITFIELDS) return false;
  height = topDown ? -height : height;

  std::uint64_t tableStart = headerStart + headerSize;
  // Masks are taken as they are: an empty one gives 0 for its colour, and overlapping ones
  // only mix colours; the conversion to pixels is safe for any mask.
  if (compression == BI_BITFIELDS) {
    if (headerSize == InfoHeaderBytes) {
      BYTE maskBytes[MaskBytes];
      if (!file.Read(maskBytes, sizeof maskBytes)) return false;
      for (std::size_t i = 0; i < 3; ++i) masks[i] = ReadDword(maskBytes + 4 * i);
      tableStart += MaskBytes;
    } else {
      for (std::size_t i = 0; i < 3; ++i) masks[i] = ReadDword(raw + 40 + 4 * i);
    }
  }

  // A table longer than the bit count allows keeps the entries that can be used. The
  // rows follow the whole table, or lie further on where the file's offset says so; an
  // offset back into the headers or the table is only followed forward, so it is ignored.
  const std::uint64_t declared = header.biClrUsed != 0
                                     ? header.biClrUsed
                                     : static_cast<std::uint64_t>(TDib::DefaultNumColors(bits));
  const std::uint64_t usable = bits <= 8 ? std::uint64_t{1} << bits : 256;
  const std::uint64_t kept = std::min(declared, usable);
  const std::uint64_t pixelStart = std::max(pixelOffset, tableStart + declared * entryBytes);

  std::uint64_t imageBytes = header.biSizeImage;
  if (compression == BI_RGB || compression == BI_BITFIELDS) {
    const std::uint64_t stride = TDib::RowStride(header.biWidth, bits);
    if (stride > TDib::MaxBlockSize) return false;
    imageBytes = stride * static_cast<std::uint64_t>(height);
  }
  if (imageBytes > TDib::MaxBlockSize) return false;
  if (pixelStart > file.Size() || imageBytes > file.Size() - pixelStart) return false;

  header.biHeight = static_cast<LONG>(height);
  header.biSizeImage = static_cast<DWORD>(imageBytes);
  header.biClrUsed = static_cast<DWORD>(kept);
  header.biClrImportant = std::min<DWORD>(header.biClrImportant, header.biClrUsed);
  if (!dib.CreateFromHeader(header)) return false;

  if (compression == BI_BITFIELDS) {
    DWORD* stored = dib.GetMasks();
    if (stored == nullptr) return false;
    std::memcpy(stored, masks, sizeof masks);
  }

  if (kept > 0) {
    RGBQUAD* colors = dib.GetColors();
    if (colors == nullptr || dib.NumColors() != static_cast<int>(kept)) return false;
    auto* bytes = reinterpret_cast<BYTE*>(colors);
    if (!file.Read(bytes, kept * entryBytes)) return false;
    if (entryBytes == 3) {
      // Widened in place from the last entry down, so no entry is overwritten unread.
      for (std::uint64_t i = kept; i-- > 0;) {
        const BYTE blue = bytes[3 * i], green = bytes[3 * i + 1], red = bytes[3 * i + 2];
        colors[i] = RGBQUAD{blue, green, red, 0};
      }
    }
  }

  if (!file.SkipTo(pixelStart)) return false;
  if (imageBytes == 0) return true;
  if (!topDown) {
    BYTE* bitsStart = dib.GetBits();
    return bitsStart != nullptr && file.Read(bitsStart, imageBytes);
  }
  const std::uint64_t stride = dib.BytesPerLine();
  for (std::int64_t row = height - 1; row >= 0; --row) {
    BYTE* line = dib.ScanLine(static_cast<int>(row));
    if (line == nullptr || !file.Read(line, stride)) return false;
  }
  return true;
}

}  // namespace

bool TDib::ReadBmp(const char* path) {
  Release();
  if (path == nullptr) return false;
  TBmpFile file(path);
  if (!file.IsUsable() || !ReadBmpInput(file, *this, false)) {
    Release();
    return false;
  }
  return true;
}

bool TDib::ReadBmpData(const BYTE* data, std::size_t size) {
  Release();
  if (data == nullptr) size = 0;
  // No header size of a packed DIB starts with the bytes "BM" (it would be 19778).
  const bool packed = size < 2 || data[0] != 'B' || data[1] != 'M';
  TBmpMemory input(data, size);
  if (!ReadBmpInput(input, *this, packed)) {
    Release();
    return false;
  }
  return true;
}
