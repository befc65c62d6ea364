// The frame's response table, the commands that change the board, and the check marks
// and buttons that mirror it.
#include <string>

#include "app/main_window.h"
#include "framework/bars/button_gadget.h"
#include "framework/clipboard/clipboard.h"
#include "framework/menus/menu.h"
#include "resources/command_ids.h"

// clang-format off
DEFINE_RESPONSE_TABLE1(TMyWindow, TDecoratedFrame)
  EV_MESSAGE(WM_DESTROY, &TMyWindow::EvDestroy),
  EV_MESSAGE(WM_TIMER, &TMyWindow::EvTimer),
  EV_MESSAGE(WM_SETFOCUS, &TMyWindow::EvSetFocus),
  EV_MESSAGE(WM_KILLFOCUS, &TMyWindow::EvKillFocus),
  EV_MESSAGE(WM_KEYDOWN, &TMyWindow::EvKeyDown),
  EV_COMMAND(CM_SCRAMBLE, &TMyWindow::CmScramble),
  EV_COMMAND(CM_UNSCRAMBLE, &TMyWindow::CmUnscramble),
  EV_COMMAND(CM_OPENIMAGE, &TMyWindow::OnOpenImage),
  EV_COMMAND(CM_LOADGAME, &TMyWindow::OnLoadGame),
  EV_COMMAND(CM_SAVEGAME, &TMyWindow::OnSaveGame),
  EV_COMMAND(CM_PASTE, &TMyWindow::OnPaste),
  EV_COMMAND(CM_BESTTIMES, &TMyWindow::CmBestTimes),
  EV_COMMAND_WITH_ID(CM_RECENT1, &TMyWindow::OnRecentFile),
  EV_COMMAND_WITH_ID(CM_RECENT1 + 1, &TMyWindow::OnRecentFile),
  EV_COMMAND_WITH_ID(CM_RECENT1 + 2, &TMyWindow::OnRecentFile),
  EV_COMMAND_WITH_ID(CM_RECENT4, &TMyWindow::OnRecentFile),
  EV_COMMAND_WITH_ID(CM_PIECES3, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES3 + 1, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES3 + 2, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES3 + 3, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES3 + 4, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES3 + 5, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES3 + 6, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES3 + 7, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES3 + 8, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES3 + 9, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES3 + 10, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES3 + 11, &TMyWindow::CmPieces),
  EV_COMMAND_WITH_ID(CM_PIECES15, &TMyWindow::CmPieces),
  EV_COMMAND(CM_CUSTOMPIECES, &TMyWindow::CmCustomPieces),
  EV_COMMAND(CM_EMPTYSPACE, &TMyWindow::CmEmptySpace),
  EV_COMMAND(CM_FALSEPIECES, &TMyWindow::CmFalsePieces),
  EV_COMMAND(CM_SLIDING, &TMyWindow::CmSliding),
  EV_COMMAND(CM_JIGSAW, &TMyWindow::CmJigsaw),
  EV_COMMAND(CM_ALPHABET, &TMyWindow::CmAlphabet),
  EV_COMMAND(CM_NUMERIC, &TMyWindow::CmNumeric),
  EV_COMMAND(CM_NORMAL, &TMyWindow::CmNormal),
  EV_COMMAND(CM_FITINWINDOW, &TMyWindow::CmFitInWindow),
  EV_COMMAND(CM_ZOOMIN, &TMyWindow::CmZoomIn),
  EV_COMMAND(CM_ZOOMOUT, &TMyWindow::CmZoomOut),
  EV_COMMAND(CM_TOOLBARLEFT, &TMyWindow::CmToolbarLeft),
  EV_COMMAND(CM_TOOLBARTOP, &TMyWindow::CmToolbarTop),
  EV_COMMAND(CM_TOOLBARFLOAT, &TMyWindow::CmToolbarFloat),
  EV_COMMAND(CM_THUMBNAIL, &TMyWindow::CmThumbnail),
  EV_COMMAND(CM_PIECESCOLOR, &TMyWindow::CmPiecesColor),
  EV_COMMAND(CM_BKCOLOR, &TMyWindow::CmBkColor),
  EV_COMMAND(CM_3DEFFECT, &TMyWindow::Cm3DEffect),
  EV_COMMAND(CM_FONT, &TMyWindow::CmFont),
  EV_COMMAND(CM_SOUND, &TMyWindow::CmSound),
  EV_COMMAND(CM_GRID, &TMyWindow::CmGrid),
  EV_COMMAND(CM_HELP, &TMyWindow::CmHelp),
  EV_COMMAND(CM_WEBSITE, &TMyWindow::CmWebSite),
  EV_COMMAND(CM_ABOUT, &TMyWindow::CmAbout),
  EV_MESSAGE(WM_PUZZLESOLVED, &TMyWindow::EvPuzzleSolved),
  EV_MESSAGE(WM_PUZZLEMOVED, &TMyWindow::EvPuzzleMoved),
  EV_COMMAND_ENABLE(CM_PASTE, &TMyWindow::CePaste),
  EV_COMMAND_ENABLE(CM_SAVEGAME, &TMyWindow::CeSaveGame),
  EV_COMMAND_ENABLE(CM_BESTTIMES, &TMyWindow::CeBestTimes),
  EV_COMMAND_ENABLE(CM_NORMAL, &TMyWindow::CeHasFile),
  EV_COMMAND_ENABLE(CM_FITINWINDOW, &TMyWindow::CeFitInWindow),
  EV_COMMAND_ENABLE(CM_ZOOMIN, &TMyWindow::CeHasFile),
  EV_COMMAND_ENABLE(CM_ZOOMOUT, &TMyWindow::CeHasFile),
  EV_COMMAND_ENABLE(CM_FALSEPIECES, &TMyWindow::CeHasFile),
  EV_COMMAND_ENABLE(CM_THUMBNAIL, &TMyWindow::CeHasFile),
  EV_COMMAND_ENABLE(CM_EMPTYSPACE, &TMyWindow::CeEmptySpace),
  EV_COMMAND_ENABLE(CM_FONT, &TMyWindow::CeNotPicture),
  EV_COMMAND_ENABLE(CM_PIECESCOLOR, &TMyWindow::CeNotPicture),
