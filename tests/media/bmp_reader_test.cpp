// TDib::ReadBmp: the header kinds we read, rows and colour tables, refusal of everything
// else, and the whole BMP Suite against Qt's own reader.
#include <QDir>
#include <QImage>

#include <array>
#include <bit>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/graphics/qt_bridge.h"
#include "media/enhanced_dib.h"
#include "media/test_support.h"

namespace {

using media_test::BmpSuite;
using media_test::Local;
using media_test::WriteBytes;

// A BMP file described field by field; BuildBmp lays it out.
struct TBmpLayout {
  std::uint16_t Signature = 0x4D42;
  std::uint32_t HeaderSize = 40;
  std::int32_t Width = 1;
  std::int32_t Height = 1;
  std::uint16_t Planes = 1;
  std::uint16_t Bits = 24;
  std::uint32_t Compression = BI_RGB;
  std::uint32_t SizeImage = 0;
  std::uint32_t ClrUsed = 0;
  std::vector<std::uint32_t> Masks;      // after a 40-byte header, or inside a larger one
  std::vector<std::uint32_t> Colors;     // 0x00RRGGBB, 3 bytes each after a 12-byte header
  std::optional<std::uint32_t> OffBits;  // default: right after the colour table
  bool PadToOffset = true;               // fill the gap up to OffBits
  std::vector<std::uint8_t> Pixels;
};

void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::uint8_t> BuildBmp(const TBmpLayout& layout) {
  std::vector<std::uint8_t> info;
  Put(info, layout.HeaderSize, 4);
  if (layout.HeaderSize == 12) {
    Put(info, static_cast<std::uint16_t>(layout.Width), 2);
    Put(info, static_cast<std::uint16_t>(layout.Height), 2);
    Put(info, layout.Planes, 2);
    Put(info, layout.Bits, 2);
  } else {
    Put(info, static_cast<std::uint32_t>(layout.Width), 4);
    Put(info, static_cast<std::uint32_t>(layout.Height), 4);
    Put(info, layout.Planes, 2);
    Put(info, layout.Bits, 2);
    Put(info, layout.Compression, 4);
    Put(info, layout.SizeImage, 4);
    Put(info, 2835, 4);
    Put(info, 2835, 4);
    Put(info, layout.ClrUsed, 4);
    Put(info, 0, 4);
    if (layout.HeaderSize > 40) {
      for (std::uint32_t mask : layout.Masks) Put(info, mask, 4);
    }
    info.resize(layout.HeaderSize, 0);
    if (layout.HeaderSize == 40) {
      for (std::uint32_t mask : layout.Masks) Put(info, mask, 4);
    }
  }
  for (std::uint32_t color : layout.Colors) {
    Put(info, color & 0xFF, 1);
    Put(info, (color >> 8) & 0xFF, 1);
    Put(info, (color >> 16) & 0xFF, 1);
    if (layout.HeaderSize != 12) Put(info, 0x77, 1);  // reserved byte: any value
  }
  const std::uint32_t natural = static_cast<std::uint32_t>(14 + info.size());
  const std::uint32_t offBits = layout.OffBits.value_or(natural);
  std::vector<std::uint8_t> out;
  Put(out, layout.Signature, 2);
  Put(out, 14 + info.size() + layout.Pixels.size(), 4);
  Put(out, 0, 4);
  Put(out, offBits, 4);
  out.insert(out.end(), info.begin(), info.end());
  if (layout.PadToOffset && offBits > natural) out.resize(offBits, 0xEE);
  out.insert(out.end(), layout.Pixels.begin(), layout.Pixels.end());
  return out;
}

class BmpFileTest : public testing::Test {
 protected:
  // Writes the file and reads it into Dib.
  bool Read(const std::vector<std::uint8_t>& bytes) {
    const QString path = Dir.filePath(QStringLiteral("picture.bmp"));
    EXPECT_TRUE(WriteBytes(path, bytes));
    return Dib.ReadBmp(Local(path).c_str());
  }
  bool Read(const TBmpLayout& layout) { return Read(BuildBmp(layout)); }

