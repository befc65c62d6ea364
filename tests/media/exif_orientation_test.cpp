// The Orientation tag: the reader on whole and damaged segments, and pictures read into a
// DIB (the open dialog's preview) turned as jpegtran turns the same file.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "framework/dc.h"
#include "media/enhanced_dib.h"
#include "media/exif_orientation.h"
#include "media/jpeg_bitmap.h"
#include "media/test_support.h"

namespace {

using media_test::ExifSegment;
using media_test::Local;
using media_test::TModalLog;

// The segment's contents, as the library hands them over: after marker and length.
int Read(const QByteArray& segment) {
  const QByteArray body = segment.mid(4);
  // An exact copy, so that a read past the end is a read past the allocation.
  const std::vector<std::uint8_t> bytes(body.begin(), body.end());
  return static_cast<int>(ExifOrientation(bytes.data(), bytes.size()));
}

// The offset of IFD0's first entry's value field within a segment from ExifSegment.
constexpr int IfdAt = 4 + 6 + 8;
constexpr int OrientationValueAt = IfdAt + 2 + 12 + 8;

TEST(ExifOrientationReader, ReadsEveryValueInBothByteOrders) {
  for (const bool bigEndian : {false, true}) {
    for (int value = 1; value <= 8; ++value) {
      EXPECT_EQ(Read(ExifSegment(value, bigEndian)), value) << value << (bigEndian ? " MM" : " II");
    }
  }
}

TEST(ExifOrientationReader, DamagedOrForeignSegmentsGiveThePictureAsStored) {
  const QByteArray good = ExifSegment(6, true);
  auto with = [&](int at, const QByteArray& bytes) {
    return QByteArray(good).replace(at, bytes.size(), bytes);
  };
  const struct {
    const char* What;
    QByteArray Segment;
  } cases[] = {
      {"cut inside the orientation entry", good.left(OrientationValueAt + 1)},
      {"cut inside the TIFF header", good.left(4 + 6 + 5)},
      {"IFD0 beyond the segment", with(4 + 6 + 4, QByteArray("\0\0\x10\0", 4))},
      {"IFD0 at the very end", with(4 + 6 + 4, QByteArray("\xFF\xFF\xFF\xFE", 4))},
      {"IFD0 inside the header", with(4 + 6 + 4, QByteArray("\0\0\0\2", 4))},
      {"more entries than the segment holds, tag past its end",
       with(IfdAt, QByteArray("\xFF\xFF", 2)).left(IfdAt + 2 + 12)},
      {"value 0", with(OrientationValueAt, QByteArray("\0\0", 2))},
      {"value 9", with(OrientationValueAt, QByteArray("\0\x09", 2))},
      {"type LONG", with(OrientationValueAt - 6, QByteArray("\0\x04", 2))},
      {"count 2", with(OrientationValueAt - 4, QByteArray("\0\0\0\2", 4))},
      {"byte order IM", with(4 + 6, QByteArray("IM", 2))},
      {"little-endian mark on big-endian data", with(4 + 6, QByteArray("II", 2))},
      {"not 42", with(4 + 6 + 2, QByteArray("\0\x2B", 2))},
      {"XMP, not Exif", QByteArray("\xFF\xE1\0\0http://ns.adobe.com/xap/1.0/\0", 33)},
      {"signature only", good.left(4 + 6)},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.Segment), 1) << c.What;
}

class TurnedJpeg : public testing::Test {
 protected:
  // The file with an Exif segment asking for the orientation.
  QString Tagged(const QString& jpeg, int orientation) {
    QString path = Dir.filePath(QStringLiteral("tagged%1.jpg").arg(orientation));
    EXPECT_TRUE(media_test::WriteBytes(
        path, media_test::WithSegment(media_test::ReadBytes(jpeg),
                                      ExifSegment(orientation, orientation % 2 == 0))));
    return path;
  }

  int FarPixels(const TEnhancedDib& dib, const media_test::TPnm& expected) {
    return media_test::FarPixels(dib.Width(), dib.Height(), expected,
                                 [&](int x, int y) { return media_test::DibPixel24(dib, x, y); });
  }

  QTemporaryDir Dir;
};

TEST_F(TurnedJpeg, EveryOrientationReadsAsJpegtranTurnsTheFile) {
  // Whole blocks, wider than tall, taller than one band of rows. Full-resolution colour:
  // halved colour would add the upsampling's own rounding, which is not symmetric.
  const QString ppm = Dir.filePath(QStringLiteral("p.ppm"));
  ASSERT_TRUE(
      media_test::WriteBytes(ppm, media_test::MakePpm(64, 48, media_test::TestPattern(64, 48))));
  const QString jpeg = Dir.filePath(QStringLiteral("p.jpg"));
  ASSERT_TRUE(media_test::RunTool(
      QStringLiteral("cjpeg"),
      {QStringLiteral("-sample"), QStringLiteral("1x1"), QStringLiteral("-outfile"), jpeg, ppm}));
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    const auto expected = media_test::TurnedByTools(jpeg, orientation);
    ASSERT_TRUE(expected);
    TModalLog messages;
    TEnhancedDib dib;
    ASSERT_TRUE(dib.Load(Local(Tagged(jpeg, orientation)).c_str()));
    EXPECT_TRUE(messages.Requests.empty());
    EXPECT_EQ(FarPixels(dib, *expected), 0);
  }
}

