// The real program as a player meets it: started in a fresh program directory on a
// virtual desktop, played with keys and the mouse, closed through its menu, and the
// settings file it leaves behind.
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "desktop.h"
#include "puzzle/puzzle.h"

namespace {

constexpr QRgb Teal = qRgb(64, 128, 128);  // the default background: grid and empty cell
constexpr QRgb Tile = qRgb(192, 192, 192);

// The board: the rectangle the background shows through (grid gaps and the empty cell).
struct TBoard {
  int Left = 0;
  int Top = 0;
  int Right = -1;
  int Bottom = -1;
  int Columns = 3;
  int Rows = 3;

  static TBoard Find(const QImage& shot, QRgb background) {
    TBoard b;
    b.Left = shot.width();
    b.Top = shot.height();
    for (int y = 0; y < shot.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
      for (int x = 0; x < shot.width(); ++x) {
        if ((line[x] & 0xFFFFFF) != (background & 0xFFFFFF)) continue;
        b.Left = std::min(b.Left, x);
        b.Top = std::min(b.Top, y);
        b.Right = std::max(b.Right, x);
        b.Bottom = std::max(b.Bottom, y);
      }
    }
    return b;
  }
  bool Found() const { return Right - Left > 300 && Bottom - Top > 300; }
  int CellWidth() const { return (Right + 1 - Left) / Columns; }
  int CellHeight() const { return (Bottom + 1 - Top) / Rows; }
  // A point inside cell (x, y) away from its letter; and the cell's centre.
  QPoint Corner(int x, int y) const {
    return {Left + x * CellWidth() + CellWidth() / 6, Top + y * CellHeight() + CellHeight() / 6};
  }
  QPoint Centre(int x, int y) const {
    return {Left + x * CellWidth() + CellWidth() / 2, Top + y * CellHeight() + CellHeight() / 2};
  }
  // The empty cell: the one cell that shows the background; (-1, -1) when not one.
  QPoint Empty(const QImage& shot) const {
    QPoint empty(-1, -1);
    int count = 0;
    for (int y = 0; y < Rows; ++y) {
      for (int x = 0; x < Columns; ++x) {
        const QRgb c = shot.pixel(Corner(x, y)) & 0xFFFFFF;
        if (c == (Teal & 0xFFFFFF)) {
          empty = QPoint(x, y);
          ++count;
        } else if (c != (Tile & 0xFFFFFF)) {
          return {-2, -2};
        }
      }
    }
    return count == 1 ? empty : QPoint(-1, -1);
  }
};

int CountColour(const QImage& shot, QRgb colour) {
  int n = 0;
  for (int y = 0; y < shot.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
    for (int x = 0; x < shot.width(); ++x) n += (line[x] & 0xFFFFFF) == (colour & 0xFFFFFF);
  }
  return n;
}

std::string ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class BlackBox : public testing::Test {
 protected:
  void SetUp() override {
    if (!Desktop.Problem().isEmpty()) {
      // CI installs the desktop tools: there, a missing one is a failure.
      if (std::getenv("CI") != nullptr) FAIL() << Desktop.Problem().toStdString();
      GTEST_SKIP() << Desktop.Problem().toStdString();
    }
    ASSERT_TRUE(Dir.isValid());
  }
  QString Settings() const { return Dir.path() + "/kavro.ini"; }

  // Exit from the Game menu, then Yes: the program ends and leaves its settings. A menu
  // key the window manager let pass before the window had the focus is tried once more.
  void ExitWithYes() {
    bool asked = false;
    for (int tries = 0; tries < 2 && !asked; ++tries) {
      Desktop.Activate();
      Desktop.Key("Escape");
      Desktop.Key("alt+g");
      Desktop.Key("e");
      asked = Desktop.WaitForWindows("Kavro", 2, 4000);
    }
    ASSERT_TRUE(asked) << "the exit question";
    Desktop.Key("Return");
    const std::optional<int> code = Desktop.WaitForExit();
    ASSERT_TRUE(code.has_value()) << "the program did not end";
    EXPECT_EQ(*code, 0) << Desktop.ProgramOutput().toStdString();
  }

  // Opens a file dialog with its keys and types a path into it.
  void ChooseFile(const QString& keys, const QString& title, const QString& path) {
    Desktop.Key(keys);
    ASSERT_TRUE(Desktop.WaitForWindow(title));
    Desktop.Key("ctrl+a");
    Desktop.Type(path);
    Desktop.Key("Return");
    ASSERT_TRUE(Desktop.WaitForGone(title));
  }

  TDesktop Desktop;
  QTemporaryDir Dir;
};

}  // namespace

