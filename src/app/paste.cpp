// Paste from clipboard: a picture on the clipboard becomes the board's picture, and the
// clipboard is emptied whatever came of it. A paste that fails leaves the game as it was.
#include "app/main_window.h"
#include "framework/clipboard/clipboard.h"

void TMyWindow::OnPaste() {
  TClipboard clipboard(*this);
  ShowWaitCursor(true);
  const bool pasted = clipboard.IsOpen() && Puzzle->PasteFromClipboard(clipboard);
  clipboard.EmptyClipboard();
  clipboard.CloseClipboard();
  ShowWaitCursor(false);
  if (!pasted) return;
  CurrentFile = ClipboardName;
  GameFile.reset();
  ResetClock();
  UpdateThumbnail();
  ZoomNormalAndRelayout();
  UpdateStatusBar();
  UpdateTypeMenu();
}
