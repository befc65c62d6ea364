// Saving and loading games through the board: the bytes written, what a load restores,
// and every refusal with its message, leaving a board that still plays.
#include <QDir>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board_fixture.h"
#include "media/saved_game_format.h"
#include "media/test_support.h"
#include "puzzle/random.h"

namespace {

using media_test::Local;
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
  const auto game = LoadSaved(*loader.Board, path);
  ASSERT_TRUE(game);
  EXPECT_FALSE(game->Picture);
  EXPECT_EQ(game->Seconds, 75);
  EXPECT_EQ(BoardText(*loader.Board), "1 2 3 / 4 5 6 / 7 _ 8");
  EXPECT_EQ(loader.Board->ActiveX, 1);
  EXPECT_EQ(loader.Board->ActiveY, 2);
  EXPECT_FALSE(loader.Board->Idle);
  EXPECT_TRUE(boxes.Requests.empty());
  // Cells off the loaded board are hidden.
  EXPECT_FALSE(loader.Board->Pieces[0][4]->Visible);
  // And play goes on: the last slide solves it.
  loader.Board->ClickPiece(loader.Board->Pieces[2][2]);
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
        const auto game = LoadSaved(*loader.Board, path);
        ASSERT_TRUE(game);
        ASSERT_EQ(BoardText(*loader.Board), BoardText(*saver.Board)) << columns << "x" << rows;
        EXPECT_EQ(loader.Board->GameType, type);
        EXPECT_EQ(loader.Board->CountFalse(), saver.Board->CountFalse());
        EXPECT_EQ(game->Seconds, columns * rows);
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

TEST_F(SavedGame, RefusalsSayWhyAndLeaveTheGameInProgressAsItWas) {
  TBoardRig saver(4, 3);
  SetBoard(*saver.Board, "1 2 3 4 / 5 6 7 8 / 9 10 _ 11");
  const std::string good = Path("good.kvr");
  ASSERT_TRUE(saver.Board->SaveGame(good.c_str(), nullptr, 12));
  const QByteArray bytes = ReadBytes(QString::fromStdString(good));
  // The same game on a picture that is gone, or on a pasted one.
  const std::string gone = Path("gone.bmp");
  saver.Board->Picture = std::make_unique<TBitmap>(90, 90);
  saver.Board->SplitPicture();
  SetBoard(*saver.Board, "1 2 3 4 / 5 6 7 8 / 9 10 _ 11");
  ASSERT_TRUE(saver.Board->SaveGame(Path("gone.kvr").c_str(), gone.c_str(), 5));
  ASSERT_TRUE(saver.Board->SaveGame(Path("pasted.kvr").c_str(), "[clipboard]", 5));

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
  QByteArray unterminated = bytes;
  for (int i = 6; i < 261; ++i) unterminated[i] = 'a';
  const TCase cases[] = {
      {"short header", bytes.left(280), "Unable to read the file."},
      {"empty", QByteArray(), "Unable to read the file."},
      {"magic", changed(2, 'X'), "This is not a Kavro file."},
      {"magic unterminated", changed(5, '!'), "This is not a Kavro file."},
      {"name unterminated", unterminated, "This file may be corrupted."},
      {"cut after two records", bytes.left(281 + 2 * 35), "This file may be corrupted."},
      {"columns 25", changed(269, 25), "This file may be corrupted."},
      {"rows 0", changed(271, 0), "This file may be corrupted."},
      {"kind 7", changed(273, 7), "This file may be corrupted."},
      {"time negative", changed(264, '\x80'), "This file may be corrupted."},
      {"empty home off the board", changed(265, 9), "This file may be corrupted."},
      {"number twice", changed(281 + 8, 2), "This file may be corrupted."},
      {"home disagrees", changed(281 + 10, 3), "This file may be corrupted."},
      {"cell elsewhere", changed(281 + 14, 5), "This file may be corrupted."},
      {"picture gone", ReadBytes(QString::fromStdString(Path("gone.kvr"))),
       "Unable to open " + gone.substr(0, 50) + "."},
      {"picture pasted", ReadBytes(QString::fromStdString(Path("pasted.kvr"))),
       "Unable to open [clipboard]."},
  };
  std::vector<std::pair<std::string, std::string>> files;  // path, message
  for (const TCase& c : cases) {
    const std::string path = Path((std::string(c.Name) + ".kvr").c_str());
    ASSERT_TRUE(WriteBytes(QString::fromStdString(path), c.Data));
    files.emplace_back(path, c.Message);
  }
  // No file at all, or a directory of that name: no file that can be opened.
  for (const std::string& path : {Path("missing.kvr"), Dir.path().toStdString()}) {
    files.emplace_back(path, "Unable to open " + path.substr(0, 50) + ".");
  }

  // A picture game in play, with its own picture.
  TBoardRig loader(5, 5);
  loader.Board->Picture = std::make_unique<TBitmap>(50, 50);
  loader.Board->SplitPicture();
  loader.Board->Scramble();
  const std::string before = BoardText(*loader.Board);
  const TBitmap* picture = loader.Board->Picture.get();
  for (const auto& [path, message] : files) {
    SCOPED_TRACE(path);
    TModalLog boxes;
    std::optional<std::string> name = "kept";
    int seconds = 77;
    EXPECT_FALSE(loader.Board->LoadGame(path.c_str(), name, seconds));
    EXPECT_EQ(name, "kept");
    EXPECT_EQ(seconds, 77);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{message});
    EXPECT_EQ(boxes.Captions(), std::vector<std::string>{"Kavro"});
    EXPECT_EQ(boxes.Requests[0].Flags, MB_ICONSTOP | MB_OK);
    EXPECT_EQ(BoardText(*loader.Board), before);
    EXPECT_FALSE(loader.Board->Idle);
    EXPECT_EQ(loader.Board->Picture.get(), picture);
    EXPECT_EQ(loader.Board->ContentKind, TContentKind::Picture);
  }
}

