// TEnhancedDib::ReadJpeg: every kind of JPEG that cjpeg and ImageMagick make, against
// djpeg's decoding of the same file; CMYK colours; damaged and oversized files.
#include <cstdio>  // before jpeglib.h

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

#include "media/enhanced_dib.h"
#include "media/test_support.h"

namespace {

using media_test::Local;
using media_test::TModalLog;
using media_test::TPnm;
using media_test::TRgb;

class JpegTest : public testing::Test {
 protected:
  QString PathOf(const QString& name) const { return Dir.filePath(name); }

  // A JPEG of the test pattern made by cjpeg with the given switches.
  QString MakeJpeg(const QString& name, int width, int height, const QStringList& switches = {}) {
    const QString ppm = PathOf(name + QStringLiteral(".ppm"));
    EXPECT_TRUE(media_test::WriteBytes(
        ppm, media_test::MakePpm(width, height, media_test::TestPattern(width, height))));
    const QString jpeg = PathOf(name + QStringLiteral(".jpg"));
    media_test::RunTool(QStringLiteral("cjpeg"),
                        switches + QStringList{QStringLiteral("-outfile"), jpeg, ppm});
    return jpeg;
  }

  // djpeg's reading of the file: the library with its default settings, as we use it.
  static std::optional<TPnm> Reference(const QString& jpeg) {
    const auto output =
        media_test::RunTool(QStringLiteral("djpeg"), {QStringLiteral("-pnm"), jpeg}, 2);
    if (!output) return std::nullopt;
    return media_test::ParsePnm(*output);
  }

  // Pixels that differ from djpeg's output (the first few are reported).
  static int Mismatches(const TDib& dib, const TPnm& expected) {
    if (dib.Width() != expected.Width || dib.Height() != expected.Height) {
      ADD_FAILURE() << "size " << dib.Width() << " x " << dib.Height() << ", expected "
                    << expected.Width << " x " << expected.Height;
      return -1;
    }
    int mismatches = 0;
    for (int y = 0; y < expected.Height; ++y) {
      for (int x = 0; x < expected.Width; ++x) {
        const std::uint8_t* p = expected.At(x, y);
        const TRgb want = expected.Channels == 3 ? TRgb{p[0], p[1], p[2]} : TRgb{p[0], p[0], p[0]};
        const TRgb got = media_test::DibPixel24(dib, x, y);
        if (got != want && ++mismatches <= 3) {
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << got << ", expected " << want;
        }
      }
    }
    return mismatches;
  }

  bool Read(const QString& path) { return Dib.ReadJpeg(Local(path).c_str()); }

