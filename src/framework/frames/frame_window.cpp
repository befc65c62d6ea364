// Frames: the window around a client area with a menu bar, accelerators and an icon.
#include "framework/frames/frame_window.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QScreen>

#include "framework/frames/window_manager_hints.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/menus/menu_impl.h"
#include "framework/resources/accelerators.h"
#include "framework/resources/resources.h"
#include "framework/windows/messages.h"
#include "framework/windows/side_window.h"
#include "framework/windows/window_impl.h"

namespace {

Qt::WindowFlags WindowFlagsFor(DWORD style) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
  if ((style & WS_CAPTION) == WS_CAPTION) flags |= Qt::WindowTitleHint;
  if ((style & WS_SYSMENU) != 0) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if ((style & WS_MINIMIZEBOX) != 0) flags |= Qt::WindowMinimizeButtonHint;
  if ((style & WS_MAXIMIZEBOX) != 0) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}

// Whether the window's system menu (as the game left it) still offers a command; a
// window that never asked for its system menu has every standard item.
bool SystemMenuOffers(const TWindow::TImpl& impl, UINT command) {
  if (impl.SystemMenu == nullptr) return true;
  for (const QAction* action : impl.SystemMenu->actions()) {
    if (MenuActionId(action) == command) return true;
  }
  return false;
}

// Just before the frame is first mapped, tells the window manager what the frame's style
// and system menu allow: the window manager's own menu and caption are where a player
// would move, size or maximize it. A window manager that will not maximize a window it
// may not move (openbox) leaves a frame shown maximized at the size asked for, which may
// reach past the screen's free area; such a frame is fitted to that area.
class TWindowManagerAsker : public QObject {
 public:
  TWindowManagerAsker(TFrameWindow& frame, QObject* parent) : QObject(parent), Frame(frame) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    auto& top = *static_cast<QWidget*>(watched);
    switch (event->type()) {
      case QEvent::Show:
        if (!Asked) Ask(top);
        break;
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::WindowStateChange:
        if (Asked && !Hints.Move && ShownMaximized) FitToScreen(top);
        if (Asked && !Hints.Size && top.isMaximized()) PinSize(top);
        break;
      default:
        break;
    }
    return false;
  }

 private:
  void Ask(QWidget& top) {
    Asked = true;
    const TWindow::TImpl& impl = *Frame.Impl();
    const DWORD style = Frame.Attr.Style;
    Hints.Move = SystemMenuOffers(impl, SC_MOVE);
    Hints.Size = (style & WS_THICKFRAME) != 0 && SystemMenuOffers(impl, SC_SIZE);
    Hints.Minimize = (style & WS_MINIMIZEBOX) != 0;
    Hints.Maximize = (style & WS_MAXIMIZEBOX) != 0;
    Hints.Close = (style & WS_SYSMENU) != 0;
    AskWindowManager(top, Hints);
    ShownMaximized = top.isMaximized();
  }

  static void FitToScreen(QWidget& top) {
    const QScreen* screen = top.screen();
    // A Wayland program knows neither the work area nor where its window is: there the
    // compositor's configure alone sizes a maximized frame.
    if (screen == nullptr || QGuiApplication::platformName() == QLatin1String("wayland")) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = top.frameGeometry();
    const QRect client = top.geometry();
    if (area.contains(frame)) return;
    const QMargins decoration(client.left() - frame.left(), client.top() - frame.top(),
                              frame.right() - client.right(), frame.bottom() - client.bottom());
    const QRect fitted = area.marginsRemoved(decoration);
    if (fitted.isValid() && fitted != client) top.setGeometry(fitted);
  }

  // Wayland has no word for "not sizable"; a compositor offers neither sizing nor a
  // maximize button for a window whose least and greatest sizes are one. The size pinned
  // is the one the compositor's maximize gave.
  static void PinSize(QWidget& top) {
    if (QGuiApplication::platformName() != QLatin1String("wayland")) return;
    const QSize size = top.size();
    if (top.minimumSize() != size || top.maximumSize() != size) top.setFixedSize(size);
  }

  TFrameWindow& Frame;
  TWindowManagerHints Hints;
  bool Asked = false;
  bool ShownMaximized = false;
};

