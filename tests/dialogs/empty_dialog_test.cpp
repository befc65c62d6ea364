// The empty-space and pieces dialog run through the test responder: what the lists offer
// and select, the chosen positions it reports, and its preview read back from the pixels.
#include "dialogs/empty_dialog.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/controls.h"
#include "framework/dc.h"
#include "framework/gdi.h"
#include "framework/responder.h"
#include "resources/game_resources.h"

namespace {

constexpr COLORREF Grey = RGB(192, 192, 192);
constexpr COLORREF Light = RGB(224, 224, 224);
constexpr COLORREF Dark = RGB(64, 64, 64);
constexpr COLORREF Teal = RGB(0, 128, 128);

// The preview as the dialog shows it, after its background was erased once more.
struct TPreview {
  TRect Area;
  std::vector<std::vector<COLORREF>> Pixels;  // [y][x] over the client area

  static TPreview Take(TEmptyDialog& dialog) {
    dialog.Invalidate(true);
    dialog.UpdateWindow();
    TPreview shot;
    shot.Area = dialog.PreviewArea();
    TClientDC dc(dialog);
    const TRect client = dialog.GetClientRect();
    shot.Pixels.assign(client.Height(), std::vector<COLORREF>(client.Width()));
    for (int y = 0; y < client.Height(); ++y)
      for (int x = 0; x < client.Width(); ++x) shot.Pixels[y][x] = dc.GetPixel(x, y);
    return shot;
  }
  COLORREF At(int x, int y) const { return Pixels.at(y).at(x); }

  // The dark right edges met on a line just below the top edge, and the dark bottom edges
  // on a line just right of the left edge: one per column and one per row.
  std::vector<int> RightEdges() const {
    std::vector<int> xs;
    for (int x = Area.left; x < Area.right; ++x)
      if (At(x, Area.top + 1) == Dark) xs.push_back(x);
    return xs;
  }
  std::vector<int> BottomEdges() const {
    std::vector<int> ys;
    for (int y = Area.top; y < Area.bottom; ++y)
      if (At(Area.left + 1, y) == Dark) ys.push_back(y);
    return ys;
  }
  // Where the cell right of the dark edge at x begins on line y (single-precision cell
  // sizes may leave a pixel of face between cells).
  int CellStart(int x, int y) const {
    do ++x;
    while (x < Area.right && At(x, y) == Grey);
    return x;
  }
  // The middle of cell (c, r) of a columns x rows grid.
  COLORREF Middle(int c, int r, int columns, int rows) const {
    return At(Area.left + (2 * c + 1) * Area.Width() / (2 * columns),
              Area.top + (2 * r + 1) * Area.Height() / (2 * rows));
  }
};

// What one round of the dialog showed.
struct TSeen {
  std::string Caption;
  std::vector<std::string> Rows, Columns;
  int RowSelection = -2, ColumnSelection = -2;
  TPreview Preview;
};

class EmptyDialogTest : public testing::Test {
 protected:
  void SetUp() override { AddEmptyDialogResource(); }

  // Runs the dialog; each round is recorded and answered by the next step.
  int Run(TEmptyDialog& dialog, std::vector<std::function<TModalAnswer(TEmptyDialog&)>> steps) {
    size_t round = 0;
    TScopedModalResponder responder([&](const TModalRequest& request) {
      auto& shown = *static_cast<TEmptyDialog*>(request.Window);
      Seen.push_back({request.Caption, request.ListItems.at(IDC_EMPTYROWS),
                      request.ListItems.at(IDC_EMPTYCOLUMNS),
                      request.ListSelections.at(IDC_EMPTYROWS),
                      request.ListSelections.at(IDC_EMPTYCOLUMNS), TPreview::Take(shown)});
      return round < steps.size() ? steps[round++](shown) : TModalAnswer(IDCANCEL);
    });
    return dialog.Execute();
  }

