// The side windows as a player meets them on a desktop with a window manager: the
// thumbnail above the board, the empty-space preview after a click, the floating bars
// clear of each other, and the box of a saved game that does not load.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include "blackbox_fixture.h"

namespace {

constexpr QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255),
               Yellow = qRgb(255, 255, 0);
constexpr QRgb PreviewTeal = qRgb(0, 128, 128), PreviewDark = qRgb(64, 64, 64);

class SideWindows : public BlackBox {
 protected:
  QStringList Windows(const QString& name) {
    return Desktop.Output("xdotool", {"search", "--onlyvisible", "--name", "^" + name + "$"})
        .split('\n', Qt::SkipEmptyParts);
  }
  // A window's client area on the screen, as the X server has it.
  QRect Client(const QString& window) {
    const QString info = Desktop.Output("xwininfo", {"-id", window});
    auto field = [&](const QString& name) {
      return QRegularExpression(name + R"(:\s+(-?\d+))").match(info).captured(1).toInt();
    };
    return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
            field("Height")};
  }
  // The client area with the frame the window manager put around it.
  QRect Frame(const QString& window) {
    const QStringList e =
        Desktop.Output("xprop", {"-id", window, "_NET_FRAME_EXTENTS"}).section('=', 1).split(',');
    if (e.size() != 4) return Client(window);
    return Client(window).adjusted(-e[0].toInt(), -e[2].toInt(), e[1].toInt(), e[3].toInt());
  }
  QString Property(const QString& window, const QString& name) {
    return Desktop.Output("xprop", {"-id", window, name}).section('=', 1).trimmed();
  }
  // A window named by its hexadecimal id, as xdotool names it.
  static QString FromHex(const QString& hex) {
    return QString::number(hex.trimmed().toULongLong(nullptr, 0));
  }
  // Top-level windows from the bottom of the stack to its top.
  QStringList Stacking() {
    QStringList windows;
    const QString list = Desktop.Output("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
    for (const QString& hex : list.section('#', 1).split(',')) windows << FromHex(hex);
    return windows;
  }
  // A picture of four coloured quarters: red, green / blue, yellow.
  QString SavePicture(const QString& name, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        image.setPixel(
            x, y, y < height / 2 ? (x < width / 2 ? Red : Green) : (x < width / 2 ? Blue : Yellow));
      }
    }
    const QString path = Dir.path() + "/" + name;
    return image.save(path, "BMP") ? path : QString();
  }
};