  QTemporaryDir Dir;
  TEnhancedDib Dib;
};

// ---------------------------------------------------------------------------------------
// Kinds of JPEG

TEST_F(JpegTest, EveryKindCjpegMakesDecodesAsDjpegDoes) {
  struct TKind {
    const char* Name;
    int Width;
    int Height;
    QStringList Switches;
  };
  const std::vector<TKind> kinds = {
      {"baseline", 61, 47, {}},
      {"progressive", 61, 47, {QStringLiteral("-progressive")}},
      {"restart every row", 64, 40, {QStringLiteral("-restart"), QStringLiteral("1")}},
      {"restart every 3 blocks", 50, 30, {QStringLiteral("-restart"), QStringLiteral("3B")}},
      {"arithmetic", 33, 21, {QStringLiteral("-arithmetic")}},
      {"arithmetic progressive",
       33,
       21,
       {QStringLiteral("-arithmetic"), QStringLiteral("-progressive")}},
      {"optimized", 40, 40, {QStringLiteral("-optimize")}},
      {"4:4:4", 17, 9, {QStringLiteral("-sample"), QStringLiteral("1x1")}},
      {"4:2:2", 17, 9, {QStringLiteral("-sample"), QStringLiteral("2x1")}},
      {"RGB without colour transform", 20, 12, {QStringLiteral("-rgb")}},
      {"one pixel", 1, 1, {}},
      {"one row", 300, 1, {}},
      {"one column", 1, 300, {}},
  };
  for (const TKind& kind : kinds) {
    SCOPED_TRACE(kind.Name);
    const QString jpeg =
        MakeJpeg(QString::fromLatin1(kind.Name), kind.Width, kind.Height, kind.Switches);
    const auto expected = Reference(jpeg);
    ASSERT_TRUE(expected);
    TModalLog messages;
    ASSERT_TRUE(Read(jpeg));
    EXPECT_TRUE(messages.Requests.empty());
    EXPECT_EQ(Dib.BitsPixel(), 24);
    EXPECT_EQ(Mismatches(Dib, *expected), 0);
  }
}

TEST_F(JpegTest, GreyscaleRepeatsTheGreyInAllThreeBytes) {
  const QString jpeg = MakeJpeg(QStringLiteral("grey"), 23, 11, {QStringLiteral("-grayscale")});
  const auto expected = Reference(jpeg);
  ASSERT_TRUE(expected);
  ASSERT_EQ(expected->Channels, 1);
  ASSERT_TRUE(Read(jpeg));
  EXPECT_EQ(Mismatches(Dib, *expected), 0);
  EXPECT_EQ(Dib.BitsPixel(), 24);
}

TEST_F(JpegTest, TheTopRowOfThePictureIsTheLastRowOfTheBlock) {
  // Top half white, bottom half black: easy to tell apart after compression.
  std::vector<std::uint8_t> rgb(16 * 16 * 3, 0);
  std::fill(rgb.begin(), rgb.begin() + 16 * 8 * 3, 255);
  const QString ppm = PathOf(QStringLiteral("halves.ppm"));
  ASSERT_TRUE(media_test::WriteBytes(ppm, media_test::MakePpm(16, 16, rgb)));
  const QString jpeg = PathOf(QStringLiteral("halves.jpg"));
  ASSERT_TRUE(media_test::RunTool(
      QStringLiteral("cjpeg"),
      {QStringLiteral("-quality"), QStringLiteral("100"), QStringLiteral("-outfile"), jpeg, ppm}));
  ASSERT_TRUE(Read(jpeg));
  EXPECT_GT(Dib.ScanLine(15)[0], 240);  // the block's last row: the picture's top
  EXPECT_LT(Dib.ScanLine(0)[0], 15);
}

TEST_F(JpegTest, RowsAre24BitsPaddedToFourBytesWithoutColourTable) {
  for (const auto& [width, stride] :
       std::vector<std::pair<int, int>>{{3, 12}, {4, 12}, {5, 16}, {1, 4}}) {
    SCOPED_TRACE(width);
    ASSERT_TRUE(Read(MakeJpeg(QStringLiteral("w%1").arg(width), width, 5)));
    const BITMAPINFOHEADER* header = Dib.GetInfoHeader();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biWidth, width);
    EXPECT_EQ(header->biHeight, 5);
    EXPECT_EQ(header->biPlanes, 1);
    EXPECT_EQ(header->biBitCount, 24);
    EXPECT_EQ(header->biCompression, DWORD{BI_RGB});
    EXPECT_EQ(header->biClrUsed, 0u);
    EXPECT_EQ(Dib.BytesPerLine(), static_cast<std::size_t>(stride));
    EXPECT_EQ(Dib.SizeImage(), static_cast<DWORD>(stride * 5));
    EXPECT_EQ(Dib.GetColors(), nullptr);
    EXPECT_EQ(Dib.BlockSize(), 40u + stride * 5);
  }
}

// ---------------------------------------------------------------------------------------
// CMYK

