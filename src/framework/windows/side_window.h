// Side windows (private to the framework): the small windows that stand beside a frame as
// part of it, a thumbnail or a floating bar. Showing or clicking one leaves the keyboard
// with the frame; where a desktop focuses one anyway, the keys typed there go to the frame
// and the frame's focus is not lost, so a game's clock goes on counting.
#pragma once

class QWidget;
class TWindow;

// Makes top, a window owned by a frame's window, a side window of that frame. Call it
// before top is first shown.
void MakeSideWindow(QWidget& top);
bool IsSideWindow(const QWidget& top);

// window, whose whole window is top, was activated or deactivated: tells the window that
// stands for it (a side window's frame) when the keyboard reaches or leaves the group of
// that window and its side windows, as WM_SETFOCUS and WM_KILLFOCUS.
void ReportActivation(TWindow& window, const QWidget& top, bool activated);
