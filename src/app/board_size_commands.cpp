// Board size and empty space: the fixed sizes of the Pieces menu, and Custom pieces and
// Set empty space through the board-size and empty-space dialog.
#include "app/main_window.h"
#include "dialogs/empty_dialog.h"
#include "resources/command_ids.h"

namespace {

// The dialog's choice, or the last position when the list had none or it lies past
// the board.
int PositionOrLast(int chosen, int count) {
  return chosen >= 0 && chosen < count ? chosen : count - 1;
}

}  // namespace

void TMyWindow::ResizeBoard(int columns, int rows) {
  ShowWaitCursor(true);
  ResetClock();
  Puzzle->SetSize(columns, rows);
  ZoomNormalAndRelayout();
  UpdatePiecesMenu();
  UpdateStatusBar();
  ShowWaitCursor(false);
}

void TMyWindow::CmPieces(UINT id) {
  const int n = static_cast<int>(id - CM_PIECES3) + 3;
  ResizeBoard(n, n);
}

void TMyWindow::CmCustomPieces() {
  TEmptyDialog dialog(this, IDD_EMPTYSPACE, Puzzle->Columns, Puzzle->Rows, MaxSide, MaxSide,
                      Puzzle->Picture.get(), TEmptyMode::Pieces);
  if (dialog.Execute() != IDOK) return;
  // A list without a selection gives a count of 2, which the board raises to 3.
  ResizeBoard(dialog.GetColumnIndex() + 3, dialog.GetRowIndex() + 3);
}

void TMyWindow::CmEmptySpace() {
  TEmptyDialog dialog(this, IDD_EMPTYSPACE, Puzzle->EmptyX, Puzzle->EmptyY, Puzzle->Columns,
                      Puzzle->Rows, Puzzle->Picture.get(), TEmptyMode::EmptySpace);
  if (dialog.Execute() != IDOK) return;
  Puzzle->EmptyX = PositionOrLast(dialog.GetColumnIndex(), Puzzle->Columns);
  Puzzle->EmptyY = PositionOrLast(dialog.GetRowIndex(), Puzzle->Rows);
  CmUnscramble();
}
