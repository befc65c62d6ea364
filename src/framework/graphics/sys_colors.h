// The colours of the framework's own drawing: faces, edges and text of bars, buttons,
// status bars and dialogs.
#pragma once

#include "platform/wintypes.h"

constexpr COLORREF ColorFace = 0xC0C0C0;        // bars, buttons, dialogs
constexpr COLORREF ColorShadow = 0x808080;      // the dark edge, greyed text
constexpr COLORREF ColorHighlight = 0xFFFFFF;   // the light edge
constexpr COLORREF ColorDarkShadow = 0x000000;  // the outer dark edge of a raised button
constexpr COLORREF ColorText = 0x000000;
constexpr COLORREF ColorCheckedFace = 0xE0E0E0;  // a button that stays down
