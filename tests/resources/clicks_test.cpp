// The compiled-in sounds: each click's exact RIFF layout and format, that it is a click
// that dies away, and that the chime and both clicks are plain PCM our player takes whole.
// The layout is read here by a small reader of the test's own, not by the player's parser.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/wave_image.h"
#include "puzzle/puzzle.h"
#include "resources/rcdata.h"

namespace {

unsigned U16(const BYTE* p) {
  return static_cast<unsigned>(p[0]) | static_cast<unsigned>(p[1]) << 8;
}
std::uint32_t U32(const BYTE* p) {
  return static_cast<std::uint32_t>(U16(p)) | static_cast<std::uint32_t>(U16(p + 2)) << 16;
}

struct TChunk {
  std::string Id;
  std::uint32_t Size = 0;
  const BYTE* Body = nullptr;
};

// The chunks of a RIFF/WAVE image, or a reason why it is not one. Every chunk must fit,
// odd ones are padded to an even length, and the last must end where the image ends.
struct TRiffWave {
  std::uint32_t RiffSize = 0;
  std::vector<TChunk> Chunks;
  std::string Problem;

  TRiffWave(const BYTE* data, std::size_t size) {
    if (data == nullptr || size < 12) {
      Problem = "shorter than a RIFF header";
      return;
    }
    RiffSize = U32(data + 4);
    if (std::string(reinterpret_cast<const char*>(data), 4) != "RIFF" ||
        std::string(reinterpret_cast<const char*>(data + 8), 4) != "WAVE") {
      Problem = "not RIFF/WAVE";
      return;
    }
    if (RiffSize + std::size_t{8} != size) {
      Problem = "RIFF size " + std::to_string(RiffSize) + " for " + std::to_string(size) + " bytes";
      return;
    }
    std::size_t at = 12;
    while (at < size) {
      if (size - at < 8) {
        Problem = "a chunk header runs past the end";
        return;
      }
      TChunk chunk{std::string(reinterpret_cast<const char*>(data + at), 4), U32(data + at + 4),
                   data + at + 8};
      const std::size_t padded = chunk.Size + std::size_t{chunk.Size % 2};
      if (padded > size - at - 8) {
        Problem = "chunk \"" + chunk.Id + "\" runs past the end";
        return;
      }
      Chunks.push_back(chunk);
      at += 8 + padded;
    }
  }

  std::vector<std::string> Ids() const {
    std::vector<std::string> ids;
    for (const TChunk& chunk : Chunks) ids.push_back(chunk.Id);
    return ids;
  }
  const TChunk* Find(const std::string& id) const {
    for (const TChunk& chunk : Chunks) {
      if (chunk.Id == id) return &chunk;
    }
    return nullptr;
  }
};

// The "fmt " fields of a PCM image.
struct TFormat {
  unsigned Tag;
  unsigned Channels;
  std::uint32_t Rate;
  std::uint32_t BytesPerSecond;
  unsigned BlockAlign;
  unsigned Bits;
};

TFormat FormatOf(const TChunk& fmt) {
  const BYTE* p = fmt.Body;
  return {U16(p), U16(p + 2), U32(p + 4), U32(p + 8), U16(p + 12), U16(p + 14)};
}

// What a click must be, exactly.
struct TClickLayout {
  const char* Name;
  int Resource;
  std::size_t Bytes;
  std::uint32_t Rate;
  std::uint32_t SampleBytes;
  std::vector<std::string> ChunkIds;
  std::uint32_t SamplerBytes;  // 0: no sampler chunk
  unsigned PeakWithinMs;
};

const std::vector<TClickLayout>& Clicks() {
  static const std::vector<TClickLayout> clicks = {
      {"slide", WAVE_SLIDE, 426, 22050, 314, {"fmt ", "data", "smpl"}, 60, 3},
      {"swap", WAVE_SWAP, 2918, 44100, 2874, {"fmt ", "data"}, 0, 7},
  };
  return clicks;
}

int Deviation(BYTE sample) {
  return std::abs(static_cast<int>(sample) - 128);
}

TEST(CompiledClicks, HaveExactlyTheirSizeChunksAndFormat) {
  for (const TClickLayout& click : Clicks()) {
    SCOPED_TRACE(click.Name);
    const TRcData resource = FindRcData(click.Resource);
    ASSERT_EQ(resource.Size, click.Bytes);
    const TRiffWave wave(resource.Data, resource.Size);
    ASSERT_EQ(wave.Problem, "");
    EXPECT_EQ(wave.Ids(), click.ChunkIds);

    const TChunk* fmt = wave.Find("fmt ");
    ASSERT_NE(fmt, nullptr);
    EXPECT_EQ(fmt->Size, 16u);
    const TFormat format = FormatOf(*fmt);
    EXPECT_EQ(format.Tag, 1u) << "PCM";
    EXPECT_EQ(format.Channels, 1u);
    EXPECT_EQ(format.Rate, click.Rate);
    EXPECT_EQ(format.Bits, 8u);
    EXPECT_EQ(format.BlockAlign, 1u);
    EXPECT_EQ(format.BytesPerSecond, click.Rate);

    const TChunk* data = wave.Find("data");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->Size, click.SampleBytes);

    const TChunk* sampler = wave.Find("smpl");
    EXPECT_EQ(sampler != nullptr ? sampler->Size : 0u, click.SamplerBytes);
  }
}