END_RESPONSE_TABLE;
// clang-format on

// --- Shared operations -------------------------------------------------------------------

bool TMyWindow::OpenPicture(const char* name) {
  ShowWaitCursor(true);
  const bool loaded = Puzzle->LoadPicture(name, true);
  ShowWaitCursor(false);
  if (!loaded) return false;
  ResetClock();
  UpdateThumbnail();
  UpdateStatusBar();
  if (name != nullptr && std::string(name) != ClipboardName) AddRecentFile(name);
  UpdateTypeMenu();
  return true;
}

void TMyWindow::UpdatePiecesMenu() {
  TMenu menu(GetMenu());
  for (UINT id = CM_PIECES3; id <= CM_PIECES15; ++id) menu.CheckMenuItem(id, MF_UNCHECKED);
  menu.CheckMenuItem(CM_CUSTOMPIECES, MF_UNCHECKED);
  const int n = Puzzle->Columns;
  if (n == Puzzle->Rows && n <= 15) {
    menu.CheckMenuItem(CM_PIECES3 + static_cast<UINT>(n - 3), MF_CHECKED);
  } else {
    menu.CheckMenuItem(CM_CUSTOMPIECES, MF_CHECKED);
  }
}

void TMyWindow::UpdateTypeMenu() {
  for (UINT id : {CM_ALPHABET, CM_NUMERIC, CM_JIGSAW, CM_SLIDING}) CheckItem(id, false);
  if (Puzzle->GameType == TGameType::Jigsaw) {
    CheckItem(CM_JIGSAW, true);
    JigsawButton->SetButtonState(TButtonGadget::Down);
  } else {
    CheckItem(CM_SLIDING, true);
    SlidingButton->SetButtonState(TButtonGadget::Down);
  }
  switch (Puzzle->ContentKind) {
    case TContentKind::Alphabet:
      CheckItem(CM_ALPHABET, true);
      AlphabetButton->SetButtonState(TButtonGadget::Down);
      break;
    case TContentKind::Numeric:
      CheckItem(CM_NUMERIC, true);
      NumericButton->SetButtonState(TButtonGadget::Down);
      break;
    case TContentKind::Picture:
      AlphabetButton->SetButtonState(TButtonGadget::Up);
      NumericButton->SetButtonState(TButtonGadget::Up);
      break;
  }
}

