// Fuzz target for saved games: a game's bytes loaded on a board that was never created.
// Any file leaves a board that keeps its invariants, either solved and idle after a
// refusal or in play; a game in play draws, takes moves, and saves and loads back to the
// same position. Loading from a file is the unit tests' part.
#include <QGuiApplication>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/graphics/dc.h"
#include "framework/graphics/gdi.h"
#include "media/saved_game_format.h"
#include "media_fuzz_support.h"
#include "platform/replace_file.h"
#include "puzzle/puzzle.h"

using media_fuzz::Check;

namespace {

void PaintBoard(TPuzzle& board) {
  TBitmap target(120, 90);
  TMemoryDC dc(target);
  TRect all(0, 0, 120, 90);
  board.Paint(dc, true, all);
}

// Fonts for the letters need an application; the offscreen platform needs no display.
// Every label is drawn once here: the font caches that fills live as long as the
// process, and would otherwise count as a leak of whichever input drew a glyph first.
void EnsureApplication() {
  static int argc = 1;
  static char name[] = "saved_game_fuzz";
  static char* argv[] = {name, nullptr};
  static const std::unique_ptr<QGuiApplication> application = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    for (TContentKind kind : {TContentKind::Alphabet, TContentKind::Numeric}) {
      TPuzzle board(MaxSide, MaxSide, nullptr);
      board.SetContentKind(kind);
      board.SetSize(MaxSide, MaxSide);
      PaintBoard(board);
    }
    return app;
  }();
}

// A small picture at a fixed place that seeds can name, so that their games load a
// picture. Put there whole by a rename, as parallel jobs may write it at the same time.
constexpr const char* PicturePath = "/tmp/kavro_saved_game_fuzz_picture.bmp";

void WritePicture() {
  static const bool written = [] {
    std::vector<std::uint8_t> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                                     0,   0,   0, 9, 0, 0, 0, 6, 0, 0, 0,  1, 0, 24, 0};
    bmp.resize(54, 0);
    for (int i = 0; i < 6 * 28; ++i) bmp.push_back(static_cast<std::uint8_t>(i * 37));
    return ReplaceFileContents(PicturePath, bmp.data(), bmp.size()) == TReplaceResult::Replaced;
  }();
  (void)written;
}

// A board's time goes up with its pieces, and libFuzzer keeps the inputs that make the
// loops run longest: a grown corpus of 20 x 20 boards ran at 2,500 inputs a second. Boards
// up to 8 x 8 take every path; every size is the unit tests' part. A header the reader
// refuses is still read.
constexpr int MaxFuzzPieces = 64;

bool DeclaresLargeBoard(const std::uint8_t* data, std::size_t size) {
  TGameHeaderBytes bytes;
  if (size < bytes.size()) return false;
  std::copy_n(data, bytes.size(), bytes.begin());
  const TGameHeader header = DecodeGameHeader(bytes);
  return IsUsableHeader(header) && header.Columns * header.Rows > MaxFuzzPieces;
}

std::vector<int> State(const TPuzzle& board) {
  std::vector<int> state;
  state.reserve(8 + 4 * static_cast<std::size_t>(board.Columns * board.Rows));
  state = {board.Columns,
           board.Rows,
           board.EmptyX,
           board.EmptyY,
           static_cast<int>(board.ContentKind),
           static_cast<int>(board.GameType),
           board.ActiveX,
           board.ActiveY};
  for (int y = 0; y < board.Rows; ++y) {
    for (int x = 0; x < board.Columns; ++x) {
      const TTombol& p = *board.Pieces[y][x];
      state.insert(state.end(), {p.Number, p.HomeX, p.HomeY, p.Visible ? 1 : 0});
    }
  }
  return state;
}