  // Fills Dib with a valid picture first, so that a refusal must also empty it.
  void Preload() {
    TBmpLayout layout;
    layout.Pixels = {1, 2, 3, 0};
    ASSERT_TRUE(Read(layout));
    ASSERT_TRUE(Dib.IsOK());
  }

  std::vector<int> ColorTable() const {
    std::vector<int> out;
    const RGBQUAD* colors = Dib.GetColors();
    for (int i = 0; colors != nullptr && i < Dib.NumColors(); ++i) {
      out.push_back(colors[i].rgbRed << 16 | colors[i].rgbGreen << 8 | colors[i].rgbBlue);
    }
    return out;
  }

  std::vector<int> Row(int y) const {
    const BYTE* row = Dib.ScanLine(y);
    if (row == nullptr) return {};
    return std::vector<int>(row, row + Dib.BytesPerLine());
  }

  QTemporaryDir Dir;
  TDib Dib;
};

// ---------------------------------------------------------------------------------------
// Headers we read

TEST_F(BmpFileTest, CoreHeaderBecomesAnInfoHeaderWithAWidenedColourTable) {
  TBmpLayout layout;
  layout.HeaderSize = 12;
  layout.Width = 3;
  layout.Height = 2;
  layout.Bits = 1;
  layout.Colors = {0x102030, 0xA0B0C0};
  layout.Pixels = {0xA0, 0, 0, 0, 0x40, 0, 0, 0};
  ASSERT_TRUE(Read(layout));
  const BITMAPINFOHEADER* header = Dib.GetInfoHeader();
  EXPECT_EQ(header->biSize, 40u);
  EXPECT_EQ(Dib.Width(), 3);
  EXPECT_EQ(Dib.Height(), 2);
  EXPECT_EQ(Dib.BitsPixel(), 1);
  EXPECT_EQ(Dib.Compression(), DWORD{BI_RGB});
  EXPECT_EQ(ColorTable(), (std::vector<int>{0x102030, 0xA0B0C0}));
  EXPECT_EQ(Dib.GetColors()[0].rgbReserved, 0);
  EXPECT_EQ(Dib.GetColors()[1].rgbReserved, 0);
  EXPECT_EQ(Row(0), (std::vector<int>{0xA0, 0, 0, 0}));
  EXPECT_EQ(Row(1), (std::vector<int>{0x40, 0, 0, 0}));
}

TEST_F(BmpFileTest, CoreHeaderFullTableIsWidenedEntryByEntry) {
  TBmpLayout layout;
  layout.HeaderSize = 12;
  layout.Width = 2;
  layout.Height = 1;
  layout.Bits = 8;
  for (std::uint32_t i = 0; i < 256; ++i) layout.Colors.push_back(i * 0x010203u & 0xFFFFFF);
  layout.Pixels = {255, 1, 0, 0};
  ASSERT_TRUE(Read(layout));
  ASSERT_EQ(Dib.NumColors(), 256);
  const std::vector<int> table = ColorTable();
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(table[i], static_cast<int>(i * 0x010203u & 0xFFFFFF)) << "entry " << i;
  }
}

TEST_F(BmpFileTest, V4AndV5HeadersTakeTheirBitFieldMasksFromTheHeader) {
  for (std::uint32_t size : {108u, 124u}) {
    SCOPED_TRACE(size);
    TBmpLayout layout;
    layout.HeaderSize = size;
    layout.Width = 2;
    layout.Bits = 16;
    layout.Compression = BI_BITFIELDS;
    layout.Masks = {0xF800, 0x07E0, 0x001F};
    layout.Pixels = {0x00, 0xF8, 0x1F, 0x00};
    ASSERT_TRUE(Read(layout));
    EXPECT_EQ(Dib.GetInfoHeader()->biSize, 40u);
    const DWORD* masks = Dib.GetMasks();
    ASSERT_NE(masks, nullptr);
    EXPECT_EQ((std::vector<DWORD>{masks[0], masks[1], masks[2]}),
              (std::vector<DWORD>{0xF800, 0x07E0, 0x001F}));
    EXPECT_EQ(Row(0), (std::vector<int>{0x00, 0xF8, 0x1F, 0x00}));
  }
}

