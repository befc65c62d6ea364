// TChooseFontDialog: the font dialog. Its TData block holds the flags, the logical font
// (the starting one with CF_INITTOLOGFONTSTRUCT, the chosen one after OK), its point size
// in tenths and the text colour, which the dialog offers with CF_EFFECTS alongside
// underline and strike-out. CF_TTONLY offers only fonts that scale.
#pragma once

#include "framework/common_dialogs/common_dialog.h"

constexpr DWORD CF_SCREENFONTS = 0x00000001;
constexpr DWORD CF_PRINTERFONTS = 0x00000002;
constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
constexpr DWORD CF_EFFECTS = 0x00000100;
constexpr DWORD CF_FORCEFONTEXIST = 0x00010000;
constexpr DWORD CF_TTONLY = 0x00040000;

class TChooseFontDialog : public TCommonDialog {
 public:
  class TData {
   public:
    DWORD Flags = 0;
    DWORD Error = 0;
    LOGFONT LogFont{};
    int PointSize = 0;  // tenths of a point, set after OK
    COLORREF Color = 0;
  };

  TChooseFontDialog(TWindow* parent, TData& data, const char* title = nullptr,
                    TModule* module = nullptr);

  int Execute() override;

 private:
  TData& Data;
};
