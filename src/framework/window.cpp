#include "framework/window.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <utility>

#include "framework/application.h"
#include "framework/dc.h"
#include "framework/dc_impl.h"
#include "framework/large_image.h"
#include "framework/message_box.h"
#include "framework/messages.h"
#include "framework/qt_bridge.h"
#include "framework/translation.h"
#include "framework/window_impl.h"

// --- TImpl -----------------------------------------------------------------------------

void TWindow::TImpl::PaintPending(TWindow& window) {
  if (!Invalid.isEmpty()) window.HandleMessage(WM_PAINT, 0, 0);
}

QImage TWindow::TImpl::NewBacking(COLORREF background) {
  const QSize size = Widget->size().expandedTo(QSize(1, 1));
  const qreal ratio = Widget->devicePixelRatio();
  // Exactly the device pixels drawing reaches: the far edges round as every other edge
  // does, and as Qt rounds the window's own size.
  QImage image = UnfilledImage(DeviceEdge(size.width(), ratio), DeviceEdge(size.height(), ratio));
  if (image.isNull()) return image;
  image.fill(ToQRgb(background));
  image.setDevicePixelRatio(ratio);
  return image;
}

void TWindow::TImpl::MakeBacking(COLORREF background) {
  if (Widget == nullptr) return;
  if (!Backing.isNull()) {
    if (Backing.devicePixelRatio() == Widget->devicePixelRatio()) return;
    Invalid = QRect(QPoint(0, 0), Widget->size());
    EraseInvalid = true;
    if (!InPaintEvent) Widget->update();
  }
  Backing = NewBacking(background);
  BackingSize = Widget->size().expandedTo(QSize(1, 1));
}

QRect TWindow::TImpl::UpdateArea(const QRect& area) const {
  const qreal ratio = Backing.isNull() ? 1 : Backing.devicePixelRatio();
  return ratio == std::floor(ratio) ? area : area.adjusted(-1, -1, 1, 1);
}

void TWindow::TImpl::Show(const QRect& area) {
  if (Widget != nullptr && !InPaintEvent) Widget->update(UpdateArea(area));
}

// --- Construction and lifetime ----------------------------------------------------------

TWindow::TWindow(TWindow* parent, const char* title, TModule* module)
    : Parent(parent),
      Module(module != nullptr ? module : (parent != nullptr ? parent->Module : nullptr)),
      Title(title != nullptr ? title : ""),
      Pimpl(std::make_unique<TImpl>()) {
  if (Parent != nullptr) {
    Attr.Style = WS_CHILD | WS_VISIBLE;
    Parent->AddChild(this);
  } else {
    Attr.Style = WS_OVERLAPPEDWINDOW;
  }
}

TWindow::~TWindow() {
  // Children go first: their widgets live inside ours.
  while (!Children.empty()) delete Children.back();
  DestroyWidgets();
  delete Pimpl->Dying.data();
  if (Parent != nullptr) Parent->RemoveChild(this);
}

void TWindow::AddChild(TWindow* child) {
  Children.push_back(child);
}

void TWindow::RemoveChild(TWindow* child) {
  std::erase(Children, child);
}

void TWindow::SetParent(TWindow* parent) {
  if (parent == Parent || parent == this) return;
  TWindow* old = Parent;
  if (old != nullptr) old->RemoveChild(this);
  Parent = parent;
  if (Parent != nullptr) {
    Parent->AddChild(this);
    if (Module == nullptr) Module = Parent->Module;
    // A top-level window that becomes a child shows inside its new parent.
    if (old == nullptr) Attr.Style = (Attr.Style & ~WS_OVERLAPPEDWINDOW) | WS_CHILD | WS_VISIBLE;
  } else {
    Attr.Style &= ~WS_CHILD;
  }
  // A created child moves its widget along; the new parent must exist as well.
  if (QWidget* top = Pimpl->Top(); top != nullptr && !top->isWindow()) {
    if (Parent != nullptr && Parent->Pimpl->Widget != nullptr) {
      top->setParent(Parent->Pimpl->Widget);
      if ((Attr.Style & WS_VISIBLE) != 0) top->show();
    } else {
      DestroyWidgets();
    }
  }
  ParentChanged(old);
}