TEST_F(BlackBox, FreshStartPlaysWithKeysAndMouseAndSavesItsSettingsOnExit) {
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  QImage shot = Desktop.Screenshot();
  const TBoard board = TBoard::Find(shot, Teal);
  ASSERT_TRUE(board.Found()) << "no board of the default colours on the screen";
  EXPECT_GT(board.Right - board.Left, 1280 / 2) << "the frame is maximized";
  EXPECT_EQ(board.Empty(shot), QPoint(2, 2)) << "solved 3 x 3 letters, empty at the end";
  EXPECT_GT(CountColour(shot, qRgb(0, 0, 255)), 1000) << "blue letters";
  const int clockAtZero = CountColour(shot, qRgb(255, 0, 0));
  EXPECT_GT(clockAtZero, 100) << "the clock shows its lit segments";

  Desktop.Key("F2");
  Desktop.Pause(1500);
  shot = Desktop.Screenshot();
  QPoint empty = board.Empty(shot);
  ASSERT_GE(empty.x(), 0) << "one empty cell after scrambling";
  EXPECT_NE(CountColour(shot, qRgb(255, 0, 0)), clockAtZero) << "the clock runs";

  // An arrow slides the neighbour into the empty cell: the empty cell moves the other way.
  const bool left = empty.x() < 2;
  Desktop.Key(left ? "Left" : "Right");
  shot = Desktop.Screenshot();
  const QPoint moved = empty + QPoint(left ? 1 : -1, 0);
  EXPECT_EQ(board.Empty(shot), moved);

  // A click at the far end of the empty cell's column slides the run towards it.
  const int targetRow = moved.y() == 0 ? 2 : 0;
  const QPoint target = board.Centre(moved.x(), targetRow);
  Desktop.Click(target.x(), target.y());
  shot = Desktop.Screenshot();
  EXPECT_EQ(board.Empty(shot), QPoint(moved.x(), targetRow));

  ExitWithYes();
  const std::string ini = ReadFile(Settings());
  EXPECT_EQ(
      ini,
      "[KAVRO]\nFIRST=1\nCOLOR=8421440\nPIECESX=3\nPIECESY=3\nEMPTYX=2\nEMPTYY=2\nTYPE=1\nGAME=1\n"
      "PIECESCOLOR=12632256\nFONTCOLOR=16711680\nFONTNAME=Arial\nFONTSTYLE=0\n3D=0\n"
      "SOUND=1\nFITIN=0\nGRID=1\nFALSE=0\n");
}

TEST_F(BlackBox, StartsWithThePictureItsSettingsName) {
  // Four quarters in colours nothing else on the screen has.
  const QRgb quarters[4] = {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200),
                            qRgb(200, 200, 30)};
  QImage picture(320, 240, QImage::Format_RGB32);
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) picture.setPixel(x, y, quarters[(y / 120) * 2 + x / 160]);
  }
  const QString path = Dir.path() + "/quarters.bmp";
  ASSERT_TRUE(picture.save(path, "BMP"));
  QFile ini(Settings());
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write(("[KAVRO]\nTYPE=3\nGAME=2\nPIECESX=4\nPIECESY=4\nFILE=" + path + "\n").toUtf8());
  ini.close();

  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  const QImage shot = Desktop.Screenshot();
  QPoint centre[4];
  for (int q = 0; q < 4; ++q) {
    const TBoard area = TBoard::Find(shot, quarters[q]);
    ASSERT_GT(area.Right - area.Left, 100) << "quarter " << q << " is on the screen";
    EXPECT_GT(area.Bottom - area.Top, 80) << q;
    centre[q] = QPoint((area.Left + area.Right) / 2, (area.Top + area.Bottom) / 2);
  }
  EXPECT_LT(centre[0].x(), centre[1].x()) << "shown in solved order at normal size";
  EXPECT_LT(centre[0].y(), centre[2].y());

  ExitWithYes();
  const std::string saved = ReadFile(Settings());
  EXPECT_NE(saved.find("TYPE=3\nGAME=2\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("FILE=" + path.toStdString() + "\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("[MRUL]\n1=" + path.toStdString() + "\n"), std::string::npos) << saved;
}

