// The fast paths give the very pixels of the slow ones: a JPEG decoded straight into the
// board's bitmap against djpeg and against the bitmap made from a 24-bit DIB, and boards
// painted with straight lines written into the pixels against the painter's own lines.
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/graphics/dc_impl.h"
#include "framework/graphics/qt_bridge.h"
#include "media/enhanced_dib.h"
#include "media/test_support.h"
#include "puzzle/random.h"
#include "shown_board.h"

namespace {

using media_test::Local;
using media_test::TModalLog;

// Pixels that differ between two images of the same size, or -1 when the sizes differ.
int Differences(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.format() != b.format()) return -1;
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) count += p[x] != q[x] ? 1 : 0;
  }
  return count;
}

// ---------------------------------------------------------------------------------------
// Loading

class JpegIntoBoard : public testing::Test {
 protected:
  QString Scratch(const QString& name) const { return Dir.filePath(name); }

  QString MakeJpeg(const QString& name, int width, int height, const QStringList& switches) {
    const QString ppm = Scratch(name + QStringLiteral(".ppm"));
    EXPECT_TRUE(media_test::WriteBytes(
        ppm, media_test::MakePpm(width, height, media_test::TestPattern(width, height))));
    const QString jpeg = Scratch(name + QStringLiteral(".jpg"));
    media_test::RunTool(QStringLiteral("cjpeg"),
                        switches + QStringList{QStringLiteral("-outfile"), jpeg, ppm});
    return jpeg;
  }

  QString MakeCmykJpeg(const QString& name, int width, int height) {
    const QString ppm = Scratch(name + QStringLiteral(".ppm"));
    EXPECT_TRUE(media_test::WriteBytes(
        ppm, media_test::MakePpm(width, height, media_test::TestPattern(width, height))));
    const QString jpeg = Scratch(name + QStringLiteral(".jpg"));
    media_test::RunTool(QStringLiteral("/usr/bin/convert"),
                        {ppm, QStringLiteral("-colorspace"), QStringLiteral("CMYK"), jpeg});
    return jpeg;
  }

  // The board's bitmap as the general path makes it: a 24-bit DIB, then a bitmap of it.
  static QImage ThroughDib(const QString& jpeg) {
    TEnhancedDib dib;
    if (!dib.ReadJpeg(Local(jpeg).c_str())) return QImage();
    const TScreenDC screen;
    return TBitmap(screen, dib).Impl().Image;
  }

  TBoardRig Rig{3, 3};
  QTemporaryDir Dir;
};

