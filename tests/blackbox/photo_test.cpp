// Phone photos as a player meets them: a photo stored sideways with an Orientation tag
// shows upright, detail finer than the screen shows smooth, and one too big for the memory
// the program may use is refused with the usual message, the program going on with its
// board.
#include <QBuffer>

#include <sys/resource.h>

#include "blackbox_fixture.h"
#include "media/test_support.h"

namespace {

// A JPEG of the image, with an Exif segment asking for the orientation.
bool SaveTagged(const QImage& image, const QString& path, int orientation) {
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  return image.save(&buffer, "JPG", 95) &&
         media_test::WriteBytes(
             path, media_test::WithSegment(jpeg, media_test::ExifSegment(orientation, true)));
}

TEST_F(BlackBox, APhotoStoredSidewaysShowsUpright) {
  // Stored 320 x 240 in quarters red, green / blue, yellow; the tag turns it a quarter
  // clockwise: blue, red / yellow, green, each quarter taller than wide.
  const QImage picture = QuarterPicture(320, 240);
  const QString path = Dir.path() + "/phone.jpg";
  ASSERT_TRUE(SaveTagged(picture, path, 6));
  WriteSettings("[KAVRO]\nTYPE=3\nGAME=2\nPIECESX=4\nPIECESY=4\nFILE=" + path + "\n");

  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  const QImage shot = Desktop.Screenshot();
  TBoard area[4];
  for (int q = 0; q < 4; ++q) {
    // JPEG's colours are near, not exact: the quarter's own colour within a few levels.
    QImage mask = shot.copy();
    for (int y = 0; y < mask.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(mask.scanLine(y));
      for (int x = 0; x < mask.width(); ++x) {
        const QRgb c = line[x], want = Quarters[q];
        const bool near = std::abs(qRed(c) - qRed(want)) < 12 &&
                          std::abs(qGreen(c) - qGreen(want)) < 12 &&
                          std::abs(qBlue(c) - qBlue(want)) < 12;
        line[x] = near ? want : qRgb(0, 0, 0);
      }
    }
    area[q] = TBoard::Find(mask, Quarters[q]);
    EXPECT_GT(area[q].Bottom - area[q].Top, area[q].Right - area[q].Left + 20) << "quarter " << q;
  }
  EXPECT_LT(area[2].Right, area[0].Left) << "blue left of red";
  EXPECT_LT(area[0].Bottom, area[1].Top) << "red above green";
  EXPECT_LT(area[3].Right, area[1].Left) << "yellow left of green";
  EXPECT_LT(area[2].Bottom, area[3].Top) << "blue above yellow";
  ExitWithYes();
}

// A picture of one-pixel red and blue squares, fitted on the board: too fine for the
// screen, it shows as the purple it averages to, not as false red and blue patterns.
TEST_F(BlackBox, DetailFinerThanTheScreenShowsAsItsMean) {
  QImage picture(1800, 1400, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      picture.setPixel(x, y, (x + y) % 2 == 0 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    }
  }
  const QString path = Dir.path() + "/fine.bmp";
  ASSERT_TRUE(picture.save(path, "BMP"));
  WriteSettings("[KAVRO]\nTYPE=3\nGAME=2\n3D=0\nGRID=0\nFITIN=1\nFILE=" + path + "\n");
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  const QImage shot = Desktop.Screenshot().convertToFormat(QImage::Format_RGB32);
  // The board: where the screen is purple.
  constexpr QRgb Mark = qRgb(1, 2, 3);
  QImage purple = shot.copy();
  for (int y = 0; y < purple.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(purple.scanLine(y));
    for (int x = 0; x < purple.width(); ++x) {
      const QRgb c = line[x];
      const bool mean =
          std::abs(qRed(c) - 128) < 24 && std::abs(qBlue(c) - 128) < 24 && qGreen(c) < 16;
      line[x] = mean ? Mark : qRgb(0, 0, 0);
    }
  }
  const TBoard board = TBoard::Find(purple, Mark);
  ASSERT_TRUE(board.Found()) << "no purple board on the screen";
  int extreme = 0;
  long long red = 0;
  long long blue = 0;
  const int pixels = (board.Right - board.Left + 1) * (board.Bottom - board.Top + 1);
  for (int y = board.Top; y <= board.Bottom; ++y) {
    for (int x = board.Left; x <= board.Right; ++x) {
      const QRgb c = shot.pixel(x, y);
      extreme += std::abs(qRed(c) - qBlue(c)) > 160;
      red += qRed(c);
      blue += qBlue(c);
    }
  }
  EXPECT_LT(extreme, pixels / 100) << "of " << pixels << " board pixels plain red or blue";
  EXPECT_NEAR(static_cast<double>(red) / pixels, 127.5, 3);
  EXPECT_NEAR(static_cast<double>(blue) / pixels, 127.5, 3);
  ExitWithYes();
}

TEST_F(BlackBox, APhotoTooBigForTheMemoryIsRefusedAndTheBoardStays) {
#if defined(KAVRO_ADDRESS_SANITIZER)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
  // 50 megapixels: a display bitmap of 190 MiB, more than the program may take on top of
  // what it holds running.
  const QString path = Dir.path() + "/big.jpg";
  {
    QImage photo(8160, 6120, QImage::Format_RGB32);
    photo.fill(qRgb(90, 140, 60));
    ASSERT_TRUE(SaveTagged(photo, path, 6));
  }
  WriteSettings("[KAVRO]\nTYPE=1\nGAME=1\nPIECESX=4\nPIECESY=4\n[MRUL]\n1=" + path + "\n");
  // The program inherits the limit on its address space; this process keeps it only
  // while it starts the program.
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &before), 0);
  rlimit limit = before;
  limit.rlim_cur = rlim_t{400} << 20;
  ASSERT_EQ(setrlimit(RLIMIT_AS, &limit), 0);
  const bool started = Desktop.StartProgram(Dir.path());
  ASSERT_EQ(setrlimit(RLIMIT_AS, &before), 0);
  ASSERT_TRUE(started) << Desktop.Problem().toStdString();

  const QRect board(0, 120, 1280, 560);
  const QImage letters = Desktop.Screenshot().copy(board);
  Desktop.Key("alt+g");
  Desktop.Key("1");  // "&1 big.jpg"
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2, 20000)) << "the \"Unable to open\" box";
  Desktop.Key("Return");
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 1));
  Desktop.Pause(500);
  EXPECT_EQ(Desktop.Screenshot().copy(board), letters) << "the letter board as it was";
  ExitWithYes();
}

}  // namespace
