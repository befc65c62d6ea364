// A window's geometry: its client area, place and size on the screen, and the cycle of
// device pixels its edges repeat on.
#include "framework/windows/window.h"

#include <QApplication>

#include <algorithm>
#include <cmath>

#include "framework/graphics/qt_bridge.h"
#include "framework/windows/window_impl.h"

// --- Geometry ----------------------------------------------------------------------------

TRect TWindow::GetClientRect() const {
  if (Pimpl->Widget == nullptr) return TRect();
  return TRect(0, 0, Pimpl->Widget->width(), Pimpl->Widget->height());
}

int TWindow::GetDevicePixelCycle() const {
  const qreal ratio = Pimpl->Widget != nullptr ? Pimpl->Widget->devicePixelRatioF() : 1;
  for (int cycle = 1; cycle <= 8; ++cycle) {
    const double devices = cycle * ratio;
    if (std::abs(devices - std::round(devices)) < 1e-6) return cycle;
  }
  return 1;  // no short cycle: nothing to line up with
}

TRect TWindow::GetWindowRect() const {
  QWidget* top = Pimpl->Top();
  if (top == nullptr) return TRect();
  if (top->isWindow()) return ToTRect(top->frameGeometry());
  return ToTRect(QRect(top->mapToGlobal(QPoint(0, 0)), top->size()));
}

bool TWindow::ClientToScreen(TPoint& point) const {
  if (Pimpl->Widget == nullptr) return false;
  const QPoint p = Pimpl->Widget->mapToGlobal(QPoint(point.x, point.y));
  point = TPoint(p.x(), p.y());
  return true;
}

bool TWindow::ScreenToClient(TPoint& point) const {
  if (Pimpl->Widget == nullptr) return false;
  const QPoint p = Pimpl->Widget->mapFromGlobal(QPoint(point.x, point.y));
  point = TPoint(p.x(), p.y());
  return true;
}

void TWindow::GetDesiredSize(TSize& size) {
  if (QWidget* top = Pimpl->Top()) {
    size = TSize(top->width(), top->height());
  } else {
    size = TSize(Attr.W == CW_USEDEFAULT ? 0 : Attr.W, Attr.H == CW_USEDEFAULT ? 0 : Attr.H);
  }
}

bool TWindow::MoveWindow(int x, int y, int width, int height, bool repaint) {
  Attr.X = x, Attr.Y = y, Attr.W = width, Attr.H = height;
  QWidget* top = Pimpl->Top();
  if (top == nullptr) return true;
  top->setGeometry(x, y, std::max(0, width), std::max(0, height));
  if (Pimpl->PlaceClient) Pimpl->PlaceClient();
  if (repaint) Invalidate(true);
  return true;
}

bool TWindow::SetWindowPos(int x, int y, int width, int height, UINT flags) {
  const TRect now = GetWindowRect();
  TPoint at(x, y);
  if ((flags & SWP_NOMOVE) != 0) {
    at = now.TopLeft();
    // A child's own place is in its parent's client area.
    if (Parent != nullptr && !Pimpl->Top()->isWindow()) Parent->ScreenToClient(at);
  }
  const TSize size = (flags & SWP_NOSIZE) != 0 ? now.Size() : TSize(width, height);
  if (Pimpl->Top() == nullptr) {
    Attr.X = at.x, Attr.Y = at.y, Attr.W = size.cx, Attr.H = size.cy;
  } else {
    QWidget* top = Pimpl->Top();
    top->move(at.x, at.y);
    top->resize(std::max(0, static_cast<int>(size.cx)), std::max(0, static_cast<int>(size.cy)));
    if (Pimpl->PlaceClient) Pimpl->PlaceClient();
    Attr.X = at.x, Attr.Y = at.y, Attr.W = size.cx, Attr.H = size.cy;
  }
  if ((flags & SWP_SHOWWINDOW) != 0)
    ShowWindow((flags & SWP_NOACTIVATE) != 0 ? SW_SHOWNA : SW_SHOW);
  if ((flags & SWP_HIDEWINDOW) != 0) ShowWindow(SW_HIDE);
  return true;
}

bool TWindow::SetForegroundWindow() {
  QWidget* top = Pimpl->Top();
  if (top == nullptr) return false;
  top->window()->raise();
  top->window()->activateWindow();
  return true;
}
