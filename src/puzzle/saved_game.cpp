// TPuzzle::SaveGame and LoadGame: the board's position to and from a .KVR file. A file
// is checked whole before it touches the board, and a save replaces the old file only
// once everything was written.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <system_error>
#include <vector>

#include "framework/text/translation.h"
#include "media/saved_game_format.h"
#include "platform/replace_file.h"
#include "puzzle/puzzle.h"

namespace {

constexpr const char* AlphabetName = "Alphabet";
constexpr const char* NumericName = "Numeric";
constexpr const char* ClipboardPictureName = "[clipboard]";

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

// A directory opens for reading on some systems, only to fail at the first read: it is no
// file that can be opened.
TFile OpenToRead(const char* path) {
  if (path == nullptr) return nullptr;
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return nullptr;
  return TFile(std::fopen(path, "rb"));
}

// The file keeps the low 16 bits of each value.
std::int16_t Low16(int value) {
  return static_cast<std::int16_t>(value);
}

TPieceRecord RecordOf(const TTombol& piece) {
  TPieceRecord record;
  record.SourceLeft = Low16(piece.Source.left);
  record.SourceTop = Low16(piece.Source.top);
  record.SourceRight = Low16(piece.Source.right);
  record.SourceBottom = Low16(piece.Source.bottom);
  record.Number = Low16(piece.Number);
  record.HomeX = Low16(piece.HomeX);
  record.HomeY = Low16(piece.HomeY);
  record.X = Low16(piece.X);
  record.Y = Low16(piece.Y);
  record.Left = Low16(piece.Left);
  record.Top = Low16(piece.Top);
  record.Width = Low16(piece.Width);
  record.Height = Low16(piece.Height);
  record.Visible = piece.Visible ? 1 : 0;
  return record;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> TPuzzle::SavedGameBytes(const char* pictureName,
                                                                 int elapsedSeconds) {
  TGameHeader header;
  SetGameMagic(header);
  const char* name = ContentKind == TContentKind::Alphabet  ? AlphabetName
                     : ContentKind == TContentKind::Numeric ? NumericName
                                                            : pictureName;
  // A picture game whose picture cannot be named in the file, or a time no clock could
  // have run, could never be restored.
  if (!SetPictureName(header, name) || elapsedSeconds < 0 || elapsedSeconds > MaxElapsedSeconds) {
    MessageBox("Unable to save the game.", "Kavro", MB_ICONSTOP | MB_OK);
    return std::nullopt;
  }
  header.ElapsedSeconds = elapsedSeconds;
  header.EmptyX = Low16(EmptyX);
  header.EmptyY = Low16(EmptyY);
  header.Columns = Low16(Columns);
  header.Rows = Low16(Rows);
  header.ContentKind = static_cast<std::int16_t>(ContentKind);
  header.GameType = static_cast<std::int16_t>(GameType);

  std::vector<std::uint8_t> bytes;
  bytes.reserve(GameHeaderSize + PieceRecordSize * static_cast<std::size_t>(Columns * Rows));
  const TGameHeaderBytes headerBytes = EncodeGameHeader(header);
  bytes.insert(bytes.end(), headerBytes.begin(), headerBytes.end());
  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x) {
      const TPieceRecordBytes record = EncodePieceRecord(RecordOf(*Pieces[y][x]));
      bytes.insert(bytes.end(), record.begin(), record.end());
    }
  }
  return bytes;
}

bool TPuzzle::SaveGame(const char* path, const char* pictureName, int elapsedSeconds) {
  const std::optional<std::vector<std::uint8_t>> bytes =
      SavedGameBytes(pictureName, elapsedSeconds);
  if (!bytes) return false;
  switch (ReplaceFileContents(path, bytes->data(), bytes->size())) {
    case TReplaceResult::Replaced:
      return true;
    case TReplaceResult::CannotCreate:
      MessageBox("Unable to save the game.", "Kavro", MB_ICONSTOP | MB_OK);
      return false;
    case TReplaceResult::WriteFailed:
      break;
  }
  MessageBox("Unable to write to the file.", "Kavro", MB_ICONSTOP | MB_OK);
  return false;
}

bool TPuzzle::LoadGame(const char* path, std::optional<std::string>& pictureName,
                       int& elapsedSeconds) {
  const TFile file = OpenToRead(path);
  if (!file) {
    ReportOpenFailure(path);
    return false;
  }
  // No game is longer than a full board: what follows one is never read.
  std::vector<std::uint8_t> bytes(GameHeaderSize + PieceRecordSize * MaxSide * MaxSide);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
  return LoadGameBytes(bytes, pictureName, elapsedSeconds);
}

