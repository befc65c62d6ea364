// The .KVR byte layout: field offsets, byte order and sign, and the checks that keep a
// damaged or foreign file away from the board.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "media/saved_game_format.h"

namespace {

// A board position given as text, row by row: "1 2 3 / 4 _ 6 / 7 8 5" (_ is the empty
// space). Home cells follow the numbers, records stand on their own cells.
std::vector<TPieceRecord> Board(const std::string& text, int columns) {
  std::vector<TPieceRecord> records;
  std::size_t at = 0;
  int cell = 0;
  while (at < text.size()) {
    if (text[at] == ' ' || text[at] == '/') {
      ++at;
      continue;
    }
    TPieceRecord r;
    if (text[at] == '_') {
      ++at;
    } else {
      std::size_t used = 0;
      r.Number = static_cast<std::int16_t>(std::stoi(text.substr(at), &used));
      at += used;
      r.HomeX = static_cast<std::int16_t>((r.Number - 1) % columns);
      r.HomeY = static_cast<std::int16_t>((r.Number - 1) / columns);
    }
    r.X = static_cast<std::int16_t>(cell % columns);
    r.Y = static_cast<std::int16_t>(cell / columns);
    r.Visible = r.Number != 0 ? 1 : 0;
    records.push_back(r);
    ++cell;
  }
  return records;
}

TGameHeader Header(int columns, int rows, int type, int emptyX, int emptyY) {
  TGameHeader h;
  SetGameMagic(h);
  EXPECT_TRUE(SetPictureName(h, "Numeric"));
  h.Columns = static_cast<std::int16_t>(columns);
  h.Rows = static_cast<std::int16_t>(rows);
  h.ContentKind = 2;
  h.GameType = static_cast<std::int16_t>(type);
  h.EmptyX = static_cast<std::int16_t>(emptyX);
  h.EmptyY = static_cast<std::int16_t>(emptyY);
  return h;
}

// ---------------------------------------------------------------------------------------
// Layout

TEST(GameHeaderLayout, FieldsSitAtTheirOffsetsLittleEndian) {
  TGameHeader h;
  SetGameMagic(h);
  ASSERT_TRUE(SetPictureName(h, "C:/pics/cat.bmp"));
  h.ElapsedSeconds = 0x01020304;
  h.EmptyX = 0x0506;
  h.EmptyY = 0x0708;
  h.Columns = 0x090A;
  h.Rows = 0x0B0C;
  h.ContentKind = 0x0D0E;
  h.GameType = 0x0F10;
  h.Reserved = 0x11121314;
  const TGameHeaderBytes b = EncodeGameHeader(h);
  ASSERT_EQ(b.size(), 281u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data()), 6), std::string("KVR20\0", 6));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + 6)), "C:/pics/cat.bmp");
  EXPECT_EQ(b[6 + 15], 0);
  const std::vector<int> tail(b.begin() + 261, b.end());
  EXPECT_EQ(tail, (std::vector<int>{0x04, 0x03, 0x02, 0x01, 0x06, 0x05, 0x08, 0x07, 0x0A, 0x09,
                                    0x0C, 0x0B, 0x0E, 0x0D, 0x10, 0x0F, 0x14, 0x13, 0x12, 0x11}));
}

TEST(GameHeaderLayout, DecodingMirrorsEncodingAndSignExtends) {
  TGameHeader h;
  SetGameMagic(h);
  ASSERT_TRUE(SetPictureName(h, "Alphabet"));
  h.ElapsedSeconds = -2;
  h.EmptyX = -1;
  h.EmptyY = 32767;
  h.Columns = -32768;
  h.Rows = 7;
  h.ContentKind = 0x0103;
  h.GameType = 2;
  const TGameHeader back = DecodeGameHeader(EncodeGameHeader(h));
  EXPECT_TRUE(HasGameMagic(back));
  EXPECT_EQ(PictureNameOf(back), "Alphabet");
  EXPECT_EQ(back.ElapsedSeconds, -2);
  EXPECT_EQ(back.EmptyX, -1);
  EXPECT_EQ(back.EmptyY, 32767);
  EXPECT_EQ(back.Columns, -32768);
  EXPECT_EQ(back.Rows, 7);
  EXPECT_EQ(ContentKindOf(back), 3);  // the low byte
  EXPECT_EQ(GameTypeOf(back), 2);
}