TEST_F(SavedGame, AGameSavedSolvedLoadsAsAFinishedBoard) {
  TBoardRig saver(3, 3);
  SetBoard(*saver.Board, "1 2 3 / 4 5 6 / 7 8 _");
  const std::string path = Path("solved.kvr");
  ASSERT_TRUE(saver.Board->SaveGame(path.c_str(), nullptr, 40));
  TBoardRig loader(3, 3);
  loader.Board->Scramble();
  const auto game = LoadSaved(*loader.Board, path);
  ASSERT_TRUE(game);
  EXPECT_EQ(game->Seconds, 40);
  EXPECT_TRUE(loader.Board->Idle);
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
  // Nor is a time no clock could have run.
  for (int seconds : {-1, MaxElapsedSeconds + 1}) {
    EXPECT_FALSE(rig.Board->SaveGame(path.c_str(), "p", seconds)) << seconds;
  }
  EXPECT_EQ(boxes.Texts().size(), 3u);
  EXPECT_TRUE(rig.Board->SaveGame(path.c_str(), "p", MaxElapsedSeconds));
}

// ---------------------------------------------------------------------------------------
// Every field, every position, the picture as it is now, and refusals with the board
// they leave

constexpr UINT StopOk = MB_ICONSTOP | MB_OK;

