// How large the desktop sets its text. The framework's own fonts (dialogs and bars) are
// sized in points by their templates; on a desktop set to larger text they grow with it.
#pragma once

// How many times larger than usual the desktop's text is (its general font against the
// 11 points common desktops use): 1 for usual or smaller text, never less.
double DesktopTextScale();
