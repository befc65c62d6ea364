// A window's lifetime: its backing image, creation, showing and destruction, its caption,
// and the invalid area its next paint redraws.
#include "framework/windows/window.h"

#include <QApplication>

#include <algorithm>
#include <utility>

#include "framework/graphics/dc.h"
#include "framework/graphics/device_pixels.h"
#include "framework/graphics/large_image.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/text/translation.h"
#include "framework/windows/messages.h"
#include "framework/windows/program.h"
#include "framework/windows/window_impl.h"

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
  if (ProgramMainWindow() == this) QuitProgram(retVal);
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
