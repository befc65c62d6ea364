// The saved-game file (.KVR) as bytes: a 281-byte header, then one 35-byte record per
// board cell, row by row; little-endian and packed. Pure data, no board and no window:
// encoding, decoding, and the checks a file must pass before it may touch a board.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::size_t GameHeaderSize = 281;
constexpr std::size_t PieceRecordSize = 35;
constexpr std::size_t GameMagicSize = 6;
constexpr std::size_t PictureNameSize = 255;
constexpr const char* GameMagic = "KVR20";
// Board sides a saved game may have: the piece table holds no more.
constexpr int MinSavedSide = 3;
constexpr int MaxSavedSide = 20;
// The longest time a saved game holds: its milliseconds fit in 32 signed bits.
constexpr std::int32_t MaxElapsedSeconds = INT32_MAX / 1000;

struct TGameHeader {
  char Magic[GameMagicSize] = {};
  char PictureName[PictureNameSize] = {};
  std::int32_t ElapsedSeconds = 0;
  std::int16_t EmptyX = 0;
  std::int16_t EmptyY = 0;
  std::int16_t Columns = 0;
  std::int16_t Rows = 0;
  std::int16_t ContentKind = 0;  // 1 alphabet, 2 numeric, 3 picture, in the low byte
  std::int16_t GameType = 0;     // 1 sliding, 2 jigsaw, in the low byte
  std::uint32_t Reserved = 0;
};

struct TPieceRecord {
  std::int16_t SourceLeft = 0;
  std::int16_t SourceTop = 0;
  std::int16_t SourceRight = 0;
  std::int16_t SourceBottom = 0;
  std::int16_t Number = 0;
  std::int16_t HomeX = 0;
  std::int16_t HomeY = 0;
  std::int16_t X = 0;
  std::int16_t Y = 0;
  std::int16_t Left = 0;
  std::int16_t Top = 0;
  std::int16_t Width = 0;
  std::int16_t Height = 0;
  std::uint8_t Visible = 0;
  std::uint8_t Reserved[8] = {};
};

using TGameHeaderBytes = std::array<std::uint8_t, GameHeaderSize>;
using TPieceRecordBytes = std::array<std::uint8_t, PieceRecordSize>;

TGameHeaderBytes EncodeGameHeader(const TGameHeader& header);
TGameHeader DecodeGameHeader(const TGameHeaderBytes& bytes);
TPieceRecordBytes EncodePieceRecord(const TPieceRecord& record);
TPieceRecord DecodePieceRecord(const TPieceRecordBytes& bytes);

// Writes "KVR20" and its zero byte.
void SetGameMagic(TGameHeader& header);
// The text at offset 0 is exactly "KVR20", zero byte included.
bool HasGameMagic(const TGameHeader& header);
// Copies name with its terminator and zeros after it; false, leaving the field empty,
// when it does not fit.
bool SetPictureName(TGameHeader& header, const char* name);
// The name up to its terminator (empty when there is none).
std::string PictureNameOf(const TGameHeader& header);

// The low byte of the kind and type fields, as the reader takes them.
int ContentKindOf(const TGameHeader& header);
int GameTypeOf(const TGameHeader& header);

// The header describes a board we can hold: sides 3..20, a known content kind and game
// type, the empty-space cell on the board, a terminated picture name and a playing time
// from 0 to MaxElapsedSeconds.
bool IsUsableHeader(const TGameHeader& header);
// Bytes of the records that follow a usable header.
std::size_t PieceRecordsSize(const TGameHeader& header);
// The records, row by row, are a board position of a usable header: each stands on its
// own cell; the numbers are 1 .. columns x rows once each, except that a sliding board
// has 0 in place of the number of its empty-space cell; every numbered record's home cell
// agrees with its number; exactly the numbered records are visible.
bool IsConsistentBoard(const TGameHeader& header, const std::vector<TPieceRecord>& records);
