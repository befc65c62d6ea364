// TDib: block layout, header checks, and conversion of every bit depth to a Qt image.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <QStringList>

#include <bit>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/graphics/dib.h"
#include "framework/graphics/qt_bridge.h"
#include "test_data.h"

namespace {

BITMAPINFOHEADER Header(LONG width, LONG height, WORD bits, DWORD compression = BI_RGB,
                        DWORD clrUsed = 0, DWORD sizeImage = 0) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bits;
  h.biCompression = compression;
  h.biSizeImage = sizeImage;
  h.biClrUsed = clrUsed;
  return h;
}

const BYTE* Base(const TDib& dib) {
  return reinterpret_cast<const BYTE*>(dib.GetInfoHeader());
}

std::ptrdiff_t OffsetOf(const TDib& dib, const void* p) {
  return static_cast<const BYTE*>(p) - Base(dib);
}

// Colours in the order written; the reserved byte carries junk that must be ignored.
void PutColors(TDib& dib, std::initializer_list<QRgb> colors) {
  RGBQUAD* table = dib.GetColors();
  ASSERT_NE(table, nullptr);
  ASSERT_LE(static_cast<int>(colors.size()), dib.NumColors());
  for (QRgb c : colors) {
    *table++ = RGBQUAD{static_cast<BYTE>(qBlue(c)), static_cast<BYTE>(qGreen(c)),
                       static_cast<BYTE>(qRed(c)), 0x5A};
  }
}

// Row y counted from the bottom, padding included, so the test controls every byte.
void PutRow(TDib& dib, int y, std::initializer_list<unsigned> bytes) {
  BYTE* row = dib.ScanLine(y);
  ASSERT_NE(row, nullptr);
  ASSERT_EQ(bytes.size(), dib.BytesPerLine());
  for (unsigned b : bytes) *row++ = static_cast<BYTE>(b);
}

// Little-endian values of `size` bytes each, then junk in the padding.
void PutPixels(TDib& dib, int y, int size, std::initializer_list<DWORD> pixels) {
  BYTE* row = dib.ScanLine(y);
  ASSERT_NE(row, nullptr);
  const std::size_t used = pixels.size() * static_cast<std::size_t>(size);
  ASSERT_LE(used, dib.BytesPerLine());
  std::memset(row, 0xEE, dib.BytesPerLine());
  for (DWORD p : pixels) {
    for (int i = 0; i < size; ++i) *row++ = static_cast<BYTE>(p >> (8 * i));
  }
}

std::string Hex(QRgb c) {
  return QString::asprintf("%08X", c).toStdString();
}

std::vector<std::string> Hexes(std::initializer_list<QRgb> colors) {
  std::vector<std::string> out;
  for (QRgb c : colors) out.push_back(Hex(c));
  return out;
}

// Image row y counted from the top, as stored: Format_RGB32 words must carry alpha 0xFF,
// which QImage::pixel() would hide.
std::vector<std::string> ImageRow(const QImage& image, int y) {
  std::vector<std::string> out;
  if (image.format() != QImage::Format_RGB32) return out;
  const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
  for (int x = 0; x < image.width(); ++x) out.push_back(Hex(row[x]));
  return out;
}

void ExpectConverted(const QImage& image, int width, int height) {
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.format(), QImage::Format_RGB32);
  EXPECT_EQ(image.width(), width);
  EXPECT_EQ(image.height(), height);
}

constexpr QRgb Black = 0xFF000000;
constexpr QRgb White = 0xFFFFFFFF;

// ---------------------------------------------------------------------------------------
// Block layout

TEST(DibLayout, PaletteDibHasHeaderColoursThenPaddedRows) {
  BITMAPINFOHEADER h = Header(5, 3, 8);
  h.biSize = 124;  // a larger header's fields arrive here; the block keeps 40 bytes
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(h));
  EXPECT_TRUE(dib.IsOK());
  EXPECT_EQ(dib.NumColors(), 256);
  EXPECT_EQ(dib.BytesPerLine(), 8u);
  EXPECT_EQ(dib.SizeImage(), 24u);
  EXPECT_EQ(dib.BlockSize(), 40u + 256 * 4 + 24);
  EXPECT_EQ(dib.GetInfoHeader()->biSize, 40u);
  EXPECT_EQ(dib.GetInfoHeader()->biClrUsed, 256u);
  EXPECT_EQ(dib.GetInfoHeader()->biSizeImage, 24u);
  EXPECT_EQ(static_cast<const void*>(dib.GetInfo()), static_cast<const void*>(Base(dib)));
  EXPECT_EQ(dib.GetMasks(), nullptr);
  EXPECT_EQ(OffsetOf(dib, dib.GetColors()), 40);
  EXPECT_EQ(OffsetOf(dib, dib.GetBits()), 40 + 1024);
  EXPECT_EQ(dib.Width(), 5);
  EXPECT_EQ(dib.Height(), 3);
  EXPECT_EQ(dib.BitsPixel(), 8);
  EXPECT_EQ(dib.Compression(), BI_RGB);
}

