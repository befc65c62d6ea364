// Side windows: asking the desktop not to focus them, sending their keys on to the frame,
// and counting their activation as the frame's.
#include "framework/windows/side_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include "framework/windows/messages.h"
#include "framework/windows/window_impl.h"

namespace {

constexpr char SideProperty[] = "kavroSideWindow";

// The frame's window that a side window belongs to.
QWidget* OwnerOf(const QWidget& side) {
  return side.parentWidget() != nullptr ? side.parentWidget()->window() : nullptr;
}

// Alt and a letter opens the frame's menu of that letter, as it does in the frame. The
// side window has the keys, so the desktop has not focused the frame, and a desktop may
// not draw a pop-up of a window it has not focused (sway): the menu opens over the side
// window, whose pop-up it becomes while it is open.
bool OpenMenu(QWidget& side, QWidget& owner, const QKeyEvent& key) {
  if (key.modifiers() != Qt::AltModifier) return false;
  auto* bar = owner.findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
  if (bar == nullptr || !bar->isVisible()) return false;
  const QKeySequence pressed(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(key.key())));
  for (QAction* action : bar->actions()) {
    QMenu* menu = action->menu();
    if (menu == nullptr || !action->isVisible() || !action->isEnabled() ||
        QKeySequence::mnemonic(action->text()) != pressed) {
      continue;
    }
    menu->winId();
    QWindow* popup = menu->windowHandle();
    if (popup != nullptr && side.windowHandle() != nullptr) {
      const QPointer<QWindow> before = popup->transientParent();
      popup->setTransientParent(side.windowHandle());
      QObject::connect(
          menu, &QMenu::aboutToHide, popup, [popup, before] { popup->setTransientParent(before); },
          Qt::SingleShotConnection);
    }
    menu->popup(side.mapToGlobal(QPoint(0, 0)));
    return true;
  }
  return false;
}

// Hands the keys that reach a side window to the frame's focus widget (the board), after
// the application's accelerators have had their look at them.
class TKeyForwarder : public QObject {
 public:
  explicit TKeyForwarder(QWidget& side) : QObject(&side), Side(side) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::WindowActivate && watched == &Side) GiveBackActivation();
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    QWidget* owner = OwnerOf(Side);
    if (owner == nullptr || QApplication::activeModalWidget() != nullptr) return false;
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyPress && OpenMenu(Side, *owner, key)) return true;
    QWidget* target = owner->focusWidget() != nullptr ? owner->focusWidget() : owner;
    QKeyEvent copy(key.type(), key.key(), key.modifiers(), key.nativeScanCode(),
                   key.nativeVirtualKey(), key.nativeModifiers(), key.text(), key.isAutoRepeat(),
                   key.count());
    QCoreApplication::sendEvent(target, &copy);
    return true;
  }

 private:
  // A Wayland compositor cannot be asked to leave a window unfocused (KWin focuses every
  // window it maps, and a click gives a window the keys): the frame asks for them back.
  void GiveBackActivation() {
    if (QGuiApplication::platformName() != QLatin1String("wayland")) return;
    const QPointer<QWidget> owner(OwnerOf(Side));
    if (owner == nullptr || QApplication::activeModalWidget() != nullptr) return;
    QTimer::singleShot(0, owner, [owner] {
      if (owner != nullptr && owner->isVisible()) owner->activateWindow();
    });
  }

  QWidget& Side;
};

}  // namespace

void MakeSideWindow(QWidget& top) {
  // On X11 the window manager reads this as "do not focus", on show and on a click alike.
  // (Showing without activation as well leaves a window that openbox never lets paint.)
  top.setWindowFlag(Qt::WindowDoesNotAcceptFocus);
  top.setProperty(SideProperty, true);
  auto* forwarder = new TKeyForwarder(top);  // a child of top, gone with it
  top.installEventFilter(forwarder);
  for (QWidget* child : top.findChildren<QWidget*>()) child->installEventFilter(forwarder);
}

bool IsSideWindow(const QWidget& top) {
  return top.isWindow() && top.property(SideProperty).toBool();
}

void ReportActivation(TWindow& window, const QWidget& top, bool activated) {
  TWindow* speaker = &window;
  const QWidget* group = &top;
  if (IsSideWindow(top)) {
    group = OwnerOf(top);
    speaker = nullptr;
    for (TWindow* up = window.GetParentO(); up != nullptr && speaker == nullptr;
         up = up->GetParentO()) {
      if (up->Impl()->Top() == group) speaker = up;
    }
    if (speaker == nullptr) return;
  }
  // Activation passing between the frame and its side windows changes nothing; the order
  // in which the desktop reports the two halves does not matter, as a frame told twice
  // that it has the focus has it once.
  const QWidget* active = QApplication::activeWindow();
  const bool withGroup = active != nullptr &&
                         (active == group || (IsSideWindow(*active) && OwnerOf(*active) == group));
  if (activated && withGroup) speaker->HandleMessage(WM_SETFOCUS, 0, 0);
  if (!activated && !withGroup) speaker->HandleMessage(WM_KILLFOCUS, 0, 0);
}