  std::vector<TSeen> Seen;
};

// The player picks lines and presses button; a button that is no push button keeps the
// dialog open for another look.
std::function<TModalAnswer(TEmptyDialog&)> Choose(int row, int column, int button) {
  return [=](TEmptyDialog&) {
    TModalAnswer answer(button);
    answer.ListSelections = {{IDC_EMPTYROWS, row}, {IDC_EMPTYCOLUMNS, column}};
    return answer;
  };
}
constexpr int KeepOpen = IDC_EMPTYLISTS;

std::vector<std::string> Numbers(int first, int last) {
  std::vector<std::string> lines;
  for (int n = first; n <= last; ++n) lines.push_back(std::to_string(n));
  return lines;
}

// Each raised cell is a columns-th of the width and a rows-th of the height.
void ExpectGrid(const TPreview& p, int columns, int rows) {
  const std::vector<int> xs = p.RightEdges();
  const std::vector<int> ys = p.BottomEdges();
  ASSERT_EQ(xs.size(), static_cast<size_t>(columns));
  ASSERT_EQ(ys.size(), static_cast<size_t>(rows));
  for (int c = 0; c < columns; ++c)
    EXPECT_NEAR(xs[c], p.Area.left + (c + 1) * p.Area.Width() / columns - 1, 1) << c;
  for (int r = 0; r < rows; ++r)
    EXPECT_NEAR(ys[r], p.Area.top + (r + 1) * p.Area.Height() / rows - 1, 1) << r;
  EXPECT_EQ(p.At(p.Area.left, p.Area.top), Light);  // the first cell's light corner
}

struct TSetUpCase {
  const char* Name;
  TEmptyMode Mode;
  int Column, Row, ColumnLimit, RowLimit;
  const char* Caption;
  int First;                          // the lists' first value
  int ColumnSelection, RowSelection;  // -1: none
  int GridColumns, GridRows;
  int EmptyColumn, EmptyRow;  // the teal cell, -1 for none
};

const TSetUpCase SetUpCases[] = {
    {"4 x 4, empty top right", TEmptyMode::EmptySpace, 3, 0, 4, 4, "Position of Empty Space", 1, 3,
     0, 4, 4, 3, 0},
    {"3 x 5, empty bottom left", TEmptyMode::EmptySpace, 0, 4, 3, 5, "Position of Empty Space", 1,
     0, 4, 3, 5, 0, 4},
    {"5 columns, 7 rows", TEmptyMode::Pieces, 5, 7, 20, 20, "Number of Pieces", 3, 2, 4, 5, 7, -1,
     -1},
    {"20 x 20", TEmptyMode::Pieces, 20, 20, 20, 20, "Number of Pieces", 3, 17, 17, 20, 20, -1, -1},
    {"wider than the list", TEmptyMode::Pieces, 21, 3, 20, 20, "Number of Pieces", 3, -1, 0, 2, 3,
     -1, -1},
};

}  // namespace

TEST_F(EmptyDialogTest, SetsUpListsCaptionAndPreviewForEachMode) {
  for (const TSetUpCase& t : SetUpCases) {
    SCOPED_TRACE(t.Name);
    Seen.clear();
    TEmptyDialog dialog(nullptr, IDD_EMPTYSPACE, t.Column, t.Row, t.ColumnLimit, t.RowLimit,
                        nullptr, t.Mode);
    EXPECT_EQ(Run(dialog, {}), IDCANCEL);
    ASSERT_EQ(Seen.size(), 1u);
    const TSeen& s = Seen[0];
    EXPECT_EQ(s.Caption, t.Caption);
    EXPECT_EQ(s.Columns, Numbers(t.First, t.ColumnLimit));
    EXPECT_EQ(s.Rows, Numbers(t.First, t.RowLimit));
    EXPECT_EQ(s.ColumnSelection, t.ColumnSelection);
    EXPECT_EQ(s.RowSelection, t.RowSelection);
    ExpectGrid(s.Preview, t.GridColumns, t.GridRows);
    for (int r = 0; r < t.GridRows; ++r) {
      for (int c = 0; c < t.GridColumns; ++c) {
        const bool empty = c == t.EmptyColumn && r == t.EmptyRow;
        EXPECT_EQ(s.Preview.Middle(c, r, t.GridColumns, t.GridRows), empty ? Teal : Grey)
            << c << "," << r;
      }
    }
  }
}

