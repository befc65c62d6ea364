// The board as a screen reader meets it: a table of places, each named for what it shows
// and whether that is in place.
#include <string>

#include "framework/text/translation.h"
#include "puzzle/labels.h"
#include "puzzle/puzzle.h"

void TPuzzle::TellPieceChanged(const TTombol& piece) {
  if (!RedrawingWholeBoard) TellCellChanged(*this, piece.X, piece.Y);
}

int TPuzzle::GridColumns() const {
  return Columns;
}

int TPuzzle::GridRows() const {
  return Rows;
}

std::string TPuzzle::GridName() const {
  return Translate(N_("Puzzle board"));
}

std::string TPuzzle::CellName(int column, int row) const {
  const TTombol& piece = *Pieces[row][column];
  // Translators: the board's empty cell, as a screen reader reads it.
  if (piece.Number == 0) return Translate(N_("empty space"));
  // A piece of picture is told by where it belongs, as its look cannot be.
  const std::string shows =
      ContentKind == TContentKind::Picture
          // Translators: where a piece of picture belongs, for a screen reader.
          ? Fill(Translate(N_("row %1, column %2")),
                 {std::to_string(piece.HomeY + 1), std::to_string(piece.HomeX + 1)})
          : LabelText(ContentKind, piece.Number);
  // Translators: a piece that lies where it belongs; %1 is what it shows.
  return piece.IsCorrect() ? Fill(Translate(N_("%1, in place")), {shows}) : shows;
}

bool TPuzzle::CellSelected(int column, int row) const {
  return GameType == TGameType::Jigsaw && column == ActiveX && row == ActiveY;
}

TRect TPuzzle::CellRect(int column, int row) const {
  return Pieces[row][column]->GetRect();
}

TPoint TPuzzle::CursorCell() const {
  return TPoint(CursorX, CursorY);
}