TEST(DibLayout, BitFieldMasksSitBetweenHeaderAndColours) {
  TDib withFields;
  ASSERT_TRUE(withFields.CreateFromHeader(Header(3, 2, 16, BI_BITFIELDS, 2)));
  EXPECT_EQ(OffsetOf(withFields, withFields.GetMasks()), 40);
  EXPECT_EQ(OffsetOf(withFields, withFields.GetColors()), 52);
  EXPECT_EQ(OffsetOf(withFields, withFields.GetBits()), 60);
  EXPECT_EQ(withFields.BytesPerLine(), 8u);
  EXPECT_EQ(withFields.BlockSize(), 60u + 16);

  TDib plain;
  ASSERT_TRUE(plain.CreateFromHeader(Header(3, 2, 16)));
  EXPECT_EQ(plain.GetMasks(), nullptr);
  EXPECT_EQ(plain.GetColors(), nullptr);
  EXPECT_EQ(plain.NumColors(), 0);
  EXPECT_EQ(OffsetOf(plain, plain.GetBits()), 40);
  EXPECT_EQ(plain.BlockSize(), 40u + 16);
}

TEST(DibLayout, ColourTableLengthFollowsClrUsed) {
  TDib mono;
  ASSERT_TRUE(mono.CreateFromHeader(Header(9, 1, 1, BI_RGB, 1)));
  EXPECT_EQ(mono.NumColors(), 1);
  EXPECT_EQ(OffsetOf(mono, mono.GetBits()), 44);
  EXPECT_EQ(mono.BlockSize(), 44u + 4);

  TDib nibbles;
  ASSERT_TRUE(nibbles.CreateFromHeader(Header(9, 1, 4)));
  EXPECT_EQ(nibbles.NumColors(), 16);
  EXPECT_EQ(nibbles.GetInfoHeader()->biClrUsed, 16u);

  // True-colour DIBs may carry an optional table.
  TDib rgb;
  ASSERT_TRUE(rgb.CreateFromHeader(Header(1, 1, 24, BI_RGB, 3)));
  EXPECT_EQ(rgb.NumColors(), 3);
  EXPECT_EQ(OffsetOf(rgb, rgb.GetBits()), 52);
}

TEST(DibLayout, ImageSizeIsComputedWhenZeroAndKeptWhenLarger) {
  TDib computed;
  ASSERT_TRUE(computed.CreateFromHeader(Header(3, 2, 24)));
  EXPECT_EQ(computed.SizeImage(), 24u);
  EXPECT_EQ(computed.BlockSize(), 64u);

  TDib larger;
  ASSERT_TRUE(larger.CreateFromHeader(Header(3, 2, 24, BI_RGB, 0, 100)));
  EXPECT_EQ(larger.SizeImage(), 100u);
  EXPECT_EQ(larger.BlockSize(), 140u);
  EXPECT_EQ(larger.BytesPerLine(), 12u);
}

TEST(DibLayout, ScanLinesCountFromTheBottomWithinTheImage) {
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(Header(7, 4, 4)));
  ASSERT_EQ(dib.BytesPerLine(), 4u);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(dib.ScanLine(y), dib.GetBits() + 4 * y) << "row " << y;
  EXPECT_EQ(dib.ScanLine(-1), nullptr);
  EXPECT_EQ(dib.ScanLine(4), nullptr);
  const TDib& constDib = dib;
  EXPECT_EQ(constDib.ScanLine(3), dib.ScanLine(3));
}

TEST(DibLayout, RunLengthDibsKeepTheirDataButHaveNoRows) {
  TDib rle8;
  ASSERT_TRUE(rle8.CreateFromHeader(Header(100, 50, 8, BI_RLE8, 0, 10)));
  EXPECT_EQ(rle8.SizeImage(), 10u);
  EXPECT_EQ(rle8.BlockSize(), 40u + 1024 + 10);
  EXPECT_NE(rle8.GetBits(), nullptr);
  EXPECT_EQ(rle8.ScanLine(0), nullptr);
  EXPECT_TRUE(DibToImage(rle8).isNull());

  TDib rle4;
  ASSERT_TRUE(rle4.CreateFromHeader(Header(100, 50, 4, BI_RLE4, 0, 7)));
  EXPECT_EQ(rle4.BlockSize(), 40u + 64 + 7);
  EXPECT_EQ(rle4.ScanLine(0), nullptr);
  EXPECT_TRUE(DibToImage(rle4).isNull());
}