TEST_F(JpegIntoBoard, EveryKindGivesDjpegsPixelsAndTheDibPathsBytes) {
  struct TKind {
    const char* Name;
    int Width;
    int Height;
    QStringList Switches;
    bool Cmyk;
  };
  const std::vector<TKind> kinds = {
      {"baseline", 61, 47, {}, false},
      {"progressive", 64, 48, {QStringLiteral("-progressive")}, false},
      {"greyscale", 23, 11, {QStringLiteral("-grayscale")}, false},
      {"4:2:2 with restarts",
       37,
       29,
       {QStringLiteral("-sample"), QStringLiteral("2x1"), QStringLiteral("-restart"),
        QStringLiteral("1")},
       false},
      {"4:4:4", 17, 9, {QStringLiteral("-sample"), QStringLiteral("1x1")}, false},
      {"RGB without colour transform", 20, 12, {QStringLiteral("-rgb")}, false},
      {"one pixel", 1, 1, {}, false},
      {"odd width 3", 3, 5, {}, false},
      {"odd width 301", 301, 7, {QStringLiteral("-progressive")}, false},
      {"CMYK", 33, 21, {}, true},
  };
  for (const TKind& kind : kinds) {
    SCOPED_TRACE(kind.Name);
    const QString name = QString::fromLatin1(kind.Name).replace(' ', '_').replace(':', '_');
    const QString jpeg = kind.Cmyk ? MakeCmykJpeg(name, kind.Width, kind.Height)
                                   : MakeJpeg(name, kind.Width, kind.Height, kind.Switches);
    TModalLog messages;
    ASSERT_TRUE(Rig.Board->LoadPicture(Local(jpeg).c_str(), true));
    EXPECT_TRUE(messages.Requests.empty());
    ASSERT_NE(Rig.Board->Picture, nullptr);
    const QImage& loaded = Rig.Board->Picture->Impl().Image;
    ASSERT_EQ(loaded.format(), QImage::Format_RGB32);
    // Byte for byte, the fourth byte of every pixel included.
    EXPECT_EQ(Differences(loaded, ThroughDib(jpeg)), 0);
    if (kind.Cmyk) continue;  // djpeg writes no CMYK to a PNM
    const auto output =
        media_test::RunTool(QStringLiteral("djpeg"), {QStringLiteral("-pnm"), jpeg});
    ASSERT_TRUE(output);
    const auto expected = media_test::ParsePnm(*output);
    ASSERT_TRUE(expected);
    ASSERT_EQ(loaded.size(), QSize(expected->Width, expected->Height));
    int mismatches = 0;
    for (int y = 0; y < expected->Height; ++y) {
      for (int x = 0; x < expected->Width; ++x) {
        const std::uint8_t* p = expected->At(x, y);
        const QRgb want = expected->Channels == 3 ? qRgb(p[0], p[1], p[2]) : qRgb(p[0], p[0], p[0]);
        mismatches += loaded.pixel(x, y) != want ? 1 : 0;
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
}

TEST_F(JpegIntoBoard, ATruncatedFileWarnsOnceAndKeepsWhatWasDecoded) {
  for (const bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    const QString whole =
        MakeJpeg(QStringLiteral("whole"), 64, 64,
                 progressive ? QStringList{QStringLiteral("-progressive")} : QStringList{});
    const QByteArray bytes = media_test::ReadBytes(whole);
    const QString cut = Scratch(QStringLiteral("cut.jpg"));
    ASSERT_TRUE(media_test::WriteBytes(cut, bytes.left(bytes.size() / 2)));
    TModalLog messages;
    ASSERT_TRUE(Rig.Board->LoadPicture(Local(cut).c_str(), true));
    // One decoding, one warning: no second path decodes the file again.
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Premature end of JPEG file"});
    messages.Requests.clear();
    EXPECT_EQ(Differences(Rig.Board->Picture->Impl().Image, ThroughDib(cut)), 0);
  }
}

TEST_F(JpegIntoBoard, RefusedPicturesLeaveNoBitmapAndOneMessageEach) {
  // Declared 30000 x 30000: within what a JPEG may declare, beyond any bitmap.
  QByteArray jpeg = media_test::ReadBytes(MakeJpeg(QStringLiteral("small"), 16, 16, {}));
  const qsizetype frame = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
  ASSERT_GT(frame, 0);
  for (int i : {5, 7}) {
    jpeg[frame + i] = static_cast<char>(30000 >> 8);
    jpeg[frame + i + 1] = static_cast<char>(30000 & 0xFF);
  }
  const QString huge = Scratch(QStringLiteral("huge.jpg"));
  ASSERT_TRUE(media_test::WriteBytes(huge, jpeg));
  TModalLog messages;
  EXPECT_FALSE(Rig.Board->LoadPicture(Local(huge).c_str(), true));
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Unable to open " + Local(huge) + "."});
  EXPECT_EQ(Rig.Board->Picture, nullptr);
  EXPECT_EQ(Rig.Board->Palette, nullptr);
}

// ---------------------------------------------------------------------------------------
// Painting

// A photo-like picture: every pixel differs from its neighbours.
std::unique_ptr<TBitmap> PatternPicture(int width, int height) {
  auto picture = std::make_unique<TBitmap>(width, height);
  QImage& image = picture->Impl().Image;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 7 + y, y * 5 + x * 3, x ^ y));
  }
  return picture;
}

