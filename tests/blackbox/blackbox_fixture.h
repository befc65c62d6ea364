// The black-box fixture: a virtual desktop with the real program, a fresh program
// directory, and what the tests read off the screen (the board, colours, files).
#pragma once

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "desktop.h"
#include "puzzle/puzzle.h"

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

// A saved letter game one move (Left) from solved, its clock at seconds; made by the
// game's own board, which draws nothing while it is never shown.
inline bool SaveAlmostSolvedGame(const QString& path, int seconds) {
  TPuzzle board(3, 3, nullptr);
  board.SetSize(3, 3);
  board.MoveEmptyLeft(true);
  board.Idle = false;
  return board.SaveGame(path.toUtf8().constData(), nullptr, seconds);
}

// The clock's seconds in a saved game: 32 bits, low byte first, at offset 261.
inline int SavedSeconds(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() < 265) return -1;
  const QByteArray b = file.readAll().mid(261, 4);
  return static_cast<int>(static_cast<quint8>(b[0]) | static_cast<quint8>(b[1]) << 8 |
                          static_cast<quint8>(b[2]) << 16 | static_cast<quint8>(b[3]) << 24);
}

inline int CountColour(const QImage& shot, QRgb colour) {
  int n = 0;
  for (int y = 0; y < shot.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
    for (int x = 0; x < shot.width(); ++x) n += (line[x] & 0xFFFFFF) == (colour & 0xFFFFFF);
  }
  return n;
}

inline std::string ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// Four quarters in colours nothing else on the screen has, and a picture of them.
constexpr QRgb Quarters[4] = {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200),
                              qRgb(200, 200, 30)};
inline QImage QuarterPicture(int width, int height) {
  QImage picture(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      picture.setPixel(x, y, Quarters[(y * 2 / height) * 2 + x * 2 / width]);
    }
  }
  return picture;
}

// A desktop that did not start skips the test; CI installs the desktop tools, so there
// a missing one is a failure. The caller returns when the test is skipped or has failed.
inline void RequireDesktop(const QString& problem) {
  if (problem.isEmpty()) return;
  if (std::getenv("CI") != nullptr) FAIL() << problem.toStdString();
  GTEST_SKIP() << problem.toStdString();
}

class BlackBox : public testing::Test {
 protected:
  void SetUp() override {
    RequireDesktop(Desktop.Problem());
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(Dir.isValid());
  }
  QString Settings() const { return Dir.path() + "/kavro.ini"; }
  void WriteSettings(const QString& text) {
    QFile ini(Settings());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(text.toUtf8());
  }

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

  // Opens a file dialog with its keys and types a path into it, after holding the dialog
  // open for a while when asked.
  void ChooseFile(const QString& keys, const QString& title, const QString& path,
                  int holdMilliseconds = 0) {
    Desktop.Key(keys);
    ASSERT_TRUE(Desktop.WaitForWindow(title));
    Desktop.Pause(holdMilliseconds);
    Desktop.Key("ctrl+a");
    Desktop.Type(path);
    Desktop.Key("Return");
    ASSERT_TRUE(Desktop.WaitForGone(title));
  }

  TDesktop Desktop;
  QTemporaryDir Dir;
};