TEST(PieceRecordLayout, ThirteenWordsThenVisibleThenEightReservedBytes) {
  TPieceRecord r;
  std::int16_t value = 0x0101;
  for (std::int16_t* field :
       {&r.SourceLeft, &r.SourceTop, &r.SourceRight, &r.SourceBottom, &r.Number, &r.HomeX, &r.HomeY,
        &r.X, &r.Y, &r.Left, &r.Top, &r.Width, &r.Height}) {
    *field = value;
    value = static_cast<std::int16_t>(value + 0x0101);
  }
  r.Visible = 1;
  const TPieceRecordBytes b = EncodePieceRecord(r);
  ASSERT_EQ(b.size(), 35u);
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(b[2 * i], i + 1) << "field " << i;
    EXPECT_EQ(b[2 * i + 1], i + 1) << "field " << i;
  }
  EXPECT_EQ(b[26], 1);
  for (int i = 27; i < 35; ++i) EXPECT_EQ(b[i], 0);
}

TEST(PieceRecordLayout, NegativeValuesRoundTrip) {
  TPieceRecord r;
  r.SourceLeft = -32768;
  r.Left = -5;
  r.Width = 32767;
  r.Visible = 7;
  r.Reserved[3] = 9;
  const TPieceRecord back = DecodePieceRecord(EncodePieceRecord(r));
  EXPECT_EQ(back.SourceLeft, -32768);
  EXPECT_EQ(back.Left, -5);
  EXPECT_EQ(back.Width, 32767);
  EXPECT_EQ(back.Visible, 7);
  EXPECT_EQ(back.Reserved[3], 9);
  EXPECT_EQ(EncodePieceRecord(r)[0], 0x00);
  EXPECT_EQ(EncodePieceRecord(r)[1], 0x80);
}

// ---------------------------------------------------------------------------------------
// Magic and picture name

TEST(GameMagic, EveryCharacterAndTheZeroByteCount) {
  TGameHeader h;
  SetGameMagic(h);
  EXPECT_TRUE(HasGameMagic(h));
  for (std::size_t i = 0; i < GameMagicSize; ++i) {
    SCOPED_TRACE(i);
    TGameHeader changed = h;
    changed.Magic[i] = static_cast<char>(changed.Magic[i] ^ 0x20);
    EXPECT_FALSE(HasGameMagic(changed));
  }
  TGameHeader lower = h;
  lower.Magic[0] = 'k';
  EXPECT_FALSE(HasGameMagic(lower));
}

TEST(PictureName, FitsUpTo254CharactersWithItsTerminator) {
  TGameHeader h;
  const std::string longest(254, 'p');
  ASSERT_TRUE(SetPictureName(h, longest.c_str()));
  EXPECT_EQ(PictureNameOf(h), longest);
  EXPECT_EQ(h.PictureName[254], '\0');
  const std::string tooLong(255, 'p');
  EXPECT_FALSE(SetPictureName(h, tooLong.c_str()));
  EXPECT_EQ(PictureNameOf(h), "");
  EXPECT_FALSE(SetPictureName(h, nullptr));
}

TEST(PictureName, BytesAfterTheTerminatorAreZeroAndIgnored) {
  TGameHeader h;
  std::memset(h.PictureName, 'x', sizeof h.PictureName);
  ASSERT_TRUE(SetPictureName(h, "cat.jpg"));
  for (std::size_t i = 7; i < PictureNameSize; ++i) ASSERT_EQ(h.PictureName[i], '\0') << i;
  h.PictureName[100] = 'q';
  EXPECT_EQ(PictureNameOf(h), "cat.jpg");
}

// ---------------------------------------------------------------------------------------
// Headers a board can take

TEST(UsableHeader, SidesKindTypeEmptyCellNameAndTime) {
  EXPECT_TRUE(IsUsableHeader(Header(3, 3, 1, 2, 2)));
  EXPECT_TRUE(IsUsableHeader(Header(20, 20, 2, 0, 0)));
  const std::vector<std::pair<std::string, std::function<void(TGameHeader&)>>> bad = {
      {"2 columns", [](TGameHeader& h) { h.Columns = 2; }},
      {"21 columns", [](TGameHeader& h) { h.Columns = 21; }},
      {"negative rows", [](TGameHeader& h) { h.Rows = -4; }},
      {"21 rows", [](TGameHeader& h) { h.Rows = 21; }},
      {"kind 0", [](TGameHeader& h) { h.ContentKind = 0; }},
      {"kind 4", [](TGameHeader& h) { h.ContentKind = 4; }},
      {"type 0", [](TGameHeader& h) { h.GameType = 0; }},
      {"type 3", [](TGameHeader& h) { h.GameType = 0x0103; }},
      {"empty column off the board", [](TGameHeader& h) { h.EmptyX = 5; }},
      {"empty row off the board", [](TGameHeader& h) { h.EmptyY = -1; }},
      {"unterminated name",
       [](TGameHeader& h) { std::memset(h.PictureName, 'a', sizeof h.PictureName); }},
      {"negative time", [](TGameHeader& h) { h.ElapsedSeconds = -1; }},
      {"time beyond the clock", [](TGameHeader& h) { h.ElapsedSeconds = MaxElapsedSeconds + 1; }},
  };
  for (const auto& [name, change] : bad) {
    SCOPED_TRACE(name);
    TGameHeader h = Header(5, 4, 1, 4, 3);
    ASSERT_TRUE(IsUsableHeader(h));
    change(h);
    EXPECT_FALSE(IsUsableHeader(h));
    EXPECT_EQ(PieceRecordsSize(h), 0u);
  }
  TGameHeader highBytes = Header(5, 4, 1, 4, 3);
  highBytes.ContentKind = 0x7F01;  // only the low byte counts
  highBytes.GameType = 0x3302;
  EXPECT_TRUE(IsUsableHeader(highBytes));
  EXPECT_EQ(PieceRecordsSize(highBytes), 35u * 20);
}

