// Monotonic milliseconds since an arbitrary start, in 32 bits with wrap-around.
#pragma once

#include "platform/wintypes.h"

DWORD GetTickCount();
