// Paste from clipboard: a picture on the clipboard becomes the board's picture, and the
// clipboard is emptied whatever came of it.
#include "app/main_window.h"
#include "dialogs/seven_gadget.h"
#include "framework/clipboard.h"
#include "framework/dockable_bar.h"

void TMyWindow::OnPaste() {
  ResetClock();
  TClipboard clipboard(*this);
  CurrentFile.reset();
  GameFile.reset();
  ShowWaitCursor(true);
  const bool pasted = clipboard.IsOpen() && Puzzle->PasteFromClipboard(clipboard);
  clipboard.EmptyClipboard();
  clipboard.CloseClipboard();
  UpdateThumbnail();
  Clock->SetTime(0);
  TimerBar->Invalidate(false);
  ShowWaitCursor(false);
  if (pasted) {
    CurrentFile = ClipboardName;
    ZoomNormalAndRelayout();
    UpdateStatusBar();
    UpdateTypeMenu();
  } else {
    // Nothing to show: letters, as after a picture that did not open.
    SelectContentKind(TContentKind::Alphabet);
  }
}