void TMyWindow::SelectContentKind(TContentKind kind) {
  ResetClock();
  CurrentFile.reset();
  GameFile.reset();
  if (ThumbnailButton->GetButtonState() == TButtonGadget::Down) CmThumbnail();
  const TContentKind old = Puzzle->ContentKind;
  Puzzle->SetContentKind(kind);
  Puzzle->SetGameType(TGameType::Sliding);
  Puzzle->LoadPicture(nullptr, true);
  if (old == TContentKind::Picture) {
    Puzzle->Zoom(0);
    Relayout();
  }
  ResetClock();
  UpdateTypeMenu();
  UpdateStatusBar();
}

// --- Helpers -----------------------------------------------------------------------------

void TMyWindow::CheckItem(UINT id, bool on) {
  TMenu(GetMenu()).CheckMenuItem(id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void TMyWindow::Relayout() {
  Puzzle->SendMessage(WM_SIZE, 0, 0);
}

void TMyWindow::ZoomNormalAndRelayout() {
  Puzzle->Zoom(0);
  Relayout();
}

void TMyWindow::ShowWaitCursor(bool wait) {
  SetCursor(nullptr, wait ? IDC_WAIT : IDC_ARROW);
}

// --- Game commands -----------------------------------------------------------------------

void TMyWindow::CmScramble() {
  Puzzle->Scramble();
  Puzzle->RedrawAll();
  StartClock();
}

void TMyWindow::CmUnscramble() {
  if (OpenPicture(CurrentFile ? CurrentFile->c_str() : nullptr)) StopClock();
}

void TMyWindow::CmSliding() {
  CheckItem(CM_SLIDING, true);
  CheckItem(CM_JIGSAW, false);
  Puzzle->SetGameType(TGameType::Sliding);
  Puzzle->LoadPicture(nullptr, true);
  ZoomNormalAndRelayout();
  ResetClock();
  UpdateTypeMenu();
  UpdateStatusBar();
}

void TMyWindow::CmJigsaw() {
  // A swap puzzle needs a picture: ask for one first.
  if (Puzzle->ContentKind != TContentKind::Picture) {
    const std::optional<std::string> path = AskPictureFile(false);
    if (!path) {
      UpdateTypeMenu();
      return;
    }
    if (!OpenPictureFile(*path)) {
      UpdateTypeMenu();
      return;
    }
  }
  ResetClock();
  Puzzle->SetGameType(TGameType::Jigsaw);
  Puzzle->Invalidate(false);
  UpdateTypeMenu();
  UpdateStatusBar();
}

void TMyWindow::CmAlphabet() {
  SelectContentKind(TContentKind::Alphabet);
}

void TMyWindow::CmNumeric() {
  SelectContentKind(TContentKind::Numeric);
}

// --- Enablers ----------------------------------------------------------------------------

void TMyWindow::CePaste(TCommandEnabler& ce) {
  const TClipboard& clipboard = TClipboard::GetClipboard();
  ce.Enable(clipboard.IsClipboardFormatAvailable(CF_DIB) ||
            clipboard.IsClipboardFormatAvailable(CF_BITMAP));
}

void TMyWindow::CeSaveGame(TCommandEnabler& ce) {
  ce.Enable(!IsPasted() && !Puzzle->Idle);
}

void TMyWindow::CeBestTimes(TCommandEnabler& ce) {
  ce.Enable(!IsPasted());
}

void TMyWindow::CeHasFile(TCommandEnabler& ce) {
  ce.Enable(CurrentFile.has_value());
}

void TMyWindow::CeFitInWindow(TCommandEnabler& ce) {
  ce.Enable(Puzzle->ContentKind == TContentKind::Picture);
}

void TMyWindow::CeEmptySpace(TCommandEnabler& ce) {
  ce.Enable(Puzzle->GameType == TGameType::Sliding);
}

void TMyWindow::CeNotPicture(TCommandEnabler& ce) {
  ce.Enable(Puzzle->ContentKind != TContentKind::Picture);
}
