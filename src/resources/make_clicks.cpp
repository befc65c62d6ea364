// Writes the game's sounds as C++ byte arrays: two short clicks that die away (slide:
// 22050 Hz, 314 samples, with a sampler chunk; swap: 44100 Hz, 2874 samples) and a short
// chime. All 8-bit unsigned mono PCM WAV images, made the same way on every build.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
  b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void PutTag(Bytes& b, const char* tag) {
  b.insert(b.end(), tag, tag + 4);
}

// A tone that rises within attack samples and then decays with time constant tau.
Bytes Click(unsigned rate, unsigned count, double attack, double tau,
            std::initializer_list<std::pair<double, double>> partials) {
  constexpr double Pi = 3.14159265358979323846;
  Bytes samples;
  for (unsigned n = 0; n < count; ++n) {
    const double t = static_cast<double>(n);
    const double envelope = (t < attack ? t / attack : std::exp(-(t - attack) / tau));
    double v = 0;
    for (const auto& [frequency, weight] : partials)
      v += weight * std::sin(2 * Pi * frequency * t / rate);
    const double s = 128.0 + 120.0 * envelope * v;
    samples.push_back(static_cast<std::uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, s)))));
  }
  return samples;
}

Bytes Wave(unsigned rate, const Bytes& samples, bool samplerChunk) {
  Bytes chunks;
  PutTag(chunks, "WAVE");
  PutTag(chunks, "fmt ");
  Put32(chunks, 16);
  Put16(chunks, 1);     // PCM
  Put16(chunks, 1);     // mono
  Put32(chunks, rate);  // samples per second
  Put32(chunks, rate);  // bytes per second
  Put16(chunks, 1);     // block align
  Put16(chunks, 8);     // bits per sample
  PutTag(chunks, "data");
  Put32(chunks, static_cast<std::uint32_t>(samples.size()));
  chunks.insert(chunks.end(), samples.begin(), samples.end());
  if (samples.size() % 2 != 0) chunks.push_back(0x80);
  if (samplerChunk) {
    PutTag(chunks, "smpl");
    Put32(chunks, 60);
    Put32(chunks, 0);                                               // manufacturer
    Put32(chunks, 0);                                               // product
    Put32(chunks, 1000000000u / rate);                              // sample period in nanoseconds
    Put32(chunks, 60);                                              // unity note: middle C
    Put32(chunks, 0);                                               // pitch fraction
    Put32(chunks, 0);                                               // SMPTE format
    Put32(chunks, 0);                                               // SMPTE offset
    Put32(chunks, 1);                                               // one loop
    Put32(chunks, 0);                                               // no sampler data
    Put32(chunks, 0);                                               // loop: cue id
    Put32(chunks, 0);                                               //       forward
    Put32(chunks, 0);                                               //       start
    Put32(chunks, static_cast<std::uint32_t>(samples.size() - 1));  // end
    Put32(chunks, 0);                                               //       fraction
    Put32(chunks, 1);                                               //       played once
  }
  Bytes wave;
  PutTag(wave, "RIFF");
  Put32(wave, static_cast<std::uint32_t>(chunks.size()));
  wave.insert(wave.end(), chunks.begin(), chunks.end());
  return wave;
}

void Emit(std::FILE* out, const char* name, const Bytes& bytes, bool sized) {
  if (sized) {
    std::fprintf(out, "const BYTE %s[%zu] = {", name, bytes.size());
  } else {
    std::fprintf(out, "const BYTE %s[] = {", name);
  }
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::fprintf(out, "%s%u,", i % 20 == 0 ? "\n  " : " ", bytes[i]);
  }
  std::fprintf(out, "\n};\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_clicks OUTPUT.cpp\n");
    return 2;
  }
  // A high, dry tick for each slide: peak after 0.5 ms, gone in 14 ms.
  const Bytes slide = Wave(22050, Click(22050, 314, 11, 28, {{2300, 0.7}, {4100, 0.3}}), true);
  // A lower knock for a swap: peak after 2 ms, rings for 65 ms.
  const Bytes swap =
      Wave(44100, Click(44100, 2874, 90, 420, {{900, 0.6}, {1700, 0.3}, {3100, 0.1}}), false);
  // The chime: two notes a fifth apart, half a second.
  Bytes chime = Click(22050, 5000, 60, 1800, {{660, 0.5}, {990, 0.3}});
  const Bytes second = Click(22050, 6000, 60, 2400, {{880, 0.5}, {1320, 0.3}});
  chime.insert(chime.end(), second.begin(), second.end());
  const Bytes chimeWave = Wave(22050, chime, false);

  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) return 1;
  std::fprintf(out, "// Made by make_clicks; do not edit.\n#include \"resources/clicks.h\"\n\n");
  Emit(out, "WaveSwapData", swap, true);
  Emit(out, "WaveSlideData", slide, true);
  Emit(out, "WaveChimeData", chimeWave, false);
  std::fprintf(out, "const unsigned WaveChimeSize = %zu;\n", chimeWave.size());
  return std::fclose(out) == 0 ? 0 : 1;
}
