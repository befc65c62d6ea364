// The WAV reader: what it takes from good images and that it turns away bad ones without
// reading outside them.
#include "platform/wave_image.h"

#include "platform/wave_builder.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace wave_builder;

namespace {

// Parses a copy held in a heap block of exactly the image's size, so that a sanitizer
// build catches any read past its end; the samples found are copied out while the block
// lives.
bool Parse(const TBytes& image, TWaveImage& wave, TBytes* samples = nullptr) {
  auto copy = std::make_unique<std::uint8_t[]>(image.size() + (image.empty() ? 1 : 0));
  if (!image.empty()) std::memcpy(copy.get(), image.data(), image.size());
  const bool ok = ParseWaveImage(copy.get(), image.size(), wave);
  if (ok) {
    // The sample range must lie inside the block it came from.
    EXPECT_GE(wave.samples, copy.get());
    EXPECT_LE(wave.samples + wave.sampleBytes, copy.get() + image.size());
    if (samples != nullptr) samples->assign(wave.samples, wave.samples + wave.sampleBytes);
  }
  return ok;
}

}  // namespace

TEST(WaveImage, ReadsEightBitMono) {
  const TBytes samples = {0x80, 0x90, 0x70};
  TWaveImage wave;
  TBytes found;
  ASSERT_TRUE(Parse(PcmWave(1, 11025, 8, samples), wave, &found));
  EXPECT_EQ(wave.channels, 1u);
  EXPECT_EQ(wave.sampleRate, 11025u);
  EXPECT_EQ(wave.bitsPerSample, 8u);
  EXPECT_EQ(found, samples);
}

TEST(WaveImage, ReadsSixteenBitStereoAndDropsAPartialFrame) {
  const TBytes samples = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};  // two frames and half of one
  TWaveImage wave;
  TBytes found;
  ASSERT_TRUE(Parse(PcmWave(2, 44100, 16, samples), wave, &found));
  EXPECT_EQ(wave.channels, 2u);
  EXPECT_EQ(wave.bitsPerSample, 16u);
  EXPECT_EQ(found, TBytes(samples.begin(), samples.begin() + 8));
}

TEST(WaveImage, SkipsUnknownAndOddSizedChunks) {
  const TBytes samples = {10, 20, 30, 40};
  const TBytes image = RiffImage({{"LIST", {'a', 'b', 'c'}},
                                  {"fmt ", FormatBody(1, 1, 8000, 16)},
                                  {"smpl", {1, 2, 3, 4, 5}},
                                  {"data", samples}});
  TWaveImage wave;
  TBytes found;
  ASSERT_TRUE(Parse(image, wave, &found));
  EXPECT_EQ(wave.sampleRate, 8000u);
  EXPECT_EQ(found, samples);
}

TEST(WaveImage, TakesDataThatComesBeforeItsFormat) {
  const TBytes samples = {1, 2};
  TWaveImage wave;
  TBytes found;
  ASSERT_TRUE(
      Parse(RiffImage({{"data", samples}, {"fmt ", FormatBody(1, 1, 22050, 8)}}), wave, &found));
  EXPECT_EQ(wave.sampleRate, 22050u);
  EXPECT_EQ(found, samples);
}

TEST(WaveImage, TakesAnOddLastChunkWhosePadIsMissing) {
  TBytes image = PcmWave(1, 8000, 8, {1, 2, 3});
  image.pop_back();  // the pad byte, which the RIFF size then does not count
  Put32(image, 4, static_cast<std::uint32_t>(image.size() - 8));
  TWaveImage wave;
  TBytes found;
  ASSERT_TRUE(Parse(image, wave, &found));
  EXPECT_EQ(found, (TBytes{1, 2, 3}));
}

TEST(WaveImage, IgnoresBytesAfterTheRiffEnd) {
  TBytes image = PcmWave(1, 8000, 8, {7, 8});
  image.insert(image.end(), {'j', 'u', 'n', 'k', 0xFF, 0xFF, 0xFF, 0xFF});
  TWaveImage wave;
  TBytes found;
  ASSERT_TRUE(Parse(image, wave, &found));
  EXPECT_EQ(found, (TBytes{7, 8}));
}

TEST(WaveImage, TakesExtensiblePcmButNotExtensibleFloat) {
  TWaveImage wave;
  EXPECT_TRUE(Parse(
      RiffImage({{"fmt ", ExtensibleFormatBody(2, 48000, 16, 1)}, {"data", {0, 0, 0, 0}}}), wave));
  EXPECT_EQ(wave.channels, 2u);
  EXPECT_FALSE(Parse(
      RiffImage({{"fmt ", ExtensibleFormatBody(2, 48000, 16, 3)}, {"data", {0, 0, 0, 0}}}), wave));
}

TEST(WaveImage, DurationFollowsRateAndFrameSize) {
  TWaveImage wave;
  ASSERT_TRUE(Parse(PcmWave(2, 22050, 16, TBytes(22050 * 4 / 10, 0)), wave));
  EXPECT_EQ(wave.DurationMs(), 100u);
}

struct TBadImage {
  std::string name;
  TBytes image;
};

