// Saving and loading games through the board: the bytes written, what a load restores,
// and every refusal with its message, leaving a board that still plays.
#include <QDir>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>
#include <cstring>

#include <gtest/gtest.h>

#include "board_fixture.h"
#include "media/test_support.h"
#include "puzzle/random.h"

namespace {

using media_test::ReadBytes;
using media_test::TModalLog;
using media_test::WriteBytes;

int Int16At(const QByteArray& b, int offset) {
  return static_cast<std::int16_t>(static_cast<std::uint8_t>(b[offset]) |
                                   (static_cast<std::uint8_t>(b[offset + 1]) << 8));
}
int Int32At(const QByteArray& b, int offset) {
  return (Int16At(b, offset) & 0xFFFF) | (Int16At(b, offset + 2) << 16);
}

class SavedGame : public testing::Test {
 protected:
  QTemporaryDir Dir;
  std::string Path(const char* name) const { return QDir(Dir.path()).filePath(name).toStdString(); }

  // Saves a 3 x 3 sliding letter game one move from solved, at 75 seconds.
  std::string SaveSmallGame(TBoardRig& rig) {
    SetBoard(*rig.Board, "1 2 3 / 4 5 6 / 7 _ 8");
    const std::string path = Path("small.kvr");
    EXPECT_TRUE(rig.Board->SaveGame(path.c_str(), nullptr, 75));
    return path;
  }
};

TEST_F(SavedGame, ThreeByThreeLetterGameIs596BytesAsLaidOut) {
  TBoardRig rig(3, 3);
  TModalLog boxes;
  const QByteArray b = ReadBytes(QString::fromStdString(SaveSmallGame(rig)));
  ASSERT_EQ(b.size(), 596);
  EXPECT_EQ(std::memcmp(b.constData(), "KVR20\0", 6), 0);
  EXPECT_STREQ(b.constData() + 6, "Alphabet");
  EXPECT_EQ(Int32At(b, 261), 75);
  EXPECT_EQ(Int16At(b, 265), 2);  // empty home column
  EXPECT_EQ(Int16At(b, 267), 2);
  EXPECT_EQ(Int16At(b, 269), 3);
  EXPECT_EQ(Int16At(b, 271), 3);
  EXPECT_EQ(Int16At(b, 273), 1);  // alphabet
  EXPECT_EQ(Int16At(b, 275), 1);  // sliding
  int empties = 0;
  for (int i = 0; i < 9; ++i) {
    const int record = 281 + 35 * i;
    if (Int16At(b, record + 8) == 0) {
      ++empties;
      EXPECT_EQ(b[record + 26], 0);  // the empty space is not visible
      EXPECT_EQ(i, 7);
    } else {
      EXPECT_EQ(b[record + 26], 1);
    }
    EXPECT_EQ(Int16At(b, record + 14), i % 3);  // the cell itself
    EXPECT_EQ(Int16At(b, record + 16), i / 3);
  }
  EXPECT_EQ(empties, 1);
  EXPECT_TRUE(boxes.Requests.empty());
}

TEST_F(SavedGame, LoadRestoresThePositionWithTheActiveCellOnTheEmptySpace) {
  TBoardRig saver(3, 3);
  const std::string path = SaveSmallGame(saver);
  TBoardRig loader(5, 4);
  TModalLog boxes;
  int seconds = -1;
  const auto picture = loader.Board->LoadGame(path.c_str(), "old picture", seconds);
  EXPECT_FALSE(picture.has_value());
  EXPECT_EQ(seconds, 75);
  EXPECT_EQ(BoardText(*loader.Board), "1 2 3 / 4 5 6 / 7 _ 8");
  EXPECT_EQ(loader.Board->ActiveX, 1);
  EXPECT_EQ(loader.Board->ActiveY, 2);
  EXPECT_FALSE(loader.Board->Idle);
  EXPECT_TRUE(boxes.Requests.empty());
  // Cells off the loaded board are hidden.
  EXPECT_FALSE(loader.Board->Pieces[0][4]->Visible);
  // And play goes on: the last slide solves it.
  loader.Board->ClickPiece(loader.Board->Pieces[2][2].get());
  EXPECT_EQ(loader.Parent.Notes.back(), WM_PUZZLESOLVED);
}

TEST_F(SavedGame, EverySizeAndBothTypesRoundTrip) {
  TModalLog boxes;
  SeedRandom(99);
  for (int columns = 3; columns <= 20; ++columns) {
    for (int rows : {3, columns, 23 - columns}) {
      for (TGameType type : {TGameType::Sliding, TGameType::Jigsaw}) {
        TBoardRig saver(columns, rows, type);
        saver.Board->Scramble();
        const std::string path = Path("trip.kvr");
        ASSERT_TRUE(saver.Board->SaveGame(path.c_str(), nullptr, columns * rows));
        EXPECT_EQ(ReadBytes(QString::fromStdString(path)).size(), 281 + 35 * columns * rows);
        TBoardRig loader(3, 3);
        int seconds = 0;
        loader.Board->LoadGame(path.c_str(), nullptr, seconds);
        ASSERT_EQ(BoardText(*loader.Board), BoardText(*saver.Board)) << columns << "x" << rows;
        EXPECT_EQ(loader.Board->GameType, type);
        EXPECT_EQ(loader.Board->CountFalse(), saver.Board->CountFalse());
        EXPECT_EQ(seconds, columns * rows);
        if (type == TGameType::Jigsaw) {
          EXPECT_EQ(loader.Board->ActiveX, -1);
        } else {
          EXPECT_EQ(loader.Board->ActiveX, saver.Board->ActiveX);
          EXPECT_EQ(loader.Board->ActiveY, saver.Board->ActiveY);
        }
      }
    }
  }
  EXPECT_TRUE(boxes.Requests.empty());
}

TEST_F(SavedGame, RefusalsSayWhyAndLeaveASolvedBoardWithoutAPicture) {
  TBoardRig saver(4, 3);
  SetBoard(*saver.Board, "1 2 3 4 / 5 6 7 8 / 9 10 _ 11");
  const std::string good = Path("good.kvr");
  ASSERT_TRUE(saver.Board->SaveGame(good.c_str(), nullptr, 12));
  const QByteArray bytes = ReadBytes(QString::fromStdString(good));

  struct TCase {
    const char* Name;
    QByteArray Data;
    std::string Message;
  };
  auto changed = [&](int offset, char value) {
    QByteArray b = bytes;
    b[offset] = value;
    return b;
  };
  const TCase cases[] = {
      {"short header", bytes.left(280), "Unable to read the file."},
      {"empty", QByteArray(), "Unable to read the file."},
      {"magic", changed(2, 'X'), "This is not a Kavro file."},
      {"magic unterminated", changed(5, '!'), "This is not a Kavro file."},
      {"cut after two records", bytes.left(281 + 2 * 35), "This file may be corrupted."},
      {"columns 25", changed(269, 25), "This file may be corrupted."},
      {"rows 0", changed(271, 0), "This file may be corrupted."},
      {"kind 7", changed(273, 7), "This file may be corrupted."},
      {"empty home off the board", changed(265, 9), "This file may be corrupted."},
      {"number twice", changed(281 + 8, 2), "This file may be corrupted."},
      {"home disagrees", changed(281 + 10, 3), "This file may be corrupted."},
      {"cell elsewhere", changed(281 + 14, 5), "This file may be corrupted."},
  };
  QByteArray unterminated = bytes;
  for (int i = 6; i < 261; ++i) unterminated[i] = 'a';

  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = Path("bad.kvr");
    ASSERT_TRUE(WriteBytes(QString::fromStdString(path), c.Data));
    TBoardRig loader(5, 5);
    TModalLog boxes;
    int seconds = -1;
    EXPECT_FALSE(loader.Board->LoadGame(path.c_str(), nullptr, seconds).has_value());
    EXPECT_EQ(seconds, 0);
    ASSERT_EQ(boxes.Requests.size(), 1u);
    EXPECT_EQ(boxes.Requests[0].Text, c.Message);
    EXPECT_EQ(boxes.Requests[0].Caption, "Kavro");
    EXPECT_EQ(boxes.Requests[0].Flags, MB_ICONSTOP | MB_OK);
    EXPECT_TRUE(loader.Board->Idle);
    EXPECT_EQ(loader.Board->Picture, nullptr);
    EXPECT_EQ(loader.Board->CountFalse(), 0);
  }
  {
    const std::string path = Path("noname.kvr");
    ASSERT_TRUE(WriteBytes(QString::fromStdString(path), unterminated));
    TBoardRig loader(5, 5);
    TModalLog boxes;
    int seconds = -1;
    loader.Board->LoadGame(path.c_str(), nullptr, seconds);
    ASSERT_EQ(boxes.Texts(), std::vector<std::string>{"This file may be corrupted."});
  }
  // A file cut inside its records takes the saved size, solved.
  {
    const std::string path = Path("cut.kvr");
    ASSERT_TRUE(WriteBytes(QString::fromStdString(path), bytes.left(281 + 2 * 35)));
    TBoardRig loader(5, 5);
    TModalLog boxes;
    int seconds = -1;
    loader.Board->LoadGame(path.c_str(), nullptr, seconds);
    EXPECT_EQ(BoardText(*loader.Board), "1 2 3 4 / 5 6 7 8 / 9 10 11 _");
  }
  // No file at all.
  {
    TBoardRig loader(3, 3);
    TModalLog boxes;
    int seconds = -1;
    const std::string path = Path("missing.kvr");
    loader.Board->LoadGame(path.c_str(), nullptr, seconds);
    ASSERT_EQ(boxes.Requests.size(), 1u);
    EXPECT_EQ(boxes.Requests[0].Text.rfind("Unable to open ", 0), 0u);
  }
}

