// The best-times dialog's template, in dialog units.
#include "resources/best_dialog_resource.h"

#include "framework/resources/resources.h"
#include "framework/text/translation.h"

void AddBestTimesDialogResource() {
  TDialogResource dialog;
  dialog.X = 13;
  dialog.Y = 9;
  dialog.W = 249;
  dialog.H = 153;
  dialog.Caption = N_("Best Times");
  constexpr DWORD kButton = WS_TABSTOP;
  constexpr DWORD kList =
      LBS_SORT | LBS_USETABSTOPS | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
  // The file-name line shows a path: an "&" in it is a character, not a mnemonic, and a
  // path too wide for the line keeps its file name.
  dialog.Items = {
      {TControlClass::Button, IDOK, 52, 132, 58, 14, N_("OK"), BS_DEFPUSHBUTTON | kButton, 0},
      {TControlClass::Button, IDC_RESETSCORES, 140, 132, 64, 14, N_("&Reset scores"),
       BS_PUSHBUTTON | kButton, 0},
      {TControlClass::Static, IDC_BESTFILENAME, 7, 4, 236, 8, N_("File Name :"),
       SS_CENTER | SS_NOPREFIX | SS_PATHELLIPSIS, 0},
      {TControlClass::Static, -1, 12, 20, 60, 8, N_("Pieces"), SS_LEFT, 0},
      {TControlClass::Static, -1, 88, 20, 60, 8, N_("Name"), SS_LEFT, 0},
      {TControlClass::Static, -1, 196, 20, 44, 8, N_("Time"), SS_LEFT, 0},
      {TControlClass::ListBox, IDC_BESTLIST, 10, 32, 228, 100, "", kList, 0},
  };
  TResources::AddDialog(IDD_BESTTIMES, std::move(dialog));
}
