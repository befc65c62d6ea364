// TChooseColorDialog: the colour dialog. Its TData block holds the flags, the colour
// (the starting one with CC_RGBINIT, the chosen one after OK) and a table of 16 custom
// colours that the dialog shows and may change.
#pragma once

#include "framework/common_dialogs/common_dialog.h"

constexpr DWORD CC_RGBINIT = 0x00000001;
constexpr DWORD CC_FULLOPEN = 0x00000002;
constexpr DWORD CC_PREVENTFULLOPEN = 0x00000004;
constexpr DWORD CC_SOLIDCOLOR = 0x00000080;
constexpr DWORD CC_ANYCOLOR = 0x00000100;

class TChooseColorDialog : public TCommonDialog {
 public:
  class TData {
   public:
    DWORD Flags = 0;
    DWORD Error = 0;
    COLORREF Color = 0;
    COLORREF* CustColors = nullptr;  // 16 entries, owned by the caller
  };

  TChooseColorDialog(TWindow* parent, TData& data, const char* title = nullptr,
                     TModule* module = nullptr);

  int Execute() override;

 private:
  TData& Data;
};
