// Layout, zoom and drawing, checked on the pixels of the board's backing image.
#include <gtest/gtest.h>

#include "framework/windows/window_dc.h"
#include "shown_board.h"

namespace {

TEST(Layout, FourByFourLettersIn403By203) {
  TShownBoard s(4, 4, 403, 203);
  const TPuzzle& b = *s.Board;
  EXPECT_EQ(b.BoardRect.left, 2);
  EXPECT_EQ(b.BoardRect.top, 2);
  const TTombol& first = *b.Pieces[0][0];
  EXPECT_EQ(first.GetRect(), TRect(2, 2, 101, 51));  // 99 x 49: the grid takes a pixel
  const TTombol& last = *b.Pieces[3][3];
  EXPECT_EQ(last.GetRect(), TRect(302, 152, 402, 202));  // 100 x 50: no gap at the edge
  // The gaps show the background.
  EXPECT_EQ(s.At(101, 20), Background);
  EXPECT_EQ(s.At(20, 51), Background);
  EXPECT_EQ(s.At(100, 20), Shadow);
  // Without the grid the pieces touch.
  s.Board->ShowGrid = false;
  s.Board->SendMessage(WM_SIZE, 0, 0);
  EXPECT_EQ(b.Pieces[0][0]->Width, 100);
  EXPECT_EQ(b.Pieces[0][0]->Height, 50);
}

TEST(Layout, LabelFontFollowsTheCellSize) {
  TShownBoard s(4, 4, 403, 203);
  const LOGFONT& log = s.Board->LabelFont->GetLogFont();
  EXPECT_EQ(log.lfHeight, 50 * 3 / 4);
  EXPECT_EQ(log.lfWidth, 100 / 5);
  EXPECT_STREQ(log.lfFaceName, "Arial");
}

TEST(Drawing, RaisedBevelLightTopLeftShadowBottomRight) {
  TShownBoard s(3, 3, 300, 300);
  const TRect r = s.Board->Pieces[0][0]->GetRect();
  EXPECT_EQ(s.At(r.left + 10, r.top), Light);
  EXPECT_EQ(s.At(r.left + 10, r.top + 1), Light);
  EXPECT_EQ(s.At(r.left, r.top + 10), Light);
  EXPECT_EQ(s.At(r.left + 10, r.bottom - 1), Shadow);
  EXPECT_EQ(s.At(r.left + 10, r.bottom - 2), Shadow);
  EXPECT_EQ(s.At(r.right - 1, r.top + 10), Shadow);
  // Corners: the light line starts at the top-right, the shadow at the bottom-left.
  EXPECT_EQ(s.At(r.right - 1, r.top), Light);
  EXPECT_EQ(s.At(r.left, r.bottom - 1), Shadow);
  EXPECT_EQ(s.At(r.left + 10, r.top + 2), Tile);
  // Without 3D: a flat tile.
  s.Board->Set3D(false);
  EXPECT_EQ(s.At(r.left + 10, r.top), Tile);
  EXPECT_EQ(s.At(r.left + 10, r.bottom - 1), Tile);
}

TEST(Drawing, LabelIsCentredAndPressedShadowIsWipedWhenRaised) {
  TShownBoard s(3, 3, 300, 300);
  TTombol& piece = *s.Board->Pieces[1][1];
  const TRect r = piece.GetRect();
  int left = r.right, right = r.left, top = r.bottom, bottom = r.top;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      if (s.At(x, y) != LabelBlue) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  ASSERT_LT(left, right) << "no label drawn";
  EXPECT_NEAR((left + right) / 2, (r.left + r.right) / 2, 4);
  EXPECT_NEAR((top + bottom) / 2, (r.top + r.bottom) / 2, 8);

  {
    TClientDC dc(*s.Board);
    piece.Draw(dc, true, false);
  }
  EXPECT_GT(s.Count(r, 0x000000), 10);  // the pressed look's black shadow
  EXPECT_EQ(s.At(r.left + 10, r.top), Shadow);
  {
    TClientDC dc(*s.Board);
    piece.Draw(dc, false, false);
  }
  EXPECT_EQ(s.Count(r, 0x000000), 0);
  EXPECT_EQ(s.At(r.left + 10, r.top), Light);
}

TEST(Drawing, PictureBoardHasAFrameAndLettersHaveNone) {
  TShownBoard letters(3, 3, 300, 300);
  const TRect board = letters.Board->BoardRect;
  EXPECT_EQ(letters.At(board.left - 1, board.top - 1), Background);

  TShownBoard s(3, 3, 400, 400);
  s.GivePicture(150, 120, 0x0000FF);
  s.Board->SetSize(3, 3);
  s.Board->Zoom(0);
  s.Board->UpdateWindow();
  const TRect r = s.Board->BoardRect;
  EXPECT_EQ(r, TRect(1, 1, 151, 121));
  EXPECT_EQ(s.At(r.left - 1, r.top - 1), Shadow);
  EXPECT_EQ(s.At(r.right, r.bottom), Shadow);
  EXPECT_EQ(s.At(r.right, r.top + 30), Shadow);
  EXPECT_EQ(s.At(r.right + 1, r.top + 30), Background);
  // Inside a piece, past its bevel, the picture.
  const TRect p = s.Board->Pieces[0][0]->GetRect();
  EXPECT_EQ(s.At(p.left + 10, p.top + 10), 0x0000FFu);
}

TEST(Drawing, MisplacedCrossAndSelectionCrossOnPictures) {
  TShownBoard s(3, 3, 400, 400, TGameType::Jigsaw);
  s.GivePicture(300, 300, 0x00FF00);
  s.Board->SetSize(3, 3);
  s.Board->Set3D(false);
  s.Board->SetShowFalse(true);
  s.Board->UpdateWindow();
  TTombol& piece = *s.Board->Pieces[0][0];
  const TRect r = piece.GetRect();
  EXPECT_EQ(s.At(r.left + 1, r.top + 1), 0x00FF00u);  // correct: no cross
  SetBoard(*s.Board, "2 1 3 / 4 5 6 / 7 8 9");
  s.Board->Pieces[0][0]->Source = TRect(100, 0, 200, 100);
  s.Board->RedrawAll();
  EXPECT_EQ(s.At(r.left + 1, r.top + 1), 0x00FFFFu);  // yellow
  EXPECT_EQ(s.At(r.left + 2, r.top + 1), 0x0000FFu);  // red beside it
  EXPECT_EQ(s.At(r.left + 4, r.top + 4), 0x00FFFFu);  // the two lines run side by side
  EXPECT_EQ(s.At(r.left + 5, r.top + 4), 0x0000FFu);

  // The selected piece of a flat jigsaw board shows a cross through its middle.
  TTombol& other = *s.Board->Pieces[2][2];
  const TRect o = other.GetRect();
  {
    TClientDC dc(*s.Board);
    other.Draw(dc, true, false);
  }
  const int mx = o.left + o.Width() / 2;
  const int my = o.top + o.Height() / 2;
  EXPECT_EQ(s.At(mx, o.top + 5), Light);
  EXPECT_EQ(s.At(mx + 1, o.top + 5), Shadow);
  EXPECT_EQ(s.At(o.left + 5, my), Light);
  EXPECT_EQ(s.At(o.left + 5, my + 1), Shadow);
}

TEST(Drawing, ASlideRedrawsOnlyThePiecesInvolved) {
  TShownBoard s(4, 4, 400, 400);
  SetBoard(*s.Board, "1 2 3 4 / 5 6 7 8 / 9 10 11 12 / 13 14 15 _");
  s.Board->RedrawAll();
  s.Board->UpdateWindow();
  const TRect from = s.Board->Pieces[3][2]->GetRect();
  const TRect to = s.Board->Pieces[3][3]->GetRect();
  ASSERT_TRUE(s.Board->MoveEmptyLeft(true));
  // The piece is drawn in its new cell at once; only the cell it left waits for Paint.
  EXPECT_GT(s.Count(to, LabelBlue), 5);
  const QRect left(from.left, from.top, from.Width(), from.Height());
  EXPECT_EQ(s.Board->Impl()->Invalid.boundingRect(), left & QRect(0, 0, 400, 400));
  s.Board->UpdateWindow();
  EXPECT_EQ(s.Count(from, Tile), 0);
  EXPECT_EQ(s.At(from.left + 5, from.top + 5), Background);
}

TEST(Drawing, AHiddenBoardWaitsForItsPaint) {
  TShownBoard shown(3, 3, 300, 300);
  shown.Board->Set3D(false);
  TShownBoard hidden(3, 3, 300, 300);
  hidden.Parent.ShowWindow(SW_HIDE);
  const QImage before = hidden.Board->Impl()->Backing;
  hidden.Board->Set3D(false);
  // Nothing is drawn while nobody can see it; every piece is left to Paint instead.
  EXPECT_EQ(hidden.Board->Impl()->Backing, before);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) {
      const TRect r = hidden.Board->Pieces[y][x]->GetRect();
      EXPECT_TRUE(
          hidden.Board->Impl()->Invalid.contains(QRect(r.left, r.top, r.Width(), r.Height())));
    }
  }
  hidden.Board->UpdateWindow();
  EXPECT_EQ(hidden.Board->Impl()->Backing, shown.Board->Impl()->Backing);
}

