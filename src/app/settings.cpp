// The settings file, read once at start and written once at exit, and the recent-files
// list with its menu items at the end of the Game menu.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "framework/bars/button_gadget.h"
#include "framework/menus/menu.h"
#include "platform/game_directory.h"
#include "platform/profile.h"
#include "platform/utf8.h"
#include "resources/command_ids.h"

namespace {

constexpr const char* Section = "KAVRO";
constexpr const char* RecentSection = "MRUL";
constexpr int GamePopup = 0;

// A colour written as decimal text; anything that is not a number is black.
COLORREF ReadColor(const char* key, const char* fallback, const char* path) {
  char text[254];
  GetPrivateProfileStringA(Section, key, fallback, text, sizeof text, path);
  return static_cast<COLORREF>(std::strtoul(text, nullptr, 10));
}

int ReadInt(const char* key, int fallback, const char* path) {
  return static_cast<int>(GetPrivateProfileIntA(Section, key, fallback, path));
}

void WriteInt(const char* key, long long value, const char* path) {
  WritePrivateProfileStringA(Section, key, std::to_string(value).c_str(), path);
}

// The empty cell saved for a side of count cells: its low byte as a signed number,
// the last cell when it does not lie on the board.
int EmptyCell(int saved, int count) {
  const int cell = static_cast<signed char>(saved & 0xFF);
  return cell < 0 || cell >= count ? count - 1 : cell;
}

// A board side as the board takes it.
int Side(int value) {
  return value < 3 || value > MaxSide ? 3 : value;
}

}  // namespace

std::string TMyWindow::SettingsPath() {
  return std::string(GameDirectory()) + "kavro.ini";
}

void TMyWindow::ReadSettings(const char* path) {
  // Room for every path the file dialogs take, so each comes back whole.
  char text[MAX_PATH];
  // Recent files: the list starts with key "1"; without it the list stays empty.
  GetPrivateProfileStringA(RecentSection, "1", "", text, sizeof text, path);
  if (*text != '\0') {
    for (int i = 0; i < 4; ++i) {
      const std::string key = std::to_string(i + 1);
      GetPrivateProfileStringA(RecentSection, key.c_str(), "", text, sizeof text, path);
      // A hand-edited file may name a path twice: the menu shows it once.
      if (*text == '\0' || RecentIndex(text) >= 0) continue;
      Recent[i] = "&" + key + " " + text;
      InsertRecentItem(i);
    }
  }

  // A kind or type this version does not know gives the default board.
  const int kind = ReadInt("TYPE", 1, path);
  const int type = ReadInt("GAME", 1, path);
  Puzzle->SetContentKind(kind >= 1 && kind <= 3 ? static_cast<TContentKind>(kind)
                                                : TContentKind::Alphabet);
  Puzzle->SetGameType(type == 2 ? TGameType::Jigsaw : TGameType::Sliding);
  if (Puzzle->ContentKind == TContentKind::Picture) {
    GetPrivateProfileStringA(Section, "FILE", "", text, sizeof text, path);
    // A pasted picture is never restored; older files may still name it.
    if (*text != '\0' && std::strcmp(text, ClipboardName) != 0) {
      if (!OpenPictureFile(text)) SelectContentKind(TContentKind::Alphabet);
    } else {
      // A picture board without its picture shows letters.
      SelectContentKind(TContentKind::Alphabet);
    }
  }

  // The empty cell belongs to the saved board size, so it is placed on that board.
  const int columns = Side(ReadInt("PIECESX", 3, path));
  const int rows = Side(ReadInt("PIECESY", 3, path));
  const int emptyX = EmptyCell(ReadInt("EMPTYX", columns - 1, path), columns);
  const int emptyY = EmptyCell(ReadInt("EMPTYY", rows - 1, path), rows);
  Puzzle->SetSize(columns, rows);
  Puzzle->EmptyX = emptyX;
  Puzzle->EmptyY = emptyY;
  Puzzle->SetSize(columns, rows);

  const bool effect3D = ReadInt("3D", 0, path) == 1;
  Puzzle->Set3D(effect3D);
  CheckItem(CM_3DEFFECT, effect3D);
  const bool showFalse = ReadInt("FALSE", 0, path) == 1;
  Puzzle->SetShowFalse(showFalse);
  CheckItem(CM_FALSEPIECES, showFalse);
  if (showFalse) FalsePiecesButton->SetButtonState(TButtonGadget::Down);
  Puzzle->SoundOn = ReadInt("SOUND", 1, path) == 1;
  CheckItem(CM_SOUND, Puzzle->SoundOn);
  const bool fit = ReadInt("FITIN", 0, path) == 1;
  Puzzle->SetFitInWindow(fit);
  CheckItem(CM_FITINWINDOW, fit);
  Puzzle->ShowGrid = ReadInt("GRID", 1, path) == 1;
  Relayout();
  CheckItem(CM_GRID, Puzzle->ShowGrid);

  Puzzle->SetPiecesColor(ReadColor("PIECESCOLOR", "12632256", path));
  const COLORREF fontColor = ReadColor("FONTCOLOR", "16711680", path);
  LOGFONT font{};
  GetPrivateProfileStringA(Section, "FONTNAME", "Arial", text, sizeof text, path);
  // A longer name is cut to what the font description holds, on a character.
  std::memcpy(font.lfFaceName, text, Utf8CutLength(text, LF_FACESIZE - 1));
  const int style = ReadInt("FONTSTYLE", 0, path);
  if ((style & 1) != 0) font.lfWeight = FW_BOLD;
  font.lfItalic = (style & 2) != 0 ? 1 : 0;
  font.lfUnderline = (style & 4) != 0 ? 1 : 0;
  font.lfStrikeOut = (style & 8) != 0 ? 1 : 0;
  Puzzle->SetLabelFont(font, fontColor);
  Puzzle->SetBkgndColor(ReadColor("COLOR", "8421440", path));
  Puzzle->Invalidate(true);
}

