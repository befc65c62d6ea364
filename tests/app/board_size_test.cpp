// Custom pieces and Set empty space through the main window: the dialog's starting
// choice, and what OK and Cancel leave on the board, the menu and the status bar.
#include <string>
#include <tuple>

#include "dialogs/empty_dialog_ids.h"
#include "main_window_fixture.h"

namespace {

// The player's choice (-1 clears a list), the button, and the board and menu after it.
struct TCase {
  UINT Command;
  int Row, Column, Button;
  int Columns, Rows, EmptyX, EmptyY;
  UINT CheckedSize;
};

const TCase Cases[] = {
    {CM_CUSTOMPIECES, 4, 2, IDOK, 5, 7, 0, 2, CM_CUSTOMPIECES},
    {CM_CUSTOMPIECES, 2, 2, IDOK, 5, 5, 0, 2, CM_PIECES3 + 2},
    {CM_CUSTOMPIECES, 17, 17, IDOK, 20, 20, 0, 2, CM_CUSTOMPIECES},
    {CM_CUSTOMPIECES, -1, -1, IDOK, 3, 3, 0, 2, CM_PIECES3},
    {CM_CUSTOMPIECES, 17, 17, IDCANCEL, 4, 4, 0, 2, CM_PIECES3 + 1},
    {CM_EMPTYSPACE, 0, 1, IDOK, 4, 4, 1, 0, CM_PIECES3 + 1},
    {CM_EMPTYSPACE, -1, -1, IDOK, 4, 4, 3, 3, CM_PIECES3 + 1},
    {CM_EMPTYSPACE, 3, 3, IDCANCEL, 4, 4, 0, 2, CM_PIECES3 + 1},
};

}  // namespace

TEST_F(MainWindowTest, CustomPiecesAndEmptySpaceDialogsApplyTheChoiceOnOkOnly) {
  Start();
  for (const TCase& t : Cases) {
    SCOPED_TRACE(std::to_string(t.Command) + " " + std::to_string(t.Row) + "," +
                 std::to_string(t.Column) + (t.Button == IDOK ? " OK" : " Cancel"));
    Command(CM_PIECES3 + 1);  // 4 x 4 with the empty cell at column 0, row 2, in play
    Board().EmptyX = 0;
    Board().EmptyY = 2;
    Board().Reset();
    Command(CM_SCRAMBLE);
    TModalRequest shown;
    TScopedModalResponder responder([&](const TModalRequest& r) {
      shown = r;
      TModalAnswer answer(t.Button);
      answer.ListSelections = {{IDC_EMPTYROWS, t.Row}, {IDC_EMPTYCOLUMNS, t.Column}};
      return answer;
    });
    Command(t.Command);
    const bool pieces = t.Command == CM_CUSTOMPIECES;  // starts from the board as it is
    EXPECT_EQ(shown.ListSelections[IDC_EMPTYROWS], pieces ? 1 : 2);
    EXPECT_EQ(shown.ListSelections[IDC_EMPTYCOLUMNS], pieces ? 1 : 0);
    EXPECT_EQ(std::tuple(Board().Columns, Board().Rows, Board().EmptyX, Board().EmptyY),
              std::tuple(t.Columns, t.Rows, t.EmptyX, t.EmptyY));
    const bool ok = t.Button == IDOK;
    EXPECT_EQ(Board().Idle, ok) << "OK ends the game in solved order, Cancel keeps it";
    if (ok) {
      EXPECT_EQ(Board().Pieces[t.EmptyY][t.EmptyX]->Number, 0);
      EXPECT_STREQ(Frame->FalseText->GetText(), "Incorrect pieces: 0");
    }
    for (UINT id = CM_PIECES3; id <= CM_PIECES15; ++id) EXPECT_EQ(Checked(id), id == t.CheckedSize);
    EXPECT_EQ(Checked(CM_CUSTOMPIECES), t.CheckedSize == CM_CUSTOMPIECES);
    EXPECT_EQ(std::string(Frame->PiecesText->GetText()),
              "Puzzle pieces: " + std::to_string(t.Rows) + " x " + std::to_string(t.Columns));
  }
}
