// The player's pointer and keys on a shown board.
#include <QTest>

#include <gtest/gtest.h>

#include "framework/windows/responder.h"
#include "shown_board.h"

namespace {

QPoint CentreOf(const TTombol& piece) {
  const TRect r = piece.GetRect();
  return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

QWidget* WidgetOf(TPuzzle& board) {
  return board.Impl()->Widget;
}

struct THintLog {
  std::vector<TModalRequest> Shown;
  TScopedModalResponder Responder{[this](const TModalRequest& r) {
    Shown.push_back(r);
    return TModalAnswer{IDOK, {}, 0};
  }};
};

TEST(Pointer, AnIdleBoardOnlyShowsTheHintAnywhere) {
  TShownBoard s(3, 3, 300, 300);
  THintLog hints;
  const std::string before = BoardText(*s.Board);
  QTest::mouseClick(WidgetOf(*s.Board), Qt::LeftButton, {}, CentreOf(*s.Board->Pieces[2][1]));
  QTest::mouseClick(WidgetOf(*s.Board), Qt::LeftButton, {}, QPoint(299, 299));
  QCoreApplication::processEvents();
  ASSERT_EQ(hints.Shown.size(), 2u);
  EXPECT_EQ(hints.Shown[0].Text, "Select Game | Scramble or press <F2> to start a new game.");
  EXPECT_EQ(hints.Shown[0].Caption, "Kavro");
  EXPECT_EQ(hints.Shown[0].Flags, MB_OK | MB_ICONINFORMATION);
  EXPECT_EQ(BoardText(*s.Board), before);
  EXPECT_FALSE(s.Board->HasCapture());
}

TEST(Pointer, AClickActsOnThePressedPieceWhereverItIsReleased) {
  TShownBoard s(3, 3, 300, 300);
  TSoundLog sounds;
  SetBoard(*s.Board, "1 2 3 / 4 5 6 / 7 _ 8");
  QWidget* w = WidgetOf(*s.Board);
  QTest::mousePress(w, Qt::LeftButton, {}, CentreOf(*s.Board->Pieces[2][0]));
  EXPECT_TRUE(s.Board->HasCapture());
  EXPECT_NE(s.Board->PressedPiece, nullptr);
  QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(250, 20));
  // Nothing moves until the button-up handler has returned.
  EXPECT_EQ(BoardText(*s.Board), "1 2 3 / 4 5 6 / 7 _ 8");
  EXPECT_FALSE(s.Board->HasCapture());
  QCoreApplication::processEvents();
  EXPECT_EQ(BoardText(*s.Board), "1 2 3 / 4 5 6 / _ 7 8");
  EXPECT_EQ(sounds.Played, std::vector<int>{WAVE_SLIDE});
  EXPECT_EQ(s.Board->PressedPiece, nullptr);
}

TEST(Pointer, PressingTheEmptySpaceTestsAndClicks) {
  TShownBoard s(3, 3, 300, 300);
  TSoundLog sounds;
  SetBoard(*s.Board, "1 2 3 / 4 5 6 / 7 _ 8");
  QTest::mouseClick(WidgetOf(*s.Board), Qt::LeftButton, {}, CentreOf(*s.Board->Pieces[2][1]));
  QCoreApplication::processEvents();
  EXPECT_EQ(BoardText(*s.Board), "1 2 3 / 4 5 6 / 7 _ 8");
  EXPECT_EQ(s.Parent.Notes, std::vector<UINT>{WM_PUZZLEMOVED});
  EXPECT_EQ(sounds.Played, std::vector<int>{WAVE_SLIDE});
}

TEST(Pointer, JigsawSelectionKeepsThePressedLookUntilClickedAgain) {
  TShownBoard s(3, 3, 300, 300, TGameType::Jigsaw);
  TSoundLog sounds;
  SetBoard(*s.Board, "2 1 3 / 4 5 6 / 7 8 9");
  s.Board->RedrawAll();
  const TRect r = s.Board->Pieces[1][1]->GetRect();
  const QPoint centre = CentreOf(*s.Board->Pieces[1][1]);
  QTest::mouseClick(WidgetOf(*s.Board), Qt::LeftButton, {}, centre);
  QCoreApplication::processEvents();
  EXPECT_EQ(s.Board->ActiveX, 1);
  EXPECT_EQ(s.At(r.left + 10, r.top), Shadow);  // pressed: dark at the top
  QTest::mouseClick(WidgetOf(*s.Board), Qt::LeftButton, {}, centre);
  QCoreApplication::processEvents();
  EXPECT_EQ(s.Board->ActiveX, -1);
  EXPECT_EQ(s.At(r.left + 10, r.top), Light);
  EXPECT_EQ(sounds.Played, (std::vector<int>{WAVE_SLIDE, WAVE_SLIDE}));
}

TEST(Pointer, APieceLetGoOfLooksAsAFullRedrawDrawsIt) {
  TShownBoard s(3, 3, 300, 300);
  TSoundLog sounds;
  SetBoard(*s.Board, "1 2 3 / 4 5 6 / 7 _ 8");
  s.Board->RedrawAll();
  // A piece that cannot move: pressed, then raised again where it is.
  QTest::mouseClick(WidgetOf(*s.Board), Qt::LeftButton, {}, CentreOf(*s.Board->Pieces[0][0]));
  QCoreApplication::processEvents();
  const QImage clicked = s.Board->Impl()->Backing.copy();
  s.Board->RedrawAll();
  EXPECT_EQ(clicked, s.Board->Impl()->Backing) << "the pressed look left marks";
}

TEST(Pointer, AGapInsideTheBoardCapturesAndReleasesOnly) {
  TShownBoard s(3, 3, 300, 300);
  TSoundLog sounds;
  SetBoard(*s.Board, "1 2 3 / 4 5 6 / 7 _ 8");
  const TRect r = s.Board->Pieces[0][0]->GetRect();
  QWidget* w = WidgetOf(*s.Board);
  QTest::mousePress(w, Qt::LeftButton, {}, QPoint(r.right, r.top + 5));
  EXPECT_TRUE(s.Board->HasCapture());
  EXPECT_EQ(s.Board->PressedPiece, nullptr);
  QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(r.right, r.top + 5));
  QCoreApplication::processEvents();
  EXPECT_FALSE(s.Board->HasCapture());
  EXPECT_EQ(BoardText(*s.Board), "1 2 3 / 4 5 6 / 7 _ 8");
  EXPECT_TRUE(s.Parent.Notes.empty());
  EXPECT_TRUE(sounds.Played.empty());
}

