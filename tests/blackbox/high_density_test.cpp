// Kavro on a desktop at twice the scale, set as GNOME sets it (Xft.dpi 192): letters and a
// picture drawn at the screen's own resolution, not magnified from half of it.
#include <set>
#include <utility>
#include <vector>

#include "blackbox_fixture.h"

TEST_F(BlackBox, AtScaleTwoLettersAndPictureUseEveryScreenPixel) {
  // Larger than the window, so that normal size shrinks it: every screen pixel its own
  // picture pixel. Red and green name the column, blue marks the picture.
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
  QImage shot = Desktop.Screenshot().convertToFormat(QImage::Format_RGB32);
  const TBoard board = TBoard::Find(shot, Teal);
  ASSERT_TRUE(board.Found()) << "no letter board on the screen";
  // A grid gap is one logical pixel: two screen pixels.
  const int y = board.Top + board.CellHeight() / 3;
  int x = board.Left;
  while (x < board.Right && shot.pixel(x, y) != Teal) ++x;
  EXPECT_EQ(shot.pixel(x + 1, y), Teal) << "the screen is at scale 2";
  EXPECT_NE(shot.pixel(x + 2, y), Teal);
  // The letters' edges: aligned 2 x 2 blocks of more than one colour, in every alignment
  // (magnified letters have none in one of them).
  int fewest = 1 << 30;
  for (int phase = 0; phase < 4; ++phase) {
    int mixed = 0;
    for (int by = board.Top + phase / 2; by < board.Bottom; by += 2) {
      for (int bx = board.Left + phase % 2; bx < board.Right; bx += 2) {
        const QRgb c = shot.pixel(bx, by);
        mixed += shot.pixel(bx + 1, by) != c || shot.pixel(bx, by + 1) != c ||
                 shot.pixel(bx + 1, by + 1) != c;
      }
    }
    fewest = std::min(fewest, mixed);
  }
  EXPECT_GT(fewest, 200);

  // A move: the empty cell goes the other way.
  Desktop.Key("F2");
  Desktop.Pause(1000);
  const QPoint empty = board.Empty(Desktop.Screenshot());
  ASSERT_GE(empty.x(), 0) << "one empty cell after scrambling";
  Desktop.Key(empty.x() < 2 ? "Left" : "Right");
  EXPECT_EQ(board.Empty(Desktop.Screenshot()), empty + QPoint(empty.x() < 2 ? 1 : -1, 0));

  // The picture, from the recent files: along a row each screen pixel shows a column
  // further right than its left neighbour's.
  Desktop.Key("alt+g");
  Desktop.Key("1");
  Desktop.Pause(1000);
  shot = Desktop.Screenshot().convertToFormat(QImage::Format_RGB32);
  int longest = 0;
  for (int row = 0, run = 0; row < shot.height(); row += 7, run = 0) {
    for (int col = 1; col < shot.width(); ++col) {
      const QRgb a = shot.pixel(col - 1, row), b = shot.pixel(col, row);
      const bool onPicture = qBlue(a) == 77 && qBlue(b) == 77 && qGreen(a) < 8 && qGreen(b) < 8;
      run = onPicture && qGreen(b) * 256 + qRed(b) > qGreen(a) * 256 + qRed(a) ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  EXPECT_GT(longest, 100) << "picture columns in screen pixels";
  ExitWithYes();
}

// At 1.25 and 1.5 a logical pixel is one screen pixel or two, by where it lies: the
// pieces still look alike, their light and dark bevels as wide as each other and every
// gap between them as wide as the others.
TEST_F(BlackBox, AtFractionalScalesEveryPieceHasEvenBevelsAndEqualGaps) {
  constexpr QRgb Light = qRgb(224, 224, 224);
  constexpr QRgb Dark = qRgb(64, 64, 64);
  for (const char* scale : {"1.25", "1.5"}) {
    WriteSettings("[KAVRO]\n3D=1\nGRID=1\n");
    qputenv("QT_SCALE_FACTOR", scale);
    const bool started = Desktop.StartProgram(Dir.path());
    qunsetenv("QT_SCALE_FACTOR");
    ASSERT_TRUE(started) << Desktop.Problem().toStdString();
    const QImage shot = Desktop.Screenshot().convertToFormat(QImage::Format_RGB32);
    const TBoard board = TBoard::Find(shot, Teal);
    ASSERT_TRUE(board.Found()) << "no letter board at " << scale;
    // Along a row of the top pieces, clear of the letters: runs of one colour.
    const int y = board.Top + board.CellHeight() / 6;
    std::vector<std::pair<QRgb, int>> runs;
    for (int x = board.Left; x <= board.Right; ++x) {
      const QRgb c = shot.pixel(x, y) & 0xFFFFFF;
      if (runs.empty() || runs.back().first != c) runs.emplace_back(c, 0);
      ++runs.back().second;
    }
    std::set<int> light, dark, gaps;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      if (runs[i].first == (Light & 0xFFFFFF)) light.insert(runs[i].second);
      if (runs[i].first == (Dark & 0xFFFFFF)) dark.insert(runs[i].second);
      // A gap between two pieces, not the empty cell's teal at the row's end.
      if (runs[i].first == (Teal & 0xFFFFFF) && i > 0 && i + 1 < runs.size()) {
        gaps.insert(runs[i].second);
      }
    }
    EXPECT_EQ(light.size(), 1U) << "light bevels of one width at " << scale;
    EXPECT_EQ(light, dark) << "light and dark bevels alike at " << scale;
    EXPECT_EQ(gaps.size(), 1U) << "gaps of one width at " << scale;
    ExitWithYes();
  }
}
