// The .KVR byte layout: little-endian fields at fixed offsets, written and read byte by
// byte so that neither the host's byte order nor its structure padding matters.
#include "media/saved_game_format.h"

#include <cstring>
#include <iterator>

namespace {

// Offsets in the header.
constexpr std::size_t MagicAt = 0;
constexpr std::size_t PictureNameAt = 6;
constexpr std::size_t ElapsedAt = 261;
constexpr std::size_t EmptyXAt = 265;
constexpr std::size_t EmptyYAt = 267;
constexpr std::size_t ColumnsAt = 269;
constexpr std::size_t RowsAt = 271;
constexpr std::size_t ContentKindAt = 273;
constexpr std::size_t GameTypeAt = 275;
constexpr std::size_t HeaderReservedAt = 277;
// Offsets in a piece record: thirteen int16 fields, then the visible byte.
constexpr std::size_t VisibleAt = 26;
constexpr std::size_t RecordReservedAt = 27;

constexpr int Alphabet = 1;
constexpr int Picture = 3;
constexpr int Sliding = 1;
constexpr int Jigsaw = 2;

void Put16(std::uint8_t* p, std::int16_t value) {
  const auto v = static_cast<std::uint16_t>(value);
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::int16_t Get16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}
std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

// The record's int16 fields in file order.
std::int16_t TPieceRecord::*const RecordFields[] = {
    &TPieceRecord::SourceLeft,   &TPieceRecord::SourceTop, &TPieceRecord::SourceRight,
    &TPieceRecord::SourceBottom, &TPieceRecord::Number,    &TPieceRecord::HomeX,
    &TPieceRecord::HomeY,        &TPieceRecord::X,         &TPieceRecord::Y,
    &TPieceRecord::Left,         &TPieceRecord::Top,       &TPieceRecord::Width,
    &TPieceRecord::Height};
static_assert(std::size(RecordFields) * 2 == VisibleAt);

}  // namespace

TGameHeaderBytes EncodeGameHeader(const TGameHeader& header) {
  TGameHeaderBytes bytes{};
  std::memcpy(bytes.data() + MagicAt, header.Magic, GameMagicSize);
  std::memcpy(bytes.data() + PictureNameAt, header.PictureName, PictureNameSize);
  Put32(bytes.data() + ElapsedAt, static_cast<std::uint32_t>(header.ElapsedSeconds));
  Put16(bytes.data() + EmptyXAt, header.EmptyX);
  Put16(bytes.data() + EmptyYAt, header.EmptyY);
  Put16(bytes.data() + ColumnsAt, header.Columns);
  Put16(bytes.data() + RowsAt, header.Rows);
  Put16(bytes.data() + ContentKindAt, header.ContentKind);
  Put16(bytes.data() + GameTypeAt, header.GameType);
  Put32(bytes.data() + HeaderReservedAt, header.Reserved);
  return bytes;
}

TGameHeader DecodeGameHeader(const TGameHeaderBytes& bytes) {
  TGameHeader header;
  std::memcpy(header.Magic, bytes.data() + MagicAt, GameMagicSize);
  std::memcpy(header.PictureName, bytes.data() + PictureNameAt, PictureNameSize);
  header.ElapsedSeconds = static_cast<std::int32_t>(Get32(bytes.data() + ElapsedAt));
  header.EmptyX = Get16(bytes.data() + EmptyXAt);
  header.EmptyY = Get16(bytes.data() + EmptyYAt);
  header.Columns = Get16(bytes.data() + ColumnsAt);
  header.Rows = Get16(bytes.data() + RowsAt);
  header.ContentKind = Get16(bytes.data() + ContentKindAt);
  header.GameType = Get16(bytes.data() + GameTypeAt);
  header.Reserved = Get32(bytes.data() + HeaderReservedAt);
  return header;
}

TPieceRecordBytes EncodePieceRecord(const TPieceRecord& record) {
  TPieceRecordBytes bytes{};
  std::size_t at = 0;
  for (auto field : RecordFields) {
    Put16(bytes.data() + at, record.*field);
    at += 2;
  }
  bytes[VisibleAt] = record.Visible;
  std::memcpy(bytes.data() + RecordReservedAt, record.Reserved, sizeof record.Reserved);
  return bytes;
}