TEST_F(SavedGame, AMovedPictureIsReportedOnceAndItsPathKept) {
  TBoardRig saver(3, 3);
  const QString picturePath = QDir(Dir.path()).filePath("gone.bmp");
  saver.Board->Picture = std::make_unique<TBitmap>(90, 90);
  saver.Board->SplitPicture();
  SetBoard(*saver.Board, "1 2 3 / 4 5 6 / 7 _ 8");
  const std::string path = Path("picture.kvr");
  ASSERT_TRUE(saver.Board->SaveGame(path.c_str(), picturePath.toStdString().c_str(), 5));

  TBoardRig loader(3, 3);
  TModalLog boxes;
  int seconds = 0;
  const auto name = loader.Board->LoadGame(path.c_str(), nullptr, seconds);
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(*name, picturePath.toStdString());
  ASSERT_EQ(boxes.Requests.size(), 1u);
  EXPECT_EQ(boxes.Requests[0].Text.rfind("Unable to open ", 0), 0u);
  EXPECT_EQ(BoardText(*loader.Board), "1 2 3 / 4 5 6 / 7 _ 8");
  EXPECT_FALSE(loader.Board->Idle);
  EXPECT_EQ(loader.Board->Picture, nullptr);
  EXPECT_EQ(seconds, 5);

  // A pasted picture cannot be read back: the game loads without one and says nothing.
  ASSERT_TRUE(saver.Board->SaveGame(path.c_str(), "[clipboard]", 5));
  TModalLog quiet;
  const auto pasted = loader.Board->LoadGame(path.c_str(), nullptr, seconds);
  EXPECT_TRUE(quiet.Requests.empty());
  EXPECT_EQ(loader.Board->Picture, nullptr);
  EXPECT_EQ(pasted.value_or(""), "[clipboard]");
}