TEST(DibLayout, RowStridePadsToFourBytesWithoutWrapping) {
  EXPECT_EQ(TDib::RowStride(1, 1), 4u);
  EXPECT_EQ(TDib::RowStride(32, 1), 4u);
  EXPECT_EQ(TDib::RowStride(33, 1), 8u);
  EXPECT_EQ(TDib::RowStride(9, 4), 8u);
  EXPECT_EQ(TDib::RowStride(3, 24), 12u);
  EXPECT_EQ(TDib::RowStride(2, 16), 4u);
  EXPECT_EQ(TDib::RowStride(0x7FFFFFFF, 32), 0x1FFFFFFFCull);
  EXPECT_EQ(TDib::DefaultNumColors(1), 2);
  EXPECT_EQ(TDib::DefaultNumColors(4), 16);
  EXPECT_EQ(TDib::DefaultNumColors(8), 256);
  EXPECT_EQ(TDib::DefaultNumColors(24), 0);
}

TEST(DibLayout, EmptyDibAnswersNullAndZero) {
  TDib dib;
  const TDib& c = dib;
  EXPECT_FALSE(dib.IsOK());
  EXPECT_EQ(dib.BlockSize(), 0u);
  EXPECT_EQ(dib.GetInfoHeader(), nullptr);
  EXPECT_EQ(c.GetInfoHeader(), nullptr);
  EXPECT_EQ(c.GetInfo(), nullptr);
  EXPECT_EQ(dib.GetMasks(), nullptr);
  EXPECT_EQ(dib.GetColors(), nullptr);
  EXPECT_EQ(c.GetColors(), nullptr);
  EXPECT_EQ(dib.GetBits(), nullptr);
  EXPECT_EQ(c.GetBits(), nullptr);
  EXPECT_EQ(dib.ScanLine(0), nullptr);
  EXPECT_EQ(dib.Width(), 0);
  EXPECT_EQ(dib.Height(), 0);
  EXPECT_EQ(dib.BitsPixel(), 0);
  EXPECT_EQ(dib.NumColors(), 0);
  EXPECT_EQ(dib.SizeImage(), 0u);
  EXPECT_EQ(dib.BytesPerLine(), 0u);
  EXPECT_TRUE(DibToImage(dib).isNull());
}

TEST(DibLayout, ReleaseAndCopyKeepDibsIndependent) {
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(Header(2, 2, 24)));
  dib.GetBits()[0] = 0x42;
  TDib copy = dib;
  dib.Release();
  EXPECT_FALSE(dib.IsOK());
  EXPECT_EQ(dib.GetBits(), nullptr);
  ASSERT_TRUE(copy.IsOK());
  EXPECT_EQ(copy.GetBits()[0], 0x42);
}

// A header edited through GetInfoHeader() can describe more than the block holds.
TEST(DibLayout, EditedHeaderNeverReachesOutsideTheBlock) {
  {
    TDib dib;
    ASSERT_TRUE(dib.CreateFromHeader(Header(4, 4, 8, BI_RGB, 4)));
    dib.GetInfoHeader()->biClrUsed = 1000000;
    EXPECT_EQ(dib.GetColors(), nullptr);
    EXPECT_EQ(dib.GetBits(), nullptr);
    EXPECT_EQ(dib.ScanLine(0), nullptr);
    EXPECT_TRUE(DibToImage(dib).isNull());
  }
  {
    TDib dib;
    ASSERT_TRUE(dib.CreateFromHeader(Header(4, 4, 8)));
    dib.GetInfoHeader()->biHeight = 8;
    EXPECT_NE(dib.ScanLine(3), nullptr);
    EXPECT_EQ(dib.ScanLine(4), nullptr);
    EXPECT_TRUE(DibToImage(dib).isNull());
  }
  {
    TDib dib;
    ASSERT_TRUE(dib.CreateFromHeader(Header(4, 4, 8)));
    dib.GetInfoHeader()->biBitCount = 32;  // rows four times longer than stored
    EXPECT_EQ(dib.ScanLine(3), nullptr);
    EXPECT_TRUE(DibToImage(dib).isNull());
  }
  {
    TDib dib;
    ASSERT_TRUE(dib.CreateFromHeader(Header(4, 4, 32)));
    dib.GetInfoHeader()->biCompression = BI_BITFIELDS;  // no room was made for masks
    EXPECT_EQ(dib.GetBits(), nullptr);
    EXPECT_TRUE(DibToImage(dib).isNull());
  }
  {
    TDib dib;
    ASSERT_TRUE(dib.CreateFromHeader(Header(4, 4, 24)));
    dib.GetInfoHeader()->biSizeImage = 0xFFFFFFFF;
    EXPECT_EQ(dib.GetBits(), nullptr);
    EXPECT_EQ(dib.ScanLine(0), nullptr);
  }
  {
    TDib dib;
    ASSERT_TRUE(dib.CreateFromHeader(Header(4, 4, 24)));
    dib.GetInfoHeader()->biWidth = 0x7FFFFFFF;
    dib.GetInfoHeader()->biHeight = 0x7FFFFFFF;
    EXPECT_EQ(dib.ScanLine(0x7FFFFFFE), nullptr);
    EXPECT_TRUE(DibToImage(dib).isNull());
  }
}

