// TEmptyDialog: picks a board position (the sliding puzzle's empty space) or a board size
// from a row list and a column list, with a preview of the picture cut into the grid.
// It only reports the two chosen list positions; the caller applies them.
#pragma once

#include "dialogs/empty_dialog_ids.h"
#include "framework/dialogs/dialog.h"
#include "framework/graphics/geometry.h"
#include "puzzle/shown_picture.h"

class TBitmap;
class TDC;
class TGroupBox;
class TListBox;

enum class TEmptyMode { EmptySpace = 1, Pieces = 2 };

class TEmptyDialog : public TDialog {
 public:
  // Empty-space mode: column and row are the empty cell (0-based) and the limits the
  // board's columns and rows. Pieces mode: column and row are the board's counts, the
  // limits the largest counts offered. picture may be null (a grey face is shown).
  TEmptyDialog(TWindow* parent, int resourceId, int column, int row, int columnLimit, int rowLimit,
               TBitmap* picture, TEmptyMode mode);

  // The chosen list positions (0-based; -1 when a list has no selection).
  int GetColumnIndex() const { return ColumnIndex; }
  int GetRowIndex() const { return RowIndex; }

  // Where the preview is drawn, in client pixels.
  TRect PreviewArea() const;
  // Draws the picture or grey face cut into the grid, the empty cell marked.
  void DrawPreview(TDC& dc) const;

 protected:
  void SetupWindow() override;
  void CmOk() override;
  void EvListNotify(UINT code);
  TResult EvEraseBkgnd(TParam1 dc, TParam2);

 private:
  void ReadSelections();
  void FillList(TListBox& list, int limit);

  TEmptyMode Mode;
  int RowIndex;
  int ColumnIndex;
  int RowLimit;
  int ColumnLimit;
  TBitmap* Picture;
  // The preview's picture, filtered once (drawing it changes nothing a caller sees).
  mutable TShownPicture Shown;
  TListBox* RowList;
  TListBox* ColumnList;
  TGroupBox* Preview;

  DECLARE_RESPONSE_TABLE(TEmptyDialog);
};
