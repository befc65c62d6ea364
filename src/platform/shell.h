// Handing files and web addresses to the desktop.
#pragma once

#include "platform/wintypes.h"

// Opens file (a path or a web address) with the desktop's handler. Returns a value
// greater than 32 on success, as Windows does.
HINSTANCE ShellExecuteA(HWND owner, const char* operation, const char* file,
                        const char* parameters, const char* directory, int showCommand);

// Opens the help file; HELP_QUIT closes what was opened. Nonzero on success.
BOOL WinHelpA(HWND owner, const char* helpFile, UINT command, std::uintptr_t data);