TEST_F(BmpFileTest, V5HeaderWithoutBitFieldsIgnoresItsMasksAndKeepsItsColourTable) {
  TBmpLayout layout;
  layout.HeaderSize = 124;
  layout.Width = 4;
  layout.Bits = 8;
  layout.ClrUsed = 2;
  layout.Masks = {0xFF0000, 0xFF00, 0xFF};
  layout.Colors = {0x112233, 0x445566};
  layout.Pixels = {1, 0, 1, 1};
  ASSERT_TRUE(Read(layout));
  EXPECT_EQ(Dib.GetMasks(), nullptr);
  EXPECT_EQ(ColorTable(), (std::vector<int>{0x112233, 0x445566}));
  EXPECT_EQ(Row(0), (std::vector<int>{1, 0, 1, 1}));
}

TEST_F(BmpFileTest, InfoHeaderBitFieldsReadTheMasksAfterTheHeader) {
  TBmpLayout layout;
  layout.Bits = 32;
  layout.Compression = BI_BITFIELDS;
  layout.Masks = {0xFF000000, 0x00FF0000, 0x0000FF00};
  layout.Pixels = {0x00, 0x30, 0x20, 0x10};
  ASSERT_TRUE(Read(layout));
  const DWORD* masks = Dib.GetMasks();
  ASSERT_NE(masks, nullptr);
  EXPECT_EQ(masks[0], 0xFF000000u);
  EXPECT_EQ(masks[2], 0x0000FF00u);
  EXPECT_EQ(Row(0), (std::vector<int>{0x00, 0x30, 0x20, 0x10}));
}

// ---------------------------------------------------------------------------------------
// Rows, offsets and colour tables

TEST_F(BmpFileTest, TopDownRowsAreStoredBottomUp) {
  TBmpLayout layout;
  layout.Width = 1;
  layout.Height = -3;
  layout.Pixels = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0};  // top row first
  ASSERT_TRUE(Read(layout));
  EXPECT_EQ(Dib.Height(), 3);
  EXPECT_EQ(Row(0), (std::vector<int>{3, 3, 3, 0}));
  EXPECT_EQ(Row(1), (std::vector<int>{2, 2, 2, 0}));
  EXPECT_EQ(Row(2), (std::vector<int>{1, 1, 1, 0}));
}

TEST_F(BmpFileTest, BottomUpRowsAreKeptAsStoredAndTheImageSizeIsRecomputed) {
  TBmpLayout layout;
  layout.Width = 2;
  layout.Height = 2;
  layout.SizeImage = 0x7FFFFFF0;  // ignored for uncompressed rows
  layout.Pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  ASSERT_TRUE(Read(layout));
  EXPECT_EQ(Dib.SizeImage(), 16u);
  EXPECT_EQ(Row(0), (std::vector<int>{1, 2, 3, 4, 5, 6, 0, 0}));
  EXPECT_EQ(Row(1), (std::vector<int>{7, 8, 9, 10, 11, 12, 0, 0}));
}

TEST_F(BmpFileTest, PixelOffsetBeyondTheTableSkipsTheGap) {
  TBmpLayout layout;
  layout.Width = 1;
  layout.OffBits = 14 + 40 + 20;
  layout.Pixels = {9, 8, 7, 0};
  ASSERT_TRUE(Read(layout));
  EXPECT_EQ(Row(0), (std::vector<int>{9, 8, 7, 0}));
}

TEST_F(BmpFileTest, ZeroPixelOffsetMeansRowsFollowTheWholeDeclaredTable) {
  TBmpLayout layout;
  layout.Width = 4;
  layout.Bits = 8;
  layout.ClrUsed = 300;  // more than 8 bits can index: the first 256 are kept
  for (std::uint32_t i = 0; i < 300; ++i) layout.Colors.push_back(i);
  layout.OffBits = 0;
  layout.Pixels = {4, 3, 2, 1};
  ASSERT_TRUE(Read(layout));
  EXPECT_EQ(Dib.NumColors(), 256);
  EXPECT_EQ(ColorTable()[255], 255);
  EXPECT_EQ(Row(0), (std::vector<int>{4, 3, 2, 1}));
}

