// The player's keys on the board, and the keyboard cursor that shows where they act.
#include <algorithm>
#include <utility>

#include "framework/windows/window_dc.h"
#include "puzzle/puzzle.h"

TResult TPuzzle::EvKeyDown(TParam1 key, TParam2) {
  if (Idle) return DefaultProcessing();
  if (GameType == TGameType::Jigsaw) return SwapKey(key);
  // The moved piece lands where the empty space was; the cursor follows it there.
  const int landingX = ActiveX;
  const int landingY = ActiveY;
  bool moved = false;
  // The arrow names the way a piece moves, so the empty space goes the other way.
  switch (key) {
    case VK_LEFT:
      moved = MoveEmptyRight(true);
      break;
    case VK_UP:
      moved = MoveEmptyDown(true);
      break;
    case VK_RIGHT:
      moved = MoveEmptyLeft(true);
      break;
    case VK_DOWN:
      moved = MoveEmptyUp(true);
      break;
    default:
      return DefaultProcessing();
  }
  if (!moved) return 0;
  MoveCursorTo(landingX, landingY);
  CheckSolved();
  if (!Idle && SoundOn) PlayClick(WAVE_SLIDE);
  return 0;
}

TResult TPuzzle::SwapKey(TParam1 key) {
  switch (key) {
    case VK_LEFT:
      MoveCursorTo(CursorX - 1, CursorY);
      return 0;
    case VK_RIGHT:
      MoveCursorTo(CursorX + 1, CursorY);
      return 0;
    case VK_UP:
      MoveCursorTo(CursorX, CursorY - 1);
      return 0;
    case VK_DOWN:
      MoveCursorTo(CursorX, CursorY + 1);
      return 0;
    case VK_SPACE:
    case VK_RETURN: {
      MoveCursorTo(CursorX, CursorY);
      TTombol* piece = Pieces[CursorY][CursorX];
      // A first choice looks pressed, as it does under the mouse.
      if (ActiveX < 0) {
        TClientDC dc(*this);
        piece->Draw(dc, true, false);
      }
      ClickPiece(piece);
      return 0;
    }
    default:
      return DefaultProcessing();
  }
}

void TPuzzle::MoveCursorTo(int x, int y) {
  x = std::clamp(x, 0, Columns - 1);
  y = std::clamp(y, 0, Rows - 1);
  const bool wasShown = CursorShown;
  const int oldX = std::exchange(CursorX, x);
  const int oldY = std::exchange(CursorY, y);
  CursorShown = true;
  const bool moved = oldX != x || oldY != y;
  if (wasShown && !moved) return;
  if (wasShown) RedrawCell(oldX, oldY);
  RedrawCell(x, y);
  TellCursorMoved(*this);
}

void TPuzzle::HideCursor() {
  if (!CursorShown) return;
  CursorShown = false;
  RedrawCell(CursorX, CursorY);
}

void TPuzzle::RedrawCell(int x, int y) {
  TTombol& piece = *Pieces[y][x];
  if (!piece.Visible) return;
  if (!IsWindowVisible()) {
    InvalidateRect(piece.GetRect(), true);
    return;
  }
  TClientDC dc(*this);
  piece.Draw(dc, GameType == TGameType::Jigsaw && x == ActiveX && y == ActiveY, true);
}
