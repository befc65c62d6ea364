// The thumbnail window and the About box.
#include "app/main_window.h"
#include "dialogs/about_dialog.h"
#include "dialogs/org_window.h"
#include "framework/bars/button_gadget.h"
#include "framework/text/translation.h"
#include "resources/command_ids.h"

void TMyWindow::CmThumbnail() {
  if (Thumbnail) {
    Thumbnail->Destroy();
    Thumbnail.reset();
    CheckItem(CM_THUMBNAIL, false);
    ThumbnailButton->SetButtonState(TButtonGadget::Up);
    return;
  }
  Thumbnail = std::make_unique<TOrgWindow>(this, N_("Thumbnail"), Puzzle->Picture.get());
  Thumbnail->Create();
  Thumbnail->ShowWindow(SW_SHOWNORMAL);
  CheckItem(CM_THUMBNAIL, true);
  ThumbnailButton->SetButtonState(TButtonGadget::Down);
}

void TMyWindow::UpdateThumbnail() {
  if (Thumbnail) Thumbnail->SetPicture(Puzzle->Picture.get());
}

void TMyWindow::CmAbout() {
  TAboutDialog(this).Execute();
}