TEST_F(BmpFileTest, PixelOffsetsBackIntoTheHeadersOrTheTableAreIgnored) {
  // The rows follow the whole 4-entry table whatever an offset before its end says.
  for (std::uint32_t offset : {0u, 2u, 30u, 54u, 54u + 8u, 54u + 16u}) {
    SCOPED_TRACE(offset);
    TBmpLayout layout;
    layout.Width = 4;
    layout.Bits = 8;
    layout.ClrUsed = 4;
    layout.Colors = {0x111111, 0x222222, 0x333333, 0x444444};
    layout.OffBits = offset;
    layout.Pixels = {3, 2, 1, 0};
    ASSERT_TRUE(Read(layout));
    EXPECT_EQ(ColorTable(), (std::vector<int>{0x111111, 0x222222, 0x333333, 0x444444}));
    EXPECT_EQ(Row(0), (std::vector<int>{3, 2, 1, 0}));
  }
}

TEST_F(BmpFileTest, HighColourPicturesKeepAnOptionalTableOfAtMost256Entries) {
  TBmpLayout layout;
  layout.Width = 1;
  layout.ClrUsed = 300;
  for (std::uint32_t i = 0; i < 300; ++i) layout.Colors.push_back(i << 8);
  layout.Pixels = {5, 6, 7, 0};
  ASSERT_TRUE(Read(layout));
  EXPECT_EQ(Dib.BitsPixel(), 24);
  EXPECT_EQ(Dib.NumColors(), 256);
  EXPECT_EQ(Row(0), (std::vector<int>{5, 6, 7, 0}));
}

TEST_F(BmpFileTest, EmptyColoursUsedTakesTheFullTableOfTheBitCount) {
  TBmpLayout layout;
  layout.Width = 8;
  layout.Bits = 4;
  for (std::uint32_t i = 0; i < 16; ++i) layout.Colors.push_back(i * 0x111111);
  layout.Pixels = {0x01, 0x23, 0x45, 0x67};
  ASSERT_TRUE(Read(layout));
  EXPECT_EQ(Dib.NumColors(), 16);
  EXPECT_EQ(ColorTable()[15], 0xFFFFFF);
}

TEST_F(BmpFileTest, RunLengthDataIsReadAsStoredAndStaysCompressed) {
  TBmpLayout layout;
  layout.Width = 4;
  layout.Height = 2;
  layout.Bits = 8;
  layout.Compression = BI_RLE8;
  layout.ClrUsed = 2;
  layout.Colors = {0, 0xFFFFFF};
  layout.Pixels = {4, 1, 0, 0, 4, 0, 0, 1};
  layout.SizeImage = static_cast<std::uint32_t>(layout.Pixels.size());
  ASSERT_TRUE(Read(layout));
  EXPECT_EQ(Dib.Compression(), DWORD{BI_RLE8});
  EXPECT_EQ(Dib.SizeImage(), 8u);
  ASSERT_NE(Dib.GetBits(), nullptr);
  EXPECT_EQ(std::vector<int>(Dib.GetBits(), Dib.GetBits() + 8),
            (std::vector<int>{4, 1, 0, 0, 4, 0, 0, 1}));
}

// ---------------------------------------------------------------------------------------
// Refusals

