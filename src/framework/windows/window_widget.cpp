// Qt events in, window messages out.
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimerEvent>

#include <algorithm>

#include "framework/graphics/dc_impl.h"
#include "framework/graphics/large_image.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/windows/key_map.h"
#include "framework/windows/messages.h"
#include "framework/windows/side_window.h"
#include "framework/windows/window_impl.h"

namespace {

WPARAM MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  WPARAM keys = 0;
  if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
  if (buttons & Qt::RightButton) keys |= MK_RBUTTON;
  if (modifiers & Qt::ShiftModifier) keys |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) keys |= MK_CONTROL;
  return keys;
}

LPARAM ClientPoint(const QWidget& widget, const QMouseEvent* e) {
  const qreal ratio = widget.devicePixelRatioF();
  return MAKELPARAM(LogicalPixelAt(e->position().x(), ratio),
                    LogicalPixelAt(e->position().y(), ratio));
}

}  // namespace

QEvent::Type TWindowWidget::TPostedMessage::EventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

TWindowWidget::TWindowWidget(TWindow* owner, QWidget* parent) : QWidget(parent), Owner(owner) {
  // The backing image covers every pixel, so Qt need not clear anything first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  // The keys stay where they do something of their own (a board), also after a click on a
  // bar: bars and frames are the menus' and accelerators' to reach.
  setFocusPolicy(owner != nullptr && owner->Impl()->Grid != nullptr ? Qt::StrongFocus
                                                                    : Qt::NoFocus);
}

bool TWindowWidget::Forward(UINT msg, TParam1 p1, TParam2 p2) {
  if (Owner == nullptr) return false;
  TWindow::TImpl& impl = *Owner->Impl();
  Owner->HandleMessage(msg, p1, p2);
  return !impl.LastDefaultRan;
}

TOuterWidget::TOuterWidget(TWindowWidget* client, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), Client(client) {}

void TOuterWidget::closeEvent(QCloseEvent* e) {
  e->ignore();
  if (Client != nullptr && Client->GetOwner() != nullptr) {
    Client->GetOwner()->HandleMessage(WM_CLOSE, 0, 0);
  }
}

void TOuterWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (Client == nullptr || Client->GetOwner() == nullptr) return;
  if (const auto& place = Client->GetOwner()->Impl()->PlaceClient) place();
}

bool TWindowWidget::event(QEvent* e) {
  if (e->type() == TPostedMessage::EventType()) {
    const auto* posted = static_cast<TPostedMessage*>(e);
    if (Owner != nullptr) Owner->HandleMessage(posted->Msg, posted->P1, posted->P2);
    return true;
  }
  // On a screen of another scale, or when the scale changes, the window draws itself
  // again at the new ratio (a paint at the new ratio would find out too, a moment later).
  bool newRatio = e->type() == QEvent::ScreenChangeInternal;
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
  newRatio = newRatio || e->type() == QEvent::DevicePixelRatioChange;
#endif
  if (newRatio && Owner != nullptr && !Owner->Impl()->Backing.isNull()) {
    Owner->Impl()->MakeBacking(Owner->GetBkgndColor());
  }
  // Activation reaches the client areas inside a frame too; only the whole window's
  // client area stands for its focus (and a side window's for its frame's).
  QWidget* top = Owner != nullptr ? Owner->Impl()->Top() : nullptr;
  if (top != nullptr && top->isWindow() &&
      (e->type() == QEvent::WindowActivate || e->type() == QEvent::WindowDeactivate)) {
    ReportActivation(*Owner, *top, e->type() == QEvent::WindowActivate);
  }
  return QWidget::event(e);
}

void TWindowWidget::paintEvent(QPaintEvent* e) {
  if (Owner == nullptr) return;
  TWindow::TImpl& impl = *Owner->Impl();
  if (impl.Transparent) return;
  impl.InPaintEvent = true;
  // A backing image of another ratio (the window changed screens) is made again first.
  impl.MakeBacking(Owner->GetBkgndColor());
  impl.PaintPending(*Owner);
  impl.InPaintEvent = false;
  impl.MakeBacking(Owner->GetBkgndColor());
  QPainter painter(this);
  if (impl.Backing.devicePixelRatio() == 1) {
    painter.drawImage(e->rect(), impl.Backing, e->rect());
  } else {
    // Placed whole at its ratio, each pixel lands on one device pixel; the painter's clip
    // keeps the copy to what is to be shown.
    painter.drawImage(QPointF(0, 0), impl.Backing);
  }
}

