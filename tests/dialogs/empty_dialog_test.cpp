// The empty-space and pieces dialog through the test responder: its lists, the positions
// it reports, and its preview read back from the pixels.
#include "dialogs/empty_dialog.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/dialogs/controls.h"
#include "framework/graphics/dc.h"
#include "framework/graphics/gdi.h"
#include "framework/windows/responder.h"
#include "framework/windows/window_dc.h"
#include "resources/game_resources.h"

namespace {

constexpr COLORREF Grey = RGB(192, 192, 192), Dark = RGB(64, 64, 64), Teal = RGB(0, 128, 128);
constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255);

// What one round showed; the first round looks after a fresh erase, later ones at what
// the list changes drew.
struct TSeen {
  TModalRequest Request;
  TRect Area;
  std::vector<int> RightEdges, BottomEdges;  // dark edges met just inside the top-left
  std::vector<COLORREF> Middles;             // of each cell, row by row
};

TSeen Look(const TModalRequest& request, bool erase, int columns, int rows) {
  auto& dialog = *static_cast<TEmptyDialog*>(request.Window);
  if (erase) dialog.Invalidate(true);
  dialog.UpdateWindow();
  TClientDC dc(dialog);
  TSeen s{request, dialog.PreviewArea(), {}, {}, {}};
  const TRect& a = s.Area;
  for (int x = a.left; x < a.right; ++x)
    if (dc.GetPixel(x, a.top + 1) == Dark) s.RightEdges.push_back(x - a.left + 1);
  for (int y = a.top; y < a.bottom; ++y)
    if (dc.GetPixel(a.left + 1, y) == Dark) s.BottomEdges.push_back(y - a.top + 1);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c)
      s.Middles.push_back(dc.GetPixel(a.left + (2 * c + 1) * a.Width() / (2 * columns),
                                      a.top + (2 * r + 1) * a.Height() / (2 * rows)));
  return s;
}

// Cells of a count-th of the length each: each dark edge lies within two pixels below
// a multiple of it (the truncations may lose a pixel each).
void ExpectCells(const std::vector<int>& edges, int count, int length) {
  ASSERT_EQ(edges.size(), static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double end = static_cast<double>(i + 1) * length / count;
    EXPECT_LE(edges[i], end) << i;
    EXPECT_GT(edges[i], end - 2) << i;
  }
}

std::vector<std::string> Numbers(int first, int last) {
  std::vector<std::string> lines;
  for (int n = first; n <= last; ++n) lines.push_back(std::to_string(n));
  return lines;
}

struct TCase {
  TEmptyMode Mode;
  int Column, Row, ColumnLimit, RowLimit;
  bool Picture;
  const char* Caption;
  int First, ColumnSelection, RowSelection, Columns, Rows;
  int Teal;  // index of the teal cell, row by row; -1 for none
};

const TCase Cases[] = {
    {TEmptyMode::EmptySpace, 3, 0, 4, 4, false, "Position of Empty Space", 1, 3, 0, 4, 4, 3},
    {TEmptyMode::EmptySpace, 0, 4, 3, 5, true, "Position of Empty Space", 1, 0, 4, 3, 5, 12},
    {TEmptyMode::Pieces, 5, 7, 20, 20, false, "Number of Pieces", 3, 2, 4, 5, 7, -1},
    {TEmptyMode::Pieces, 20, 20, 20, 20, true, "Number of Pieces", 3, 17, 17, 20, 20, -1},
    {TEmptyMode::Pieces, 21, 3, 20, 20, false, "Number of Pieces", 3, -1, 0, 2, 3, -1},
};

}  // namespace

TEST(EmptyDialog, ShowsListsAndPreviewOfEachMode) {
  AddEmptyDialogResource();
  TBitmap picture(40, 10);  // left half red, right half blue: stretched, not kept in shape
  TMemoryDC(picture).FillRect(TRect(0, 0, 20, 10), TBrush(Red));
  TMemoryDC(picture).FillRect(TRect(20, 0, 40, 10), TBrush(Blue));
  for (const TCase& t : Cases) {
    SCOPED_TRACE(t.Columns * 100 + t.Rows);
    TEmptyDialog dialog(nullptr, IDD_EMPTYSPACE, t.Column, t.Row, t.ColumnLimit, t.RowLimit,
                        t.Picture ? &picture : nullptr, t.Mode);
    TSeen s;
    TScopedModalResponder responder([&](const TModalRequest& r) {
      s = Look(r, true, t.Columns, t.Rows);
      return TModalAnswer(IDCANCEL);
    });
    EXPECT_EQ(dialog.Execute(), IDCANCEL);
    EXPECT_EQ(s.Request.Caption, t.Caption);
    EXPECT_EQ(s.Request.ListItems[IDC_EMPTYCOLUMNS], Numbers(t.First, t.ColumnLimit));
    EXPECT_EQ(s.Request.ListItems[IDC_EMPTYROWS], Numbers(t.First, t.RowLimit));
    EXPECT_EQ(s.Request.ListSelections[IDC_EMPTYCOLUMNS], t.ColumnSelection);
    EXPECT_EQ(s.Request.ListSelections[IDC_EMPTYROWS], t.RowSelection);
    ExpectCells(s.RightEdges, t.Columns, s.Area.Width());
    ExpectCells(s.BottomEdges, t.Rows, s.Area.Height());
    for (int i = 0; i < t.Columns * t.Rows; ++i) {
      const COLORREF face = !t.Picture ? Grey : 2 * (i % t.Columns) < t.Columns ? Red : Blue;
      EXPECT_EQ(s.Middles[i], i == t.Teal ? Teal : face) << i;
    }
  }
}

TEST(EmptyDialog, RedrawsOnListChangesAndOkReadsTheListsAgain) {
  AddEmptyDialogResource();
  TEmptyDialog dialog(nullptr, IDD_EMPTYSPACE, 5, 7, 20, 20, nullptr, TEmptyMode::Pieces);
  std::vector<TSeen> seen;
  TScopedModalResponder responder([&](const TModalRequest& r) {
    seen.push_back(Look(r, seen.empty(), 20, 3));
    TModalAnswer answer(IDC_EMPTYLISTS);  // no push button: the dialog stays open
    answer.ListSelections = {{IDC_EMPTYROWS, 0}, {IDC_EMPTYCOLUMNS, 17}};
    if (seen.size() == 1) return answer;
    // A selection the program makes sends no notification; OK still reads it.
    for (TWindow* child : static_cast<TDialog*>(r.Window)->GetChildren())
      if (auto* list = dynamic_cast<TListBox*>(child)) list->SetSelection(1);
    return TModalAnswer(IDOK);
  });
  EXPECT_EQ(dialog.Execute(), IDOK);
  ASSERT_EQ(seen.size(), 2u);
  ExpectCells(seen[1].RightEdges, 20, seen[1].Area.Width());
  ExpectCells(seen[1].BottomEdges, 3, seen[1].Area.Height());
  EXPECT_EQ(dialog.GetRowIndex(), 1);
  EXPECT_EQ(dialog.GetColumnIndex(), 1);
}
