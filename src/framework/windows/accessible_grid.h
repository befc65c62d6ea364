// A grid a window draws itself (a game board), told to screen readers as a table whose
// cells are its places, each named for what it shows. The framework asks the grid whenever
// a screen reader looks; the window tells it when cells change, so that what moved is
// spoken. Columns and rows count from 0 at the top left.
#pragma once

#include <string>

#include "framework/graphics/geometry.h"

class TWindow;

class TAccessibleGrid {
 public:
  virtual int GridColumns() const = 0;
  virtual int GridRows() const = 0;
  // The table's own name.
  virtual std::string GridName() const = 0;
  virtual std::string CellName(int column, int row) const = 0;
  virtual bool CellSelected(int column, int row) const = 0;
  // Where the cell lies in the window's client area.
  virtual TRect CellRect(int column, int row) const = 0;
  // The cell the keyboard is on.
  virtual TPoint CursorCell() const = 0;

 protected:
  ~TAccessibleGrid() = default;
};

// window is told to screen readers as grid, which must outlive the window or be taken back
// with null. Set it before the window is created.
void SetAccessibleGrid(TWindow& window, const TAccessibleGrid* grid);

// A cell's name or selection changed.
void TellCellChanged(TWindow& window, int column, int row);
// The keyboard moved to the grid's cursor cell.
void TellCursorMoved(TWindow& window);
// Any cell, and the grid's size, may have changed (a new board, a scramble, a loaded game).
void TellGridChanged(TWindow& window);