// A frame is a frame to a screen reader, not a plain area of the desktop.
QAccessibleInterface* FrameFactory(const QString&, QObject* object) {
  auto* outer = dynamic_cast<TOuterWidget*>(object);
  if (outer == nullptr || !outer->isWindow()) return nullptr;
  return new QAccessibleWidget(outer, QAccessible::Window);
}

}  // namespace

// Hears the menu bar and turns what happens there into the frame's messages.
struct TFrameWindow::TFrameImpl : TMenuListener {
  explicit TFrameImpl(TFrameWindow& window) : Window(window) {}

  void MenuCommand(UINT id) override {
    // Posted, as Windows does: the command runs once the menu has closed.
    Window.PostMessage(WM_COMMAND, id, 0);
  }
  void MenuSelect(UINT item, UINT flags, HMENU menu) override {
    Window.HandleMessage(WM_MENUSELECT, MAKEWPARAM(static_cast<int>(item), static_cast<int>(flags)),
                         reinterpret_cast<TParam2>(menu));
  }
  void MenuOpening(QMenu* popup) override {
    Window.HandleMessage(WM_INITMENUPOPUP, reinterpret_cast<TParam1>(MenuHandle(popup)), 0);
    Window.EnableMenuItems(MenuHandle(popup), false);
  }
  void MenuClosed() override {
    Window.HandleMessage(WM_MENUSELECT, MAKEWPARAM(0, ::MenuClosed), 0);
  }

  // Puts the menu bar above the client area.
  void Place() {
    TWindow::TImpl& impl = *Window.Impl();
    if (impl.Outer == nullptr || impl.Widget == nullptr) return;
    const int width = impl.Outer->width();
    int top = 0;
    if (Bar != nullptr && !Bar->isHidden()) {
      top = Bar->heightForWidth(width) > 0 ? Bar->heightForWidth(width) : Bar->sizeHint().height();
      Bar->setGeometry(0, 0, width, top);
    }
    impl.Widget->setGeometry(0, top, width, std::max(0, impl.Outer->height() - top));
  }

  void Attach(QMenuBar* bar) {
    if (Bar != nullptr) {
      SetMenuListener(Bar, nullptr);
      Bar->deleteLater();
    }
    Bar = bar;
    if (Bar == nullptr) return;
    Bar->setNativeMenuBar(false);
    Bar->setParent(Window.Impl()->Outer);  // owned by the frame's window from now on
    SetMenuListener(Bar, this);
    Bar->show();
    Place();
  }

  TFrameWindow& Window;
  QPointer<QMenuBar> Bar;
  std::unique_ptr<QMenuBar> Pending;  // given before the window exists
  TAccelTable Accelerators;
};

TFrameWindow::TFrameWindow(TWindow* parent, const char* title, TWindow* clientWnd, TModule* module)
    : TLayoutWindow(parent, title, module), Frame(std::make_unique<TFrameImpl>(*this)) {
  // Top-level even with a parent: the parent owns it, it does not sit inside it.
  Attr.Style = WS_OVERLAPPEDWINDOW;
  if (clientWnd != nullptr) SetClientWindow(clientWnd);
  static const bool installed = (QAccessible::installFactory(FrameFactory), true);
  (void)installed;
}

TFrameWindow::~TFrameWindow() {
  if (Frame->Bar != nullptr) SetMenuListener(Frame->Bar, nullptr);
}

TWindow* TFrameWindow::SetClientWindow(TWindow* clientWnd) {
  TWindow* old = ClientWnd;
  if (old != nullptr) RemoveChildLayout(*old);
  ClientWnd = clientWnd;
  if (ClientWnd != nullptr) SetChildLayout(*ClientWnd, TEdge::Client);
  return old;
}

void TFrameWindow::CreateWidget() {
  if ((Attr.Style & WS_CHILD) != 0) {
    TLayoutWindow::CreateWidget();
    return;
  }
  QWidget* owner = OwnerWindow(GetParentO());
  // The outer window is owned by the owner's window, or by this window until it is
  // destroyed (DestroyWidgets).
  auto* outer = new TOuterWidget(nullptr, owner, WindowFlagsFor(Attr.Style));
  auto* client = new TWindowWidget(this, outer);
  outer->SetClient(client);
  if (SideWindow && owner != nullptr) MakeSideWindow(*outer);
  TImpl& impl = *Impl();
  impl.Outer = outer;
  impl.Widget = client;
  impl.PlaceClient = [this] { Frame->Place(); };
  outer->installEventFilter(new TWindowManagerAsker(*this, outer));
  if (Frame->Pending != nullptr) {
    Frame->Attach(Frame->Pending.release());
  } else if (MenuResId != 0) {
    auto* bar = new QMenuBar(outer);
    BuildMenu(bar, MenuResId);
    Frame->Attach(bar);
  }
  ApplyIcon();
}