// Writes a CMYK or YCCK JPEG of flat colours with libjpeg, the inks given as 0 = no ink.
// Adobe-style files store the inks inverted.
void WriteCmykJpeg(const std::string& path, int width, int height,
                   const std::vector<std::uint8_t>& inks, J_COLOR_SPACE space, bool adobe) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 4;
  info.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_colorspace(&info, space);
  info.write_Adobe_marker = adobe ? TRUE : FALSE;
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 4);
  while (info.next_scanline < info.image_height) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      const std::uint8_t ink = inks[static_cast<std::size_t>(info.next_scanline) * row.size() + i];
      row[i] = adobe ? static_cast<std::uint8_t>(255 - ink) : ink;
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

TEST_F(JpegTest, CmykAndYcckGiveTheColoursOfTheirInks) {
  // 16 x 8 pixels: two 8 x 8 blocks of flat ink, so compression keeps them nearly exact.
  struct TInk {
    int C, M, Y, K;
    TRgb Expected;
  };
  const TInk left{255, 0, 0, 0, {0, 255, 255}};     // cyan
  const TInk right{0, 128, 255, 64, {191, 95, 0}};  // orange, darkened by black
  std::vector<std::uint8_t> inks;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      const TInk& ink = x < 8 ? left : right;
      inks.insert(inks.end(), {static_cast<std::uint8_t>(ink.C), static_cast<std::uint8_t>(ink.M),
                               static_cast<std::uint8_t>(ink.Y), static_cast<std::uint8_t>(ink.K)});
    }
  }
  struct TVariant {
    const char* Name;
    J_COLOR_SPACE Space;
    bool Adobe;
  };
  for (const TVariant& variant :
       {TVariant{"CMYK", JCS_CMYK, false}, TVariant{"Adobe CMYK", JCS_CMYK, true},
        TVariant{"Adobe YCCK", JCS_YCCK, true}}) {
    SCOPED_TRACE(variant.Name);
    const std::string path = Local(PathOf(QString::fromLatin1(variant.Name) + ".jpg"));
    WriteCmykJpeg(path, 16, 8, inks, variant.Space, variant.Adobe);
    ASSERT_TRUE(Dib.ReadJpeg(path.c_str()));
    for (const auto& [x, ink] : {std::pair<int, TInk>{3, left}, std::pair<int, TInk>{12, right}}) {
      const TRgb got = media_test::DibPixel24(Dib, x, 4);
      EXPECT_NEAR(got.Red, ink.Expected.Red, 3) << "x " << x;
      EXPECT_NEAR(got.Green, ink.Expected.Green, 3) << "x " << x;
      EXPECT_NEAR(got.Blue, ink.Expected.Blue, 3) << "x " << x;
    }
  }
}

TEST_F(JpegTest, ImageMagicksCmykMatchesItsOwnConversionBack) {
  const QString ppm = PathOf(QStringLiteral("colours.ppm"));
  ASSERT_TRUE(
      media_test::WriteBytes(ppm, media_test::MakePpm(32, 24, media_test::TestPattern(32, 24))));
  const QString cmyk = PathOf(QStringLiteral("cmyk.jpg"));
  ASSERT_TRUE(media_test::RunTool(QStringLiteral("/usr/bin/convert"),
                                  {ppm, QStringLiteral("-colorspace"), QStringLiteral("CMYK"),
                                   QStringLiteral("-quality"), QStringLiteral("95"), cmyk}));
  const auto back =
      media_test::RunTool(QStringLiteral("/usr/bin/convert"),
                          {cmyk, QStringLiteral("-colorspace"), QStringLiteral("sRGB"),
                           QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("ppm:-")});
  ASSERT_TRUE(back);
  const auto expected = media_test::ParsePnm(*back);
  ASSERT_TRUE(expected);
  ASSERT_TRUE(Read(cmyk));
  ASSERT_EQ(Dib.Width(), 32);
  int worst = 0;
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 32; ++x) {
      const std::uint8_t* p = expected->At(x, y);
      const TRgb got = media_test::DibPixel24(Dib, x, y);
      worst = std::max(
          {worst, std::abs(got.Red - p[0]), std::abs(got.Green - p[1]), std::abs(got.Blue - p[2])});
    }
  }
  EXPECT_LE(worst, 2);
}

