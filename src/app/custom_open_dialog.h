// TCustomOpenDialog: the Open Image dialog with a panel that previews the selected
// picture.
#pragma once

#include "framework/common_dialogs/file_dialogs.h"

constexpr int IDD_PREVIEW = 300;
constexpr int PREVIEW_SIZE = 125;

class TCustomOpenDialog : public TFileOpenDialog {
 public:
  TCustomOpenDialog(TWindow* parent, TData& data);

 protected:
  // Draws the selected picture, stretched to PREVIEW_SIZE square, when it loads; a file
  // that does not load leaves the previous preview.
  TResult ShowPreview(TParam1, TParam2 p2);

 private:
  DECLARE_RESPONSE_TABLE(TCustomOpenDialog);
};
