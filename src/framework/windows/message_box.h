// Message boxes, also for code that has no window of its own at hand.
#pragma once

#include "platform/winconst.h"
#include "platform/wintypes.h"

// Shows text in a box owned by owner's window (none: the active window) with the MB_
// buttons and icon of type; returns the button pressed (IDOK, IDYES, ...). A null caption
// reads "Error", as on Windows.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
