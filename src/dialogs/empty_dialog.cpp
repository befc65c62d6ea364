// The empty-space and pieces dialog: two lists and a preview drawn straight onto the
// dialog's client area, inside the " Preview " group box.
#include "dialogs/empty_dialog.h"

#include <string>

#include "framework/dialogs/controls.h"
#include "framework/graphics/dc.h"
#include "framework/graphics/gdi.h"
#include "framework/text/translation.h"
#include "framework/windows/window_dc.h"

namespace {

constexpr COLORREF FaceGrey = RGB(192, 192, 192);
constexpr COLORREF LightEdge = RGB(224, 224, 224);
constexpr COLORREF DarkEdge = RGB(64, 64, 64);
constexpr COLORREF EmptyTeal = RGB(0, 128, 128);
// The preview's margins inside its group box: the title takes the top.
constexpr int SideMargin = 15;
constexpr int TopMargin = 20;
// Pieces mode offers counts from 3 on; the lists hold positions from 0.
constexpr int SmallestSide = 3;

// A cell's corners: the light edges run along x0 and y0, the dark ones along x1 and y1.
struct TCell {
  int X0, Y0, X1, Y1;
};

// Cell (c, r) of a grid whose cells are cw x ch pixels, from the area's top-left corner.
// Single precision and truncation keep the cells on the same pixels at every size.
TCell CellAt(const TRect& area, float cw, float ch, int c, int r) {
  const int x0 = static_cast<int>(static_cast<float>(c) * cw) + area.left;
  const int y0 = static_cast<int>(static_cast<float>(r) * ch) + area.top;
  return {x0, y0, static_cast<int>(static_cast<float>(x0) + cw - 1.0f),
          static_cast<int>(static_cast<float>(y0) + ch - 1.0f)};
}

}  // namespace

// clang-format off
DEFINE_RESPONSE_TABLE1(TEmptyDialog, TDialog)
  EV_CONTROL_ANY(IDC_EMPTYROWS, &TEmptyDialog::EvListNotify),
  EV_CONTROL_ANY(IDC_EMPTYCOLUMNS, &TEmptyDialog::EvListNotify),
  EV_MESSAGE(WM_ERASEBKGND, &TEmptyDialog::EvEraseBkgnd),
END_RESPONSE_TABLE;
// clang-format on

TEmptyDialog::TEmptyDialog(TWindow* parent, int resourceId, int column, int row, int columnLimit,
                           int rowLimit, TBitmap* picture, TEmptyMode mode)
    : TDialog(parent, resourceId),
      Mode(mode),
      RowIndex(mode == TEmptyMode::Pieces ? row - SmallestSide : row),
      ColumnIndex(mode == TEmptyMode::Pieces ? column - SmallestSide : column),
      RowLimit(rowLimit),
      ColumnLimit(columnLimit),
      Picture(picture),
      RowList(new TListBox(this, IDC_EMPTYROWS)),
      ColumnList(new TListBox(this, IDC_EMPTYCOLUMNS)),
      Preview(new TGroupBox(this, IDC_EMPTYPREVIEW)) {}

void TEmptyDialog::FillList(TListBox& list, int limit) {
  list.Clear();
  for (int value = Mode == TEmptyMode::Pieces ? SmallestSide : 1; value <= limit; ++value) {
    list.AddString(std::to_string(value).c_str());
  }
}

void TEmptyDialog::SetupWindow() {
  TDialog::SetupWindow();
  FillList(*ColumnList, ColumnLimit);
  FillList(*RowList, RowLimit);
  // A position the lists do not hold selects nothing.
  RowList->SetSelection(RowIndex >= 0 && RowIndex < RowList->GetCount() ? RowIndex : -1);
  ColumnList->SetSelection(ColumnIndex >= 0 && ColumnIndex < ColumnList->GetCount() ? ColumnIndex
                                                                                    : -1);
  // The indices say what the lists show, so a position they lack reads as none.
  ReadSelections();
  SetCaption(Mode == TEmptyMode::Pieces ? N_("Number of Pieces") : N_("Position of Empty Space"));
  TClientDC dc(*this);
  DrawPreview(dc);
}

void TEmptyDialog::ReadSelections() {
  RowIndex = RowList->GetSelection();
  ColumnIndex = ColumnList->GetSelection();
}

void TEmptyDialog::CmOk() {
  ReadSelections();
  TDialog::CmOk();
}

void TEmptyDialog::EvListNotify(UINT) {
  ReadSelections();
  TClientDC dc(*this);
  DrawPreview(dc);
}

TResult TEmptyDialog::EvEraseBkgnd(TParam1 dc, TParam2) {
  const TResult erased = DefaultProcessing();
  // The erase wiped the preview with the rest of the background.
  if (auto* target = reinterpret_cast<TDC*>(dc)) DrawPreview(*target);
  return erased;
}

TRect TEmptyDialog::PreviewArea() const {
  const TRect box = Preview->GetPlacement();
  return TRect(box.left + SideMargin, box.top + TopMargin, box.right - SideMargin,
               box.bottom - SideMargin);
}

void TEmptyDialog::DrawPreview(TDC& dc) const {
  if (!IsWindow()) return;
  const TRect area = PreviewArea();
  if (Picture != nullptr) {
    // Filtered once: moving through the lists redraws it often.
    Shown.Draw(dc, *Picture, TRect(0, 0, Picture->Width(), Picture->Height()), area);
  } else {
    dc.FillRect(area, TBrush(FaceGrey));
  }

  // Empty-space mode shows the board as it is; pieces mode the size being chosen.
  const bool pieces = Mode == TEmptyMode::Pieces;
  const int columns = pieces ? ColumnIndex + SmallestSide : ColumnLimit;
  const int rows = pieces ? RowIndex + SmallestSide : RowLimit;
  if (columns <= 0 || rows <= 0) return;
  const float cw = static_cast<float>(area.Width()) / static_cast<float>(columns);
  const float ch = static_cast<float>(area.Height()) / static_cast<float>(rows);

  const TPen light(LightEdge);
  const TPen dark(DarkEdge);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const TCell cell = CellAt(area, cw, ch, c, r);
      dc.SelectObject(light);
      dc.MoveTo(cell.X0, cell.Y1);
      dc.LineTo(cell.X0, cell.Y0);
      dc.LineTo(cell.X1, cell.Y0);
      dc.SelectObject(dark);
      dc.LineTo(cell.X1, cell.Y1);
      dc.LineTo(cell.X0, cell.Y1);
    }
  }
  dc.RestorePen();

  // Without a selected cell (a list without a selection) nothing is marked, rather than
  // a cell outside the preview.
  const bool marked = ColumnIndex >= 0 && ColumnIndex < columns && RowIndex >= 0 && RowIndex < rows;
  if (!pieces && marked) {
    const TCell empty = CellAt(area, cw, ch, ColumnIndex, RowIndex);
    dc.FillRect(TRect(empty.X0, empty.Y0, empty.X1, empty.Y1), TBrush(EmptyTeal));
  }
}
