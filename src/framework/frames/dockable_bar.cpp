// Dockable bars: moving between a strip and a floating tool window.
#include "framework/frames/dockable_bar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QPalette>
#include <QStyle>
#include <QWindow>

#include <algorithm>
#include <utility>

#include "framework/frames/floating_panel.h"
#include "framework/frames/harbor.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/text/translation.h"
#include "framework/windows/side_window.h"
#include "framework/windows/window_impl.h"

TDockableControlBar::TDockableControlBar(TWindow* parent, TDirection direction,
                                         std::unique_ptr<TFont> font, TModule* module)
    : TGadgetWindow(parent, direction, std::move(font), module) {}

void TDockableControlBar::Relayout() {
  TGadgetWindow::Relayout();
  if (Floating) FitFloatingWindow();
}

void TDockableControlBar::SetupWindow() {
  TGadgetWindow::SetupWindow();
  if (PendingFloat) {
    PendingFloat = false;
    Float(HasFloatPoint ? &FloatPoint : nullptr);
  }
}

TResult TDockableControlBar::WindowProc(UINT msg, TParam1 p1, TParam2 p2) {
  // The tool window's close box must not destroy the bar: it stays where it is.
  if (msg == WM_CLOSE) return 0;
  // A button used has said what it does: the text its hint covered comes back, and the
  // hint shows again when the pointer next comes onto a button.
  if (msg == WM_COMMAND && p2 == 0) ShowHint(-1);
  return TGadgetWindow::WindowProc(msg, p1, p2);
}

namespace {

// How wide a tool window must be for the desktop to show its caption: the text in a bold
// title font, and room for the title bar's icon and buttons, each about as wide as the
// bar is tall.
int CaptionWidth(const QString& caption) {
  QFont font = QApplication::font();
  font.setBold(true);
  const int bar = std::max(16, QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
  return QFontMetrics(font).horizontalAdvance(caption) + 5 * bar;
}

// Lets the desktop map and frame a window just shown, so that its frame can be read and
// placed; user input waits meanwhile. Without a window manager nothing frames it and the
// window is ready as soon as it shows.
void WaitForFrame(QWidget& window) {
  QWindow* handle = window.windowHandle();
  QElapsedTimer clock;
  clock.start();
  while (handle != nullptr && !handle->isExposed() && clock.elapsed() < 2000) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
  }
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void TDockableControlBar::FitFloatingWindow() {
  QWidget* outer = Impl()->Outer;
  if (outer == nullptr) return;
  TSize size;
  GetDesiredSize(size);
  if (auto* panel = dynamic_cast<TFloatingPanel*>(outer)) {
    const int caption = panel->fontMetrics().horizontalAdvance(panel->windowTitle()) + 8;
    panel->resize(std::max<int>(size.cx, caption), size.cy + panel->CaptionHeight());
  } else {
    // Fixed: a window manager then offers neither sizing nor maximizing for it.
    outer->setFixedSize(std::max<int>(size.cx, CaptionWidth(outer->windowTitle())), size.cy);
  }
  if (Impl()->PlaceClient) Impl()->PlaceClient();
}

void TDockableControlBar::MoveFloatingWindow(const TPoint& screenPoint) {
  QWidget* outer = Impl()->Outer;
  const QPoint at(screenPoint.x, screenPoint.y);
  if (auto* panel = dynamic_cast<TFloatingPanel*>(outer)) {
    panel->MoveInFrame(panel->parentWidget()->mapFromGlobal(at));
  } else if (outer != nullptr) {
    outer->move(at);
  }
}

void TDockableControlBar::Float(const TPoint* screenPoint) {
  Floating = true;
  Location = DockNone;
  if (screenPoint != nullptr) {
    HasFloatPoint = true;
    FloatPoint = *screenPoint;
  }
  SetDirection(Horizontal);
  TImpl& impl = *Impl();
  if (impl.Widget == nullptr) {
    PendingFloat = true;
    return;
  }
  if (impl.Outer == nullptr) {
    const QPoint here = impl.Widget->mapToGlobal(QPoint(0, 0));
    QWidget* frame = impl.Widget->window();
    TOuterWidget* outer = nullptr;
    int top = 0;
    if (FloatsInFrame()) {
      auto* panel = new TFloatingPanel(impl.Widget, frame);  // a child of the frame
      top = panel->CaptionHeight();
      outer = panel;
    } else {
      // Owned by the frame's window, so it stays above the frame and goes with it.
      outer = new TOuterWidget(impl.Widget, frame,
                               Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
      MakeSideWindow(*outer);
    }
    impl.Widget->setParent(outer);
    impl.Widget->move(0, top);
    impl.Widget->show();
    impl.Outer = outer;
    // A window made wider for its caption shows the bar in its middle, on the bar's colour.
    outer->setAutoFillBackground(true);
    QPalette palette = outer->palette();
    palette.setColor(QPalette::Window, QColor(ToQRgb(GetBkgndColor())));
    outer->setPalette(palette);
    impl.PlaceClient = [this, top] {
      TImpl& d = *Impl();
      if (d.Outer == nullptr) return;
      TSize size;
      GetDesiredSize(size);
      const int width = std::min<int>(d.Outer->width(), size.cx);
      d.Widget->setGeometry((d.Outer->width() - width) / 2, top, width, d.Outer->height() - top);
    };
    MoveFloatingWindow(TPoint(here.x(), here.y()));
  }
  impl.Outer->setWindowTitle(QString::fromUtf8(Translate(GetCaption().c_str())));
  FitFloatingWindow();
  if (screenPoint != nullptr) MoveFloatingWindow(*screenPoint);
  if ((Attr.Style & WS_VISIBLE) == 0) return;
  impl.Outer->show();
  if (!impl.Outer->isWindow()) {
    impl.Outer->raise();
    return;
  }
  if (screenPoint == nullptr) return;
  // Before the desktop framed it the point placed the client area; the point is the
  // frame's, as the desktop reports it afterwards.
  WaitForFrame(*impl.Outer);
  if (impl.Outer != nullptr) impl.Outer->move(screenPoint->x, screenPoint->y);
}

void TDockableControlBar::Dock(TDockStrip& strip) {
  Floating = false;
  PendingFloat = false;
  Location = strip.GetLocation();
  TImpl& impl = *Impl();
  if (impl.Outer != nullptr) {
    if (!strip.IsWindow()) strip.Create();
    auto* outer = static_cast<TOuterWidget*>(std::exchange(impl.Outer, nullptr));
    impl.PlaceClient = nullptr;
    outer->SetClient(nullptr);
    impl.Widget->setParent(strip.Impl()->Widget);
    outer->hide();
    outer->deleteLater();
  }
  SetParent(&strip);
  if (impl.Widget != nullptr && (Attr.Style & WS_VISIBLE) != 0) impl.Widget->show();
  SetDirection(strip.IsVertical() ? Vertical : Horizontal);
}