// ---------------------------------------------------------------------------------------
// Header checks

TEST(DibRefusal, BadHeadersLeaveTheDibEmpty) {
  constexpr auto Max = static_cast<DWORD>(TDib::MaxBlockSize);
  struct Case {
    const char* what;
    BITMAPINFOHEADER header;
  };
  auto planes = [](WORD p) {
    BITMAPINFOHEADER h = Header(4, 4, 24);
    h.biPlanes = p;
    return h;
  };
  const Case cases[] = {
      {"zero width", Header(0, 4, 24)},
      {"zero height", Header(4, 0, 24)},
      {"negative width", Header(-4, 4, 24)},
      {"top-down rows", Header(4, -4, 24)},
      {"no planes", planes(0)},
      {"two planes", planes(2)},
      {"0 bits", Header(4, 4, 0)},
      {"2 bits", Header(4, 4, 2)},
      {"7 bits", Header(4, 4, 7)},
      {"64 bits", Header(4, 4, 64)},
      {"3 colours for 1 bit", Header(4, 4, 1, BI_RGB, 3)},
      {"17 colours for 4 bits", Header(4, 4, 4, BI_RGB, 17)},
      {"300 colours for 8 bits", Header(4, 4, 8, BI_RGB, 300)},
      {"257 colours for 24 bits", Header(4, 4, 24, BI_RGB, 257)},
      {"bit fields with 24 bits", Header(4, 4, 24, BI_BITFIELDS)},
      {"bit fields with 8 bits", Header(4, 4, 8, BI_BITFIELDS)},
      {"RLE8 with 4 bits", Header(4, 4, 4, BI_RLE8, 0, 16)},
      {"RLE8 with 24 bits", Header(4, 4, 24, BI_RLE8, 0, 16)},
      {"RLE4 with 8 bits", Header(4, 4, 8, BI_RLE4, 0, 16)},
      {"unknown compression", Header(4, 4, 24, 4)},
      {"image size one byte short", Header(3, 2, 24, BI_RGB, 0, 23)},
      {"image size short by a row", Header(3, 2, 24, BI_RGB, 0, 12)},
      // Each of these wraps to a small number in 32-bit arithmetic.
      {"row stride past 32 bits", Header(0x40000001, 1, 32, BI_RGB, 0, 4)},
      {"image size past 32 bits", Header(0x10000, 0x10000, 32)},
      {"largest header", Header(0x7FFFFFFF, 0x7FFFFFFF, 32)},
      {"block size past 32 bits", Header(4, 4, 8, BI_RLE8, 0, 0xFFFFFFFF)},
      // Pixels alone fill MaxBlockSize; the header pushes the block over.
      {"pixels of exactly MaxBlockSize", Header(16384, 16384, 32)},
      {"compressed data one byte over", Header(4, 4, 8, BI_RLE8, 0, Max - 40 - 1024 + 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TDib dib;
    ASSERT_TRUE(dib.CreateFromHeader(Header(2, 2, 8)));
    EXPECT_FALSE(dib.CreateFromHeader(c.header));
    EXPECT_FALSE(dib.IsOK());
    EXPECT_EQ(dib.BlockSize(), 0u);
    EXPECT_EQ(dib.GetInfoHeader(), nullptr);
    EXPECT_EQ(dib.GetBits(), nullptr);
  }
}

// The other side of each limit above is accepted, so the refusals are not blanket ones.
TEST(DibRefusal, HeadersAtTheLimitsAreAccepted) {
  struct Case {
    const char* what;
    BITMAPINFOHEADER header;
  };
  const Case cases[] = {
      {"1 x 1", Header(1, 1, 1)},
      {"2 colours for 1 bit", Header(4, 4, 1, BI_RGB, 2)},
      {"16 colours for 4 bits", Header(4, 4, 4, BI_RGB, 16)},
      {"256 colours for 8 bits", Header(4, 4, 8, BI_RGB, 256)},
      {"256 colours for 32 bits", Header(4, 4, 32, BI_RGB, 256)},
      {"bit fields with 16 bits", Header(4, 4, 16, BI_BITFIELDS)},
      {"bit fields with 32 bits", Header(4, 4, 32, BI_BITFIELDS)},
      {"RLE8 with 8 bits", Header(4, 4, 8, BI_RLE8, 0, 16)},
      {"RLE4 with 4 bits", Header(4, 4, 4, BI_RLE4, 0, 16)},
      {"image size exactly enough", Header(3, 2, 24, BI_RGB, 0, 24)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TDib dib;
    EXPECT_TRUE(dib.CreateFromHeader(c.header));
    EXPECT_TRUE(dib.IsOK());
  }
}

// ---------------------------------------------------------------------------------------
// Conversion to a Qt image, one depth at a time

TEST(DibToImage, OneBitReadsFromTheMostSignificantBitAndSkipsRowPadding) {
  const QRgb a = qRgb(10, 20, 30), b = qRgb(200, 100, 50);
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(Header(10, 2, 1)));
  PutColors(dib, {a, b});
  PutRow(dib, 0, {0b1011'0001, 0b0111'1111, 0xFF, 0xFF});
  PutRow(dib, 1, {0b0000'1111, 0b1000'0000, 0xAA, 0x55});

  const QImage image = DibToImage(dib);
  ExpectConverted(image, 10, 2);
  EXPECT_EQ(ImageRow(image, 0), Hexes({a, a, a, a, b, b, b, b, b, a}));
  EXPECT_EQ(ImageRow(image, 1), Hexes({b, a, b, b, a, a, a, b, a, b}));
}

TEST(DibToImage, FourBitsReadHighNibbleFirstWithOddWidth) {
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(Header(3, 2, 4)));
  std::vector<QRgb> table;
  for (int i = 0; i < 16; ++i) table.push_back(qRgb(i * 16, 255 - i * 16, i));
  RGBQUAD* colors = dib.GetColors();
  ASSERT_NE(colors, nullptr);
  for (int i = 0; i < 16; ++i) {
    colors[i] = RGBQUAD{static_cast<BYTE>(qBlue(table[i])), static_cast<BYTE>(qGreen(table[i])),
                        static_cast<BYTE>(qRed(table[i])), 0};
  }
  PutRow(dib, 0, {0x12, 0x3F, 0x77, 0x77});
  PutRow(dib, 1, {0xF0, 0xAB, 0x99, 0x99});

  const QImage image = DibToImage(dib);
  ExpectConverted(image, 3, 2);
  EXPECT_EQ(ImageRow(image, 0), Hexes({table[15], table[0], table[10]}));
  EXPECT_EQ(ImageRow(image, 1), Hexes({table[1], table[2], table[3]}));
}

TEST(DibToImage, EightBitsGiveBlackForIndicesPastAShortTable) {
  const QRgb c0 = qRgb(1, 2, 3), c1 = qRgb(250, 0, 0), c2 = qRgb(0, 250, 0), c3 = qRgb(0, 0, 250);
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(Header(5, 2, 8, BI_RGB, 4)));
  PutColors(dib, {c0, c1, c2, c3});
  // The bytes after the table are these rows: an index read past it would find them.
  PutRow(dib, 0, {0, 1, 2, 3, 4, 0x11, 0x22, 0x33});
  PutRow(dib, 1, {255, 3, 2, 1, 0, 0x44, 0x55, 0x66});

  const QImage image = DibToImage(dib);
  ExpectConverted(image, 5, 2);
  EXPECT_EQ(ImageRow(image, 0), Hexes({Black, c3, c2, c1, c0}));
  EXPECT_EQ(ImageRow(image, 1), Hexes({c0, c1, c2, c3, Black}));
}

