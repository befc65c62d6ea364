// TAboutDialog: the modal box with the program's icon, name, version, web page and the
// JPEG library's acknowledgement. "Thank you", Enter, Escape and the close box close it.
#pragma once

#include "dialogs/about_dialog_ids.h"
#include "framework/dialogs/dialog.h"

class TAboutDialog : public TDialog {
 public:
  explicit TAboutDialog(TWindow* parent, int resourceId = IDD_ABOUT, TModule* module = nullptr);

 protected:
  void SetupWindow() override;
};
