// Reading RIFF/WAVE images of plain PCM sound, never past the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>

struct TWaveImage {
  unsigned channels = 0;                  // 1 or 2, interleaved
  unsigned sampleRate = 0;                // frames per second
  unsigned bitsPerSample = 0;             // 8 (unsigned) or 16 (signed, little-endian)
  const std::uint8_t* samples = nullptr;  // inside the parsed image
  std::size_t sampleBytes = 0;            // whole frames only

  unsigned BytesPerFrame() const { return channels * bitsPerSample / 8; }
  std::uint64_t DurationMs() const;
};

// The largest image taken from memory or from a file: a minute and a half of CD-quality
// stereo is far more than any sound a game makes.
constexpr std::size_t kMaxWaveImageBytes = std::size_t{16} << 20;

// The size of the image that starts at header, taken from its RIFF header; 0 when header
// does not start a RIFF/WAVE image or claims more than kMaxWaveImageBytes. Stops reading
// at the first byte that does not fit, so a short non-WAV block is not overrun.
std::size_t WaveImageExtent(const void* header);

// Parses the size bytes at image. False for anything but PCM with 8 or 16 bits, one or
// two channels and 1000 to 384000 frames a second, and for any chunk that runs past the
// end of the image or of its RIFF header. Unknown chunks are skipped.
bool ParseWaveImage(const void* image, std::size_t size, TWaveImage& wave);
