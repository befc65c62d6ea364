// Rules of play: slides, clicks in both game types, the scramble, the solved test, and a
// model-based run of random play checking the board's invariants after every step.
#include <algorithm>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "board_fixture.h"
#include "puzzle/random.h"

namespace {

TEST(Random, ReproducesTheSequenceFromASeed) {
  SeedRandom(1);
  const std::uint32_t expected[] = {346, 13854878, 1621890440, 816282396, 1778554774};
  for (std::uint32_t value : expected) EXPECT_EQ(NextRandom(), value);
}

TEST(Slides, MoveOnePieceIntoTheEmptySpaceOrRefuseAtTheEdge) {
  TBoardRig rig(3, 3);
  TPuzzle& b = *rig.Board;
  SetBoard(b, "1 2 3 / 4 5 6 / 7 8 _");
  EXPECT_FALSE(b.MoveEmptyRight(false));
  EXPECT_FALSE(b.MoveEmptyDown(false));
  EXPECT_EQ(BoardText(b), "1 2 3 / 4 5 6 / 7 8 _");
  EXPECT_TRUE(b.MoveEmptyLeft(false));
  EXPECT_EQ(BoardText(b), "1 2 3 / 4 5 6 / 7 _ 8");
  EXPECT_TRUE(b.MoveEmptyUp(false));
  EXPECT_EQ(BoardText(b), "1 2 3 / 4 _ 6 / 7 5 8");
  EXPECT_EQ(b.ActiveX, 1);
  EXPECT_EQ(b.ActiveY, 1);
  // The content travels with the number.
  EXPECT_EQ(b.Pieces[2][1]->HomeX, 1);
  EXPECT_EQ(b.Pieces[2][1]->HomeY, 1);
  EXPECT_EQ(b.CountFalse(), 2);
}

TEST(SlidingClicks, ARunSlidesWithOneTestAndOneSound) {
  TBoardRig rig(4, 4);
  TSoundLog sounds;
  TPuzzle& b = *rig.Board;
  SetBoard(b, "1 2 3 4 / 5 6 7 8 / 9 10 11 12 / 13 14 15 _");
  b.ClickPiece(b.Pieces[0][3]);
  EXPECT_EQ(BoardText(b), "1 2 3 _ / 5 6 7 4 / 9 10 11 8 / 13 14 15 12");
  EXPECT_EQ(rig.Parent.Notes, std::vector<UINT>{WM_PUZZLEMOVED});
  EXPECT_EQ(sounds.Played, std::vector<int>{WAVE_SLIDE});
  // A piece in the same row: the run slides along the row.
  b.ClickPiece(b.Pieces[0][0]);
  EXPECT_EQ(BoardText(b), "_ 1 2 3 / 5 6 7 4 / 9 10 11 8 / 13 14 15 12");
}

TEST(SlidingClicks, OffLineClickDoesNothingAndEmptyClickTestsWithSound) {
  TBoardRig rig(3, 3);
  TSoundLog sounds;
  TPuzzle& b = *rig.Board;
  SetBoard(b, "1 2 3 / 4 _ 6 / 7 8 5");
  b.ClickPiece(b.Pieces[0][0]);
  EXPECT_EQ(BoardText(b), "1 2 3 / 4 _ 6 / 7 8 5");
  EXPECT_TRUE(rig.Parent.Notes.empty());
  EXPECT_TRUE(sounds.Played.empty());
  b.ClickPiece(b.Pieces[1][1]);
  EXPECT_EQ(rig.Parent.Notes, std::vector<UINT>{WM_PUZZLEMOVED});
  EXPECT_EQ(sounds.Played, std::vector<int>{WAVE_SLIDE});
}

TEST(SlidingClicks, TheSolvingMoveNotifiesTwiceAndPlaysNoClick) {
  TBoardRig rig(3, 3);
  TSoundLog sounds;
  TPuzzle& b = *rig.Board;
  SetBoard(b, "1 2 3 / 4 5 6 / 7 _ 8");
  b.ClickPiece(b.Pieces[2][2]);
  EXPECT_EQ(BoardText(b), "1 2 3 / 4 5 6 / 7 8 _");
  EXPECT_EQ(rig.Parent.Notes, (std::vector<UINT>{WM_PUZZLEMOVED, WM_PUZZLESOLVED}));
  EXPECT_TRUE(b.Idle);
  EXPECT_TRUE(sounds.Played.empty());
}

TEST(SlidingClicks, SoundOffPlaysNothing) {
  TBoardRig rig(3, 3);
  TSoundLog sounds;
  TPuzzle& b = *rig.Board;
  b.SoundOn = false;
  SetBoard(b, "1 2 3 / 4 5 6 / 7 _ 8");
  b.ClickPiece(b.Pieces[2][0]);
  EXPECT_EQ(BoardText(b), "1 2 3 / 4 5 6 / _ 7 8");
  EXPECT_TRUE(sounds.Played.empty());
  EXPECT_EQ(sounds.Stops, 0);
}

TEST(SolvedTest, SkipsTheEmptyHomeWhereverItIs) {
  TBoardRig rig(3, 3);
  TPuzzle& b = *rig.Board;
  b.EmptyX = 1;
  b.EmptyY = 1;
  SetBoard(b, "1 2 3 / 4 _ 6 / 7 8 9");
  b.CheckSolved();
  EXPECT_TRUE(b.Idle);
  EXPECT_EQ(rig.Parent.Notes, (std::vector<UINT>{WM_PUZZLEMOVED, WM_PUZZLESOLVED}));
  // The empty space away from its home is never counted as a misplaced piece.
  SetBoard(b, "1 2 3 / 4 6 _ / 7 8 9");
  EXPECT_EQ(b.CountFalse(), 1);
  rig.Parent.Notes.clear();
  b.CheckSolved();
  EXPECT_FALSE(b.Idle);
  EXPECT_EQ(rig.Parent.Notes, std::vector<UINT>{WM_PUZZLEMOVED});
}

TEST(JigsawClicks, SelectDeselectAndSwapWithTheirSounds) {
  TBoardRig rig(3, 3, TGameType::Jigsaw);
  TSoundLog sounds;
  TPuzzle& b = *rig.Board;
  SetBoard(b, "2 1 3 / 4 5 6 / 9 8 7");
  b.ClickPiece(b.Pieces[0][0]);
  EXPECT_EQ(b.ActiveX, 0);
  EXPECT_EQ(b.ActiveY, 0);
  b.ClickPiece(b.Pieces[0][0]);
  EXPECT_EQ(b.ActiveX, -1);
  EXPECT_EQ(sounds.Played, (std::vector<int>{WAVE_SLIDE, WAVE_SLIDE}));
  EXPECT_TRUE(rig.Parent.Notes.empty());

  b.ClickPiece(b.Pieces[0][0]);
  b.ClickPiece(b.Pieces[0][1]);
  EXPECT_EQ(BoardText(b), "1 2 3 / 4 5 6 / 9 8 7");
  EXPECT_EQ(b.ActiveX, -1);
  EXPECT_EQ(b.Pieces[0][0]->HomeX, 0);
  EXPECT_EQ(sounds.Played.back(), WAVE_SWAP);
  EXPECT_EQ(rig.Parent.Notes, std::vector<UINT>{WM_PUZZLEMOVED});

  // The swap that solves the board plays no click and leaves no selection.
  b.ClickPiece(b.Pieces[2][2]);
  b.ClickPiece(b.Pieces[2][0]);
  EXPECT_EQ(BoardText(b), "1 2 3 / 4 5 6 / 7 8 9");
  EXPECT_TRUE(b.Idle);
  EXPECT_EQ(b.ActiveX, -1);
  EXPECT_EQ(sounds.Played.back(), WAVE_SLIDE);  // only the selection click
  EXPECT_EQ(rig.Parent.Notes.back(), WM_PUZZLESOLVED);
}

TEST(Scramble, SlidingUsesTenThousandDrawsAndIsReplayable) {
  TBoardRig rig(4, 4);
  TPuzzle& b = *rig.Board;
  SeedRandom(12345);
  b.Scramble();
  EXPECT_FALSE(b.Idle);
  const std::string first = BoardText(b);
  EXPECT_NE(first, "1 2 3 4 / 5 6 7 8 / 9 10 11 12 / 13 14 15 _");
  // Exactly 10,000 draws were used: the next one is the 10,001st of the sequence.
  const std::uint32_t next = NextRandom();
  SeedRandom(12345);
  for (int i = 0; i < 10000; ++i) NextRandom();
  EXPECT_EQ(NextRandom(), next);

  b.SetSize(4, 4);
  SeedRandom(12345);
  b.Scramble();
  EXPECT_EQ(BoardText(b), first);
}

TEST(Scramble, JigsawUsesFourDrawsPerSwapAndClearsTheSelection) {
  TBoardRig rig(5, 4, TGameType::Jigsaw);
  TPuzzle& b = *rig.Board;
  b.ActiveX = 2;
  b.ActiveY = 2;
  SeedRandom(12345);
  b.Scramble();
  EXPECT_EQ(NextRandom(), 2039383832u);  // the 40,001st draw from seed 12345
  EXPECT_EQ(b.ActiveX, -1);
  EXPECT_EQ(b.ActiveY, -1);
  std::set<int> numbers;
  for (int y = 0; y < b.Rows; ++y) {
    for (int x = 0; x < b.Columns; ++x) numbers.insert(b.Pieces[y][x]->Number);
  }
  EXPECT_EQ(numbers.size(), 20u);
  EXPECT_EQ(*numbers.begin(), 1);
  EXPECT_EQ(*numbers.rbegin(), 20);
}

// --- Model-based: random play on random boards --------------------------------------------

// Whether a sliding position can be solved: the parity of the permutation of the cells
// (empty included, each cell holding the number of its content's home) must equal the
// parity of the empty space's distance from its home.
bool Solvable(const TPuzzle& b) {
  const int cells = b.Columns * b.Rows;
  const int emptyHome = b.EmptyY * b.Columns + b.EmptyX;
  std::vector<int> where(cells);
  int emptyAt = 0;
  for (int y = 0; y < b.Rows; ++y) {
    for (int x = 0; x < b.Columns; ++x) {
      const int n = b.Pieces[y][x]->Number;
      const int cell = y * b.Columns + x;
      where[cell] = n == 0 ? emptyHome : n - 1;
      if (n == 0) emptyAt = cell;
    }
  }
  int transpositions = 0;
  std::vector<bool> seen(cells);
  for (int i = 0; i < cells; ++i) {
    int length = 0;
    for (int j = i; !seen[j]; j = where[j], ++length) seen[j] = true;
    if (length > 0) transpositions += length - 1;
  }
  const int distance =
      std::abs(emptyAt % b.Columns - b.EmptyX) + std::abs(emptyAt / b.Columns - b.EmptyY);
  return transpositions % 2 == distance % 2;
}

void ExpectInvariants(const TPuzzle& b, bool visibleSettled) {
  ASSERT_GE(b.Columns, 3);
  ASSERT_LE(b.Columns, MaxSide);
  ASSERT_GE(b.Rows, 3);
  ASSERT_LE(b.Rows, MaxSide);
  ASSERT_GE(b.EmptyX, 0);
  ASSERT_LT(b.EmptyX, b.Columns);
  ASSERT_GE(b.EmptyY, 0);
  ASSERT_LT(b.EmptyY, b.Rows);
  const bool sliding = b.GameType == TGameType::Sliding;
  std::vector<int> numbers;
  for (int y = 0; y < MaxSide; ++y) {
    for (int x = 0; x < MaxSide; ++x) {
      const TTombol& p = *b.Pieces[y][x];
      ASSERT_EQ(p.X, x);
      ASSERT_EQ(p.Y, y);
      const bool inside = x < b.Columns && y < b.Rows;
      if (!inside) {
        ASSERT_FALSE(p.Visible) << x << "," << y;
        continue;
      }
      numbers.push_back(p.Number);
      if (p.Number != 0) {
        ASSERT_EQ(p.Number, p.HomeY * b.Columns + p.HomeX + 1);
      }
      if (visibleSettled) {
        ASSERT_EQ(p.Visible, p.Number != 0) << x << "," << y;
      }
    }
  }
  std::sort(numbers.begin(), numbers.end());
  std::vector<int> expected;
  const int emptyNumber = b.EmptyY * b.Columns + b.EmptyX + 1;
  for (int n = 1; n <= b.Columns * b.Rows; ++n)
    expected.push_back(sliding && n == emptyNumber ? 0 : n);
  std::sort(expected.begin(), expected.end());
  ASSERT_EQ(numbers, expected);
  if (sliding) {
    ASSERT_GE(b.ActiveX, 0);
    ASSERT_LT(b.ActiveX, b.Columns);
    ASSERT_GE(b.ActiveY, 0);
    ASSERT_LT(b.ActiveY, b.Rows);
    ASSERT_EQ(b.Pieces[b.ActiveY][b.ActiveX]->Number, 0);
    ASSERT_TRUE(Solvable(b));
  } else if (b.ActiveX != -1 || b.ActiveY != -1) {
    ASSERT_GE(b.ActiveX, 0);
    ASSERT_LT(b.ActiveX, b.Columns);
    ASSERT_GE(b.ActiveY, 0);
    ASSERT_LT(b.ActiveY, b.Rows);
  }
}

TEST(ModelBased, RandomPlayKeepsEveryInvariant) {
  TSoundLog sounds;
  std::mt19937 rng(20261207);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  SeedRandom(7);
  for (int round = 0; round < 12; ++round) {
    TBoardRig rig(3 + pick(18), 3 + pick(18),
                  pick(2) == 0 ? TGameType::Sliding : TGameType::Jigsaw);
    TPuzzle& b = *rig.Board;
    ExpectInvariants(b, true);
    b.Scramble();
    ExpectInvariants(b, true);
    for (int step = 0; step < 1500 && !HasFatalFailure(); ++step) {
      const int action = pick(100);
      if (action < 55) {
        b.ClickPiece(b.Pieces[pick(b.Rows)][pick(b.Columns)]);
      } else if (action < 85) {
        if (b.GameType == TGameType::Sliding) {
          switch (pick(4)) {
            case 0:
              b.MoveEmptyLeft(true);
              break;
            case 1:
              b.MoveEmptyRight(true);
              break;
            case 2:
              b.MoveEmptyUp(true);
              break;
            default:
              b.MoveEmptyDown(true);
              break;
          }
          b.CheckSolved();
        }
      } else if (action < 90) {
        b.Scramble();
      } else if (action < 94) {
        b.EmptyX = pick(b.Columns);
        b.EmptyY = pick(b.Rows);
        b.SetSize(3 + pick(18), 3 + pick(18));
        b.Scramble();
      } else if (action < 97) {
        b.SetGameType(pick(2) == 0 ? TGameType::Sliding : TGameType::Jigsaw);
        b.Scramble();
      } else {
        b.Reset();
        ASSERT_EQ(b.CountFalse(), 0);
      }
      ExpectInvariants(b, true);
    }
  }
}

}  // namespace