TEST(Zoom, NormalSizeIsTheLargestTenthStepThatFits) {
  TShownBoard wide(3, 3, 800, 600);
  wide.GivePicture(300, 200, 0);
  wide.Board->SetSize(3, 3);
  wide.Board->Zoom(0);
  EXPECT_EQ(wide.Board->ZoomStep, 0);
  EXPECT_EQ(wide.Board->BoardRect.Width(), 300);

  TShownBoard narrow(3, 3, 250, 600);
  narrow.GivePicture(300, 200, 0);
  narrow.Board->SetSize(3, 3);
  narrow.Board->Zoom(0);
  EXPECT_EQ(narrow.Board->ZoomStep, -2);
  // 240 x 160 at 0.8, laid out in whole cells of 80 x 53.
  EXPECT_EQ(narrow.Board->BoardRect, TRect(1, 1, 241, 160));
}

TEST(Zoom, InStopsAtTheWindowOutStopsAtAHundredPixels) {
  TShownBoard s(3, 3, 400, 300);
  s.GivePicture(300, 200, 0);
  s.Board->SetSize(3, 3);
  s.Board->Zoom(0);
  for (int i = 0; i < 20; ++i) s.Board->Zoom(+1);
  // 1.4 x 300 = 420 reaches past 400: the last step allowed was from 1.3 (390 < 400).
  EXPECT_EQ(s.Board->ZoomStep, 4);
  for (int i = 0; i < 20; ++i) s.Board->Zoom(-1);
  // 0.5 x 200 = 100 is not more than 100: no step below 0.5.
  EXPECT_EQ(s.Board->ZoomStep, -5);
  EXPECT_EQ(s.Board->BoardRect.Height(), 99);  // 100 at 0.5, in three rows of 33
}

TEST(Zoom, ATinyOrEmptyWindowNeverMakesTheScaleZero) {
  TShownBoard s(3, 3, 1, 1);
  s.GivePicture(2000, 1500, 0);
  s.Board->SetSize(3, 3);
  s.Board->Zoom(0);
  EXPECT_EQ(s.Board->ZoomStep, -9);
  EXPECT_EQ(s.Board->BoardRect.Width(), 198);  // 200 at 0.1, in three columns of 66
  s.Board->Zoom(-1);
  EXPECT_EQ(s.Board->ZoomStep, -9);
  // Without a picture zoom does nothing.
  TShownBoard letters(3, 3, 1, 1);
  letters.Board->Zoom(-1);
  EXPECT_EQ(letters.Board->ZoomStep, 1);
}

TEST(Zoom, FitInWindowFillsTheClientArea) {
  TShownBoard s(3, 3, 500, 400);
  s.GivePicture(300, 200, 0);
  s.Board->SetSize(3, 3);
  s.Board->SetFitInWindow(true);
  EXPECT_EQ(s.Board->BoardRect, TRect(2, 1, 500, 400));
  EXPECT_EQ(s.Board->Pieces[2][2]->Width, 166);
}

}  // namespace