TEST_F(BmpFileTest, BadHeadersAreRefusedAndLeaveTheDibEmpty) {
  const std::vector<std::pair<std::string, std::function<void(TBmpLayout&)>>> cases = {
      {"not BM", [](TBmpLayout& s) { s.Signature = 0x4142; }},
      {"16-byte header", [](TBmpLayout& s) { s.HeaderSize = 16; }},
      {"52-byte header", [](TBmpLayout& s) { s.HeaderSize = 52; }},
      {"64-byte header", [](TBmpLayout& s) { s.HeaderSize = 64; }},
      {"planes 2", [](TBmpLayout& s) { s.Planes = 2; }},
      {"width 0", [](TBmpLayout& s) { s.Width = 0; }},
      {"negative width", [](TBmpLayout& s) { s.Width = -1; }},
      {"height 0", [](TBmpLayout& s) { s.Height = 0; }},
      {"most negative height", [](TBmpLayout& s) { s.Height = INT32_MIN; }},
      {"2 bits", [](TBmpLayout& s) { s.Bits = 2; }},
      {"64 bits", [](TBmpLayout& s) { s.Bits = 64; }},
      {"0 bits", [](TBmpLayout& s) { s.Bits = 0; }},
      {"JPEG inside", [](TBmpLayout& s) { s.Compression = 4; }},
      {"PNG inside", [](TBmpLayout& s) { s.Compression = 5; }},
      {"alpha bit fields", [](TBmpLayout& s) { s.Compression = 6; }},
      {"24-bit bit fields",
       [](TBmpLayout& s) {
         s.Compression = BI_BITFIELDS;
         s.Masks = {0xFF0000, 0xFF00, 0xFF};
       }},
      {"RLE8 at 4 bits", [](TBmpLayout& s) { s.Bits = 4, s.Compression = BI_RLE8; }},
      {"top-down RLE",
       [](TBmpLayout& s) {
         s.Bits = 8, s.Compression = BI_RLE8, s.Height = -1, s.ClrUsed = 1;
         s.Colors = {0};
         s.SizeImage = 4;
       }},
      {"pixel offset past the end",
       [](TBmpLayout& s) {
         s.OffBits = 5000;
         s.PadToOffset = false;
       }},
      {"one pixel byte short", [](TBmpLayout& s) { s.Pixels.pop_back(); }},
      {"colour table declared longer than the file holds",
       [](TBmpLayout& s) {
         s.Bits = 8, s.ClrUsed = 256, s.Colors = {1, 2, 3};
       }},
      {"RLE data longer than the file",
       [](TBmpLayout& s) {
         s.Bits = 8, s.Compression = BI_RLE8, s.ClrUsed = 1, s.Colors = {0};
         s.SizeImage = 5;
       }},
  };
  for (const auto& [name, change] : cases) {
    SCOPED_TRACE(name);
    Preload();
    TBmpLayout layout;
    layout.Pixels = {1, 2, 3, 0};
    change(layout);
    EXPECT_FALSE(Read(layout));
    EXPECT_FALSE(Dib.IsOK());
    EXPECT_EQ(Dib.BlockSize(), 0u);
  }
}

TEST_F(BmpFileTest, BitFieldMasksAreTakenAsTheyAre) {
  // A pixel with every bit set, then one with none: an empty channel (or one outside the
  // pixel) reads 0, overlapping channels each read the shared bits.
  struct TCase {
    int Bits;
    std::vector<std::uint32_t> Masks;
    QRgb AllSet;
  };
  const std::vector<TCase> cases = {
      {16, {0xF800, 0x07E0, 0x001F}, qRgb(255, 255, 255)},
      {16, {0xF800, 0x07E0, 0x0000}, qRgb(255, 255, 0)},
      {16, {0xFC00, 0x07E0, 0x001F}, qRgb(255, 255, 255)},
      {16, {0xF800, 0x07E0, 0x10000}, qRgb(255, 255, 0)},
      {16, {0, 0, 0}, qRgb(0, 0, 0)},
      {32, {0xFFFFFFFF, 0, 0x000000FF}, qRgb(255, 0, 255)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.Masks));
    TBmpLayout layout;
    layout.Width = 2;
    layout.Bits = static_cast<std::uint16_t>(c.Bits);
    layout.Compression = BI_BITFIELDS;
    layout.Masks = c.Masks;
    layout.Pixels.assign(c.Bits / 8, 0xFF);
    layout.Pixels.resize(c.Bits / 4, 0);
    while (layout.Pixels.size() % 4 != 0) layout.Pixels.push_back(0);
    ASSERT_TRUE(Read(layout));
    const QImage image = DibToImage(Dib);
    ASSERT_EQ(image.width(), 2);
    EXPECT_EQ(image.pixel(0, 0), c.AllSet);
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0));
  }
}