TEST(Pointer, ABoardTooSmallForTheEstimateStillFindsItsPieces) {
  // 5 x 5 pixels for 4 x 4 cells with the grid: only the last column and row have pieces
  // wider and taller than nothing.
  TShownBoard s(4, 4, 5, 5);
  SetBoard(*s.Board, "1 2 3 4 / 5 6 7 8 / 9 10 11 _ / 13 14 15 12");
  ASSERT_EQ(s.Board->Pieces[0][0]->Width, 0);
  QWidget* w = WidgetOf(*s.Board);
  for (int x = 1; x < 4; ++x) {
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(x, x));
    EXPECT_TRUE(s.Board->HasCapture()) << x;
    EXPECT_EQ(s.Board->PressedPiece, nullptr) << x;
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(x, x));
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(BoardText(*s.Board), "1 2 3 4 / 5 6 7 8 / 9 10 11 _ / 13 14 15 12");
  // The bottom-right pixel is piece 12, which slides up into the space.
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, 4));
  QCoreApplication::processEvents();
  EXPECT_FALSE(s.Board->HasCapture());
  EXPECT_EQ(BoardText(*s.Board), "1 2 3 4 / 5 6 7 8 / 9 10 11 12 / 13 14 15 _");
}

TEST(Keys, ArrowsSlideTheNamedWayAndRefuseAtTheEdgeSilently) {
  TShownBoard s(3, 3, 300, 300);
  TSoundLog sounds;
  SetBoard(*s.Board, "1 2 3 / 4 _ 5 / 7 8 6");
  QWidget* w = WidgetOf(*s.Board);
  QTest::keyClick(w, Qt::Key_Left);  // the piece right of the space moves left
  EXPECT_EQ(BoardText(*s.Board), "1 2 3 / 4 5 _ / 7 8 6");
  EXPECT_EQ(sounds.Played, std::vector<int>{WAVE_SLIDE});
  QTest::keyClick(w, Qt::Key_Left);  // nothing right of it now
  EXPECT_EQ(sounds.Played.size(), 1u);
  EXPECT_EQ(s.Parent.Notes.size(), 1u);
  QTest::keyClick(w, Qt::Key_Up);  // the piece below moves up and solves the board
  EXPECT_EQ(BoardText(*s.Board), "1 2 3 / 4 5 6 / 7 8 _");
  EXPECT_EQ(s.Parent.Notes.back(), WM_PUZZLESOLVED);
  EXPECT_EQ(sounds.Played.size(), 1u);
  EXPECT_TRUE(s.Parent.Keys.empty());
}

