// The common dialogs' base.
#include "framework/common_dialogs/common_dialog.h"

TCommonDialog::TCommonDialog(TWindow* parent, const char* title, int templateId, TModule* module)
    : TDialog(parent, templateId, module) {
  SetCaption(title);
}