TEST_F(BmpFileTest, HugeDeclaredSizesAreRefusedAgainstTheFileLength) {
  // Each would need far more pixel data than the file has, or more than a DIB may hold.
  const std::vector<std::pair<std::int32_t, std::int32_t>> sizes = {
      {30000, 30000}, {INT32_MAX, 1}, {1, INT32_MAX}, {INT32_MAX, INT32_MAX}, {3000000, -2000000}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    Preload();
    TBmpLayout layout;
    layout.Width = width;
    layout.Height = height;
    layout.Bits = 32;
    layout.Pixels.assign(4096, 0);
    EXPECT_FALSE(Read(layout));
    EXPECT_FALSE(Dib.IsOK());
  }
}

TEST_F(BmpFileTest, EveryCutOfAGoodFileIsRefused) {
  TBmpLayout layout;
  layout.HeaderSize = 124;
  layout.Width = 3;
  layout.Height = -2;
  layout.Bits = 8;
  layout.ClrUsed = 3;
  layout.Colors = {1, 2, 3};
  layout.Pixels.assign(8, 1);
  const std::vector<std::uint8_t> whole = BuildBmp(layout);
  ASSERT_TRUE(Read(whole));
  for (std::size_t length = 0; length < whole.size(); ++length) {
    SCOPED_TRACE(length);
    EXPECT_FALSE(Read(std::vector<std::uint8_t>(whole.begin(), whole.begin() + length)));
    EXPECT_FALSE(Dib.IsOK());
  }
}

TEST_F(BmpFileTest, MissingFilesAndDirectoriesAreRefused) {
  Preload();
  EXPECT_FALSE(Dib.ReadBmp(Local(Dir.filePath(QStringLiteral("none.bmp"))).c_str()));
  EXPECT_FALSE(Dib.IsOK());
  Preload();
  EXPECT_FALSE(Dib.ReadBmp(Local(Dir.path()).c_str()));
  EXPECT_FALSE(Dib.IsOK());
  Preload();
  EXPECT_FALSE(Dib.ReadBmp(nullptr));
  EXPECT_FALSE(Dib.IsOK());
}

// ---------------------------------------------------------------------------------------
// The BMP Suite

struct TChannelWidths {
  int Red = 8, Green = 8, Blue = 8;
};

TChannelWidths WidthsOf(const TDib& dib) {
  if (dib.BitsPixel() != 16 && dib.BitsPixel() != 32) return {};
  if (const DWORD* m = dib.GetMasks()) {
    return {std::popcount(m[0]), std::popcount(m[1]), std::popcount(m[2])};
  }
  if (dib.BitsPixel() == 16) return {5, 5, 5};
  return {};
}

// Qt keeps a narrow channel's value in the top bits of its byte and fills the low bits
// its own way; the DIB conversion scales the full range to 0..255.
int Widen(int qtValue, int bits) {
  if (bits >= 8) return qtValue;
  const int value = qtValue >> (8 - bits);
  const int max = (1 << bits) - 1;
  return (value * 255 + max / 2) / max;
}

// Mismatching pixels of the DIB against an expected image (the first few are shown).
// With widenNarrow, channels narrower than 8 bits of the expected image are widened the
// way the DIB conversion scales them; channels wider than 8 bits are compared with
// wideReference, when given, allowing one level for its truncation where we round.
int CountMismatches(const TDib& dib, const QImage& expected, bool widenNarrow,
                    const QImage* wideReference = nullptr) {
  const QImage ours = DibToImage(dib);
  if (ours.isNull() || ours.size() != expected.size() ||
      (wideReference != nullptr && wideReference->size() != expected.size())) {
    ADD_FAILURE() << "size " << ours.width() << " x " << ours.height() << ", expected "
                  << expected.width() << " x " << expected.height();
    return -1;
  }
  const TChannelWidths widths = widenNarrow ? WidthsOf(dib) : TChannelWidths{};
  auto matches = [&](int ours, int expected, int wide, int bits) {
    if (bits > 8 && wideReference != nullptr) return std::abs(ours - wide) <= 1;
    return ours == Widen(expected, bits);
  };
  int mismatches = 0;
  for (int y = 0; y < ours.height(); ++y) {
    for (int x = 0; x < ours.width(); ++x) {
      const QRgb a = ours.pixel(x, y);
      const QRgb e = expected.pixel(x, y);
      const QRgb w = wideReference != nullptr ? wideReference->pixel(x, y) : e;
      const bool same = matches(qRed(a), qRed(e), qRed(w), widths.Red) &&
                        matches(qGreen(a), qGreen(e), qGreen(w), widths.Green) &&
                        matches(qBlue(a), qBlue(e), qBlue(w), widths.Blue);
      if (!same && ++mismatches <= 3) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex << a << ", expected " << e
                      << " (wide channels " << w << ")";
      }
    }
  }
  return mismatches;
}