TEST(DibToImage, EightBitsUseAllOfAFullTable) {
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(Header(3, 1, 8)));
  RGBQUAD* colors = dib.GetColors();
  ASSERT_NE(colors, nullptr);
  for (int i = 0; i < 256; ++i) {
    colors[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, 0};
  }
  PutRow(dib, 0, {255, 128, 0, 0});
  const QImage image = DibToImage(dib);
  ExpectConverted(image, 3, 1);
  EXPECT_EQ(ImageRow(image, 0), Hexes({qRgb(7, 0, 255), qRgb(7, 127, 128), qRgb(7, 255, 0)}));
}

TEST(DibToImage, SixteenBitsDefaultToFiveFiveFive) {
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(Header(3, 2, 16)));
  PutPixels(dib, 0, 2, {0x7C00, 0x03E0, 0x001F});
  PutPixels(dib, 1, 2, {0x7FFF, 0x4210, 0x8000});  // the top bit is unused

  const QImage image = DibToImage(dib);
  ExpectConverted(image, 3, 2);
  EXPECT_EQ(ImageRow(image, 0), Hexes({White, qRgb(132, 132, 132), Black}));
  EXPECT_EQ(ImageRow(image, 1), Hexes({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}));
}

TEST(DibToImage, SixteenBitsWithFiveSixFiveBitFields) {
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(Header(3, 2, 16, BI_BITFIELDS)));
  DWORD* masks = dib.GetMasks();
  ASSERT_NE(masks, nullptr);
  masks[0] = 0xF800;
  masks[1] = 0x07E0;
  masks[2] = 0x001F;
  PutPixels(dib, 0, 2, {0xF800, 0x07E0, 0x001F});
  PutPixels(dib, 1, 2, {0x0020, 0x8410, 0xFFFF});

  const QImage image = DibToImage(dib);
  ExpectConverted(image, 3, 2);
  EXPECT_EQ(ImageRow(image, 0), Hexes({qRgb(0, 4, 0), qRgb(132, 130, 132), White}));
  EXPECT_EQ(ImageRow(image, 1), Hexes({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}));
}