struct TScene {
  const char* Name;
  TContentKind Kind;
  TGameType Type;
  // What happens on the shown, scrambled board before its pixels are compared.
  std::function<void(TPuzzle&)> Act;
};

// The backing image of a board after a scene, drawn with or without direct lines.
QImage Painted(const TScene& scene, bool directLines) {
  SetDirectLines(directLines);
  QImage result;
  {
    TShownBoard shown(7, 5, 431, 293, scene.Type);
    TPuzzle& board = *shown.Board;
    if (scene.Kind == TContentKind::Picture) {
      board.Picture = PatternPicture(300, 200);
      board.SplitPicture();
      board.SetFitInWindow(true);
    } else {
      board.SetContentKind(scene.Kind);
    }
    SeedRandom(20240607);
    board.Scramble();
    board.UpdateWindow();
    scene.Act(board);
    board.UpdateWindow();
    result = board.Impl()->Backing.copy();
  }
  SetDirectLines(true);
  return result;
}

void Repaint(TPuzzle& board) {
  board.Invalidate(true);
  board.UpdateWindow();
}

void Select(TPuzzle& board, int x, int y) {
  board.ActiveX = x;
  board.ActiveY = y;
}

TEST(PaintIdentity, DirectLinesGiveThePaintersPixels) {
  const auto slides = [](TPuzzle& board) {
    for (int i = 0; i < 3; ++i) {
      board.MoveEmptyLeft(true);
      board.MoveEmptyUp(true);
      board.UpdateWindow();
    }
  };
  // Bevels drawn into a region of two rectangles only: lines outside must not appear.
  const auto partial = [](TPuzzle& board) {
    board.Effect3D = false;
    Repaint(board);
    board.Effect3D = true;
    board.InvalidateRect(TRect(40, 30, 170, 95), false);
    board.InvalidateRect(TRect(150, 120, 390, 260), false);
    board.UpdateWindow();
  };
  const std::vector<TScene> scenes = {
      {"picture, full paint with marks", TContentKind::Picture, TGameType::Sliding,
       [](TPuzzle& board) {
         board.SetShowFalse(true);
         Repaint(board);
       }},
      {"picture, slides", TContentKind::Picture, TGameType::Sliding, slides},
      {"picture, partial repaint", TContentKind::Picture, TGameType::Sliding, partial},
      {"picture, flat, selection cross", TContentKind::Picture, TGameType::Jigsaw,
       [](TPuzzle& board) {
         Select(board, 2, 3);
         board.Set3D(false);
         board.SetShowFalse(true);
       }},
      {"picture, pressed piece", TContentKind::Picture, TGameType::Jigsaw,
       [](TPuzzle& board) {
         Select(board, 4, 1);
         Repaint(board);
       }},
      {"picture, no grid", TContentKind::Picture, TGameType::Sliding,
       [](TPuzzle& board) {
         board.ShowGrid = false;
         board.SendMessage(WM_SIZE, 0, 0);
       }},
      {"letters, full paint", TContentKind::Alphabet, TGameType::Sliding, Repaint},
      {"letters, slides", TContentKind::Alphabet, TGameType::Sliding, slides},
      {"letters, partial repaint", TContentKind::Alphabet, TGameType::Sliding, partial},
      {"numbers, flat, pressed", TContentKind::Numeric, TGameType::Jigsaw,
       [](TPuzzle& board) {
         Select(board, 1, 1);
         board.Set3D(false);
       }},
  };
  for (const TScene& scene : scenes) {
    SCOPED_TRACE(scene.Name);
    const QImage general = Painted(scene, false);
    const QImage direct = Painted(scene, true);
    ASSERT_FALSE(general.isNull());
    EXPECT_EQ(Differences(general, direct), 0);
  }
}

}  // namespace
