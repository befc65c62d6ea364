// Fuzz target for the WAV reader: any bytes, and whatever it accepts must lie inside them.
#include "platform/wave_image.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void CheckAccepted(const std::uint8_t* data, std::size_t size, const TWaveImage& wave) {
  const bool shapeOk = (wave.channels == 1 || wave.channels == 2) &&
                       (wave.bitsPerSample == 8 || wave.bitsPerSample == 16) &&
                       wave.sampleRate != 0 && wave.sampleBytes % wave.BytesPerFrame() == 0;
  const bool inside = wave.samples >= data && wave.sampleBytes <= size &&
                      static_cast<std::size_t>(wave.samples - data) <= size - wave.sampleBytes;
  if (!shapeOk || !inside) std::abort();
  static_cast<void>(wave.DurationMs());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TWaveImage wave;
  if (ParseWaveImage(data, size, wave)) CheckAccepted(data, size, wave);
  // The in-memory path: the header alone decides how much is parsed.
  if (size >= 12) {
    const std::size_t extent = WaveImageExtent(data);
    if (extent != 0 && extent <= size && ParseWaveImage(data, extent, wave)) {
      CheckAccepted(data, extent, wave);
    }
  }
  return 0;
}