QStringList SuiteFiles(const char* folder) {
  const QDir dir(BmpSuite(QString::fromLatin1(folder)));
  QStringList files = dir.entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
  for (QString& name : files) name = dir.filePath(name);
  return files;
}

TEST(BmpSuite, EveryGoodFileReadsWithQtsPixelsOrStaysRunLength) {
  const QStringList files = SuiteFiles("g");
  ASSERT_GE(files.size(), 27) << "BMP Suite files missing in " << BmpSuite("g").toStdString();
  std::set<int> depths;
  std::set<std::string> runLength;
  for (const QString& path : files) {
    const std::string name = QFileInfo(path).fileName().toStdString();
    SCOPED_TRACE(name);
    TEnhancedDib dib;
    ASSERT_TRUE(dib.Load(Local(path).c_str()));
    if (dib.Compression() == BI_RLE8 || dib.Compression() == BI_RLE4) {
      runLength.insert(name);
      continue;
    }
    const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull());
    EXPECT_EQ(CountMismatches(dib, reference, true), 0);
    depths.insert(dib.BitsPixel());
  }
  EXPECT_EQ(depths, (std::set<int>{1, 4, 8, 16, 24, 32}));
  EXPECT_EQ(runLength, (std::set<std::string>{"pal4rle.bmp", "pal8rle.bmp"}));
}

// Several questionable and bad files are a good file's picture stored in an odd way; read
// rightly, they give that file's pixels.
const std::map<std::string, std::string> SamePictureAs = {
    {"q/pal8offs.bmp", "g/pal8.bmp"},        {"q/pal8os2-hs.bmp", "g/pal8.bmp"},
    {"q/pal8os2-sz.bmp", "g/pal8.bmp"},      {"q/pal8os2v2-40sz.bmp", "g/pal8.bmp"},
    {"q/pal8oversizepal.bmp", "g/pal8.bmp"}, {"q/rgb24largepal.bmp", "g/rgb24.bmp"},
    {"q/rgb24lprof.bmp", "g/rgb24.bmp"},     {"b/badbitssize.bmp", "g/pal1.bmp"},
    {"b/baddens1.bmp", "g/pal1.bmp"},        {"b/baddens2.bmp", "g/pal1.bmp"},
    {"b/badfilesize.bmp", "g/pal1.bmp"},
};

QImage SuiteImage(const std::string& relative) {
  TEnhancedDib dib;
  const QString path = BmpSuite(QString::fromStdString(relative));
  if (!dib.Load(Local(path).c_str())) return QImage();
  return DibToImage(dib);
}

TEST(BmpSuite, OddlyStoredCopiesOfGoodPicturesReadAsTheGoodOnes) {
  for (const auto& [odd, good] : SamePictureAs) {
    SCOPED_TRACE(odd);
    const QImage expected = SuiteImage(good);
    ASSERT_FALSE(expected.isNull());
    TEnhancedDib dib;
    ASSERT_TRUE(dib.Load(Local(BmpSuite(QString::fromStdString(odd))).c_str()));
    EXPECT_EQ(CountMismatches(dib, expected, false), 0);
  }
}