void PutInt16(QByteArray& bytes, qsizetype at, int value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

// Every field of every piece inside the board, for comparing two boards.
std::vector<int> PieceState(const TPuzzle& board) {
  std::vector<int> state;
  for (int y = 0; y < board.Rows; ++y) {
    for (int x = 0; x < board.Columns; ++x) {
      const TTombol& p = *board.Pieces[y][x];
      state.insert(state.end(),
                   {p.Source.left, p.Source.top, p.Source.right, p.Source.bottom, p.Number, p.HomeX,
                    p.HomeY, p.X, p.Y, p.Left, p.Top, p.Width, p.Height, p.Visible ? 1 : 0});
    }
  }
  return state;
}

class SavedGameFile : public testing::Test {
 protected:
  QString Scratch(const QString& name) const { return Dir.filePath(name); }
  std::string File(const char* name) const { return Local(Scratch(QString::fromLatin1(name))); }

  // Saves a numeric sliding game of the given size in play and returns the file's bytes.
  QByteArray SavedNumericGame(int columns, int rows, const char* name = "game.kvr") {
    TBoardRig rig(columns, rows);
    rig.Board->SetContentKind(TContentKind::Numeric);
    rig.Board->SetSize(columns, rows);
    rig.Board->Scramble();
    EXPECT_TRUE(rig.Board->SaveGame(File(name).c_str(), nullptr, 30));
    return media_test::ReadBytes(Scratch(QString::fromLatin1(name)));
  }

  // Loads bytes written as a file into the rig's board.
  std::optional<TLoadedGame> LoadBytes(TBoardRig& rig, const QByteArray& bytes) {
    const QString path = Scratch(QStringLiteral("load.kvr"));
    EXPECT_TRUE(media_test::WriteBytes(path, bytes));
    return LoadSaved(*rig.Board, Local(path));
  }

  QTemporaryDir Dir;
};

// The board after a failed load: the 3 x 3 letter game in play as it was.
void ExpectUnchanged(const TPuzzle& board, const std::string& before) {
  EXPECT_EQ(board.Columns, 3);
  EXPECT_EQ(board.Rows, 3);
  EXPECT_EQ(board.ContentKind, TContentKind::Alphabet);
  EXPECT_FALSE(board.Idle);
  EXPECT_EQ(BoardText(board), before);
}

TEST_F(SavedGameFile, NumericAndPictureGamesNameTheirContent) {
  TBoardRig rig(3, 3);
  rig.Board->SetContentKind(TContentKind::Numeric);
  ASSERT_TRUE(rig.Board->SaveGame(File("n.kvr").c_str(), "cat.bmp", 0));
  EXPECT_EQ(media_test::ReadBytes(Scratch(QStringLiteral("n.kvr"))).mid(6, 8),
            QByteArray("Numeric\0", 8));
  rig.Board->ContentKind = TContentKind::Picture;
  ASSERT_TRUE(rig.Board->SaveGame(File("p.kvr").c_str(), "/home/me/cat.bmp", 0));
  const QByteArray bytes = media_test::ReadBytes(Scratch(QStringLiteral("p.kvr")));
  EXPECT_EQ(bytes.mid(6, 17), QByteArray("/home/me/cat.bmp\0", 17));
  EXPECT_EQ(Int16At(bytes, 273), 3);
}

TEST_F(SavedGameFile, PieceFieldsKeepTheirLow16Bits) {
  TBoardRig rig(3, 3);
  TTombol& piece = *rig.Board->Pieces[0][1];
  piece.Left = 70000;  // 0x11170
  piece.Width = -2;
  piece.Source = TRect(-1, 40000, 65535, 5);
  ASSERT_TRUE(rig.Board->SaveGame(File("g.kvr").c_str(), nullptr, 0));
  const QByteArray bytes = media_test::ReadBytes(Scratch(QStringLiteral("g.kvr")));
  const qsizetype record = 281 + 35;
  EXPECT_EQ(Int16At(bytes, record + 0), -1);
  EXPECT_EQ(Int16At(bytes, record + 2), 40000 - 65536);
  EXPECT_EQ(Int16At(bytes, record + 4), -1);
  EXPECT_EQ(Int16At(bytes, record + 18), 0x1170);
  EXPECT_EQ(Int16At(bytes, record + 22), -2);
}

TEST_F(SavedGameFile, SavingOverAFileReplacesItWithoutAsking) {
  const QByteArray big = SavedNumericGame(10, 10);
  ASSERT_EQ(big.size(), 281 + 35 * 100);
  TModalLog messages;
  const QByteArray small = SavedNumericGame(3, 4);
  EXPECT_EQ(small.size(), 281 + 35 * 12);
  EXPECT_TRUE(messages.Requests.empty());
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("game.kvr")});
}