TPieceRecord DecodePieceRecord(const TPieceRecordBytes& bytes) {
  TPieceRecord record;
  std::size_t at = 0;
  for (auto field : RecordFields) {
    record.*field = Get16(bytes.data() + at);
    at += 2;
  }
  record.Visible = bytes[VisibleAt];
  std::memcpy(record.Reserved, bytes.data() + RecordReservedAt, sizeof record.Reserved);
  return record;
}

void SetGameMagic(TGameHeader& header) {
  std::memcpy(header.Magic, GameMagic, GameMagicSize);
}

bool HasGameMagic(const TGameHeader& header) {
  return std::memcmp(header.Magic, GameMagic, GameMagicSize) == 0;
}

bool SetPictureName(TGameHeader& header, const char* name) {
  std::memset(header.PictureName, 0, PictureNameSize);
  if (name == nullptr) return false;
  const std::size_t length = std::strlen(name);
  if (length >= PictureNameSize) return false;
  std::memcpy(header.PictureName, name, length);
  return true;
}

std::string PictureNameOf(const TGameHeader& header) {
  const void* end = std::memchr(header.PictureName, '\0', PictureNameSize);
  if (end == nullptr) return std::string();
  return std::string(header.PictureName, static_cast<const char*>(end));
}

int ContentKindOf(const TGameHeader& header) {
  return header.ContentKind & 0xFF;
}
int GameTypeOf(const TGameHeader& header) {
  return header.GameType & 0xFF;
}

bool IsUsableHeader(const TGameHeader& header) {
  const int columns = header.Columns;
  const int rows = header.Rows;
  const int kind = ContentKindOf(header);
  const int type = GameTypeOf(header);
  return columns >= MinSavedSide && columns <= MaxSavedSide && rows >= MinSavedSide &&
         rows <= MaxSavedSide && kind >= Alphabet && kind <= Picture &&
         (type == Sliding || type == Jigsaw) && header.EmptyX >= 0 && header.EmptyX < columns &&
         header.EmptyY >= 0 && header.EmptyY < rows &&
         std::memchr(header.PictureName, '\0', PictureNameSize) != nullptr &&
         header.ElapsedSeconds >= 0 && header.ElapsedSeconds <= MaxElapsedSeconds;
}

std::size_t PieceRecordsSize(const TGameHeader& header) {
  if (!IsUsableHeader(header)) return 0;
  return PieceRecordSize * static_cast<std::size_t>(header.Columns) *
         static_cast<std::size_t>(header.Rows);
}

bool IsConsistentBoard(const TGameHeader& header, const std::vector<TPieceRecord>& records) {
  if (!IsUsableHeader(header)) return false;
  const int columns = header.Columns;
  const int rows = header.Rows;
  const int cells = columns * rows;
  if (records.size() != static_cast<std::size_t>(cells)) return false;

  std::vector<bool> seen(static_cast<std::size_t>(cells) + 1, false);
  int blanks = 0;
  auto record = records.begin();  // row by row, as the file holds them
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column, ++record) {
      if (record->X != column || record->Y != row) return false;
      if (record->Visible > 1 || (record->Visible == 1) != (record->Number != 0)) return false;
      const int number = record->Number;
      if (number == 0) {
        ++blanks;
        continue;
      }
      if (number < 1 || number > cells || seen[static_cast<std::size_t>(number)]) return false;
      seen[static_cast<std::size_t>(number)] = true;
      if (record->HomeX < 0 || record->HomeX >= columns || record->HomeY < 0 ||
          record->HomeY >= rows || record->HomeY * columns + record->HomeX + 1 != number) {
        return false;
      }
    }
  }
  if (GameTypeOf(header) == Jigsaw) return blanks == 0;
  // The missing number is the empty-space cell's, so that the solved board has its gap
  // where the player set it.
  const int emptyNumber = header.EmptyY * columns + header.EmptyX + 1;
  return blanks == 1 && !seen[static_cast<std::size_t>(emptyNumber)];
}
