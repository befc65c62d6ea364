// The Orientation tag: the reader on whole and damaged segments, and pictures turned as
// it asks, in the board's bitmap and the preview's DIB alike.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "framework/graphics/dc.h"
#include "media/enhanced_dib.h"
#include "media/exif_orientation.h"
#include "media/jpeg_bitmap.h"
#include "media/test_support.h"

namespace {

using media_test::ExifSegment;
using media_test::Local;

// The segment's contents as the library hands them over (after marker and length), in a
// block of their own size, so that a read past the end is one past the allocation.
int Read(const QByteArray& segment) {
  const std::vector<std::uint8_t> bytes(segment.begin() + 4, segment.end());
  return static_cast<int>(ExifOrientation(bytes.data(), bytes.size()));
}

TEST(ExifOrientationReader, ReadsEveryValueInBothByteOrdersAndNothingFromDamage) {
  for (const bool bigEndian : {false, true}) {
    for (int value = 1; value <= 8; ++value) EXPECT_EQ(Read(ExifSegment(value, bigEndian)), value);
  }
  const QByteArray good = ExifSegment(6, true);
  constexpr int Ifd0 = 18, Value = 40;  // offsets in the segment: IFD0, the tag's value
  auto with = [&](int at, const char* bytes, int size) {
    return QByteArray(good).replace(at, size, QByteArray(bytes, size));
  };
  const std::pair<const char*, QByteArray> damaged[] = {
      {"cut in the entry", good.left(Value + 1)},
      {"cut in the header", good.left(15)},
      {"IFD0 past the end", with(14, "\0\0\x10\0", 4)},
      {"IFD0 wrapping round", with(14, "\xFF\xFF\xFF\xFE", 4)},
      {"IFD0 in the header", with(14, "\0\0\0\2", 4)},
      {"entries past the end", with(Ifd0, "\xFF\xFF", 2).left(Ifd0 + 14)},
      {"value 0", with(Value, "\0\0", 2)},
      {"value 9", with(Value, "\0\x09", 2)},
      {"type LONG", with(Value - 6, "\0\x04", 2)},
      {"count 2", with(Value - 4, "\0\0\0\2", 4)},
      {"byte order II on MM data", with(10, "II", 2)},
      {"not 42", with(12, "\0\x2B", 2)},
      {"not Exif", with(4, "Exit", 4)},
  };
  for (const auto& [what, segment] : damaged) EXPECT_EQ(Read(segment), 1) << what;
}

// Where the stored picture's pixel (x, y) of a w x h picture shows for each tag value.
std::pair<int, int> ShownAt(int orientation, int x, int y, int w, int h) {
  const std::pair<int, int> places[] = {
      {x, y}, {w - 1 - x, y}, {w - 1 - x, h - 1 - y}, {x, h - 1 - y},
      {y, x}, {h - 1 - y, x}, {h - 1 - y, w - 1 - x}, {y, w - 1 - x}};
  return places[orientation - 1];
}

class TurnedJpeg : public testing::Test {
 protected:
  std::string Tagged(const QString& jpeg, int orientation) {
    const QString path = Dir.filePath(QStringLiteral("tagged.jpg"));
    EXPECT_TRUE(media_test::WriteBytes(
        path, media_test::WithSegment(media_test::ReadBytes(jpeg),
                                      ExifSegment(orientation, orientation % 2 == 0))));
    return Local(path);
  }
  QTemporaryDir Dir;
};

TEST_F(TurnedJpeg, EveryOrientationMovesEveryPixelWhereTheTagSays) {
  // Sides of no whole blocks, four-pixel groups or bands; colour and CMYK (converted by us
  // before it is placed). The tagged file must show the stored one's pixels, moved.
  const QString colour = Dir.filePath(QStringLiteral("colour.jpg"));
  const QString ppm = Dir.filePath(QStringLiteral("odd.ppm"));
  ASSERT_TRUE(
      media_test::WriteBytes(ppm, media_test::MakePpm(70, 45, media_test::TestPattern(70, 45))));
  ASSERT_TRUE(
      media_test::RunTool(QStringLiteral("cjpeg"), {QStringLiteral("-outfile"), colour, ppm}));
  const QString cmyk = Dir.filePath(QStringLiteral("cmyk.jpg"));
  ASSERT_TRUE(
      media_test::RunTool(QStringLiteral("/usr/bin/convert"),
                          {ppm, QStringLiteral("-colorspace"), QStringLiteral("CMYK"), cmyk}));
  for (const QString& jpeg : {colour, cmyk}) {
    // Whole for the board, and halved as the preview reads it (quartered, a side would be
    // under 16).
    for (const int least : {0, 16}) {
      const int w = least == 0 ? 70 : 35, h = least == 0 ? 45 : 23;
      TEnhancedDib stored;
      ASSERT_TRUE(stored.Load(Local(jpeg).c_str(), least));
      ASSERT_EQ(stored.Width(), w);
      for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(jpeg.toStdString() + " " + std::to_string(orientation));
        TEnhancedDib dib;
        ASSERT_TRUE(dib.Load(Tagged(jpeg, orientation).c_str(), least));
        ASSERT_EQ(dib.Width(), orientation >= 5 ? h : w);
        int wrong = 0;
        for (int y = 0; y < h; ++y) {
          for (int x = 0; x < w; ++x) {
            const auto [tx, ty] = ShownAt(orientation, x, y, w, h);
            wrong += media_test::DibPixel24(dib, tx, ty) != media_test::DibPixel24(stored, x, y);
          }
        }
        EXPECT_EQ(wrong, 0);
        // The board's bitmap: the same pixels in the display's format.
        if (least == 0) {
          const auto bitmap = ReadJpegBitmap(Tagged(jpeg, orientation).c_str());
          ASSERT_TRUE(bitmap);
          TMemoryDC dc(*bitmap);
          for (int y = 0; y < dib.Height(); ++y) {
            for (int x = 0; x < dib.Width(); ++x) {
              const media_test::TRgb c = media_test::DibPixel24(dib, x, y);
              wrong += dc.GetPixel(x, y) != RGB(c.Red, c.Green, c.Blue);
            }
          }
          EXPECT_EQ(wrong, 0);
        }
      }
    }
  }
}

}  // namespace
