// The board model: sizes, the empty space's home, numbering, content kinds, labels.
#include <gtest/gtest.h>

#include "board_fixture.h"
#include "puzzle/labels.h"

namespace {

TEST(BoardSize, OutOfRangeSidesBecomeThree) {
  TBoardRig rig(4, 4);
  rig.Board->SetSize(25, 25);
  EXPECT_EQ(rig.Board->Columns, 3);
  EXPECT_EQ(rig.Board->Rows, 3);
  rig.Board->SetSize(20, 2);
  EXPECT_EQ(rig.Board->Columns, 20);
  EXPECT_EQ(rig.Board->Rows, 3);
  rig.Board->SetSize(-1, 0);
  EXPECT_EQ(rig.Board->Columns, 3);
  // The constructor takes small sides up to three as well.
  TRecordingParent parent;
  auto* small = new TPuzzle(1, 2, &parent);
  EXPECT_EQ(small->Columns, 3);
  EXPECT_EQ(small->Rows, 3);
}

TEST(BoardSize, EmptyHomeFollowsTheCornerOrStaysOrIsClamped) {
  TBoardRig rig(4, 4);
  TPuzzle& b = *rig.Board;
  b.SetSize(6, 5);
  EXPECT_EQ(b.EmptyX, 5);
  EXPECT_EQ(b.EmptyY, 4);
  b.EmptyX = 1;
  b.EmptyY = 1;
  b.SetSize(4, 4);
  EXPECT_EQ(b.EmptyX, 1);
  EXPECT_EQ(b.EmptyY, 1);
  b.SetSize(6, 6);
  b.EmptyX = 5;
  b.EmptyY = 2;
  b.SetSize(4, 4);
  EXPECT_EQ(b.EmptyX, 3);
  EXPECT_EQ(b.EmptyY, 2);
}

TEST(BoardSize, NumbersInSolvedOrderAroundTheEmptyHome) {
  TBoardRig rig(4, 4);
  TPuzzle& b = *rig.Board;
  b.EmptyX = 1;
  b.EmptyY = 1;
  b.SetSize(3, 3);
  EXPECT_EQ(BoardText(b), "1 2 3 / 4 _ 6 / 7 8 9");
  EXPECT_EQ(b.ActiveX, 1);
  EXPECT_EQ(b.ActiveY, 1);
  EXPECT_TRUE(b.Idle);
  EXPECT_FALSE(b.Pieces[1][1]->Visible);
  // Cells beyond the board keep their objects, hidden, and never count.
  for (int x = 3; x < MaxSide; ++x) {
    EXPECT_FALSE(b.Pieces[0][x]->Visible);
    EXPECT_EQ(b.Pieces[0][x]->X, x);
  }
  EXPECT_EQ(b.CountFalse(), 0);

  b.SetGameType(TGameType::Jigsaw);
  EXPECT_EQ(BoardText(b), "1 2 3 / 4 5 6 / 7 8 9");
  EXPECT_EQ(b.ActiveX, -1);
  EXPECT_TRUE(b.Pieces[1][1]->Visible);
}

TEST(BoardSize, TileColourCarriesOverToTheNewSize) {
  TBoardRig rig(3, 3);
  rig.Board->SetPiecesColor(0x123456);
  rig.Board->SetSize(5, 4);
  EXPECT_EQ(rig.Board->Pieces[3][4]->Color, 0x123456u);
  EXPECT_EQ(rig.Board->Pieces[19][19]->Color, 0x123456u);
}

TEST(BoardContent, PictureSplitsIntoSourceRectanglesAndContentKindDropsIt) {
  TBoardRig rig(3, 3);
  TPuzzle& b = *rig.Board;
  b.Picture = std::make_unique<TBitmap>(302, 200);
  b.SetOwnedPalette(std::make_unique<THalftonePalette>());
  b.SplitPicture();
  EXPECT_EQ(b.ContentKind, TContentKind::Picture);
  // The remainder at the right and bottom is never shown.
  EXPECT_EQ(b.Pieces[0][0]->Source, TRect(0, 0, 100, 66));
  EXPECT_EQ(b.Pieces[2][2]->Source, TRect(200, 132, 300, 198));
  b.SetContentKind(TContentKind::Numeric);
  EXPECT_EQ(b.ContentKind, TContentKind::Numeric);
  EXPECT_EQ(b.Picture, nullptr);
  EXPECT_EQ(b.Palette, nullptr);
  // Without a picture, splitting changes nothing.
  b.SplitPicture();
  EXPECT_EQ(b.ContentKind, TContentKind::Numeric);
}

TEST(BoardContent, HalftonePaletteSurvivesContentChanges) {
  TBoardRig rig(3, 3);
  TPuzzle& b = *rig.Board;
  b.HalftonePalette = std::make_unique<THalftonePalette>();
  b.UseHalftonePalette();
  EXPECT_EQ(b.Palette, b.HalftonePalette.get());
  b.SetContentKind(TContentKind::Alphabet);
  EXPECT_EQ(b.Palette, nullptr);
  ASSERT_NE(b.HalftonePalette, nullptr);
  EXPECT_EQ(b.HalftonePalette->GetNumEntries(), 256);
}

TEST(Labels, LettersRunThroughBothCasesThenPairs) {
  const std::pair<int, const char*> cases[] = {{1, "A"},    {26, "Z"},   {27, "a"},
                                               {52, "z"},   {53, "AA"},  {79, "Aa"},
                                               {104, "Az"}, {105, "BA"}, {400, "Gj"}};
  for (const auto& [number, text] : cases) {
    EXPECT_EQ(LabelText(TContentKind::Alphabet, number), text) << number;
  }
  EXPECT_EQ(LabelText(TContentKind::Numeric, 121), "121");
  EXPECT_EQ(LabelText(TContentKind::Alphabet, 0), "");
}

}  // namespace