TEST_F(SavedGameFile, AFileThatCannotBeCreatedIsReported) {
  TBoardRig rig(3, 3);
  TModalLog messages;
  EXPECT_FALSE(rig.Board->SaveGame(File("missing/dir/game.kvr").c_str(), nullptr, 0));
  EXPECT_FALSE(rig.Board->SaveGame(Local(Dir.path()).c_str(), nullptr, 0));
  EXPECT_EQ(messages.Texts(),
            (std::vector<std::string>{"Unable to save the game.", "Unable to save the game."}));
  EXPECT_TRUE(QDir(Dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(SavedGameFile, APictureGameWithoutANameThatFitsIsNotSaved) {
  TBoardRig rig(3, 3);
  rig.Board->ContentKind = TContentKind::Picture;
  const std::string fits = "/" + std::string(249, 'p') + ".bmp";  // 254 characters
  const std::string tooLong = "/" + std::string(250, 'p') + ".bmp";
  TModalLog messages;
  EXPECT_TRUE(rig.Board->SaveGame(File("fits.kvr").c_str(), fits.c_str(), 0));
  EXPECT_FALSE(rig.Board->SaveGame(File("long.kvr").c_str(), tooLong.c_str(), 0));
  EXPECT_FALSE(rig.Board->SaveGame(File("none.kvr").c_str(), nullptr, 0));
  EXPECT_EQ(messages.Texts(),
            (std::vector<std::string>{"Unable to save the game.", "Unable to save the game."}));
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("fits.kvr")});
}

TEST_F(SavedGameFile, EveryPositionRoundTripsWholeWithItsEmptyHome) {
  for (int type : {1, 2}) {
    for (int columns = 3; columns <= MaxSide; ++columns) {
      for (int rows = 3; rows <= MaxSide; ++rows) {
        SCOPED_TRACE(std::to_string(columns) + " x " + std::to_string(rows) + " type " +
                     std::to_string(type));
        TBoardRig saver(columns, rows, static_cast<TGameType>(type));
        TPuzzle& s = *saver.Board;
        s.EmptyX = (columns * 7 + rows) % columns;
        s.EmptyY = (rows * 5 + columns) % rows;
        s.SetContentKind(TContentKind::Numeric);
        s.SetSize(columns, rows);
        s.Scramble();
        const int seconds = columns * 1000 + rows;
        ASSERT_TRUE(s.SaveGame(File("round.kvr").c_str(), nullptr, seconds));

        TBoardRig loader(5, 5);
        loader.Board->Scramble();
        TModalLog messages;
        const auto game = LoadSaved(*loader.Board, File("round.kvr"));
        ASSERT_TRUE(game);
        EXPECT_FALSE(game->Picture);
        EXPECT_TRUE(messages.Requests.empty());
        const TPuzzle& l = *loader.Board;
        EXPECT_EQ(game->Seconds, seconds);
        EXPECT_EQ(l.Columns, columns);
        EXPECT_EQ(l.Rows, rows);
        EXPECT_EQ(l.EmptyX, s.EmptyX);
        EXPECT_EQ(l.EmptyY, s.EmptyY);
        EXPECT_EQ(l.ContentKind, TContentKind::Numeric);
        EXPECT_EQ(l.GameType, s.GameType);
        EXPECT_EQ(l.ActiveX, s.GameType == TGameType::Sliding ? s.ActiveX : -1);
        EXPECT_EQ(l.ActiveY, s.GameType == TGameType::Sliding ? s.ActiveY : -1);
        EXPECT_FALSE(l.Idle);
        EXPECT_EQ(BoardText(l), BoardText(s));
        EXPECT_EQ(PieceState(l), PieceState(s));
        EXPECT_EQ(l.CountFalse(), s.CountFalse());
        // The 5 x 5 board's pieces beyond a smaller board are hidden.
        for (int y = 0; y < 5; ++y) {
          for (int x = 0; x < 5; ++x) {
            if (x >= columns || y >= rows) {
              EXPECT_FALSE(l.Pieces[y][x]->Visible);
            }
          }
        }
        if (HasFailure()) return;
      }
    }
  }
}

TEST_F(SavedGameFile, AJigsawGameLoadsWithNoPieceSelected) {
  TBoardRig saver(3, 3, TGameType::Jigsaw);
  saver.Board->Scramble();
  saver.Board->ActiveX = 1;  // a piece selected when saved
  saver.Board->ActiveY = 2;
  ASSERT_TRUE(saver.Board->SaveGame(File("j.kvr").c_str(), nullptr, 5));
  TBoardRig loader(3, 3);
  ASSERT_TRUE(LoadSaved(*loader.Board, File("j.kvr")));
  EXPECT_EQ(loader.Board->GameType, TGameType::Jigsaw);
  EXPECT_EQ(loader.Board->ActiveX, -1);
  EXPECT_EQ(loader.Board->ActiveY, -1);
}

TEST_F(SavedGameFile, APictureGameReloadsItsPictureAndKeepsItsPieces) {
  const QString picture = Scratch(QStringLiteral("cat.bmp"));
  ASSERT_TRUE(QFile::copy(media_test::BmpSuite(QStringLiteral("g/rgb24.bmp")), picture));
  TBoardRig saver(4, 4);
  ASSERT_TRUE(saver.Board->LoadPicture(Local(picture).c_str(), true));
  saver.Board->Scramble();
  ASSERT_TRUE(saver.Board->SaveGame(File("cat.kvr").c_str(), Local(picture).c_str(), 9));

  TBoardRig loader(3, 3);
  TModalLog messages;
  const auto game = LoadSaved(*loader.Board, File("cat.kvr"));
  EXPECT_TRUE(messages.Requests.empty());
  ASSERT_TRUE(game);
  EXPECT_EQ(game->Picture, Local(picture));
  ASSERT_NE(loader.Board->Picture, nullptr);
  EXPECT_EQ(loader.Board->Picture->Width(), 127);
  EXPECT_EQ(loader.Board->ContentKind, TContentKind::Picture);
  EXPECT_EQ(PieceState(*loader.Board), PieceState(*saver.Board));
  EXPECT_FALSE(loader.Board->Idle);
}

TEST_F(SavedGameFile, PiecesShowTheirHomesPartOfThePictureAsItIsNow) {
  const QString picture = Scratch(QStringLiteral("cat.bmp"));
  ASSERT_TRUE(QFile::copy(media_test::BmpSuite(QStringLiteral("g/rgb24.bmp")), picture));
  TBoardRig saver(4, 4);
  ASSERT_TRUE(saver.Board->LoadPicture(Local(picture).c_str(), true));
  saver.Board->Scramble();
  // Rectangles far outside the picture, as a damaged file may hold them.
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) saver.Board->Pieces[y][x]->Source = TRect(-30000, 5, 32000, -7);
  }
  ASSERT_TRUE(saver.Board->SaveGame(File("cat.kvr").c_str(), Local(picture).c_str(), 9));
  // The picture changed since: 127 x 64 became 127 x 32.
  ASSERT_TRUE(QFile::remove(picture));
  ASSERT_TRUE(QFile::copy(media_test::BmpSuite(QStringLiteral("g/pal8nonsquare.bmp")), picture));

  TBoardRig loader(3, 3);
  ASSERT_TRUE(LoadSaved(*loader.Board, File("cat.kvr")));
  ASSERT_NE(loader.Board->Picture, nullptr);
  const int pw = loader.Board->Picture->Width() / 4;
  const int ph = loader.Board->Picture->Height() / 4;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const TTombol& piece = *loader.Board->Pieces[y][x];
      if (piece.Number == 0) continue;
      const TRect expected(piece.HomeX * pw, piece.HomeY * ph, piece.HomeX * pw + pw,
                           piece.HomeY * ph + ph);
      EXPECT_EQ((std::vector<int>{piece.Source.left, piece.Source.top, piece.Source.right,
                                  piece.Source.bottom}),
                (std::vector<int>{expected.left, expected.top, expected.right, expected.bottom}))
          << "cell " << x << ", " << y;
    }
  }
}

