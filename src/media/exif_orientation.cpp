// Reading the Orientation tag: a TIFF header and the first directory (IFD0) inside the
// segment, every offset checked against the segment's length before it is followed.
#include "media/exif_orientation.h"

#include <cstring>

namespace {

constexpr std::uint8_t ExifSignature[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::size_t TiffHeaderBytes = 8;
constexpr std::size_t EntryBytes = 12;
constexpr std::uint16_t OrientationTag = 0x0112;
constexpr std::uint16_t ShortType = 3;

// The TIFF block after the signature, read in its own byte order; every read checks its
// bounds and a failed one reads as zero.
class TTiffReader {
 public:
  TTiffReader(const std::uint8_t* data, std::size_t size, bool bigEndian)
      : Data(data), Size(size), BigEndian(bigEndian) {}

  bool Holds(std::size_t offset, std::size_t bytes) const {
    return offset <= Size && bytes <= Size - offset;
  }

  std::uint32_t Read(std::size_t offset, std::size_t bytes) const {
    if (!Holds(offset, bytes)) return 0;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
      const std::uint32_t byte = Data[offset + (BigEndian ? i : bytes - 1 - i)];
      value = (value << 8) | byte;
    }
    return value;
  }

 private:
  const std::uint8_t* Data;
  std::size_t Size;
  bool BigEndian;
};

}  // namespace

bool IsExifSegment(const std::uint8_t* data, std::size_t size) {
  return data != nullptr && size >= sizeof ExifSignature &&
         std::memcmp(data, ExifSignature, sizeof ExifSignature) == 0;
}

TOrientation ExifOrientation(const std::uint8_t* data, std::size_t size) {
  if (!IsExifSegment(data, size) || size < sizeof ExifSignature + TiffHeaderBytes) {
    return TOrientation::AsStored;
  }
  // Offsets inside the TIFF block count from its first byte, the byte-order mark.
  const std::uint8_t* tiff = data + sizeof ExifSignature;
  const std::size_t tiffSize = size - sizeof ExifSignature;
  bool bigEndian = false;
  if (tiff[0] == 'M' && tiff[1] == 'M') {
    bigEndian = true;
  } else if (tiff[0] != 'I' || tiff[1] != 'I') {
    return TOrientation::AsStored;
  }
  const TTiffReader reader(tiff, tiffSize, bigEndian);
  if (reader.Read(2, 2) != 42) return TOrientation::AsStored;
  const std::size_t directory = reader.Read(4, 4);
  if (directory < TiffHeaderBytes || !reader.Holds(directory, 2)) return TOrientation::AsStored;
  const std::size_t entries = reader.Read(directory, 2);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t entry = directory + 2 + i * EntryBytes;
    if (!reader.Holds(entry, EntryBytes)) break;
    if (reader.Read(entry, 2) != OrientationTag) continue;
    // One SHORT, held in the first two bytes of the entry's value field.
    if (reader.Read(entry + 2, 2) != ShortType || reader.Read(entry + 4, 4) != 1) break;
    const std::uint32_t value = reader.Read(entry + 8, 2);
    if (value < 1 || value > 8) break;
    return static_cast<TOrientation>(value);
  }
  return TOrientation::AsStored;
}
