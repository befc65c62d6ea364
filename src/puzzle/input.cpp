// The player's pointer, and the board's message table.
#include <algorithm>

#include "framework/windows/window_dc.h"
#include "puzzle/puzzle.h"

// clang-format off
DEFINE_RESPONSE_TABLE1(TPuzzle, TWindow)
  EV_MESSAGE(WM_SIZE, &TPuzzle::EvSize),
  EV_MESSAGE(WM_LBUTTONDOWN, &TPuzzle::EvLButtonDown),
  EV_MESSAGE(WM_LBUTTONUP, &TPuzzle::EvLButtonUp),
  EV_MESSAGE(WM_KEYDOWN, &TPuzzle::EvKeyDown),
  EV_MESSAGE(WM_PIECECLICKED, &TPuzzle::EvPieceClicked),
  EV_MESSAGE(WM_QUERYNEWPALETTE, &TPuzzle::EvQueryNewPalette),
  EV_MESSAGE(WM_PALETTECHANGED, &TPuzzle::EvPaletteChanged),
END_RESPONSE_TABLE;
// clang-format on

TTombol* TPuzzle::HitTest(const TPoint& p) {
  const int pieceWidth = Pieces[0][0]->Width;
  const int pieceHeight = Pieces[0][0]->Height;
  int firstRow = 0;
  int lastRow = Rows - 1;
  int firstColumn = 0;
  int lastColumn = Columns - 1;
  // Look near the estimated cell; a window too small for an estimate looks everywhere.
  if (pieceWidth > 0 && pieceHeight > 0) {
    const int column = (p.x - BoardRect.left) / pieceWidth;
    const int row = (p.y - BoardRect.top) / pieceHeight;
    firstRow = std::max(row - 1, 0);
    lastRow = std::min(row + 1, Rows - 1);
    firstColumn = std::max(column - 1, 0);
    lastColumn = std::min(column + 1, Columns - 1);
  }
  for (int y = firstRow; y <= lastRow; ++y) {
    for (int x = firstColumn; x <= lastColumn; ++x) {
      if (Pieces[y][x]->GetRect().Contains(p)) return Pieces[y][x];
    }
  }
  return nullptr;
}

TResult TPuzzle::EvLButtonDown(TParam1, TParam2 p2) {
  const TPoint p(GET_X_LPARAM(p2), GET_Y_LPARAM(p2));
  if (Idle) {
    MessageBox("Select Game | Scramble or press <F2> to start a new game.", "Kavro",
               MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  if (!BoardRect.Contains(p)) return 0;
  // The mouse plays as ever: the keyboard's cursor steps aside until the next key.
  HideCursor();
  SetCapture();
  PressedPiece = HitTest(p);
  if (PressedPiece != nullptr) {
    TClientDC dc(*this);
    PressedPiece->Draw(dc, true, false);
  }
  return 0;
}

TResult TPuzzle::EvLButtonUp(TParam1, TParam2) {
  if (!Idle) {
    if (GameType == TGameType::Sliding && PressedPiece != nullptr) {
      TClientDC dc(*this);
      PressedPiece->Draw(dc, false, false);
    }
    ReleaseCapture();
  }
  // Acted on once this handler has returned and the capture is gone.
  if (PressedPiece != nullptr)
    PostMessage(WM_PIECECLICKED, 0, reinterpret_cast<TParam2>(PressedPiece));
  PressedPiece = nullptr;
  return 0;
}

TResult TPuzzle::EvPieceClicked(TParam1, TParam2 p2) {
  ClickPiece(reinterpret_cast<TTombol*>(p2));
  return 0;
}