// Which files of the questionable and bad folders we refuse; all others must read into a
// DIB that converts to a picture of the size the header gives.
const std::set<std::string> Refused = {
    // header sizes other than 12, 40, 108 and 124
    "q/pal1huffmsb.bmp", "q/pal8os2v2-16.bmp", "q/pal8os2v2-sz.bmp", "q/pal8os2v2.bmp",
    "q/rgb24rle24.bmp", "q/rgb32h52.bmp", "q/rgba32h56.bmp", "b/badheadersize.bmp",
    // bit counts and compressions we do not read
    "q/pal2.bmp", "q/pal2color.bmp", "q/rgba64.bmp", "q/rgb24jpeg.bmp", "q/rgb24png.bmp",
    "q/rgba32abf.bmp", "b/badbitcount.bmp",
    // a colour table shorter than its 8 bits or its count declare: the rows would follow
    // the whole table, past the end of the file
    "q/pal8os2sp.bmp", "b/badpalettesize.bmp",
    // invalid
    "b/badplanes.bmp", "b/badwidth.bmp", "b/reallybig.bmp", "b/rletopdown.bmp", "b/shortfile.bmp",
    "x/ba-bm.bmp"};

TEST(BmpSuite, QuestionableAndBadFilesAreReadSafelyOrRefused) {
  int read = 0;
  for (const char* folder : {"q", "b", "x"}) {
    for (const QString& path : SuiteFiles(folder)) {
      const std::string name = std::string(folder) + "/" + QFileInfo(path).fileName().toStdString();
      SCOPED_TRACE(name);
      TEnhancedDib dib;
      const bool ok = dib.Load(Local(path).c_str());
      EXPECT_EQ(ok, !Refused.contains(name));
      EXPECT_EQ(dib.IsOK(), ok);
      if (!ok) continue;
      ++read;
      if (dib.Compression() == BI_RLE8 || dib.Compression() == BI_RLE4) continue;
      const QImage image = DibToImage(dib);
      EXPECT_FALSE(image.isNull());
      EXPECT_EQ(image.width(), dib.Width());
      EXPECT_EQ(image.height(), dib.Height());
    }
  }
  EXPECT_GE(read, 30);
}

// ImageMagick's reading of a file, for the files Qt reads otherwise.
QImage ReadWithImageMagick(const QString& path) {
  const auto ppm =
      media_test::RunTool(QStringLiteral("/usr/bin/convert"),
                          {path, QStringLiteral("-alpha"), QStringLiteral("off"),
                           QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("ppm:-")});
  if (!ppm) return QImage();
  const auto pnm = media_test::ParsePnm(*ppm);
  if (!pnm || pnm->Channels != 3) return QImage();
  QImage image(pnm->Width, pnm->Height, QImage::Format_RGB32);
  for (int y = 0; y < pnm->Height; ++y) {
    for (int x = 0; x < pnm->Width; ++x) {
      const std::uint8_t* p = pnm->At(x, y);
      image.setPixel(x, y, qRgb(p[0], p[1], p[2]));
    }
  }
  return image;
}

TEST(BmpSuite, QuestionableFilesWeReadMatchAnIndependentReader) {
  // Qt scales channels wider than 8 bits to nothing; ImageMagick reads those as meant
  // (but narrow ones its own way).
  const std::set<std::string> wideChannels = {
      "q/rgb16-3103.bmp",     "q/rgb32-111110.bmp", "q/rgb32-7187.bmp",  "q/rgba16-1924.bmp",
      "q/rgba32-1010102.bmp", "q/rgba32-61754.bmp", "q/rgba32-81284.bmp"};
  int compared = 0;
  for (const QString& path : SuiteFiles("q")) {
    const std::string name = "q/" + QFileInfo(path).fileName().toStdString();
    // Copies of good pictures are compared with those (neither reader takes them all).
    if (Refused.contains(name) || SamePictureAs.contains(name)) continue;
    SCOPED_TRACE(name);
    TEnhancedDib dib;
    ASSERT_TRUE(dib.Load(Local(path).c_str()));
    if (dib.Compression() == BI_RLE8 || dib.Compression() == BI_RLE4) continue;
    const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull());
    if (wideChannels.contains(name)) {
      const QImage wide = ReadWithImageMagick(path);
      ASSERT_FALSE(wide.isNull());
      EXPECT_EQ(CountMismatches(dib, reference, true, &wide), 0);
    } else {
      EXPECT_EQ(CountMismatches(dib, reference, true), 0);
    }
    ++compared;
  }
  EXPECT_GE(compared, 15);
}

}  // namespace