// ---------------------------------------------------------------------------------------
// Damaged, foreign and oversized files

TEST_F(JpegTest, TruncatedFileWarnsOnceAndKeepsWhatWasDecoded) {
  const QString whole = MakeJpeg(QStringLiteral("whole"), 64, 64);
  QByteArray bytes = media_test::ReadBytes(whole);
  const QString cut = PathOf(QStringLiteral("cut.jpg"));
  ASSERT_TRUE(media_test::WriteBytes(cut, bytes.left(bytes.size() / 2)));
  const auto expected = Reference(cut);  // djpeg too decodes what is there
  ASSERT_TRUE(expected);
  TModalLog messages;
  ASSERT_TRUE(Read(cut));
  EXPECT_EQ(Mismatches(Dib, *expected), 0);
  ASSERT_EQ(messages.Requests.size(), 1u);
  EXPECT_EQ(messages.Requests[0].Caption, "JPEG Library Error");
  EXPECT_EQ(messages.Requests[0].Text, "Premature end of JPEG file");
  EXPECT_EQ(messages.Requests[0].Flags, UINT{MB_ICONSTOP | MB_OK});
}

TEST_F(JpegTest, DataTheLibraryRejectsShowsItsMessageAndLeavesTheDibEmpty) {
  const std::vector<std::pair<QByteArray, std::string>> files = {
      {QByteArray("BM this is not a JPEG at all"), "Not a JPEG file: starts with 0x42 0x4d"},
      {QByteArray(), "Empty input file"},
      {QByteArray("\xFF\xD8\xFF\xD9", 4), "JPEG datastream contains no image"},
  };
  for (const auto& [bytes, message] : files) {
    SCOPED_TRACE(message);
    ASSERT_TRUE(Read(MakeJpeg(QStringLiteral("good"), 8, 8)));
    const QString path = PathOf(QStringLiteral("bad.jpg"));
    ASSERT_TRUE(media_test::WriteBytes(path, bytes));
    TModalLog messages;
    EXPECT_FALSE(Read(path));
    EXPECT_FALSE(Dib.IsOK());
    EXPECT_EQ(messages.Captions(), std::vector<std::string>{"JPEG Library Error"});
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{message});
  }
}

TEST_F(JpegTest, MissingFileWritesCantOpenToStandardErrorOnly) {
  const std::string path = Local(PathOf(QStringLiteral("nowhere.jpg")));
  TModalLog messages;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Dib.ReadJpeg(path.c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "can't open " + path + "\n");
  EXPECT_TRUE(messages.Requests.empty());
  EXPECT_FALSE(Dib.IsOK());
}

// Rewrites the frame header's height and width of a JPEG.
QByteArray WithDeclaredSize(QByteArray jpeg, int width, int height) {
  for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
    const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
    if (static_cast<unsigned char>(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
      jpeg[i + 5] = static_cast<char>(height >> 8);
      jpeg[i + 6] = static_cast<char>(height);
      jpeg[i + 7] = static_cast<char>(width >> 8);
      jpeg[i + 8] = static_cast<char>(width);
      return jpeg;
    }
  }
  ADD_FAILURE() << "no frame header";
  return jpeg;
}

