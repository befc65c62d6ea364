// Open image, Load game, Save game and the recent files.
#include <cstring>
#include <string>

#include "app/custom_open_dialog.h"
#include "app/main_window.h"
#include "dialogs/seven_gadget.h"
#include "framework/common_dialogs/file_dialogs.h"
#include "framework/text/translation.h"
#include "media/saved_game_format.h"
#include "resources/command_ids.h"

namespace {

constexpr DWORD OpenFlags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
constexpr DWORD SaveFlags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
constexpr char PictureFilter[] = N_("All supported file") "\0*.JPG;*.BMP\0" N_(
    "JPEG file (*.JPG)") "\0*.JPG\0" N_("Bitmap file (*.BMP)") "\0*.BMP\0";
constexpr char GameFilter[] = N_("Kavro files (*.KVR)") "\0*.KVR\0";

// The directory part of a real path (cut at its last separator), or none.
std::optional<std::string> DirectoryOf(const std::optional<std::string>& path) {
  if (!path || *path == ClipboardName) return std::nullopt;
  const std::size_t slash = path->find_last_of('/');
  return slash == std::string::npos ? *path : path->substr(0, slash);
}

// path with its extension replaced by ".KVR"; only a dot in the file name starts one.
std::string SavedGameName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  const bool inName = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (inName ? path.substr(0, dot) : path) + ".KVR";
}

bool EndsWithNoCase(const std::string& text, const char* ending) {
  const std::size_t n = std::strlen(ending);
  if (text.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (std::toupper(static_cast<unsigned char>(text[text.size() - n + i])) != ending[i]) {
      return false;
    }
  }
  return true;
}

// The path the player confirms in a file dialog, or none on Cancel.
std::optional<std::string> AskFile(TWindow* parent, bool save, const char* title,
                                   const char* filter, const std::optional<std::string>& dir,
                                   const std::string& name) {
  TOpenSaveDialog::TData data(save ? SaveFlags : OpenFlags, nullptr, dir ? dir->c_str() : nullptr,
                              "*");
  data.SetFilter(filter);
  data.SetFileName(name.c_str());
  const int answer = save ? TFileSaveDialog(parent, data, 0, title).Execute()
                          : TFileOpenDialog(parent, data, 0, title).Execute();
  if (answer != IDOK || data.FileName[0] == '\0') return std::nullopt;
  return std::string(data.FileName);
}

}  // namespace

std::string DefaultSaveName(const std::optional<std::string>& gameFile,
                            const std::optional<std::string>& currentFile, TContentKind kind) {
  if (gameFile) return *gameFile;
  if (currentFile) return SavedGameName(*currentFile);
  if (kind == TContentKind::Alphabet) return "Alphabet.KVR";
  if (kind == TContentKind::Numeric) return "Numeric.KVR";
  return {};
}

std::optional<std::string> TMyWindow::AskPictureFile(bool withStartDirectory) {
  const std::optional<std::string> dir =
      withStartDirectory ? DirectoryOf(CurrentFile) : std::nullopt;
  TOpenSaveDialog::TData data(OpenFlags, PictureFilter, dir ? dir->c_str() : nullptr, "*");
  const bool chosen = TCustomOpenDialog(this, data).Execute() == IDOK;
  // A path too long for the dialog's buffer is a choice too, and gets the same answer.
  const bool tooLong =
      chosen ? std::strlen(data.FileName) >= PictureNameSize : data.Error == FNERR_BUFFERTOOSMALL;
  if (!tooLong && (!chosen || data.FileName[0] == '\0')) return std::nullopt;
  // A saved game could not name the picture: refused now, never cut later.
  if (tooLong) {
    MessageBox("The path of this picture is too long.", "Kavro", MB_ICONSTOP | MB_OK);
    return std::nullopt;
  }
  return std::string(data.FileName);
}

bool TMyWindow::OpenPictureFile(const std::string& path) {
  if (!OpenPicture(path.c_str())) return false;
  CurrentFile = path;
  GameFile.reset();
  ZoomNormalAndRelayout();
  UpdateStatusBar();
  return true;
}

void TMyWindow::OnOpenImage() {
  const std::optional<std::string> path = AskPictureFile(true);
  if (path) OpenPictureFile(*path);
}

void TMyWindow::OnLoadGame() {
  const std::optional<std::string> path =
      AskFile(this, false, N_("Load Game"), GameFilter, DirectoryOf(CurrentFile), {});
  if (path) LoadSavedGame(*path);
}

void TMyWindow::LoadSavedGame(const std::string& path) {
  ShowWaitCursor(true);
  std::optional<std::string> picture;
  int seconds = 0;
  // A game that does not load changes nothing: the one in progress goes on.
  if (!Puzzle->LoadGame(path.c_str(), picture, seconds)) {
    ShowWaitCursor(false);
    return;
  }
  CurrentFile = std::move(picture);
  GameFile = path;
  AddRecentFile(path.c_str());
  ZoomNormalAndRelayout();
  // A game saved solved is finished: its time stands still.
  if (Puzzle->Idle) {
    PlayTime.Reset();
    FollowPlayTime();
    ShowClock(seconds);
  } else {
    ContinueClock(seconds);
  }
  UpdatePiecesMenu();
  UpdateTypeMenu();
  UpdateThumbnail();
  UpdateStatusBar();
  ShowWaitCursor(false);
}

void TMyWindow::OnSaveGame() {
  std::optional<std::string> dir = DirectoryOf(CurrentFile);
  if (!dir) dir = DirectoryOf(GameFile);
  const std::optional<std::string> path =
      AskFile(this, true, N_("Save Game"), GameFilter, dir,
              DefaultSaveName(GameFile, CurrentFile, Puzzle->ContentKind));
  if (!path) return;
  const int seconds = Clock->Hours * 3600 + Clock->Minutes * 60 + Clock->Seconds;
  if (Puzzle->SaveGame(path->c_str(), CurrentFile ? CurrentFile->c_str() : nullptr, seconds)) {
    AddRecentFile(path->c_str());
    GameFile = *path;
  }
}

void TMyWindow::OnRecentFile(UINT id) {
  const std::optional<std::string> path = RecentPath(static_cast<int>(id - CM_RECENT1));
  if (!path) return;
  if (EndsWithNoCase(*path, ".BMP") || EndsWithNoCase(*path, ".JPG")) {
    OpenPictureFile(*path);
    return;
  }
  LoadSavedGame(*path);
}