void TWindowWidget::resizeEvent(QResizeEvent* e) {
  if (Owner == nullptr) return;
  TWindow::TImpl& impl = *Owner->Impl();
  const QSize size = e->size().expandedTo(QSize(0, 0));
  const QRect whole(QPoint(0, 0), size);
  if (impl.Backing.isNull() || impl.Backing.devicePixelRatio() != devicePixelRatio()) {
    // Never painted, or for another screen: all of it waits for the next paint, which
    // makes the image.
    impl.Backing = QImage();
    impl.Invalid = whole;
    impl.EraseInvalid = true;
  } else if (impl.BackingSize != size.expandedTo(QSize(1, 1))) {
    // Keep what was drawn; what the new size uncovers is invalid and erased.
    const QSize old = impl.BackingSize;
    QImage grown = impl.NewBacking(Owner->GetBkgndColor());
    if (!grown.isNull()) {
      QPainter painter(&grown);
      painter.drawImage(QPointF(0, 0), impl.Backing);
    }
    impl.Backing = grown;
    impl.BackingSize = size.expandedTo(QSize(1, 1));
    impl.Invalid &= whole;
    const QRegion uncovered = QRegion(whole) - QRegion(QRect(QPoint(0, 0), old));
    if (!uncovered.isEmpty()) {
      impl.Invalid += uncovered;
      impl.EraseInvalid = true;
    }
  }
  WPARAM kind = SIZE_RESTORED;
  if (isWindow() && isMaximized()) kind = SIZE_MAXIMIZED;
  if (isWindow() && isMinimized()) kind = SIZE_MINIMIZED;
  Owner->HandleMessage(WM_SIZE, kind, MAKELPARAM(size.width(), size.height()));
}

void TWindowWidget::mousePressEvent(QMouseEvent* e) {
  UINT msg = 0;
  if (e->button() == Qt::LeftButton) msg = WM_LBUTTONDOWN;
  if (e->button() == Qt::RightButton) msg = WM_RBUTTONDOWN;
  if (msg == 0 || !Forward(msg, MouseKeys(e->buttons(), e->modifiers()), ClientPoint(*this, e))) {
    e->ignore();
  }
}

void TWindowWidget::mouseReleaseEvent(QMouseEvent* e) {
  UINT msg = 0;
  if (e->button() == Qt::LeftButton) msg = WM_LBUTTONUP;
  if (e->button() == Qt::RightButton) msg = WM_RBUTTONUP;
  if (msg == 0 || !Forward(msg, MouseKeys(e->buttons(), e->modifiers()), ClientPoint(*this, e))) {
    e->ignore();
  }
}

void TWindowWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  // Windows without double-click style see a second press.
  if (e->button() != Qt::LeftButton ||
      !Forward(WM_LBUTTONDOWN, MouseKeys(e->buttons(), e->modifiers()), ClientPoint(*this, e))) {
    e->ignore();
  }
}

void TWindowWidget::mouseMoveEvent(QMouseEvent* e) {
  if (!Forward(WM_MOUSEMOVE, MouseKeys(e->buttons(), e->modifiers()), ClientPoint(*this, e))) {
    e->ignore();
  }
}

void TWindowWidget::keyPressEvent(QKeyEvent* e) {
  const UINT vk = VirtualKeyFromQt(e->key(), e->modifiers());
  const LPARAM flags = 1 | (e->isAutoRepeat() ? (LPARAM{1} << 30) : 0);
  if (vk == 0 || !Forward(WM_KEYDOWN, vk, flags)) e->ignore();
}

void TWindowWidget::keyReleaseEvent(QKeyEvent* e) {
  const UINT vk = VirtualKeyFromQt(e->key(), e->modifiers());
  if (vk == 0 || !Forward(WM_KEYUP, vk, LPARAM{1} | (LPARAM{3} << 30))) e->ignore();
}

void TWindowWidget::closeEvent(QCloseEvent* e) {
  // The window decides through WM_CLOSE; Qt must not close it on its own.
  e->ignore();
  if (Owner != nullptr) Owner->HandleMessage(WM_CLOSE, 0, 0);
}

void TWindowWidget::timerEvent(QTimerEvent* e) {
  if (Owner == nullptr) return;
  const auto& timers = Owner->Impl()->Timers;
  if (auto it = timers.find(e->timerId()); it != timers.end()) {
    Owner->HandleMessage(WM_TIMER, it->second, 0);
  }
}

void TWindowWidget::leaveEvent(QEvent* e) {
  QWidget::leaveEvent(e);
  if (Owner != nullptr) Owner->HandleMessage(WM_MOUSELEAVE, 0, 0);
}

void TWindowWidget::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  // Focus stays out of the way: nothing to draw for it.
}