TEST(Keys, IdleBoardsAndKeysThatAreNotTheBoardsPassOn) {
  TShownBoard idle(3, 3, 300, 300, TGameType::Jigsaw);
  QTest::keyClick(WidgetOf(*idle.Board), Qt::Key_Right);
  QTest::keyClick(WidgetOf(*idle.Board), Qt::Key_Space);
  EXPECT_EQ(idle.Parent.Keys, (std::vector<UINT>{VK_RIGHT, VK_SPACE}));

  for (const TGameType type : {TGameType::Sliding, TGameType::Jigsaw}) {
    TShownBoard playing(3, 3, 300, 300, type);
    SetBoard(*playing.Board,
             type == TGameType::Sliding ? "1 2 3 / 4 _ 5 / 7 8 6" : "2 1 3 / 4 5 6 / 7 8 9");
    QTest::keyClick(WidgetOf(*playing.Board), Qt::Key_A);
    QTest::keyClick(WidgetOf(*playing.Board), Qt::Key_Home);
    EXPECT_EQ(playing.Parent.Keys, (std::vector<UINT>{'A', VK_HOME}));
  }
}

// The swap board from the keyboard plays as it does under the mouse: the same choices,
// sounds and notes, on the piece under the cursor.
TEST(Keys, ASwapBoardPlaysWithTheArrowsAndSpaceOrReturn) {
  TShownBoard s(3, 3, 300, 300, TGameType::Jigsaw);
  TSoundLog sounds;
  SetBoard(*s.Board, "2 1 3 / 4 5 6 / 7 8 9");
  QWidget* w = WidgetOf(*s.Board);
  QTest::keyClick(w, Qt::Key_Up);  // already at the top: stays
  QTest::keyClick(w, Qt::Key_Left);
  EXPECT_EQ(std::pair(s.Board->CursorX, s.Board->CursorY), std::pair(0, 0));
  QTest::keyClick(w, Qt::Key_Space);  // chooses the 2
  EXPECT_EQ(std::pair(s.Board->ActiveX, s.Board->ActiveY), std::pair(0, 0));
  QTest::keyClick(w, Qt::Key_Down);
  QTest::keyClick(w, Qt::Key_Space);  // the 4: a swap that solves nothing
  EXPECT_EQ(BoardText(*s.Board), "4 1 3 / 2 5 6 / 7 8 9");
  QTest::keyClick(w, Qt::Key_Return);  // chooses the 2 again, then gives it back
  QTest::keyClick(w, Qt::Key_Up);
  QTest::keyClick(w, Qt::Key_Return);
  EXPECT_EQ(BoardText(*s.Board), "2 1 3 / 4 5 6 / 7 8 9");
  QTest::keyClick(w, Qt::Key_Space);  // the 2 with the 1 solves the board
  QTest::keyClick(w, Qt::Key_Right);
  QTest::keyClick(w, Qt::Key_Space);
  EXPECT_EQ(BoardText(*s.Board), "1 2 3 / 4 5 6 / 7 8 9");
  EXPECT_EQ(s.Parent.Notes.back(), WM_PUZZLESOLVED);
  EXPECT_EQ(sounds.Played,
            (std::vector<int>{WAVE_SLIDE, WAVE_SWAP, WAVE_SLIDE, WAVE_SWAP, WAVE_SLIDE}));
  EXPECT_TRUE(s.Parent.Keys.empty());
}

// The cursor's rings lie inside the bevel: black, white, black from 3 pixels in.
TEST(Keys, TheCursorShowsFromAKeyFollowsTheSlidPieceAndStepsAsideForTheMouse) {
  TShownBoard s(3, 3, 300, 300);
  SetBoard(*s.Board, "1 2 3 / 4 _ 5 / 7 8 6");
  s.Board->RedrawAll();
  const auto rings = [&s](int x, int y) {
    const TTombol& piece = *s.Board->Pieces[y][x];
    const int mid = piece.Left + piece.Width / 2;
    return std::vector<COLORREF>{s.At(mid, piece.Top + 3), s.At(mid, piece.Top + 4),
                                 s.At(mid, piece.Top + 5)};
  };
  const std::vector<COLORREF> face{Tile, Tile, Tile};
  const std::vector<COLORREF> cursor{0x000000, 0xFFFFFF, 0x000000};
  EXPECT_EQ(rings(2, 1), face);
  QTest::keyClick(WidgetOf(*s.Board), Qt::Key_Left);  // the 5 moves into the middle
  EXPECT_EQ(rings(1, 1), cursor);
  QTest::keyClick(WidgetOf(*s.Board), Qt::Key_Down);  // the 3 moves down below itself
  EXPECT_EQ(rings(2, 1), cursor);
  EXPECT_EQ(rings(1, 1), face);
  QTest::keyClick(WidgetOf(*s.Board), Qt::Key_Right);  // the 2 moves right
  EXPECT_EQ(BoardText(*s.Board), "1 _ 2 / 4 5 3 / 7 8 6");
  EXPECT_EQ(rings(2, 0), cursor);
  EXPECT_EQ(rings(2, 1), face);
  QTest::mouseClick(WidgetOf(*s.Board), Qt::LeftButton, {}, CentreOf(*s.Board->Pieces[2][2]));
  EXPECT_EQ(rings(2, 0), face);
}

}  // namespace