TEST_F(EmptyDialogTest, TealCoversTheLightEdgesAndKeepsTheDarkOnes) {
  TEmptyDialog dialog(nullptr, IDD_EMPTYSPACE, 3, 0, 4, 4, nullptr, TEmptyMode::EmptySpace);
  Run(dialog, {});
  const TPreview& p = Seen.at(0).Preview;
  const std::vector<int> xs = p.RightEdges();
  ASSERT_EQ(xs.size(), 4u);
  const int left = p.CellStart(xs[2], p.Area.top);
  EXPECT_EQ(p.At(left, p.Area.top), Teal);
  EXPECT_EQ(p.At(left, p.Area.top + 3), Teal);
  EXPECT_EQ(p.At(xs[3], p.Area.top + 3), Dark);
  EXPECT_EQ(p.At(p.CellStart(xs[1], p.Area.top), p.Area.top), Light);  // its neighbour
}

TEST_F(EmptyDialogTest, ListChangesRedrawThePreviewAndOkReportsThePositions) {
  TEmptyDialog dialog(nullptr, IDD_EMPTYSPACE, 5, 7, 20, 20, nullptr, TEmptyMode::Pieces);
  EXPECT_EQ(Run(dialog, {Choose(0, 17, KeepOpen), Choose(1, 2, IDOK)}), IDOK);
  ASSERT_EQ(Seen.size(), 2u);
  EXPECT_EQ(Seen[1].RowSelection, 0);
  EXPECT_EQ(Seen[1].ColumnSelection, 17);
  ExpectGrid(Seen[1].Preview, 20, 3);
  EXPECT_EQ(dialog.GetRowIndex(), 1);
  EXPECT_EQ(dialog.GetColumnIndex(), 2);
}

TEST_F(EmptyDialogTest, OkReadsSelectionsMadeWithoutNotificationAndCancelReportsIt) {
  struct TCase {
    int Button;
    int Result;
  };
  for (const TCase t : {TCase{IDOK, IDOK}, TCase{IDCANCEL, IDCANCEL}}) {
    TEmptyDialog dialog(nullptr, IDD_EMPTYSPACE, 1, 1, 4, 4, nullptr, TEmptyMode::EmptySpace);
    const int result = Run(dialog, {[&](TEmptyDialog& shown) {
                             // The program's own selection sends no notification.
                             for (TWindow* child : shown.GetChildren())
                               if (auto* list = dynamic_cast<TListBox*>(child))
                                 list->SetSelection(child->GetId() == IDC_EMPTYROWS ? 3 : 2);
                             return TModalAnswer(t.Button);
                           }});
    EXPECT_EQ(result, t.Result);
    if (t.Result == IDOK) {
      EXPECT_EQ(dialog.GetRowIndex(), 3);
      EXPECT_EQ(dialog.GetColumnIndex(), 2);
    }
  }
}

TEST_F(EmptyDialogTest, PictureIsStretchedOverThePreviewIgnoringItsShape) {
  // Four quarters in a picture four times wider than high.
  TBitmap picture(40, 10);
  const COLORREF quarters[2][2] = {{RGB(255, 0, 0), RGB(0, 0, 255)},
                                   {RGB(0, 255, 0), RGB(255, 255, 0)}};
  {
    TMemoryDC dc(picture);
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 2; ++c)
        dc.FillRect(TRect(c * 20, r * 5, c * 20 + 20, r * 5 + 5), TBrush(quarters[r][c]));
  }
  TEmptyDialog dialog(nullptr, IDD_EMPTYSPACE, 4, 4, 20, 20, &picture, TEmptyMode::Pieces);
  Run(dialog, {});
  const TPreview& p = Seen.at(0).Preview;
  ExpectGrid(p, 4, 4);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(p.Middle(c, r, 4, 4), quarters[r / 2][c / 2]) << c << "," << r;
}
