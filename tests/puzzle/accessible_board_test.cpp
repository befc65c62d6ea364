// The board as a screen reader reads it, through Qt's own accessibility interfaces.
#include <QAccessible>
#include <QTest>

#include <gtest/gtest.h>

#include "framework/windows/accessibility_test_hooks.h"
#include "shown_board.h"

namespace {

// What a screen reader would have been told, as "event row,column" lines.
std::vector<std::string>& Told() {
  static std::vector<std::string> told;
  return told;
}

void Record(QAccessibleEvent* event) {
  QAccessibleInterface* iface = event->accessibleInterface();
  QAccessibleTableCellInterface* cell = iface != nullptr ? iface->tableCellInterface() : nullptr;
  std::string where;
  if (cell != nullptr)
    where = std::to_string(cell->rowIndex()) + "," + std::to_string(cell->columnIndex());
  switch (event->type()) {
    case QAccessible::NameChanged:
      Told().push_back("name " + where);
      break;
    case QAccessible::StateChanged:
      Told().push_back("state " + where);
      break;
    case QAccessible::Focus:
      Told().push_back("focus " + where);
      break;
    case QAccessible::TableModelChanged:
      Told().push_back("table");
      break;
    default:
      break;
  }
}

// A screen reader listening for as long as it lives.
struct TListening {
  TListening() {
    SetAccessibilityListener(Record);
    Told().clear();
  }
  TListening(const TListening&) = delete;
  TListening& operator=(const TListening&) = delete;
  ~TListening() { SetAccessibilityListener(nullptr); }
};

QAccessibleTableInterface* TableOf(TPuzzle& board) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(board.Impl()->Widget);
  return iface != nullptr ? iface->tableInterface() : nullptr;
}

std::string NameAt(QAccessibleTableInterface& table, int row, int column) {
  return table.cellAt(row, column)->text(QAccessible::Name).toStdString();
}

// Each place named by what it shows, told apart from the board's own numbering: letters
// and numbers by their label, a piece of picture by the place it belongs in.
TEST(BoardAsTable, EachPlaceIsNamedForWhatItShowsAndWhetherThatIsInPlace) {
  struct TCase {
    TContentKind Kind;
    std::vector<std::string> TopRow;  // for "3 1 2 / 4 _ 6 / 7 8 5"
  };
  const TCase cases[] = {
      {TContentKind::Numeric, {"3", "1", "2"}},
      {TContentKind::Alphabet, {"C", "A", "B"}},
      {TContentKind::Picture, {"row 1, column 3", "row 1, column 1", "row 1, column 2"}},
  };
  TListening listening;
  for (const TCase& c : cases) {
    TShownBoard s(3, 3, 300, 300);
    s.Board->ContentKind = c.Kind;
    SetBoard(*s.Board, "3 1 2 / 4 _ 6 / 7 8 5");
    QAccessibleTableInterface* table = TableOf(*s.Board);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->columnCount(), 3);
    for (int column = 0; column < 3; ++column) {
      EXPECT_EQ(NameAt(*table, 0, column), c.TopRow[column]);
    }
    EXPECT_EQ(NameAt(*table, 1, 1), "empty space");
    const std::string four = NameAt(*table, 1, 0);
    EXPECT_EQ(four.substr(four.size() - 10), ", in place");
    EXPECT_EQ(table->cellAt(2, 2)->role(), QAccessible::Cell);
  }
  TShownBoard big(20, 20, 400, 400);
  QAccessibleInterface* board = QAccessible::queryAccessibleInterface(big.Board->Impl()->Widget);
  EXPECT_EQ(board->role(), QAccessible::Table);
  EXPECT_EQ(board->text(QAccessible::Name).toStdString(), "Puzzle board");
  EXPECT_EQ(board->childCount(), 400);
  EXPECT_EQ(board->child(0)->text(QAccessible::Name).toStdString(), "A, in place");
  EXPECT_EQ(board->child(398)->text(QAccessible::Name).toStdString(), "Gi, in place");
  EXPECT_EQ(board->child(399)->text(QAccessible::Name).toStdString(), "empty space");
}

// A swap told as it happens: the chosen piece selected, the cursor's cell focused, both
// swapped cells renamed.
TEST(BoardAsTable, ChoicesCursorMovesAndSwapsAreTold) {
  TListening listening;
  TShownBoard s(3, 3, 300, 300, TGameType::Jigsaw);
  SetBoard(*s.Board, "2 1 3 / 4 5 6 / 7 8 9");
  QAccessibleTableInterface* table = TableOf(*s.Board);
  QWidget* w = s.Board->Impl()->Widget;
  Told().clear();
  QTest::keyClick(w, Qt::Key_Space);
  EXPECT_TRUE(table->cellAt(0, 0)->state().selected);
  EXPECT_EQ(table->selectedCellCount(), 1);
  QTest::keyClick(w, Qt::Key_Right);
  QTest::keyClick(w, Qt::Key_Space);
  EXPECT_FALSE(table->cellAt(0, 0)->state().selected);
  EXPECT_EQ(NameAt(*table, 0, 0), "A, in place");
  EXPECT_EQ(Told(), (std::vector<std::string>{"focus 0,0", "name 0,0", "state 0,0", "focus 0,1",
                                              "name 0,0", "state 0,0", "name 0,1", "state 0,1"}));
}

// A scramble, a new size or a loaded game changes everything: told once, not cell by cell.
TEST(BoardAsTable, AWholeNewBoardIsToldOnce) {
  TListening listening;
  TShownBoard s(3, 3, 300, 300);
  QAccessibleTableInterface* table = TableOf(*s.Board);
  Told().clear();
  s.Board->Scramble();
  EXPECT_EQ(Told(), std::vector<std::string>{"table"});
  Told().clear();
  s.Board->SetSize(4, 5);
  EXPECT_EQ(Told(), std::vector<std::string>{"table"});
  EXPECT_EQ(table->columnCount(), 4);
  EXPECT_EQ(table->rowCount(), 5);
  EXPECT_EQ(NameAt(*table, 4, 3), "empty space");
}

}  // namespace
