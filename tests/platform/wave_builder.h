// Builds RIFF/WAVE images byte by byte for the sound tests, so each test can bend one
// field of an otherwise good image.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wave_builder {

using TBytes = std::vector<std::uint8_t>;

inline void Append16(TBytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void Append32(TBytes& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void Put32(TBytes& image, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

struct TChunk {
  std::string id;  // four characters
  TBytes body;
};

// The body of a "fmt " chunk; block align and byte rate follow from the other fields.
inline TBytes FormatBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                         std::uint16_t bits) {
  TBytes body;
  const std::uint16_t blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
  Append16(body, tag);
  Append16(body, channels);
  Append32(body, rate);
  Append32(body, rate * blockAlign);
  Append16(body, blockAlign);
  Append16(body, bits);
  return body;
}

// An extensible-format body whose sub-format starts with subFormat (1 = PCM, 3 = float).
inline TBytes ExtensibleFormatBody(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                                   std::uint16_t subFormat) {
  TBytes body = FormatBody(0xFFFE, channels, rate, bits);
  Append16(body, 22);    // size of the extension
  Append16(body, bits);  // valid bits
  Append32(body, channels == 2 ? 3 : 4);
  Append16(body, subFormat);
  const std::uint8_t tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  body.insert(body.end(), tail, tail + sizeof tail);
  return body;
}

// A RIFF/WAVE image of the chunks, each odd-sized one padded, with a true RIFF size.
inline TBytes RiffImage(const std::vector<TChunk>& chunks) {
  TBytes image = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (const TChunk& chunk : chunks) {
    image.insert(image.end(), chunk.id.begin(), chunk.id.end());
    Append32(image, static_cast<std::uint32_t>(chunk.body.size()));
    image.insert(image.end(), chunk.body.begin(), chunk.body.end());
    if (chunk.body.size() % 2 != 0) image.push_back(0);
  }
  Put32(image, 4, static_cast<std::uint32_t>(image.size() - 8));
  return image;
}

inline TBytes PcmWave(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                      const TBytes& samples) {
  return RiffImage({{"fmt ", FormatBody(1, channels, rate, bits)}, {"data", samples}});
}

// A quiet 16-bit mono sine of the given length, so a real playback test has something
// audible to time.
inline TBytes ToneWave(std::uint32_t rate, unsigned milliseconds) {
  TBytes samples;
  const std::size_t frames = std::size_t{rate} * milliseconds / 1000;
  for (std::size_t i = 0; i < frames; ++i) {
    const double phase = 2.0 * 3.14159265358979 * 440.0 * static_cast<double>(i) / rate;
    Append16(samples,
             static_cast<std::uint16_t>(static_cast<std::int16_t>(3000 * std::sin(phase))));
  }
  return PcmWave(1, rate, 16, samples);
}

}  // namespace wave_builder
