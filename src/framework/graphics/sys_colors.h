// The colours of the framework's own drawing: faces, edges and text of bars, buttons,
// status bars and dialogs, taken from the desktop's palette, so that a high-contrast
// theme reaches them as it reaches the desktop's own widgets.
#pragma once

#include "platform/wintypes.h"

COLORREF ColorFace();         // bars, buttons, dialogs
COLORREF ColorShadow();       // the dark edge, greyed text
COLORREF ColorHighlight();    // the light edge
COLORREF ColorDarkShadow();   // the outer dark edge of a raised button
COLORREF ColorText();         // text on a face
COLORREF ColorCheckedFace();  // a button that stays down