void CheckInvariants(const TPuzzle& board) {
  Check(board.Columns >= 3 && board.Columns <= MaxSide && board.Rows >= 3 && board.Rows <= MaxSide,
        "board size out of range");
  Check(board.EmptyX >= 0 && board.EmptyX < board.Columns && board.EmptyY >= 0 &&
            board.EmptyY < board.Rows,
        "empty home off the board");
  const int cells = board.Columns * board.Rows;
  std::vector<int> seen(static_cast<std::size_t>(cells) + 1, 0);
  for (int y = 0; y < MaxSide; ++y) {
    for (int x = 0; x < MaxSide; ++x) {
      const TTombol& p = *board.Pieces[y][x];
      Check(p.X == x && p.Y == y, "a piece left its cell");
      if (x >= board.Columns || y >= board.Rows) {
        Check(!p.Visible, "a piece beyond the board is visible");
        continue;
      }
      Check(p.Number >= 0 && p.Number <= cells, "a number beyond the board");
      ++seen[static_cast<std::size_t>(p.Number)];
      Check(p.Visible == (p.Number != 0), "visibility disagrees with the number");
      if (p.Number != 0) {
        Check(p.HomeY * board.Columns + p.HomeX + 1 == p.Number, "home disagrees with number");
      }
    }
  }
  for (int n = 1; n <= cells; ++n) Check(seen[static_cast<std::size_t>(n)] <= 1, "a number twice");
  if (board.GameType == TGameType::Sliding) {
    Check(seen[0] == 1, "not one empty space");
    Check(board.Pieces[board.ActiveY][board.ActiveX]->Number == 0, "active cell not the gap");
  } else {
    Check(seen[0] == 0, "a gap on a jigsaw board");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (DeclaresLargeBoard(data, size)) return 0;
  EnsureApplication();
  WritePicture();
  media_fuzz::MessageCount();

  // One board serves every input, put back to the same 4 x 4 letter game first: building
  // its 400 pieces anew took a fifth of the time.
  static const std::unique_ptr<TPuzzle> boardStore = [] {
    auto made = std::make_unique<TPuzzle>(4, 4, nullptr);
    made->SoundOn = false;
    return made;
  }();
  TPuzzle& board = *boardStore;
  board.SetContentKind(TContentKind::Alphabet);
  board.GameType = TGameType::Sliding;
  board.EmptyX = board.Columns - 1;
  board.EmptyY = board.Rows - 1;
  board.SetSize(4, 4);

  const std::vector<int> before = State(board);
  int elapsed = -1;
  std::optional<std::string> name = "unchanged";
  const bool loaded = board.LoadGameBytes({data, size}, name, elapsed);
  CheckInvariants(board);
  if (!loaded) {
    Check(elapsed == -1 && name == "unchanged", "a refused game reports a time or a picture");
    Check(State(board) == before && board.Idle, "a refused game changed the board");
    return 0;
  }
  Check(elapsed >= 0, "negative playing time");
  Check(name.has_value() == (board.ContentKind == TContentKind::Picture), "picture name");
  Check(board.Idle == (board.CountFalse() == 0), "a solved game loaded in play");

  // Draw the whole board, then save it, turn the board into another game and load it back:
  // the load must put back every part of the position.
  PaintBoard(board);
  const std::optional<std::vector<std::uint8_t>> copy =
      board.SavedGameBytes(name ? name->c_str() : nullptr, elapsed);
  Check(copy.has_value(), "a loaded game does not save");
  const std::vector<int> saved = State(board);
  const bool idle = board.Idle;
  board.SetContentKind(board.ContentKind == TContentKind::Alphabet ? TContentKind::Numeric
                                                                   : TContentKind::Alphabet);
  board.SetSize(board.Columns == 3 ? 4 : 3, board.Rows == 3 ? 4 : 3);
  int elapsedAgain = -1;
  std::optional<std::string> nameAgain;
  Check(board.LoadGameBytes(*copy, nameAgain, elapsedAgain), "a saved game does not load");
  Check(board.Idle == idle && elapsedAgain == elapsed && nameAgain == name, "reload differs");
  Check(State(board) == saved, "reloaded position differs");

  // A few moves keep the invariants.
  for (std::size_t i = 0; i < size && i < 16; ++i) {
    switch (data[i] & 3) {
      case 0:
        board.MoveEmptyLeft(true);
        break;
      case 1:
        board.MoveEmptyRight(true);
        break;
      case 2:
        board.MoveEmptyUp(true);
        break;
      default:
        board.MoveEmptyDown(true);
        break;
    }
  }
  if (board.GameType == TGameType::Sliding) CheckInvariants(board);
  return 0;
}
