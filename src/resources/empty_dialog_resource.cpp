// The template of the empty-space and pieces dialog: a row list and a column list framed
// on the left, the preview's group box on the right, OK and Cancel below.
#include <utility>

#include "dialogs/empty_dialog_ids.h"
#include "framework/resources/resources.h"
#include "framework/text/translation.h"
#include "resources/game_resources.h"

void AddEmptyDialogResource() {
  constexpr DWORD ListStyle = LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
  TDialogResource dialog;
  dialog.X = 22;
  dialog.Y = 30;
  dialog.W = 282;
  dialog.H = 130;
  dialog.Style = WS_POPUP | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU;
  dialog.Caption = N_("Set Empty Space");  // the dialog names its mode when it runs
  dialog.FaceName = "MS Sans Serif";
  dialog.PointSize = 8;
  dialog.Items = {
      {TControlClass::Button, IDOK, 68, 108, 64, 14, N_("OK"), BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
      {TControlClass::Button, IDCANCEL, 140, 108, 64, 14, N_("Cancel"), BS_PUSHBUTTON | WS_TABSTOP,
       0},
      {TControlClass::Button, IDC_EMPTYLISTS, 6, 4, 154, 96, "", BS_GROUPBOX, 0},
      {TControlClass::Static, -1, 12, 16, 24, 8, N_("Row:"), SS_RIGHT, 0},
      {TControlClass::Static, -1, 88, 16, 32, 8, N_("Column:"), SS_RIGHT, 0},
      {TControlClass::ListBox, IDC_EMPTYROWS, 40, 16, 28, 80, "", ListStyle, 0},
      {TControlClass::ListBox, IDC_EMPTYCOLUMNS, 124, 16, 28, 80, "", ListStyle, 0},
      {TControlClass::Button, IDC_EMPTYPREVIEW, 168, 4, 108, 96, N_(" Preview "), BS_GROUPBOX, 0},
  };
  TResources::AddDialog(IDD_EMPTYSPACE, std::move(dialog));
}
