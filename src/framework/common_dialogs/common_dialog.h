// TCommonDialog: the base of the file, colour and font dialogs. A common dialog runs once
// through Execute (through the modal responder when one is installed) and leaves its
// result in the data block it was given. Its window, where it has one, is the panel a
// child template adds to the dialog.
#pragma once

#include "framework/dialogs/dialog.h"

class TCommonDialog : public TDialog {
 public:
  TCommonDialog(TWindow* parent, const char* title, int templateId = 0, TModule* module = nullptr);
};