TEST_F(TurnedJpeg, ThePreviewReadsAPhotoReducedAndTurned) {
  // Halved, both sides stay above the preview's 125; quartered, one would not. The
  // library's reduced inverse DCT rounds differently once turned, so the reference is the
  // untagged file read the same way, its pixels turned a quarter clockwise.
  const QString ppm = Dir.filePath(QStringLiteral("big.ppm"));
  ASSERT_TRUE(media_test::WriteBytes(
      ppm, media_test::MakePpm(512, 384, media_test::TestPattern(512, 384))));
  const QString jpeg = Dir.filePath(QStringLiteral("big.jpg"));
  ASSERT_TRUE(
      media_test::RunTool(QStringLiteral("cjpeg"), {QStringLiteral("-outfile"), jpeg, ppm}));
  TEnhancedDib stored;
  TEnhancedDib dib;
  ASSERT_TRUE(stored.Load(Local(jpeg).c_str(), 125));
  ASSERT_TRUE(dib.Load(Local(Tagged(jpeg, 6)).c_str(), 125));
  ASSERT_EQ(stored.Width(), 256);
  ASSERT_EQ(stored.Height(), 192);
  ASSERT_EQ(dib.Width(), 192);
  ASSERT_EQ(dib.Height(), 256);
  int wrong = 0;
  for (int y = 0; y < 192; ++y) {
    for (int x = 0; x < 256; ++x) {
      wrong += media_test::DibPixel24(dib, 191 - y, x) != media_test::DibPixel24(stored, x, y);
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(TurnedJpeg, CmykPicturesTurnLikeTheirUntaggedTwinTurnedByJpegtran) {
  // Through the reader's own scan line: inks converted, then placed.
  const QString jpeg = Dir.filePath(QStringLiteral("cmyk.jpg"));
  ASSERT_TRUE(media_test::RunTool(
      QStringLiteral("/usr/bin/convert"),
      {QStringLiteral("-size"), QStringLiteral("40x24"), QStringLiteral("gradient:red-blue"),
       QStringLiteral("-colorspace"), QStringLiteral("CMYK"), QStringLiteral("-sampling-factor"),
       QStringLiteral("1x1"), jpeg}));
  for (const int orientation : {2, 3, 6, 7}) {
    SCOPED_TRACE(orientation);
    const auto turned =
        media_test::RunTool(QStringLiteral("jpegtran"),
                            QStringList{QStringLiteral("-perfect")} +
                                media_test::TurningSwitches(orientation) + QStringList{jpeg});
    ASSERT_TRUE(turned);
    const QString twin = Dir.filePath(QStringLiteral("twin.jpg"));
    ASSERT_TRUE(media_test::WriteBytes(twin, *turned));
    TEnhancedDib expected;
    TEnhancedDib dib;
    ASSERT_TRUE(expected.Load(Local(twin).c_str()));
    ASSERT_TRUE(dib.Load(Local(Tagged(jpeg, orientation)).c_str()));
    ASSERT_EQ(dib.Width(), expected.Width());
    ASSERT_EQ(dib.Height(), expected.Height());
    int far = 0;
    for (int y = 0; y < dib.Height(); ++y) {
      for (int x = 0; x < dib.Width(); ++x) {
        const media_test::TRgb a = media_test::DibPixel24(dib, x, y);
        const media_test::TRgb b = media_test::DibPixel24(expected, x, y);
        far += std::abs(a.Red - b.Red) > 2 || std::abs(a.Green - b.Green) > 2 ||
               std::abs(a.Blue - b.Blue) > 2;
      }
    }
    EXPECT_EQ(far, 0);
  }
}

TEST_F(TurnedJpeg, OddSizesTurnPixelForPixel) {
  // Sides of no whole blocks, four-pixel groups or bands: the stored picture's pixel (x, y)
  // must show where the tag says, in the board's bitmap and in the preview's DIB alike.
  const int w = 70, h = 45;
  const QString ppm = Dir.filePath(QStringLiteral("odd.ppm"));
  ASSERT_TRUE(
      media_test::WriteBytes(ppm, media_test::MakePpm(w, h, media_test::TestPattern(w, h))));
  const QString jpeg = Dir.filePath(QStringLiteral("odd.jpg"));
  ASSERT_TRUE(
      media_test::RunTool(QStringLiteral("cjpeg"), {QStringLiteral("-outfile"), jpeg, ppm}));
  const auto stored = ReadJpegBitmap(Local(jpeg).c_str());
  TEnhancedDib storedDib;
  ASSERT_TRUE(stored && storedDib.Load(Local(jpeg).c_str()));
  const std::function<std::pair<int, int>(int, int)> shownAt[] = {
      [&](int x, int y) {
        return std::pair{x, y};
      },
      [&](int x, int y) {
        return std::pair{w - 1 - x, y};
      },
      [&](int x, int y) {
        return std::pair{w - 1 - x, h - 1 - y};
      },
      [&](int x, int y) {
        return std::pair{x, h - 1 - y};
      },
      [&](int x, int y) {
        return std::pair{y, x};
      },
      [&](int x, int y) {
        return std::pair{h - 1 - y, x};
      },
      [&](int x, int y) {
        return std::pair{h - 1 - y, w - 1 - x};
      },
      [&](int x, int y) {
        return std::pair{y, w - 1 - x};
      },
  };
  TMemoryDC storedDc(*stored);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    const std::string path = Local(Tagged(jpeg, orientation));
    const auto turned = ReadJpegBitmap(path.c_str());
    TEnhancedDib turnedDib;
    ASSERT_TRUE(turned && turnedDib.Load(path.c_str()));
    ASSERT_EQ(turned->Width(), orientation >= 5 ? h : w);
    ASSERT_EQ(turnedDib.Width(), turned->Width());
    TMemoryDC dc(*turned);
    int wrong = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const auto [tx, ty] = shownAt[orientation - 1](x, y);
        wrong += dc.GetPixel(tx, ty) != storedDc.GetPixel(x, y);
        wrong +=
            media_test::DibPixel24(turnedDib, tx, ty) != media_test::DibPixel24(storedDib, x, y);
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

}  // namespace
