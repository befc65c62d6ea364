// The About box shows its template with the program's name and version in the player's
// language: nothing to return.
#include "dialogs/about_dialog.h"

#include "framework/text/translation.h"
#include "resources/product.h"

TAboutDialog::TAboutDialog(TWindow* parent, int resourceId, TModule* module)
    : TDialog(parent, resourceId, module) {}

void TAboutDialog::SetupWindow() {
  TDialog::SetupWindow();
  SetDlgItemText(
      IDC_ABOUTTITLE,
      Fill(Translate(N_("Kavro for %1 (%2 bit)")), {ProductSystem, ProductBits}).c_str());
  SetDlgItemText(IDC_ABOUTVERSION,
                 Fill(Translate(N_("Version %1")), {ProductVersionNumber}).c_str());
}