std::vector<TBadImage> BadImages() {
  const TBytes good = PcmWave(1, 8000, 8, {1, 2, 3, 4});
  std::vector<TBadImage> bad;
  bad.push_back({"empty", {}});
  bad.push_back({"shorter than a RIFF header", TBytes(good.begin(), good.begin() + 11)});
  TBytes image = good;
  image[3] = 'X';
  bad.push_back({"not RIFF", image});
  image = good;
  std::memcpy(&image[8], "AVI ", 4);
  bad.push_back({"not WAVE", image});
  image = good;
  image.resize(image.size() - 2);
  bad.push_back({"truncated behind its RIFF size", image});
  image = good;
  Put32(image, 4, 0xFFFFFFFF);
  bad.push_back({"RIFF size of 4 GiB", image});
  image = good;
  Put32(image, 4, 2);
  bad.push_back({"RIFF size smaller than its own tag", image});
  image = RiffImage({{"fmt ", FormatBody(1, 1, 8000, 8)}, {"data", {1, 2, 3, 4}}});
  Put32(image, 12 + 8 + 16 + 4, 6);  // the data chunk's size, two beyond the end
  bad.push_back({"data chunk beyond the end", image});
  image = RiffImage({{"fmt ", FormatBody(1, 1, 8000, 8)}, {"LIST", {1, 2}}, {"data", {1, 2}}});
  Put32(image, 12 + 8 + 16 + 4, 0xFFFFFFF8);  // wraps a 32-bit offset back into the image
  bad.push_back({"unknown chunk of almost 4 GiB", image});
  image = RiffImage({{"fmt ", FormatBody(1, 1, 8000, 8)}, {"data", {1, 2}}});
  Put32(image, 16, 0xFFFFFFFF);
  bad.push_back({"format chunk of 4 GiB", image});
  bad.push_back(
      {"float samples", RiffImage({{"fmt ", FormatBody(3, 1, 8000, 32)}, {"data", {0, 0, 0, 0}}})});
  bad.push_back({"ADPCM", RiffImage({{"fmt ", FormatBody(2, 1, 8000, 4)}, {"data", {0, 0}}})});
  bad.push_back({"zero channels", RiffImage({{"fmt ", FormatBody(1, 0, 8000, 8)}, {"data", {0}}})});
  bad.push_back(
      {"three channels", RiffImage({{"fmt ", FormatBody(1, 3, 8000, 8)}, {"data", {0, 0, 0}}})});
  bad.push_back(
      {"24 bits", RiffImage({{"fmt ", FormatBody(1, 1, 8000, 24)}, {"data", {0, 0, 0}}})});
  bad.push_back({"zero bits", RiffImage({{"fmt ", FormatBody(1, 1, 8000, 0)}, {"data", {0}}})});
  bad.push_back({"zero rate", RiffImage({{"fmt ", FormatBody(1, 1, 0, 8)}, {"data", {0}}})});
  bad.push_back(
      {"rate of 4 billion", RiffImage({{"fmt ", FormatBody(1, 1, 0xFFFFFFFF, 8)}, {"data", {0}}})});
  TBytes shortFormat = FormatBody(1, 1, 8000, 8);
  shortFormat.resize(14);
  bad.push_back(
      {"format chunk without sample size", RiffImage({{"fmt ", shortFormat}, {"data", {0}}})});
  TBytes shortExtensible = ExtensibleFormatBody(1, 8000, 16, 1);
  shortExtensible.resize(24);
  bad.push_back(
      {"extensible format cut short", RiffImage({{"fmt ", shortExtensible}, {"data", {0, 0}}})});
  bad.push_back({"no format chunk", RiffImage({{"data", {1, 2}}})});
  bad.push_back(
      {"no data chunk", RiffImage({{"fmt ", FormatBody(1, 1, 8000, 8)}, {"LIST", {1, 2}}})});
  return bad;
}

TEST(WaveImage, RejectsMalformedImages) {
  for (const TBadImage& bad : BadImages()) {
    TWaveImage wave;
    wave.channels = 9;  // a stale value the reader must not leave behind
    EXPECT_FALSE(Parse(bad.image, wave)) << bad.name;
    EXPECT_EQ(wave.samples, nullptr) << bad.name;
    EXPECT_EQ(wave.channels, 0u) << bad.name;
  }
}

TEST(WaveImage, RejectsEveryCutOfAGoodImage) {
  const TBytes good =
      RiffImage({{"LIST", {'x'}}, {"fmt ", FormatBody(1, 2, 8000, 16)}, {"data", TBytes(16, 1)}});
  for (std::size_t size = 0; size < good.size(); ++size) {
    TWaveImage wave;
    EXPECT_FALSE(
        Parse(TBytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)), wave))
        << "cut at " << size;
  }
  TWaveImage wave;
  EXPECT_TRUE(Parse(good, wave));
}

TEST(WaveImageExtent, ComesFromTheRiffHeader) {
  const TBytes image = PcmWave(1, 8000, 8, {1, 2, 3});
  EXPECT_EQ(WaveImageExtent(image.data()), image.size());
}

TEST(WaveImageExtent, RefusesWhatIsNotARiffWaveHeader) {
  EXPECT_EQ(WaveImageExtent(nullptr), 0u);
  TBytes image = PcmWave(1, 8000, 8, {1, 2});
  std::memcpy(&image[8], "AVI ", 4);
  EXPECT_EQ(WaveImageExtent(image.data()), 0u);
  // A one-byte block that is plainly not a WAV must not be read further.
  auto one = std::make_unique<char[]>(1);
  one[0] = 'x';
  EXPECT_EQ(WaveImageExtent(one.get()), 0u);
}

TEST(WaveImageExtent, RefusesImagesOverTheLimit) {
  TBytes header = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  Put32(header, 4, static_cast<std::uint32_t>(kMaxWaveImageBytes - 8));
  EXPECT_EQ(WaveImageExtent(header.data()), kMaxWaveImageBytes);
  Put32(header, 4, static_cast<std::uint32_t>(kMaxWaveImageBytes - 7));
  EXPECT_EQ(WaveImageExtent(header.data()), 0u);
  Put32(header, 4, 0xFFFFFFFF);
  EXPECT_EQ(WaveImageExtent(header.data()), 0u);
}