TEST(DibToImage, TwentyFourBitsAreBlueGreenRedInPaddedBottomUpRows) {
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(Header(3, 2, 24)));
  PutRow(dib, 0, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xEE, 0xEE, 0xEE});
  PutRow(dib, 1, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xDD, 0xDD, 0xDD});

  const QImage image = DibToImage(dib);
  ExpectConverted(image, 3, 2);
  EXPECT_EQ(ImageRow(image, 0), Hexes({0xFF302010, 0xFF605040, 0xFF908070}));
  EXPECT_EQ(ImageRow(image, 1), Hexes({0xFF030201, 0xFF060504, 0xFF090807}));
}

TEST(DibToImage, ThirtyTwoBitsDefaultIgnoresTheTopByte) {
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(Header(2, 2, 32)));
  PutPixels(dib, 0, 4, {0xAA112233, 0x00FFFFFF});
  PutPixels(dib, 1, 4, {0xFF000000, 0x00ABCDEF});

  const QImage image = DibToImage(dib);
  ExpectConverted(image, 2, 2);
  EXPECT_EQ(ImageRow(image, 0), Hexes({Black, 0xFFABCDEF}));
  EXPECT_EQ(ImageRow(image, 1), Hexes({0xFF112233, White}));
}

// Icons: the top byte is alpha once any pixel has some; without any, the plain picture.
TEST(DibToImage, IconsKeepTheirAlphaWhenTheyHaveAny) {
  struct TCase {
    DWORD Bottom[2], Top[2];
    QImage::Format Format;
    QRgb Want[2][2];  // rows from the top
  };
  const TCase cases[] = {
      {{0xFF000000, 0x00ABCDEF},
       {0x80112233, 0x00FFFFFF},
       QImage::Format_ARGB32,
       {{0x80112233, 0x00FFFFFF}, {0xFF000000, 0x00ABCDEF}}},
      {{0x00000000, 0x00ABCDEF},
       {0x00112233, 0x00FFFFFF},
       QImage::Format_RGB32,
       {{0xFF112233, White}, {Black, 0xFFABCDEF}}},
  };
  for (const TCase& c : cases) {
    TDib dib;
    ASSERT_TRUE(dib.CreateFromHeader(Header(2, 2, 32)));
    PutPixels(dib, 0, 4, {c.Bottom[0], c.Bottom[1]});
    PutPixels(dib, 1, 4, {c.Top[0], c.Top[1]});
    const QImage image = IconToImage(dib);
    SCOPED_TRACE(Hex(c.Top[0]));
    ASSERT_EQ(image.format(), c.Format);
    ASSERT_EQ(image.size(), QSize(2, 2));
    for (int y = 0; y < 2; ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      EXPECT_EQ(Hexes({row[0], row[1]}), Hexes({c.Want[y][0], c.Want[y][1]})) << y;
    }
  }
}