TEST_F(SavedGame, AFailedSaveKeepsThePreviousFileWhole) {
  TBoardRig rig(3, 3);
  const std::string path = SaveSmallGame(rig);
  const QByteArray before = ReadBytes(QString::fromStdString(path));
  rig.Board->SetSize(20, 20);

  // A file-size limit makes the write fail part-way, as a full disk would.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  TModalLog boxes;
  const bool ok = rig.Board->SaveGame(path.c_str(), nullptr, 1);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(ok);
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Unable to write to the file."});
  EXPECT_EQ(ReadBytes(QString::fromStdString(path)), before);
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files).size(), 1);  // no temporary left

  // A folder that does not exist cannot be saved into.
  TModalLog more;
  EXPECT_FALSE(rig.Board->SaveGame(Path("no/such/folder.kvr").c_str(), nullptr, 1));
  EXPECT_EQ(more.Texts(), std::vector<std::string>{"Unable to save the game."});
}

TEST_F(SavedGame, APictureNameTooLongForTheFileIsRefused) {
  TBoardRig rig(3, 3);
  rig.Board->Picture = std::make_unique<TBitmap>(90, 90);
  rig.Board->SplitPicture();
  const std::string longName(255, 'p');
  const std::string path = Path("long.kvr");
  TModalLog boxes;
  EXPECT_FALSE(rig.Board->SaveGame(path.c_str(), longName.c_str(), 1));
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Unable to save the game."});
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
  // 254 characters still fit.
  EXPECT_TRUE(rig.Board->SaveGame(path.c_str(), std::string(254, 'p').c_str(), 1));
}

}  // namespace