void TMyWindow::WriteSettings(const char* path) {
  WriteInt("COLOR", Puzzle->GetBkgndColor(), path);
  WriteInt("PIECESX", Puzzle->Columns, path);
  WriteInt("PIECESY", Puzzle->Rows, path);
  WriteInt("EMPTYX", Puzzle->EmptyX, path);
  WriteInt("EMPTYY", Puzzle->EmptyY, path);
  // A pasted picture cannot come back: the next start shows letters.
  WriteInt("TYPE", IsPasted() ? 1 : static_cast<int>(Puzzle->ContentKind), path);
  WriteInt("GAME", IsPasted() ? 1 : static_cast<int>(Puzzle->GameType), path);
  WriteInt("PIECESCOLOR", Puzzle->Pieces[0][0]->Color, path);
  WriteInt("FONTCOLOR", Puzzle->LabelColor, path);
  const LOGFONT& font = Puzzle->LabelFont->GetLogFont();
  WritePrivateProfileStringA(Section, "FONTNAME", font.lfFaceName, path);
  WriteInt("FONTSTYLE",
           (font.lfWeight == FW_BOLD ? 1 : 0) + (font.lfItalic != 0 ? 2 : 0) +
               (font.lfUnderline != 0 ? 4 : 0) + (font.lfStrikeOut != 0 ? 8 : 0),
           path);
  WriteInt("3D", Puzzle->Effect3D ? 1 : 0, path);
  WriteInt("SOUND", Puzzle->SoundOn ? 1 : 0, path);
  WriteInt("FITIN", Puzzle->FitInWindow ? 1 : 0, path);
  WriteInt("GRID", Puzzle->ShowGrid ? 1 : 0, path);
  WriteInt("FALSE", Puzzle->ShowFalse ? 1 : 0, path);
  WritePrivateProfileStringA(Section, "FILE",
                             !CurrentFile ? nullptr
                             : IsPasted() ? ""
                                          : CurrentFile->c_str(),
                             path);
  // The list is written anew, without its gaps: an old key left standing would repeat a
  // path that has moved up.
  WritePrivateProfileStringA(RecentSection, nullptr, nullptr, path);
  int key = 1;
  for (int i = 0; i < 4; ++i) {
    const auto recent = RecentPath(i);
    if (!recent || RecentIndex(*recent) < i) continue;
    WritePrivateProfileStringA(RecentSection, std::to_string(key++).c_str(), recent->c_str(), path);
  }
}

