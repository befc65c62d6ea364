// Qt key codes to Windows virtual-key codes (private to the framework).
#pragma once

#include <Qt>

#include "platform/wintypes.h"

// 0 for keys without a virtual-key code.
UINT VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers);