TEST_F(BlackBox, SavesAGameAndLoadsItBackToTheSameBoard) {
  // A JPEG reached through the recent list, after a start on a BMP named by the settings.
  QImage picture(320, 240, QImage::Format_RGB32);
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) picture.setPixel(x, y, qRgb(x * 255 / 320, y, 128));
  }
  const QString bmp = Dir.path() + "/start.bmp";
  const QString jpeg = Dir.path() + "/photo.jpg";
  ASSERT_TRUE(picture.save(bmp, "BMP"));
  ASSERT_TRUE(picture.mirrored(true, false).save(jpeg, "JPG"));
  QFile ini(Settings());
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write(("[KAVRO]\nTYPE=3\nPIECESX=5\nPIECESY=4\nFILE=" + bmp + "\n[MRUL]\n1=" + bmp +
             "\n2=" + jpeg + "\n")
                .toUtf8());
  ini.close();

  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  Desktop.Key("alt+g");
  Desktop.Key("2");  // "&2 photo.jpg"
  Desktop.Pause(500);
  Desktop.Key("F2");
  // The board, below the bars and above the status bar; the clock stays out of it.
  const QRect board(0, 120, 1280, 560);
  const QImage played = Desktop.Screenshot().copy(board);

  const QString game = Dir.path() + "/photo.KVR";
  ChooseFile("ctrl+s", "Save Game", game);
  ASSERT_TRUE(QFile::exists(game));

  Desktop.Key("F2");  // another game in the meantime
  EXPECT_NE(Desktop.Screenshot().copy(board), played);
  ChooseFile("ctrl+l", "Load Game", game);
  EXPECT_EQ(Desktop.Screenshot().copy(board), played) << "the saved board comes back";

  ExitWithYes();
  const std::string saved = ReadFile(Settings());
  EXPECT_NE(saved.find("[MRUL]\n1=" + game.toStdString() + "\n2=" + jpeg.toStdString() + "\n"),
            std::string::npos)
      << saved;
}

TEST_F(BlackBox, ABestTimeAsksForTheNameAndTheListKeepsItAcrossARestart) {
  // A saved letter game one move from solved, made by the game's own board.
  const QString game = Dir.path() + "/almost.KVR";
  {
    TPuzzle board(3, 3, nullptr);
    board.SetSize(3, 3);
    board.MoveEmptyLeft(true);  // a board never shown draws nothing
    board.Idle = false;
    ASSERT_TRUE(board.SaveGame(game.toUtf8().constData(), nullptr, 5));
  }
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  ChooseFile("ctrl+l", "Load Game", game);
  Desktop.Key("Left");  // the last piece home
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2)) << "the name entry";
  Desktop.Type("Ann");
  Desktop.Key("Return");
  ASSERT_TRUE(Desktop.WaitForWindow("Best Times - Sliding Puzzle"));
  Desktop.Key("Return");
  ASSERT_TRUE(Desktop.WaitForGone("Best Times - Sliding Puzzle"));
  ExitWithYes();
  const QString scores = Dir.path() + "/Scores/Times.ini";
  EXPECT_NE(ReadFile(scores).find("~Ann~"), std::string::npos) << ReadFile(scores);

  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  Desktop.Key("alt+g");
  Desktop.Key("b");
  ASSERT_TRUE(Desktop.WaitForWindow("Best Times - Sliding Puzzle")) << "the list after a restart";
  Desktop.Key("Escape");
  ASSERT_TRUE(Desktop.WaitForGone("Best Times - Sliding Puzzle"));
  ExitWithYes();
  EXPECT_NE(ReadFile(scores).find("[Alphabet]\n0= 3~ 3~Ann~"), std::string::npos)
      << ReadFile(scores);
}
