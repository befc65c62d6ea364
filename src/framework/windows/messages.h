// Window messages and notification records beyond the ones the game itself names: what
// the framework's bars, menus, dialogs and common dialogs send.
#pragma once

#include "platform/winconst.h"
#include "platform/wintypes.h"

constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_MOUSELEAVE = 0x02A3;

// Sent up from a bar when the pointer enters or leaves a button (wParam: the command id,
// or HintNone to restore the message area); a decorated frame shows the command's hint.
constexpr UINT WM_SETHINTCOMMAND = 0x8000 + 0x0101;
constexpr WPARAM HintNone = 0xFFFF;
// Sent to a window's parent when the size it wants in a layout has changed.
constexpr UINT WM_LAYOUTCHANGED = 0x8000 + 0x0102;

// WM_MENUSELECT: LOWORD(wParam) the item's command id (its position for a pop-up),
// HIWORD(wParam) its MF_ flags; 0xFFFF with a null menu when the menu closes.
constexpr WORD MenuClosed = 0xFFFF;

constexpr WPARAM MAKEWPARAM(int lo, int hi) {
  return static_cast<WPARAM>(static_cast<DWORD>(static_cast<WORD>(lo)) |
                             (static_cast<DWORD>(static_cast<WORD>(hi)) << 16));
}

// The header of a WM_NOTIFY record; lParam points at it.
struct NMHDR {
  HWND hwndFrom;
  std::uintptr_t idFrom;
  UINT code;
};

// Control notifications, in HIWORD(wParam) of WM_COMMAND with the control's handle in
// lParam. A push button's click (BN_CLICKED) also reaches command handlers.
constexpr WORD BN_CLICKED = 0;
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;
constexpr WORD LBN_SETFOCUS = 4;
constexpr WORD LBN_KILLFOCUS = 5;
constexpr WORD EN_CHANGE = 0x0300;
constexpr int LB_ERR = -1;