// ---------------------------------------------------------------------------------------
// Board positions

TEST(ConsistentBoard, SlidingBoardsHaveOneGapWhereTheEmptyCellsNumberIsMissing) {
  const TGameHeader h = Header(3, 3, 1, 1, 1);  // empty home: the middle, number 5
  EXPECT_TRUE(IsConsistentBoard(h, Board("1 2 3 / 4 _ 6 / 7 8 9", 3)));
  EXPECT_TRUE(IsConsistentBoard(h, Board("_ 9 8 / 7 6 4 / 3 2 1", 3)));
  EXPECT_FALSE(IsConsistentBoard(h, Board("1 2 3 / 4 5 6 / 7 8 _", 3)));  // 9 missing
  EXPECT_FALSE(IsConsistentBoard(h, Board("1 2 3 / 4 5 6 / 7 8 9", 3)));  // no gap
  EXPECT_FALSE(IsConsistentBoard(h, Board("1 2 3 / 4 _ _ / 7 8 9", 3)));  // two gaps
  EXPECT_FALSE(IsConsistentBoard(h, Board("1 2 3 / 4 _ 6 / 7 8 8", 3)));  // 8 twice
  EXPECT_FALSE(IsConsistentBoard(h, Board("1 2 3 / 4 _ 6 / 7 8 10", 3)));
  EXPECT_FALSE(IsConsistentBoard(h, Board("1 2 3 / 4 _ 6 / 7 8 -1", 3)));
  EXPECT_FALSE(IsConsistentBoard(h, Board("1 2 3 / 4 _ 6 / 7 8", 3)));  // one short
}

TEST(ConsistentBoard, JigsawBoardsHoldEveryNumberOnce) {
  const TGameHeader h = Header(4, 3, 2, 3, 2);
  EXPECT_TRUE(IsConsistentBoard(h, Board("12 11 10 9 / 8 7 6 5 / 4 3 2 1", 4)));
  EXPECT_FALSE(IsConsistentBoard(h, Board("12 11 10 9 / 8 7 6 5 / 4 3 2 _", 4)));
  EXPECT_FALSE(IsConsistentBoard(h, Board("12 11 10 9 / 8 7 6 5 / 4 3 2 2", 4)));
}

TEST(ConsistentBoard, EachRecordStandsOnItsCellWithItsHomeAndVisibility) {
  const TGameHeader h = Header(3, 3, 1, 2, 2);
  const std::vector<TPieceRecord> good = Board("2 1 3 / 4 5 6 / 7 8 _", 3);
  ASSERT_TRUE(IsConsistentBoard(h, good));
  const std::vector<std::pair<std::string, std::function<void(std::vector<TPieceRecord>&)>>> bad = {
      {"X not its column", [](auto& r) { r[1].X = 0; }},
      {"Y not its row", [](auto& r) { r[4].Y = 2; }},
      {"home column disagrees", [](auto& r) { r[0].HomeX = 0; }},
      {"home row disagrees", [](auto& r) { r[3].HomeY = 0; }},
      {"home off the board with a matching number",  // 1 x 3 - 2 + 1 = 2
       [](auto& r) { r[0].HomeX = -2, r[0].HomeY = 1; }},
      {"numbered piece hidden", [](auto& r) { r[0].Visible = 0; }},
      {"gap visible", [](auto& r) { r[8].Visible = 1; }},
      {"visible byte 2", [](auto& r) { r[0].Visible = 2; }},
  };
  for (const auto& [name, change] : bad) {
    SCOPED_TRACE(name);
    std::vector<TPieceRecord> records = good;
    change(records);
    EXPECT_FALSE(IsConsistentBoard(h, records));
  }
  // The gap's own fields mean nothing.
  std::vector<TPieceRecord> records = good;
  records[8].HomeX = -300;
  records[8].SourceLeft = 999;
  EXPECT_TRUE(IsConsistentBoard(h, records));
}

}  // namespace