QImage Convert32WithMasks(DWORD red, DWORD green, DWORD blue, std::initializer_list<DWORD> pixels) {
  TDib dib;
  if (!dib.CreateFromHeader(Header(static_cast<LONG>(pixels.size()), 1, 32, BI_BITFIELDS))) {
    return QImage();
  }
  DWORD* masks = dib.GetMasks();
  masks[0] = red;
  masks[1] = green;
  masks[2] = blue;
  PutPixels(dib, 0, 4, pixels);
  return DibToImage(dib);
}

TEST(DibToImage, ThirtyTwoBitsWithBitFields) {
  const QImage shifted = Convert32WithMasks(0xFF000000, 0xFF0000, 0xFF00, {0x112233AA, 0xFF});
  ExpectConverted(shifted, 2, 1);
  EXPECT_EQ(ImageRow(shifted, 0), Hexes({0xFF112233, Black}));

  // Ten bits a channel: 1023 is full, 512 of 1023 rounds to 128, 3 to 1.
  const QImage tenBits = Convert32WithMasks(0x3FF00000, 0x000FFC00, 0x000003FF,
                                            {(1023u << 20) | (512u << 10), (3u << 20) | 1023u});
  ExpectConverted(tenBits, 2, 1);
  EXPECT_EQ(ImageRow(tenBits, 0), Hexes({qRgb(255, 128, 0), qRgb(1, 0, 255)}));

  // The default masks given as bit fields read like the default.
  const QImage defaults = Convert32WithMasks(0xFF0000, 0xFF00, 0xFF, {0x80123456});
  ExpectConverted(defaults, 1, 1);
  EXPECT_EQ(ImageRow(defaults, 0), Hexes({0xFF123456}));
}

TEST(DibToImage, EmptyWideAndGappedMasksStayInRange) {
  // Red has no mask; green spans all 32 bits; blue is two bits far apart and scales as if
  // the bits between them were set.
  const QImage image = Convert32WithMasks(0, 0xFFFFFFFF, 0x80000001,
                                          {0xFFFFFFFF, 0x7FFFFFFF, 0x80000001, 0x00000001});
  ExpectConverted(image, 4, 1);
  EXPECT_EQ(ImageRow(image, 0),
            Hexes({qRgb(0, 255, 128), qRgb(0, 127, 0), qRgb(0, 128, 128), Black}));
}

TEST(DibToImage, SixteenBitFieldsOutsideTheWordReadAsZero) {
  TDib dib;
  ASSERT_TRUE(dib.CreateFromHeader(Header(1, 1, 16, BI_BITFIELDS)));
  DWORD* masks = dib.GetMasks();
  masks[0] = 0xFFFF0000;
  masks[1] = 0;
  masks[2] = 0x000F;
  PutPixels(dib, 0, 2, {0xFFFF});
  const QImage image = DibToImage(dib);
  ExpectConverted(image, 1, 1);
  EXPECT_EQ(ImageRow(image, 0), Hexes({qRgb(0, 0, 255)}));
}

// ---------------------------------------------------------------------------------------
// Monochrome snap

TEST(SnapToMonochrome, SplitsAtMidGrey) {
  QImage image(8, 1, QImage::Format_RGB32);
  const QRgb in[] = {
      qRgb(128, 128, 128), qRgb(127, 127, 127), White,           Black,
      qRgb(255, 255, 0),   qRgb(0, 0, 255),     qRgb(120, 0, 0), qRgb(200, 230, 220)};
  for (int x = 0; x < 8; ++x) image.setPixel(x, 0, in[x]);
  SnapToMonochrome(image);
  EXPECT_EQ(image.format(), QImage::Format_RGB32);
  EXPECT_EQ(ImageRow(image, 0), Hexes({White, Black, White, Black, White, Black, Black, White}));
}

// ---------------------------------------------------------------------------------------
// Against Qt's own BMP decoder, on the good files of the BMP Suite

template <typename T>
bool ReadAt(const QByteArray& data, std::size_t offset, T& out) {
  if (offset > static_cast<std::size_t>(data.size()) ||
      sizeof(T) > static_cast<std::size_t>(data.size()) - offset) {
    return false;
  }
  std::memcpy(&out, data.constData() + offset, sizeof(T));
  return true;
}

