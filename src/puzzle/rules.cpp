// Rules of play: slides, clicks, the scramble and the solved test.
#include <cstdlib>

#include "media/sound.h"
#include "puzzle/puzzle.h"
#include "puzzle/random.h"

namespace {

constexpr int ScrambleDraws = 10000;

// The content of a piece: what travels when pieces move.
struct TContent {
  TRect Source;
  int Number;
  int HomeX;
  int HomeY;
};

TContent ContentOf(const TTombol& piece) {
  return {piece.Source, piece.Number, piece.HomeX, piece.HomeY};
}

void GiveContent(TTombol& piece, const TContent& content, bool redraw) {
  piece.Source = content.Source;
  piece.HomeX = content.HomeX;
  piece.HomeY = content.HomeY;
  piece.SetNumber(content.Number, redraw);
}

}  // namespace

bool TPuzzle::MoveEmpty(int dx, int dy, bool redraw) {
  const int nx = ActiveX + dx;
  const int ny = ActiveY + dy;
  // Refuse anything that would leave the board, also without a valid empty cell.
  if (ActiveX < 0 || ActiveX >= Columns || ActiveY < 0 || ActiveY >= Rows) return false;
  if (nx < 0 || nx >= Columns || ny < 0 || ny >= Rows) return false;
  TTombol& empty = *Pieces[ActiveY][ActiveX];
  TTombol& neighbour = *Pieces[ny][nx];
  ActiveX = nx;
  ActiveY = ny;
  // Draw the piece in its new cell before clearing the old one.
  GiveContent(empty, ContentOf(neighbour), redraw);
  neighbour.SetNumber(0, redraw);
  return true;
}

bool TPuzzle::MoveEmptyLeft(bool redraw) {
  return MoveEmpty(-1, 0, redraw);
}
bool TPuzzle::MoveEmptyRight(bool redraw) {
  return MoveEmpty(1, 0, redraw);
}
bool TPuzzle::MoveEmptyUp(bool redraw) {
  return MoveEmpty(0, -1, redraw);
}
bool TPuzzle::MoveEmptyDown(bool redraw) {
  return MoveEmpty(0, 1, redraw);
}

void TPuzzle::PlayClick(int resource) {
  PlayWaveResource(GetModule(), resource);
}

void TPuzzle::ClickPiece(TTombol* piece) {
  if (piece == nullptr) return;
  const int x = piece->X;
  const int y = piece->Y;
  if (GameType == TGameType::Sliding) {
    // The run between the clicked piece and the empty space slides, nearest piece first.
    if (x == ActiveX) {
      for (int n = std::abs(y - ActiveY); n > 0; --n)
        ActiveY < y ? MoveEmptyDown(true) : MoveEmptyUp(true);
    } else if (y == ActiveY) {
      for (int n = std::abs(x - ActiveX); n > 0; --n)
        ActiveX < x ? MoveEmptyRight(true) : MoveEmptyLeft(true);
    } else {
      return;
    }
    CheckSolved();
    if (!Idle && SoundOn) PlayClick(WAVE_SLIDE);
    return;
  }

  if (ActiveX < 0 || ActiveY < 0) {
    ActiveX = x;
    ActiveY = y;
    TellPieceChanged(*piece);
    if (SoundOn) PlayClick(WAVE_SLIDE);
  } else if (x == ActiveX && y == ActiveY) {
    ActiveX = ActiveY = -1;
    piece->SetNumber(piece->Number, true);
    if (SoundOn) PlayClick(WAVE_SLIDE);
  } else {
    TTombol& selected = *Pieces[ActiveY][ActiveX];
    ActiveX = ActiveY = -1;
    const TContent saved = ContentOf(selected);
    GiveContent(selected, ContentOf(*piece), true);
    GiveContent(*piece, saved, true);
    CheckSolved();
    if (!Idle && SoundOn) PlayClick(WAVE_SWAP);
  }
}

void TPuzzle::Scramble() {
  Idle = false;
  if (GameType == TGameType::Sliding) {
    for (int i = 0; i < ScrambleDraws; ++i) {
      switch (NextRandom() % 4) {
        case 0:
          MoveEmptyLeft(false);
          break;
        case 1:
          MoveEmptyRight(false);
          break;
        case 2:
          MoveEmptyUp(false);
          break;
        default:
          MoveEmptyDown(false);
          break;
      }
    }
  } else {
    const auto columns = static_cast<std::uint32_t>(Columns);
    const auto rows = static_cast<std::uint32_t>(Rows);
    for (int i = 0; i < ScrambleDraws; ++i) {
      // The order of the four draws is part of what makes a seed replayable.
      const auto c1 = static_cast<int>(NextRandom() % columns);
      const auto r1 = static_cast<int>(NextRandom() % rows);
      const TContent saved = ContentOf(*Pieces[r1][c1]);
      const auto c2 = static_cast<int>(NextRandom() % columns);
      const auto r2 = static_cast<int>(NextRandom() % rows);
      GiveContent(*Pieces[r1][c1], ContentOf(*Pieces[r2][c2]), false);
      GiveContent(*Pieces[r2][c2], saved, false);
    }
    ActiveX = ActiveY = -1;
  }
  RedrawAll();
}

int TPuzzle::CountFalse() const {
  int count = 0;
  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x) {
      const TTombol& piece = *Pieces[y][x];
      if (piece.Number != 0 && !piece.IsCorrect()) ++count;
    }
  }
  return count;
}

void TPuzzle::CheckSolved() {
  bool solved = true;
  int expected = 1;
  for (int y = 0; y < Rows && solved; ++y) {
    for (int x = 0; x < Columns; ++x, ++expected) {
      const bool emptyHome = GameType == TGameType::Sliding && x == EmptyX && y == EmptyY;
      if (!emptyHome && Pieces[y][x]->Number != expected) {
        solved = false;
        break;
      }
    }
  }
  if (Parent != nullptr) Parent->SendMessage(WM_PUZZLEMOVED, 0, 0);
  if (!solved) return;
  Idle = true;
  if (GameType == TGameType::Jigsaw) {
    ActiveX = ActiveY = -1;
    Invalidate(false);  // the selected piece is drawn raised again
  }
  if (Parent != nullptr) Parent->SendMessage(WM_PUZZLESOLVED, 0, 0);
}