void TWindow::ParentChanged(TWindow*) {}

void TWindow::CreateWidget() {
  QWidget* parentWidget = Parent != nullptr ? Parent->Pimpl->Widget : nullptr;
  // Owned by the parent widget, or (top level) by this window until DestroyWidgets.
  Pimpl->Widget = new TWindowWidget(this, parentWidget);
}

bool TWindow::Create() {
  if (IsWindow()) return true;
  if (Parent != nullptr && !Parent->IsWindow()) return false;
  CreateWidget();
  QWidget* widget = Pimpl->Widget;
  if (widget == nullptr) return false;
  QWidget* top = Pimpl->Top();
  if (top->isWindow() && top->parentWidget() != nullptr && top->windowType() == Qt::Window) {
    // An owned window stays above its owner only if the window manager is told of the
    // owner, and on X11 Qt tells it only for dialogs and tool windows.
    top->setWindowFlags((top->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
  }
  if (top->isWindow()) top->setWindowTitle(QString::fromUtf8(Translate(Title.c_str())));
  if (Attr.W != CW_USEDEFAULT && Attr.H != CW_USEDEFAULT) {
    top->resize(std::max(0, Attr.W), std::max(0, Attr.H));
  } else if (top->isWindow()) {
    top->resize(640, 480);
  }
  if (Attr.X != CW_USEDEFAULT && Attr.Y != CW_USEDEFAULT) top->move(Attr.X, Attr.Y);
  if (Pimpl->PlaceClient) Pimpl->PlaceClient();
  Pimpl->Backing = QImage();
  Invalidate(true);
  for (TWindow* child : std::vector<TWindow*>(Children)) {
    if (child->AutoCreate) child->Create();
  }
  SetupWindow();
  // Children show with their parent; top-level windows wait for ShowWindow.
  if (!top->isWindow() && (Attr.Style & WS_VISIBLE) != 0) top->show();
  return true;
}

bool TWindow::IsWindow() const {
  return Pimpl->Widget != nullptr;
}

HWND TWindow::GetHandle() const {
  return reinterpret_cast<HWND>(Pimpl->Widget);
}

void TWindow::DestroyWidgets() {
  for (TWindow* child : Children) child->DestroyWidgets();
  TWindowWidget* widget = std::exchange(Pimpl->Widget, nullptr);
  QWidget* outer = std::exchange(Pimpl->Outer, nullptr);
  Pimpl->PlaceClient = nullptr;
  if (widget == nullptr) return;
  for (const auto& timer : Pimpl->Timers) widget->killTimer(timer.first);
  Pimpl->Timers.clear();
  Pimpl->Invalid = QRegion();
  widget->Detach();
  QWidget* top = outer != nullptr ? outer : widget;
  top->hide();
  // We may be inside one of the widget's own event handlers: let Qt delete it later.
  top->deleteLater();
  Pimpl->Dying = top;
}

void TWindow::Destroy(int retVal) {
  if (!IsWindow()) return;
  for (TWindow* child : std::vector<TWindow*>(Children)) child->Destroy(retVal);
  HandleMessage(WM_DESTROY, 0, 0);
  CleanupWindow();
  DestroyWidgets();
  if (TApplication* app = TApplication::Current(); app != nullptr && app->GetMainWindow() == this) {
    app->Quit(retVal);
  }
}

void TWindow::SetupWindow() {}
void TWindow::CleanupWindow() {}
bool TWindow::CanClose() {
  return true;
}

void TWindow::CloseWindow(int retVal) {
  if (CanClose()) Destroy(retVal);
}

bool TWindow::ShowWindow(int cmdShow) {
  if (cmdShow == SW_HIDE) {
    Attr.Style &= ~WS_VISIBLE;
  } else {
    Attr.Style |= WS_VISIBLE;
  }
  QWidget* widget = Pimpl->Top();
  if (widget == nullptr) return false;
  const bool wasVisible = widget->isVisible();
  switch (cmdShow) {
    case SW_HIDE:
      widget->hide();
      break;
    case SW_SHOWMAXIMIZED:
      widget->showMaximized();
      break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      widget->showMinimized();
      break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      widget->isWindow() ? widget->showNormal() : widget->show();
      break;
    default:
      widget->show();
      break;
  }
  return wasVisible;
}

bool TWindow::IsWindowVisible() const {
  return Pimpl->Widget != nullptr && Pimpl->Top()->isVisible();
}
bool TWindow::IsIconic() const {
  return Pimpl->Widget != nullptr && Pimpl->Widget->window()->isMinimized();
}
bool TWindow::IsZoomed() const {
  return Pimpl->Widget != nullptr && Pimpl->Widget->window()->isMaximized();
}

void TWindow::SetCaption(const char* title) {
  Title = title != nullptr ? title : "";
  if (QWidget* top = Pimpl->Top(); top != nullptr && top->isWindow()) {
    top->setWindowTitle(QString::fromUtf8(Translate(Title.c_str())));
  }
}

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

// --- Painting ----------------------------------------------------------------------------

void TWindow::Invalidate(bool erase) {
  InvalidateRect(GetClientRect(), erase);
}

void TWindow::InvalidateRect(const TRect& rect, bool erase) {
  QWidget* widget = Pimpl->Widget;
  if (widget == nullptr) return;
  const QRect area = ToQRect(rect) & widget->rect();
  if (area.isEmpty()) return;
  Pimpl->Invalid += area;
  if (erase) Pimpl->EraseInvalid = true;
  widget->update(Pimpl->UpdateArea(area));
}

void TWindow::UpdateWindow() {
  if (Pimpl->Widget != nullptr) Pimpl->PaintPending(*this);
}

void TWindow::Paint(TDC&, bool, TRect&) {}

// --- Messages ----------------------------------------------------------------------------

TResult TWindow::HandleMessage(UINT msg, TParam1 p1, TParam2 p2) {
  const TImpl::TCurrentMessage saved = std::exchange(Pimpl->Current, {msg, p1, p2, false});
  const TResult result = WindowProc(msg, p1, p2);
  Pimpl->LastDefaultRan = Pimpl->Current.DefaultRan;
  Pimpl->Current = saved;
  return result;
}

TResult TWindow::SendMessage(UINT msg, TParam1 p1, TParam2 p2) {
  return HandleMessage(msg, p1, p2);
}

bool TWindow::PostMessage(UINT msg, TParam1 p1, TParam2 p2) {
  if (Pimpl->Widget == nullptr) return false;
  // Qt owns a posted event and deletes it after delivery.
  QCoreApplication::postEvent(Pimpl->Widget, new TWindowWidget::TPostedMessage(msg, p1, p2));
  return true;
}

TResult TWindow::WindowProc(UINT msg, TParam1 p1, TParam2 p2) {
  Pimpl->Current.DefaultRan = true;
  return DefWindowProc(msg, p1, p2);
}

TResult TWindow::DefaultProcessing() {
  Pimpl->Current.DefaultRan = true;
  return DefWindowProc(Pimpl->Current.Msg, Pimpl->Current.P1, Pimpl->Current.P2);
}

TResult TWindow::DefWindowProc(UINT msg, TParam1 p1, TParam2 p2) {
  switch (msg) {
    case WM_PAINT: {
      Pimpl->MakeBacking(BkgndColor);
      QRegion region = std::exchange(Pimpl->Invalid, QRegion());
      const bool erase = std::exchange(Pimpl->EraseInvalid, false);
      region &= QRect(QPoint(0, 0), Pimpl->BackingSize);
      if (region.isEmpty() || Pimpl->Widget == nullptr) return 0;
      {
        TPaintDC dc(*this, region);
        // Paint learns whether the background still needs erasing, as Windows tells it.
        bool needsErase = false;
        if (erase) {
          needsErase = HandleMessage(WM_ERASEBKGND,
                                     reinterpret_cast<WPARAM>(static_cast<TDC*>(&dc)), 0) == 0;
        }
        TRect rect = ToTRect(region.boundingRect());
        Paint(dc, needsErase, rect);
      }
      Pimpl->Show(region.boundingRect());
      return 0;
    }
    case WM_ERASEBKGND: {
      auto* dc = reinterpret_cast<TDC*>(p1);
      if (dc == nullptr) return 0;
      dc->FillRect(GetClientRect(), TBrush(BkgndColor));
      return 1;
    }
    case WM_CLOSE:
      CloseWindow();
      return 0;
    case WM_COMMAND:
    case WM_COMMAND_ENABLE:
    case WM_SETHINTCOMMAND:
      // Commands nobody took travel up to the frame; Exit closes the main window.
      if (Parent != nullptr) return Parent->HandleMessage(msg, p1, p2);
      if (msg == WM_COMMAND && LOWORD(p1) == CM_EXIT) {
        if (TApplication* app = TApplication::Current();
            app != nullptr && app->GetMainWindow() != nullptr) {
          app->GetMainWindow()->CloseWindow();
        } else {
          CloseWindow();
        }
      }
      return 0;
    default:
      return 0;
  }
}

bool TWindow::TranslateAccelerator(UINT, bool, bool, bool) {
  return false;
}

bool TWindow::IdleAction(long idleCount) {
  bool more = false;
  // A child may go away while it runs: walk a copy and skip the departed.
  const std::vector<TWindow*> children = Children;
  for (TWindow* child : children) {
    if (std::find(Children.begin(), Children.end(), child) != Children.end()) {
      more = child->IdleAction(idleCount) || more;
    }
  }
  return more;
}

// --- Timers, mouse, focus, cursor ---------------------------------------------------------

bool TWindow::SetTimer(UINT id, UINT milliseconds) {
  if (Pimpl->Widget == nullptr) return false;
  KillTimer(id);  // a timer with the same id is replaced
  const int qtId = Pimpl->Widget->startTimer(static_cast<int>(milliseconds), Qt::PreciseTimer);
  if (qtId == 0) return false;
  Pimpl->Timers[qtId] = id;
  return true;
}

bool TWindow::KillTimer(UINT id) {
  for (auto it = Pimpl->Timers.begin(); it != Pimpl->Timers.end(); ++it) {
    if (it->second != id) continue;
    if (Pimpl->Widget != nullptr) Pimpl->Widget->killTimer(it->first);
    Pimpl->Timers.erase(it);
    return true;
  }
  return false;
}

// Wayland lets a program grab the mouse only for a pop-up, and gives the window a button
// was pressed in the pointer until its release anyway: there capture is only noted.
namespace {
bool GrabsForCapture() {
  return QGuiApplication::platformName() != QLatin1String("wayland");
}
}  // namespace

void TWindow::SetCapture() {
  if (Pimpl->Widget == nullptr) return;
  Pimpl->Captured = true;
  if (GrabsForCapture()) Pimpl->Widget->grabMouse();
}

void TWindow::ReleaseCapture() {
  if (Pimpl->Widget == nullptr || !HasCapture()) return;
  Pimpl->Captured = false;
  if (GrabsForCapture()) Pimpl->Widget->releaseMouse();
}

bool TWindow::HasCapture() const {
  if (Pimpl->Widget == nullptr) return false;
  return GrabsForCapture() ? QWidget::mouseGrabber() == Pimpl->Widget : Pimpl->Captured;
}

void TWindow::SetFocus() {
  if (Pimpl->Widget != nullptr) Pimpl->Widget->setFocus();
}

void TWindow::SetCursor(TModule*, int cursorId) {
  QWidget* top = Pimpl->Top();
  if (top == nullptr) return;
  switch (cursorId) {
    case IDC_WAIT:
      top->setCursor(Qt::WaitCursor);
      break;
    case IDC_IBEAM:
      top->setCursor(Qt::IBeamCursor);
      break;
    case IDC_CROSS:
      top->setCursor(Qt::CrossCursor);
      break;
    default:
      top->setCursor(Qt::ArrowCursor);
      break;
  }
}

// --- Message boxes -------------------------------------------------------------------------

int TWindow::MessageBox(const char* text, const char* caption, UINT type) {
  return ShowMessageBox(GetHandle(), text, caption, type);
}