TEST_F(JpegTest, PicturesLargerThanTheBoundsAreRefusedBeforeDecoding) {
  struct TCase {
    const char* Name;
    QStringList Switches;
    int Width;
    int Height;
  };
  const std::vector<TCase> cases = {
      // 65000 x 65000 x 3 bytes: far beyond the DIB bound.
      {"baseline", {}, 65000, 65000},
      // 600 MB of DIB would do, but 1.2 GB of coefficients would not.
      {"progressive 4:4:4",
       {QStringLiteral("-progressive"), QStringLiteral("-sample"), QStringLiteral("1x1")},
       20000,
       10000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QByteArray small =
        media_test::ReadBytes(MakeJpeg(QStringLiteral("small"), 16, 16, c.Switches));
    const QString path = PathOf(QStringLiteral("declared.jpg"));
    ASSERT_TRUE(media_test::WriteBytes(path, WithDeclaredSize(small, c.Width, c.Height)));
    TModalLog messages;
    EXPECT_FALSE(Read(path));
    EXPECT_FALSE(Dib.IsOK());
    // Decoding would have met the end of the data and warned.
    EXPECT_TRUE(messages.Requests.empty());
  }
}

TEST_F(JpegTest, ALargeDeclaredSizeWithinTheBoundsIsDecoded) {
  const QByteArray small = media_test::ReadBytes(MakeJpeg(QStringLiteral("small"), 16, 16));
  const QString path = PathOf(QStringLiteral("declared.jpg"));
  ASSERT_TRUE(media_test::WriteBytes(path, WithDeclaredSize(small, 2000, 1500)));
  TModalLog messages;
  EXPECT_TRUE(Read(path));
  EXPECT_EQ(Dib.Width(), 2000);
  EXPECT_EQ(Dib.Height(), 1500);
  // Only the first of the library's warnings is shown.
  EXPECT_EQ(messages.Captions(), std::vector<std::string>{"JPEG Library Error"});
}

// The file with its last scan repeated: each repeat is another scan the library reads.
QByteArray WithRepeatedLastScan(const QByteArray& jpeg, int repeats) {
  const qsizetype lastScan = jpeg.lastIndexOf(QByteArray("\xFF\xDA", 2));
  const qsizetype end = jpeg.lastIndexOf(QByteArray("\xFF\xD9", 2));
  if (lastScan < 0 || end < lastScan) {
    ADD_FAILURE() << "no scan";
    return jpeg;
  }
  const QByteArray scan = jpeg.mid(lastScan, end - lastScan);
  QByteArray out = jpeg.left(end);
  for (int i = 0; i < repeats; ++i) out += scan;
  out += jpeg.mid(end);
  return out;
}

TEST_F(JpegTest, AProgressiveFileWithThousandsOfScansIsRefused) {
  const QByteArray progressive = media_test::ReadBytes(
      MakeJpeg(QStringLiteral("p"), 64, 64, {QStringLiteral("-progressive")}));
  const QString many = PathOf(QStringLiteral("many.jpg"));
  ASSERT_TRUE(media_test::WriteBytes(many, WithRepeatedLastScan(progressive, 2000)));
  const QString some = PathOf(QStringLiteral("some.jpg"));
  ASSERT_TRUE(media_test::WriteBytes(some, WithRepeatedLastScan(progressive, 100)));
  TModalLog messages;
  EXPECT_TRUE(Read(some));
  const std::vector<std::string> warnings = messages.Texts();
  messages.Requests.clear();
  EXPECT_FALSE(Read(many));
  EXPECT_FALSE(Dib.IsOK());
  // Refused by the scan count, not by an error of the library: the same warning only.
  EXPECT_EQ(messages.Texts(), warnings);
}

TEST_F(JpegTest, ComponentCountsOtherThanOneThreeAndFourAreRefused) {
  const std::string path = Local(PathOf(QStringLiteral("two.jpg")));
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = 2;
    info.in_color_space = JCS_UNKNOWN;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, JCS_UNKNOWN);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(16, 100);
    while (info.next_scanline < info.image_height) {
      JSAMPROW rows[1] = {row.data()};
      jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
  }
  TModalLog messages;
  EXPECT_FALSE(Dib.ReadJpeg(path.c_str()));
  EXPECT_FALSE(Dib.IsOK());
}

}  // namespace
