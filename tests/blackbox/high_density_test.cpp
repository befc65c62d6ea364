// Kavro on a desktop at twice the scale, set as GNOME sets it (Xft.dpi 192): letters and a
// picture drawn at the screen's own resolution, not magnified from half of it.
#include "blackbox_fixture.h"

namespace {

// Aligned 2 x 2 blocks of the area that hold more than one colour, at the block phase
// where they are fewest: none when everything was drawn at half the resolution.
int MixedBlocks(const QImage& shot, const QRect& area) {
  int fewest = area.width() * area.height();
  for (int phase = 0; phase < 4; ++phase) {
    int mixed = 0;
    for (int y = area.top() + phase / 2; y + 1 <= area.bottom(); y += 2) {
      for (int x = area.left() + phase % 2; x + 1 <= area.right(); x += 2) {
        const QRgb c = shot.pixel(x, y);
        mixed +=
            shot.pixel(x + 1, y) != c || shot.pixel(x, y + 1) != c || shot.pixel(x + 1, y + 1) != c;
      }
    }
    fewest = std::min(fewest, mixed);
  }
  return fewest;
}

}  // namespace

TEST_F(BlackBox, AtScaleTwoLettersAndPictureUseEveryScreenPixel) {
  // Larger than the window, so that normal size shows it reduced: every screen pixel its
  // own picture pixel. Red and green name the column, blue marks the picture.
  QImage picture(1600, 1000, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(x & 255, x >> 8, 77));
  }
  const QString path = Dir.path() + "/columns.bmp";
  ASSERT_TRUE(picture.save(path, "BMP"));
  WriteSettings("[KAVRO]\nTYPE=1\nGAME=1\n[MRUL]\n1=" + path + "\n");
  Desktop.Output("xprop", {"-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
                           "Xft.dpi:\t192\n"});
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();

  QImage shot = Desktop.Screenshot();
  const TBoard board = TBoard::Find(shot, Teal);
  ASSERT_TRUE(board.Found()) << "no letter board on the screen";
  EXPECT_EQ(board.Empty(shot), QPoint(2, 2));
  // A grid gap is one logical pixel: two screen pixels.
  const auto teal = [&shot](int x, int y) {
    return (shot.pixel(x, y) & 0xFFFFFF) == (Teal & 0xFFFFFF);
  };
  const int gapY = board.Top + board.CellHeight() / 3;
  int gapX = board.Left;
  while (gapX < board.Right && !teal(gapX, gapY)) ++gapX;
  int gap = 0;
  while (gapX + gap < board.Right && teal(gapX + gap, gapY)) ++gap;
  EXPECT_EQ(gap, 2) << "the screen is at scale 2";
  const QRect tiles(board.Left, board.Top, board.Right - board.Left, board.Bottom - board.Top);
  EXPECT_GT(MixedBlocks(shot, tiles), 200) << "the letters' edges at the screen's resolution";

  // A move: the empty cell goes the other way.
  Desktop.Key("F2");
  Desktop.Pause(1000);
  shot = Desktop.Screenshot();
  const QPoint empty = board.Empty(shot);
  ASSERT_GE(empty.x(), 0) << "one empty cell after scrambling";
  Desktop.Key(empty.x() < 2 ? "Left" : "Right");
  EXPECT_EQ(board.Empty(Desktop.Screenshot()), empty + QPoint(empty.x() < 2 ? 1 : -1, 0));

  // The picture, from the recent files: along a row each screen pixel shows a column of
  // its own, further right than its left neighbour's.
  Desktop.Key("alt+g");
  Desktop.Key("1");
  Desktop.Pause(1000);
  shot = Desktop.Screenshot();
  int longest = 0;
  for (int y = 0; y < shot.height(); y += 7) {
    int run = 0;
    for (int x = 1; x < shot.width(); ++x) {
      const QRgb a = shot.pixel(x - 1, y), b = shot.pixel(x, y);
      const bool onPicture = qBlue(a) == 77 && qBlue(b) == 77 && qGreen(a) < 8 && qGreen(b) < 8;
      run = onPicture && qGreen(b) * 256 + qRed(b) > qGreen(a) * 256 + qRed(a) ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  EXPECT_GT(longest, 100) << "picture columns in screen pixels";
  ExitWithYes();
}