int TMyWindow::RecentIndex(std::string_view path) const {
  for (int i = 0; i < 4; ++i) {
    // Byte for byte: names that differ only in case are different files here.
    if (const auto recent = RecentPath(i); recent && *recent == path) return i;
  }
  return -1;
}

std::optional<std::string> TMyWindow::RecentPath(int index) const {
  if (index < 0 || index > 3 || !Recent[index]) return std::nullopt;
  return Recent[index]->substr(std::min<std::size_t>(3, Recent[index]->size()));
}

void TMyWindow::InsertRecentItem(int index) {
  TMenu game(TMenu(GetMenu()).GetSubMenu(GamePopup));
  const UINT id = CM_RECENT1 + static_cast<UINT>(index);
  // The items stand in their numbers' order after one separator at the end of the menu.
  int before = -1;
  bool hasItems = false;
  for (int pos = 0; pos < game.GetMenuItemCount(); ++pos) {
    const UINT other = game.GetMenuItemID(pos);
    if (other < CM_RECENT1 || other > CM_RECENT4) continue;
    hasItems = true;
    if (other > id && before < 0) before = pos;
  }
  if (!hasItems) game.AppendMenu(MF_SEPARATOR);
  if (before >= 0) {
    game.InsertMenu(static_cast<UINT>(before), MF_BYPOSITION | MF_STRING, id,
                    Recent[index]->c_str());
  } else {
    game.AppendMenu(MF_STRING, id, Recent[index]->c_str());
  }
}

void TMyWindow::ClearRecentEntry(int index) {
  if (!Recent[index]) return;
  Recent[index].reset();
  TMenu(GetMenu()).DeleteMenu(CM_RECENT1 + static_cast<UINT>(index), MF_BYCOMMAND);
}

void TMyWindow::SetRecentEntry(int index, const char* text) {
  if (text == nullptr || index < 0 || index > 3) return;
  std::string entry = text;
  if (entry.size() >= 2) entry[1] = static_cast<char>('1' + index);
  const bool existed = Recent[index].has_value();
  Recent[index] = entry;
  const UINT id = CM_RECENT1 + static_cast<UINT>(index);
  if (!existed) {
    InsertRecentItem(index);
  } else {
    TMenu(GetMenu()).ModifyMenu(id, MF_BYCOMMAND | MF_STRING, id, entry.c_str());
  }
}

void TMyWindow::MoveRecentDown(int index) {
  if (Recent[index - 1]) {
    SetRecentEntry(index, Recent[index - 1]->c_str());
  } else {
    ClearRecentEntry(index);
  }
}

void TMyWindow::AddRecentFile(const char* path) {
  if (path == nullptr) return;
  const std::string wanted = path;
  const int hit = RecentIndex(wanted);
  if (hit == 0) return;
  if (hit > 0) {
    const std::string moved = *Recent[hit];
    for (int j = hit; j >= 1; --j) MoveRecentDown(j);
    SetRecentEntry(0, moved.c_str());
    return;
  }
  // Entries move down as far as the first empty one, so a gap (a hand-edited file) is
  // filled before the oldest entry falls off.
  int last = 0;
  while (last < 3 && Recent[last]) ++last;
  for (int j = last; j >= 1; --j) MoveRecentDown(j);
  SetRecentEntry(0, ("&1 " + wanted).c_str());
}
