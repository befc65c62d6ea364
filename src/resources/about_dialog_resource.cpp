// The About box's template: the icon, name, version and web page in a framed title block,
// the JPEG library's acknowledgement framed below it, and the button that closes it.
#include <utility>

#include "dialogs/about_dialog_ids.h"
#include "framework/resources/resources.h"
#include "framework/text/translation.h"
#include "resources/bitmaps.h"
#include "resources/game_resources.h"
#include "resources/product.h"

void AddAboutDialogResource() {
  TDialogResource dialog;
  dialog.X = 12;
  dialog.Y = 10;
  dialog.W = 215;
  dialog.H = 128;
  dialog.Style = WS_POPUP | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU;
  dialog.Caption = N_("About");
  dialog.FaceName = "MS Sans Serif";
  dialog.PointSize = 8;
  // The web page's line is wider than the others: the whole address must show.
  dialog.Items = {
      {TControlClass::Button, -1, 8, 0, 200, 71, "", BS_GROUPBOX, 0},
      {TControlClass::Static, -1, 14, 11, 21, 20, "", SS_ICON, IconProgram},
      {TControlClass::Static, IDC_ABOUTTITLE, 38, 11, 140, 8, "", SS_LEFT | SS_NOPREFIX, 0},
      {TControlClass::Static, IDC_ABOUTVERSION, 38, 23, 76, 8, "", SS_LEFT | SS_NOPREFIX, 0},
      {TControlClass::Static, -1, 38, 59, 160, 8, ProductWebPage, SS_LEFT | SS_NOPREFIX, 0},
      {TControlClass::Button, -1, 6, 75, 203, 28, "", BS_GROUPBOX, 0},
      {TControlClass::Static, -1, 11, 81, 192, 16,
       N_("This software is based in part on the work of the Independent JPEG Group."),
       SS_CENTER | SS_NOPREFIX, 0},
      {TControlClass::Button, IDOK, 5, 107, 204, 16, N_("Thank you"), BS_DEFPUSHBUTTON | WS_TABSTOP,
       0},
  };
  TResources::AddDialog(IDD_ABOUT, std::move(dialog));
}