bool TPuzzle::LoadGameBytes(std::span<const std::uint8_t> bytes,
                            std::optional<std::string>& pictureName, int& elapsedSeconds) {
  // The whole file and its picture are checked before the board changes, so a load that
  // fails leaves the game in progress as it was.
  auto fail = [this](const char* message) {
    MessageBox(message, "Kavro", MB_ICONSTOP | MB_OK);
    return false;
  };

  TGameHeaderBytes headerBytes;
  if (bytes.size() < headerBytes.size()) return fail(N_("Unable to read the file."));
  std::copy_n(bytes.begin(), headerBytes.size(), headerBytes.begin());
  const TGameHeader header = DecodeGameHeader(headerBytes);
  if (!HasGameMagic(header)) return fail(N_("This is not a Kavro file."));
  if (!IsUsableHeader(header)) return fail(N_("This file may be corrupted."));

  // Records cut short by the end of the file are left out, and the board check refuses
  // the file.
  const std::size_t count =
      std::min(static_cast<std::size_t>(header.Columns) * static_cast<std::size_t>(header.Rows),
               (bytes.size() - GameHeaderSize) / PieceRecordSize);
  std::vector<TPieceRecord> records;
  records.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    TPieceRecordBytes recordBytes;
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(GameHeaderSize + i * PieceRecordSize),
                recordBytes.size(), recordBytes.begin());
    records.push_back(DecodePieceRecord(recordBytes));
  }
  if (!IsConsistentBoard(header, records)) return fail(N_("This file may be corrupted."));

  // A picture game needs its picture: without it the pieces could not be seen. A pasted
  // picture is gone once the game that used it ends.
  const auto kind = static_cast<TContentKind>(ContentKindOf(header));
  std::optional<std::string> name;
  std::optional<TLoadedPicture> picture;
  if (kind == TContentKind::Picture) {
    name = PictureNameOf(header);
    if (*name == ClipboardPictureName) {
      ReportOpenFailure(name->c_str());
      return false;
    }
    picture = ReadPicture(name->c_str());
    if (!picture) return false;
  }

  if (picture) {
    TakePicture(std::move(*picture));
  } else {
    DropPicture();
  }
  Columns = header.Columns;
  Rows = header.Rows;
  ContentKind = kind;
  GameType = static_cast<TGameType>(GameTypeOf(header));
  EmptyX = header.EmptyX;
  EmptyY = header.EmptyY;
  ActiveX = ActiveY = -1;
  // Pieces off the new board are hidden, as the board keeps them.
  for (int y = 0; y < MaxSide; ++y) {
    for (int x = 0; x < MaxSide; ++x) {
      if (x >= Columns || y >= Rows) Pieces[y][x]->Visible = false;
    }
  }

  auto next = records.cbegin();
  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x, ++next) {
      const TPieceRecord& record = *next;
      TTombol& piece = *Pieces[y][x];
      piece.Source =
          TRect(record.SourceLeft, record.SourceTop, record.SourceRight, record.SourceBottom);
      piece.SetNumber(record.Number, false);
      if (GameType == TGameType::Sliding && record.Number == 0) {
        ActiveX = x;
        ActiveY = y;
      }
      piece.HomeX = record.HomeX;
      piece.HomeY = record.HomeY;
      piece.X = record.X;
      piece.Y = record.Y;
      piece.Left = record.Left;
      piece.Top = record.Top;
      piece.Width = record.Width;
      piece.Height = record.Height;
      piece.Visible = record.Visible == 1;
    }
  }
  // Each piece shows the part of the picture its home cell gives, as the picture is now:
  // the file's rectangles would show the wrong parts of a picture edited since, and may
  // point anywhere.
  if (Picture) {
    const int pieceWidth = Picture->Width() / Columns;
    const int pieceHeight = Picture->Height() / Rows;
    for (int y = 0; y < Rows; ++y) {
      for (int x = 0; x < Columns; ++x) {
        TTombol& piece = *Pieces[y][x];
        if (piece.Number == 0) continue;
        piece.Source = TRect(piece.HomeX * pieceWidth, piece.HomeY * pieceHeight,
                             (piece.HomeX + 1) * pieceWidth, (piece.HomeY + 1) * pieceHeight);
      }
    }
  }
  // A game saved solved is over: it loads as a finished board.
  Idle = CountFalse() == 0;
  elapsedSeconds = header.ElapsedSeconds;
  pictureName = std::move(name);
  TellGridChanged(*this);
  return true;
}