TEST_F(SavedGameFile, ShortOrForeignHeadersLeaveTheBoardsSize) {
  const QByteArray good = SavedNumericGame(5, 4);
  std::vector<std::pair<QByteArray, std::string>> cases = {
      {good.left(280), "Unable to read the file."},
      {QByteArray(), "Unable to read the file."},
  };
  for (int i = 0; i < 6; ++i) {
    QByteArray wrong = good;
    wrong[i] = static_cast<char>(wrong[i] ^ 0x20);
    cases.emplace_back(wrong, "This is not a Kavro file.");
  }
  const std::vector<std::pair<std::string, std::function<void(QByteArray&)>>> changes = {
      {"21 columns", [](QByteArray& b) { PutInt16(b, 269, 21); }},
      {"2 rows", [](QByteArray& b) { PutInt16(b, 271, 2); }},
      {"negative columns", [](QByteArray& b) { PutInt16(b, 269, -5); }},
      {"content kind 4", [](QByteArray& b) { PutInt16(b, 273, 4); }},
      {"game type 0", [](QByteArray& b) { PutInt16(b, 275, 0); }},
      {"empty home off the board", [](QByteArray& b) { PutInt16(b, 265, 5); }},
      {"picture name without end", [](QByteArray& b) { b.replace(6, 255, QByteArray(255, 'n')); }},
      {"negative time",
       [](QByteArray& b) { b.replace(261, 4, QByteArray("\xFF\xFF\xFF\xFF", 4)); }},
  };
  for (const auto& [name, change] : changes) {
    QByteArray bad = good;
    change(bad);
    cases.emplace_back(bad, "This file may be corrupted.");
  }
  for (const auto& [bytes, message] : cases) {
    SCOPED_TRACE(message);
    TBoardRig rig(3, 3);
    rig.Board->Scramble();
    const std::string before = BoardText(*rig.Board);
    TModalLog messages;
    EXPECT_FALSE(LoadBytes(rig, bytes));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{message});
    EXPECT_EQ(messages.Captions(), std::vector<std::string>{"Kavro"});
    EXPECT_EQ(messages.Requests[0].Flags, StopOk);
    ExpectUnchanged(*rig.Board, before);
  }
}

