// TBestDialog: shows one best-times list on dialog 5, sorted by rows and then columns,
// and lets the player wipe it. OK stores the list in the order shown (short records);
// the close box and Escape write nothing, though a reset already took effect. The caller
// runs it modally and deletes it.
#pragma once

#include <string>

#include "dialogs/best_times.h"
#include "framework/dialogs/controls.h"
#include "framework/dialogs/dialog.h"
#include "puzzle/puzzle.h"

// "File name: " and the list's name, in at most 99 characters: a longer path loses the
// end of its folders to "...", keeping the file name; a name too long by itself is cut.
std::string FileNameLine(const std::string& listName);

class TBestDialog : public TDialog {
 public:
  TBestDialog(TWindow* parent, const char* listName, TGameType type);

 protected:
  void SetupWindow() override;
  void CmOk() override;
  void CmResetScores();

 private:
  std::string ListName;
  TGameType Type;
  TBestTimes BestTimes;
  TStatic* FileName;  // owned by the dialog, as its controls are
  TListBox* List;

  DECLARE_RESPONSE_TABLE(TBestDialog);
};