// Reads a BMP with a 40-byte info header into a DIB; explains in `why` when it does not.
std::optional<TDib> LoadSimpleBmp(const QString& path, std::string& why) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    why = "cannot open";
    return std::nullopt;
  }
  const QByteArray data = file.readAll();
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  if (!ReadAt(data, 0, fh) || fh.bfType != 0x4D42 || !ReadAt(data, 14, ih)) {
    why = "not a BMP";
    return std::nullopt;
  }
  if (ih.biSize != 40) {
    why = "other header size";
    return std::nullopt;
  }
  if (ih.biCompression == BI_RLE8 || ih.biCompression == BI_RLE4) {
    why = "RLE";
    return std::nullopt;
  }
  const bool topDown = ih.biHeight < 0;
  if (topDown) ih.biHeight = -ih.biHeight;
  TDib dib;
  if (!dib.CreateFromHeader(ih)) {
    why = "header refused";
    return std::nullopt;
  }
  std::size_t offset = 14 + 40;
  if (DWORD* masks = dib.GetMasks()) {
    for (int i = 0; i < 3; ++i, offset += 4) {
      if (!ReadAt(data, offset, masks[i])) {
        why = "short masks";
        return std::nullopt;
      }
    }
  }
  RGBQUAD* colors = dib.GetColors();
  for (int i = 0; i < dib.NumColors(); ++i, offset += 4) {
    if (!ReadAt(data, offset, colors[i])) {
      why = "short colour table";
      return std::nullopt;
    }
  }
  const std::size_t stride = dib.BytesPerLine();
  const int height = dib.Height();
  for (int row = 0; row < height; ++row) {
    const std::size_t from = fh.bfOffBits + static_cast<std::size_t>(row) * stride;
    if (from + stride > static_cast<std::size_t>(data.size())) {
      why = "short pixel data";
      return std::nullopt;
    }
    std::memcpy(dib.ScanLine(topDown ? height - 1 - row : row), data.constData() + from, stride);
  }
  return dib;
}

struct ChannelWidths {
  int red = 8, green = 8, blue = 8;
};

ChannelWidths WidthsOf(const TDib& dib) {
  if (dib.BitsPixel() != 16) return {};
  if (const DWORD* m = dib.GetMasks()) {
    return {std::popcount(m[0]), std::popcount(m[1]), std::popcount(m[2])};
  }
  return {5, 5, 5};
}

// Qt keeps a narrow channel's value in the top bits of its byte but fills the low bits its
// own way; we scale the full range to 0..255 with rounding.
int Widen(int qtValue, int bits) {
  if (bits >= 8) return qtValue;
  const int value = qtValue >> (8 - bits);
  const int max = (1 << bits) - 1;
  return (value * 255 + max / 2) / max;
}

TEST(DibToImage, MatchesQtOnTheGoodBmpSuiteFiles) {
  const QDir dir(TestDataPath(QStringLiteral("bmpsuite/g")));
  const QStringList files = dir.entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
  ASSERT_FALSE(files.isEmpty()) << "no BMP Suite files in " << dir.path().toStdString();

  std::set<int> depthsCompared;
  int compared = 0;
  for (const QString& name : files) {
    SCOPED_TRACE(name.toStdString());
    const QString path = dir.filePath(name);
    std::string why;
    const std::optional<TDib> dib = LoadSimpleBmp(path, why);
    if (!dib) {
      EXPECT_TRUE(why == "other header size" || why == "RLE") << why;
      continue;
    }
    const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull());
    const QImage ours = DibToImage(*dib);
    ExpectConverted(ours, reference.width(), reference.height());
    if (ours.size() != reference.size() || ours.format() != QImage::Format_RGB32) continue;

    const ChannelWidths widths = WidthsOf(*dib);
    int mismatches = 0;
    for (int y = 0; y < ours.height() && mismatches < 5; ++y) {
      for (int x = 0; x < ours.width() && mismatches < 5; ++x) {
        const QRgb a = reinterpret_cast<const QRgb*>(ours.constScanLine(y))[x];
        const QRgb q = reference.pixel(x, y);
        const QRgb b = qRgb(Widen(qRed(q), widths.red), Widen(qGreen(q), widths.green),
                            Widen(qBlue(q), widths.blue));
        if (a != b) {
          ++mismatches;
          ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << Hex(a) << ", expected " << Hex(b)
                        << " from Qt's " << Hex(q);
        }
      }
    }
    depthsCompared.insert(dib->BitsPixel());
    ++compared;
  }
  EXPECT_EQ(depthsCompared, (std::set<int>{1, 4, 8, 16, 24, 32}));
  EXPECT_GE(compared, 20);
}

}  // namespace