// The smallest rectangle holding every pixel of this colour (inside within).
QRect Where(const QImage& shot, QRgb colour, QRect within = {}) {
  QRect box;
  within = within.isNull() ? shot.rect() : within & shot.rect();
  for (int y = within.top(); y <= within.bottom(); ++y) {
    for (int x = within.left(); x <= within.right(); ++x) {
      if ((shot.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// The cell (column, row) of a 3 x 3 grid over area that holds point.
QPoint CellOf(const QRect& area, const QPoint& point) {
  return {(point.x() - area.left()) * 3 / area.width(),
          (point.y() - area.top()) * 3 / area.height()};
}

TEST_F(SideWindows, ThumbnailStaysAboveTheBoardAndShowsHalfThePictureInItsShape) {
  const QString picture = SavePicture("quarters.bmp", 640, 480);
  WriteSettings("[KAVRO]\nTYPE=3\nFILE=" + picture + "\n");
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  Desktop.Key("F2");
  Desktop.Key("alt+o");
  Desktop.Key("t");
  ASSERT_TRUE(Desktop.WaitForWindow("Thumbnail"));
  const QString thumbnail = Windows("Thumbnail").value(0);
  EXPECT_EQ(Client(thumbnail).size(), QSize(320, 240)) << "its client area is half the picture";
  const QString owner = Desktop.Output("xprop", {"-id", thumbnail, "WM_TRANSIENT_FOR"});
  EXPECT_EQ(FromHex(owner.section('#', 1)).toStdString(), Desktop.MainWindow().toStdString());
  const QImage shown = Desktop.WindowShot(thumbnail);
  ASSERT_EQ(shown.size(), QSize(320, 240));
  EXPECT_EQ(shown.pixel(80, 60) & 0xFFFFFF, Red & 0xFFFFFF) << "unscrambled, not squashed";
  EXPECT_EQ(shown.pixel(240, 60) & 0xFFFFFF, Green & 0xFFFFFF);
  EXPECT_EQ(shown.pixel(80, 230) & 0xFFFFFF, Blue & 0xFFFFFF);
  EXPECT_EQ(shown.pixel(315, 235) & 0xFFFFFF, Yellow & 0xFFFFFF);

  Desktop.Click(200, 300);  // the board
  QStringList stack = Stacking();
  EXPECT_GT(stack.indexOf(thumbnail), stack.indexOf(Desktop.MainWindow())) << "still above";

  // A picture more than twice the work area's size keeps its shape within half of it.
  ASSERT_TRUE(Desktop.Output("xprop", {"-root", "_NET_WORKAREA"})
                  .section('=', 1)
                  .trimmed()
                  .startsWith("0, 0, 1280, 800"));
  ChooseFile("ctrl+o", "Open Image", SavePicture("wide.bmp", 2562, 1600));
  Desktop.Pause(500);
  EXPECT_EQ(Client(thumbnail).size(), QSize(640, 399));
  ExitWithYes();
}

TEST_F(SideWindows, TheThumbnailAndTheFloatingToolbarLeaveTheKeysAndTheClockWithTheGame) {
  const QString picture = SavePicture("quarters.bmp", 640, 480);
  WriteSettings("[KAVRO]\nTYPE=3\nFILE=" + picture + "\n");
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  const QString active = "0x" + QString::number(Desktop.MainWindow().toULongLong(), 16);
  auto mainWindowActive = [&] {
    return Desktop.Output("xprop", {"-root", "_NET_ACTIVE_WINDOW"}).trimmed().endsWith(active);
  };
  Desktop.Key("alt+o");
  Desktop.Key("t");  // Show thumbnail
  ASSERT_TRUE(Desktop.WaitForWindow("Thumbnail"));
  EXPECT_TRUE(mainWindowActive()) << "shown, the thumbnail leaves the keys with the game";
  Desktop.Key("alt+v");
  Desktop.Key("t");
  Desktop.Key("f");  // floating bars
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2)) << "the menu's keys still reach the game";
  QRect toolbar;
  for (const QString& window : Windows("Kavro")) {
    if (window != Desktop.MainWindow()) toolbar = Client(window);
  }
  QElapsedTimer wall;
  wall.start();
  Desktop.Click(toolbar.left() + 14, toolbar.top() + 16);  // Scramble
  const QPoint thumbnail = Client(Windows("Thumbnail").value(0)).center();
  Desktop.Click(thumbnail.x(), thumbnail.y());
  EXPECT_TRUE(mainWindowActive()) << "clicked, neither takes the keys";
  // From any empty cell at least two of the four arrows slide a piece.
  int moved = 0;
  const QRect board(0, 0, 640, 480);
  for (const char* key : {"Right", "Down", "Left", "Up"}) {
    const QImage before = Desktop.WindowShot(Desktop.MainWindow()).copy(board);
    Desktop.Key(key);
    moved += Desktop.WindowShot(Desktop.MainWindow()).copy(board) != before;
  }
  EXPECT_GE(moved, 2);
  Desktop.Pause(3000);
  const int played = static_cast<int>(wall.elapsed() / 1000);
  const QString game = Dir.path() + "/beside.KVR";
  ChooseFile("ctrl+s", "Save Game", game);
  // The click reached the program a moment after the wall clock started.
  EXPECT_GE(SavedSeconds(game), played - 1) << "every second since the scramble counted";
  EXPECT_LE(SavedSeconds(game), static_cast<int>(wall.elapsed() / 1000) + 1);
  ExitWithYes();
}

TEST_F(SideWindows, EmptySpacePreviewMarksTheCellClickedInEitherList) {
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  Desktop.Key("alt+p");
  Desktop.Key("s");  // Set empty space
  ASSERT_TRUE(Desktop.WaitForWindow("Position of Empty Space"));
  const QString dialog = Windows("Position of Empty Space").value(0);
  const QRect at = Client(dialog);
  QImage shot = Desktop.WindowShot(dialog);
  // The cells' dark edges inside the " Preview " box (170..274 x 12..98 dialog units).
  const QRect box(shot.width() * 170 / 282, shot.height() * 12 / 130, shot.width() * 104 / 282,
                  shot.height() * 86 / 130);
  const QRect preview = Where(shot, PreviewDark, box);
  ASSERT_GT(preview.width(), 60);
  EXPECT_EQ(CellOf(preview, Where(shot, PreviewTeal).center()), QPoint(2, 2));

  // The two lists hold 1, 2, 3 with "3" selected: the selected line shows where its list's
  // lines are. Dialog units from the template: row list at x 40..68, columns at 124..152.
  const int unit = at.width() * 4 / 282;
  auto clickFirstLine = [&](int left, int right) {
    const int x0 = left * unit / 4 + 4, x1 = right * unit / 4 - 4;
    int top = -1, bottom = -1;
    for (int y = 0; y < shot.height(); ++y) {
      const QRgb c = shot.pixel((x0 + x1) / 2, y);
      if (qBlue(c) > qRed(c) + 60) {
        if (top < 0) top = y;
        bottom = y;
      }
    }
    ASSERT_GT(bottom, top) << "a selected line";
    const int line = bottom + 1 - top;
    Desktop.Click(at.left() + (x0 + x1) / 2, at.top() + top - 2 * line + line / 2);
    Desktop.Pause(300);
    shot = Desktop.WindowShot(dialog);
  };
  clickFirstLine(40, 68);  // row 1
  EXPECT_EQ(CellOf(preview, Where(shot, PreviewTeal).center()), QPoint(2, 0));
  clickFirstLine(124, 152);  // column 1
  EXPECT_EQ(CellOf(preview, Where(shot, PreviewTeal).center()), QPoint(0, 0));
  Desktop.Key("Escape");
  ASSERT_TRUE(Desktop.WaitForGone("Position of Empty Space"));
  ExitWithYes();
}

TEST_F(SideWindows, FloatingToolbarStandsClearBelowTheTimerWhoseCaptionShows) {
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  Desktop.Key("alt+v");
  Desktop.Key("t");
  Desktop.Key("f");  // Floating
  ASSERT_TRUE(Desktop.WaitForWindow("Timer"));
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2));
  const QString timer = Windows("Timer").value(0);
  QString toolbar;
  for (const QString& window : Windows("Kavro")) {
    if (window != Desktop.MainWindow()) toolbar = window;
  }
  const QRect timerFrame = Frame(timer), toolsFrame = Frame(toolbar);
  EXPECT_GT(timerFrame.height(), Client(timer).height()) << "framed by the window manager";
  EXPECT_FALSE(timerFrame.intersects(toolsFrame));
  EXPECT_EQ(toolsFrame.top(), timerFrame.bottom() + 1 + 22);
  EXPECT_EQ(toolsFrame.right(), timerFrame.right()) << "both at the same distance from the edge";

  // The caption's letters between the window's icon and its buttons.
  const QString outer = QRegularExpression(R"(Parent window id: (0x[0-9a-f]+))")
                            .match(Desktop.Output("xwininfo", {"-children", "-id", timer}))
                            .captured(1);
  const QImage title = Desktop.WindowShot(outer);
  const int captionHeight = Client(timer).top() - timerFrame.top();
  int ink = 0;
  for (int y = 2; y < captionHeight - 2; ++y) {
    for (int x = 24; x < title.width() - 60; ++x) ink += qGray(title.pixel(x, y)) < 160;
  }
  EXPECT_GT(ink, 40) << "\"Timer\" shows";
  ExitWithYes();
}

TEST_F(SideWindows, BestTimesShowsWhoseListItIsDownToTheFileName) {
  // A path too long for the line, in two pictures told apart by their names alone.
  const QString folders = "pictures/of/our/summer/holidays/by/the/sea/in/the/south/with/friends";
  ASSERT_TRUE(QDir(Dir.path()).mkpath(folders));
  const QString ant = SavePicture(folders + "/ant.bmp", 64, 48);
  WriteSettings("[KAVRO]\nTYPE=3\nFILE=" + ant + "\n");
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  auto fileNameLine = [&] {
    Desktop.Key("alt+g");
    Desktop.Key("b");  // Best times
    EXPECT_TRUE(Desktop.WaitForWindow("Best Times - Sliding Puzzle"));
    const QImage shot = Desktop.WindowShot(Windows("Best Times - Sliding Puzzle").value(0));
    Desktop.Key("Escape");
    EXPECT_TRUE(Desktop.WaitForGone("Best Times - Sliding Puzzle"));
    return shot.copy(0, 0, shot.width(), shot.height() * 14 / 153);  // above the headers
  };
  const QImage first = fileNameLine();
  ASSERT_FALSE(first.isNull());
  ChooseFile("ctrl+o", "Open Image", SavePicture(folders + "/bee.bmp", 64, 48));
  EXPECT_NE(fileNameLine(), first) << "the file name shows";
  ExitWithYes();
}

TEST_F(SideWindows, AGameThatDoesNotLoadKeepsThePictureAndItsBoxShowsTheProgramsIcon) {
  const QString picture = SavePicture("quarters.bmp", 640, 480);
  WriteSettings("[KAVRO]\nTYPE=3\nFILE=" + picture + "\n");
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  EXPECT_GT(CountColour(Desktop.Screenshot(), Yellow), 20000) << "the picture";
  QByteArray noise(4000, '\0');
  for (char& c : noise) c = static_cast<char>(QRandomGenerator::global()->bounded(256));
  QFile game(Dir.path() + "/noise.KVR");
  ASSERT_TRUE(game.open(QIODevice::WriteOnly));
  game.write(noise);
  game.close();
  ChooseFile("ctrl+l", "Load Game", game.fileName());
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2)) << "the message";
  for (const QString& window : Windows("Kavro")) {
    const QString icon = Property(window, "_NET_WM_ICON");
    EXPECT_TRUE(icon.startsWith("Icon (")) << window.toStdString();
    EXPECT_EQ(icon, Property(Desktop.MainWindow(), "_NET_WM_ICON")) << "the program's icon";
  }
  Desktop.Key("Return");
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 1));
  Desktop.Pause(500);
  EXPECT_GT(CountColour(Desktop.Screenshot(), Yellow), 20000) << "the picture stays";
  ExitWithYes();
}

}  // namespace
