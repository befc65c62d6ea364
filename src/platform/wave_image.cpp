// Reading RIFF/WAVE images of plain PCM sound, never past the bytes given.
#include "platform/wave_image.h"

#include <cstring>

namespace {

constexpr unsigned kMinSampleRate = 1000;
constexpr unsigned kMaxSampleRate = 384000;
constexpr std::uint16_t kFormatPcm = 0x0001;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// The PCM sub-format identifier after its first two bytes, as stored in the file.
constexpr std::uint8_t kPcmSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t Read16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Read32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool IsTag(const std::uint8_t* p, const char (&tag)[5]) {
  return std::memcmp(p, tag, 4) == 0;
}

// Checks tag byte by byte so that reading stops at the first mismatch.
bool StartsWithTag(const std::uint8_t* p, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) {
    if (p[i] != static_cast<std::uint8_t>(tag[i])) return false;
  }
  return true;
}

bool ReadFormat(const std::uint8_t* format, std::size_t size, TWaveImage& wave) {
  if (size < 16) return false;
  const std::uint16_t tag = Read16(format);
  if (tag == kFormatExtensible) {
    // The extensible header carries the real format as a sub-format identifier.
    if (size < 40 || Read16(format + 16) < 22 || Read16(format + 24) != kFormatPcm ||
        std::memcmp(format + 26, kPcmSubFormatTail, sizeof kPcmSubFormatTail) != 0) {
      return false;
    }
  } else if (tag != kFormatPcm) {
    return false;
  }
  wave.channels = Read16(format + 2);
  wave.sampleRate = Read32(format + 4);
  wave.bitsPerSample = Read16(format + 14);
  return (wave.channels == 1 || wave.channels == 2) &&
         (wave.bitsPerSample == 8 || wave.bitsPerSample == 16) &&
         wave.sampleRate >= kMinSampleRate && wave.sampleRate <= kMaxSampleRate;
}

}  // namespace

std::uint64_t TWaveImage::DurationMs() const {
  const std::uint64_t bytesPerSecond = std::uint64_t{sampleRate} * BytesPerFrame();
  return bytesPerSecond == 0 ? 0 : std::uint64_t{sampleBytes} * 1000 / bytesPerSecond;
}

std::size_t WaveImageExtent(const void* header) {
  if (header == nullptr) return 0;
  const auto* bytes = static_cast<const std::uint8_t*>(header);
  if (!StartsWithTag(bytes, "RIFF")) return 0;
  const std::uint64_t extent = 8 + std::uint64_t{Read32(bytes + 4)};
  if (extent < 12 || extent > kMaxWaveImageBytes || !StartsWithTag(bytes + 8, "WAVE")) return 0;
  return static_cast<std::size_t>(extent);
}

bool ParseWaveImage(const void* image, std::size_t size, TWaveImage& wave) {
  wave = TWaveImage{};
  if (image == nullptr || size < 12) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(image);
  if (!IsTag(bytes, "RIFF") || !IsTag(bytes + 8, "WAVE")) return false;
  // An image shorter than its RIFF header says has lost its end.
  const std::uint64_t riffEnd = 8 + std::uint64_t{Read32(bytes + 4)};
  if (riffEnd < 12 || riffEnd > size) return false;
  const auto end = static_cast<std::size_t>(riffEnd);

  const std::uint8_t* format = nullptr;
  std::size_t formatSize = 0;
  const std::uint8_t* data = nullptr;
  std::size_t dataSize = 0;
  std::size_t pos = 12;
  while (end - pos >= 8 && (format == nullptr || data == nullptr)) {
    const std::uint8_t* chunk = bytes + pos;
    const std::uint32_t chunkSize = Read32(chunk + 4);
    if (chunkSize > end - pos - 8) return false;
    if (IsTag(chunk, "fmt ") && format == nullptr) {
      format = chunk + 8;
      formatSize = chunkSize;
    } else if (IsTag(chunk, "data") && data == nullptr) {
      data = chunk + 8;
      dataSize = chunkSize;
    }
    // Chunks start on even offsets; the pad byte after an odd-sized last chunk may be
    // left out by writers that did not count it in the RIFF size.
    pos += 8 + std::size_t{chunkSize} + (chunkSize & 1u);
    if (pos >= end) break;
  }
  if (format == nullptr || data == nullptr || !ReadFormat(format, formatSize, wave)) {
    wave = TWaveImage{};
    return false;
  }
  wave.samples = data;
  wave.sampleBytes = dataSize - dataSize % wave.BytesPerFrame();
  return true;
}