TEST(CompiledClicks, PeakAtOnceAndDieAwayToUnsignedSilence) {
  for (const TClickLayout& click : Clicks()) {
    SCOPED_TRACE(click.Name);
    const TRcData resource = FindRcData(click.Resource);
    const TRiffWave wave(resource.Data, resource.Size);
    const TChunk* data = wave.Find("data");
    ASSERT_NE(data, nullptr);
    const std::size_t count = data->Size;
    ASSERT_GT(count, 0u);

    std::size_t peakAt = 0;
    for (std::size_t i = 1; i < count; ++i) {
      if (Deviation(data->Body[i]) > Deviation(data->Body[peakAt])) peakAt = i;
    }
    const int peak = Deviation(data->Body[peakAt]);
    // A click one can hear: a quarter of full scale at least.
    EXPECT_GE(peak, 32);
    // Sample i sounds at i / rate seconds.
    EXPECT_LT(peakAt * 1000, std::size_t{click.PeakWithinMs} * click.Rate)
        << "peak at sample " << peakAt;

    // The last tenth has died away around 128, the silence of unsigned 8-bit samples.
    int tail = 0;
    for (std::size_t i = count - count / 10; i < count; ++i) {
      tail = std::max(tail, Deviation(data->Body[i]));
    }
    EXPECT_LE(tail * 8, peak) << "the last tenth reaches " << tail << " against a peak of " << peak;
  }
}

TEST(CompiledClicks, OurPlayerReadsThemAsTheyAreLaidOut) {
  for (const TClickLayout& click : Clicks()) {
    SCOPED_TRACE(click.Name);
    const TRcData resource = FindRcData(click.Resource);
    const TRiffWave wave(resource.Data, resource.Size);
    const TChunk* data = wave.Find("data");
    ASSERT_NE(data, nullptr);
    // Played from memory, the image's own header must give its whole length.
    EXPECT_EQ(WaveImageExtent(resource.Data), click.Bytes);
    TWaveImage parsed;
    ASSERT_TRUE(ParseWaveImage(resource.Data, resource.Size, parsed));
    EXPECT_EQ(parsed.channels, 1u);
    EXPECT_EQ(parsed.sampleRate, click.Rate);
    EXPECT_EQ(parsed.bitsPerSample, 8u);
    EXPECT_EQ(parsed.samples, data->Body);
    EXPECT_EQ(parsed.sampleBytes, click.SampleBytes);
  }
}

TEST(CompiledChime, IsPlainPcmWithSound) {
  const TRcData chime = FindRcData(WAVE_CHIME);
  ASSERT_NE(chime.Data, nullptr);
  const TRiffWave wave(chime.Data, chime.Size);
  ASSERT_EQ(wave.Problem, "");
  const TChunk* fmt = wave.Find("fmt ");
  const TChunk* data = wave.Find("data");
  ASSERT_NE(fmt, nullptr);
  ASSERT_NE(data, nullptr);
  ASSERT_GE(fmt->Size, 16u);
  const TFormat format = FormatOf(*fmt);
  EXPECT_EQ(format.Tag, 1u) << "PCM";
  EXPECT_TRUE(format.Channels == 1 || format.Channels == 2);
  EXPECT_TRUE(format.Bits == 8 || format.Bits == 16);
  EXPECT_EQ(format.BlockAlign, format.Channels * format.Bits / 8);
  EXPECT_EQ(format.BytesPerSecond, format.Rate * format.BlockAlign);
  ASSERT_GT(format.BlockAlign, 0u);
  EXPECT_EQ(data->Size % format.BlockAlign, 0u);

  // Not silence: 8-bit samples are unsigned around 128, 16-bit signed around 0.
  int loudest = 0;
  if (format.Bits == 8) {
    for (std::uint32_t i = 0; i < data->Size; ++i)
      loudest = std::max(loudest, Deviation(data->Body[i]));
    EXPECT_GE(loudest, 32);
  } else {
    for (std::uint32_t i = 0; i + 1 < data->Size; i += 2) {
      loudest = std::max(
          loudest, std::abs(static_cast<int>(static_cast<std::int16_t>(U16(data->Body + i)))));
    }
    EXPECT_GE(loudest, 8192);
  }

  EXPECT_EQ(WaveImageExtent(chime.Data), chime.Size);
  TWaveImage parsed;
  ASSERT_TRUE(ParseWaveImage(chime.Data, chime.Size, parsed));
  EXPECT_EQ(parsed.sampleRate, format.Rate);
  EXPECT_EQ(parsed.sampleBytes, data->Size);
}

TEST(CompiledResources, NumbersWithoutASoundFindNothing) {
  for (int id : {-1, 0, 9, 13, 1000}) {
    SCOPED_TRACE(id);
    const TRcData none = FindRcData(id);
    EXPECT_EQ(none.Data, nullptr);
    EXPECT_EQ(none.Size, 0u);
  }
}

}  // namespace
