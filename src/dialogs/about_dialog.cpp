// The About box shows its template as it stands: nothing to fill in, nothing to return.
#include "dialogs/about_dialog.h"

TAboutDialog::TAboutDialog(TWindow* parent, int resourceId, TModule* module)
    : TDialog(parent, resourceId, module) {}