void TFrameWindow::SetupWindow() {
  TLayoutWindow::SetupWindow();
  Layout();
}

void TFrameWindow::CleanupWindow() {
  if (Frame->Bar != nullptr) SetMenuListener(Frame->Bar, nullptr);
  TLayoutWindow::CleanupWindow();
}

bool TFrameWindow::AssignMenu(int menuResId) {
  MenuResId = menuResId;
  if (TResources::FindMenu(menuResId) == nullptr) return false;
  if (Impl()->Outer != nullptr) {
    auto* bar = new QMenuBar(Impl()->Outer);
    BuildMenu(bar, menuResId);
    Frame->Attach(bar);
  }
  return true;
}

HMENU TFrameWindow::GetMenu() const {
  return MenuHandle(Frame->Bar.data());
}

bool TFrameWindow::SetMenu(HMENU menu) {
  auto* bar = qobject_cast<QMenuBar*>(MenuWidget(menu));
  if (menu != nullptr && bar == nullptr) return false;
  if (Impl()->Outer == nullptr) {
    Frame->Pending.reset(bar);
    if (bar != nullptr) bar->setParent(nullptr);
    return true;
  }
  Frame->Attach(bar);
  return true;
}

void TFrameWindow::SetAcceleratorTable(int accelResId) {
  Frame->Accelerators = TAccelTable(GetModule(), accelResId);
}

bool TFrameWindow::TranslateAccelerator(UINT virtualKey, bool ctrl, bool shift, bool alt) {
  const UINT id = Frame->Accelerators.Translate(virtualKey, ctrl, shift, alt);
  if (id == 0) return false;
  // A greyed command's key does nothing, as its menu item does nothing.
  TCommandEnabler enabler(id);
  HandleMessage(WM_COMMAND_ENABLE, id, reinterpret_cast<TParam2>(&enabler));
  if (enabler.IsEnabled()) HandleMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(id), 1), 0);
  return true;
}

bool TFrameWindow::SetIcon(TModule*, int iconResId) {
  IconResId = iconResId;
  ApplyIcon();
  return TResources::FindIcon(iconResId) != nullptr;
}

void TFrameWindow::ApplyIcon() {
  const std::vector<TDib>* images =
      IconResId != 0 ? TResources::FindIconImages(IconResId) : nullptr;
  QWidget* top = Impl()->Top();
  if (images == nullptr || top == nullptr || !top->isWindow()) return;
  // Every size goes in, so the desktop picks the one it draws rather than scaling one.
  QIcon icon;
  for (const TDib& dib : *images) {
    const QImage image = IconToImage(dib);
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
  }
  if (!icon.isNull()) top->setWindowIcon(icon);
}

void TFrameWindow::EnableMenuItems(HMENU handle, bool deep) {
  TMenu menu(handle);
  const int count = menu.GetMenuItemCount();
  for (int pos = 0; pos < count; ++pos) {
    if (HMENU sub = menu.GetSubMenu(pos)) {
      if (deep) EnableMenuItems(sub, true);
      continue;
    }
    const UINT id = menu.GetMenuItemID(pos);
    if (id == 0 || id == MenuItemNotFound) continue;
    TCommandEnabler enabler(id);
    HandleMessage(WM_COMMAND_ENABLE, id, reinterpret_cast<TParam2>(&enabler));
    const UINT byPos = static_cast<UINT>(pos);
    menu.EnableMenuItem(byPos, MF_BYPOSITION | (enabler.IsEnabled() ? MF_ENABLED : MF_GRAYED));
    if (enabler.GetCheck() != TCommandEnabler::NoCheck) {
      menu.CheckMenuItem(
          byPos, MF_BYPOSITION |
                     (enabler.GetCheck() == TCommandEnabler::Checked ? MF_CHECKED : MF_UNCHECKED));
    }
  }
}

bool TFrameWindow::IdleAction(long idleCount) {
  if (HMENU menu = GetMenu()) EnableMenuItems(menu, true);
  return TLayoutWindow::IdleAction(idleCount);
}