TEST_F(SavedGameFile, CutOrInconsistentRecordsLeaveTheBoardAsItWas) {
  const QByteArray good = SavedNumericGame(5, 4);
  ASSERT_EQ(good.size(), 281 + 35 * 20);
  // Records are 35 bytes from 281; the number is at +8, home at +10 and +12, X at +14.
  const std::vector<std::pair<std::string, std::function<void(QByteArray&)>>> changes = {
      {"cut after two records", [](QByteArray& b) { b.truncate(281 + 2 * 35); }},
      {"cut inside the last record", [](QByteArray& b) { b.chop(1); }},
      {"header only", [](QByteArray& b) { b.truncate(281); }},
      {"a number twice", [](QByteArray& b) { PutInt16(b, 281 + 8, Int16At(b, 281 + 35 + 8)); }},
      {"a number beyond the board", [](QByteArray& b) { PutInt16(b, 281 + 8, 21); }},
      {"home disagrees with the number",
       [](QByteArray& b) {
         const qsizetype r = Int16At(b, 281 + 8) != 0 ? 281 : 281 + 35;
         PutInt16(b, r + 10, (Int16At(b, r + 10) + 1) % 5);
       }},
      {"piece on another cell", [](QByteArray& b) { PutInt16(b, 281 + 35 * 3 + 14, 0); }},
  };
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    QByteArray bad = good;
    change(bad);
    TBoardRig rig(3, 3);
    rig.Board->Scramble();
    const std::string before = BoardText(*rig.Board);
    TModalLog messages;
    EXPECT_FALSE(LoadBytes(rig, bad));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"This file may be corrupted."});
    ExpectUnchanged(*rig.Board, before);
  }
}

TEST_F(SavedGameFile, ACorruptPictureGameDoesNotAskForItsPicture) {
  const QString picture = Scratch(QStringLiteral("gone.bmp"));
  TBoardRig saver(3, 3);
  saver.Board->ContentKind = TContentKind::Picture;
  saver.Board->Scramble();
  ASSERT_TRUE(saver.Board->SaveGame(File("p.kvr").c_str(), Local(picture).c_str(), 1));
  QByteArray bytes = media_test::ReadBytes(Scratch(QStringLiteral("p.kvr")));
  bytes.chop(35);
  TBoardRig rig(3, 3);
  TModalLog messages;
  EXPECT_FALSE(LoadBytes(rig, bytes));
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"This file may be corrupted."});
}

}  // namespace
