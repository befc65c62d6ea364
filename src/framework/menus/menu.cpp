// Menus over QMenuBar, QMenu and QAction.
#include "framework/menus/menu.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include <cstring>
#include <utility>

#include "framework/menus/accessible_menu_items.h"
#include "framework/menus/menu_impl.h"
#include "framework/resources/resources.h"
#include "framework/text/text_units.h"
#include "framework/text/translation.h"
#include "framework/windows/window.h"
#include "framework/windows/window_impl.h"

namespace {

constexpr char ListenerProperty[] = "kavroMenuListener";

TMenuListener* ListenerAbove(QObject* object) {
  for (; object != nullptr; object = object->parent()) {
    const QVariant v = object->property(ListenerProperty);
    if (v.isValid()) return static_cast<TMenuListener*>(v.value<void*>());
  }
  return nullptr;
}

// An item found by position or by command, with the menu that holds it.
struct TItem {
  QWidget* Menu = nullptr;
  QAction* Action = nullptr;
  int Position = -1;
};

TItem FindByCommand(QWidget* menu, UINT id) {
  const QList<QAction*> actions = menu->actions();
  for (int i = 0; i < actions.size(); ++i) {
    QAction* a = actions[i];
    if (a->menu() != nullptr) {
      if (TItem inner = FindByCommand(a->menu(), id); inner.Action != nullptr) return inner;
    } else if (!a->isSeparator() && MenuActionId(a) == id) {
      return {menu, a, i};
    }
  }
  return {};
}

TItem Find(QWidget* menu, UINT item, UINT flags) {
  if (menu == nullptr) return {};
  if ((flags & MF_BYPOSITION) == 0) return FindByCommand(menu, item);
  const QList<QAction*> actions = menu->actions();
  if (item >= static_cast<UINT>(actions.size())) return {};
  return {menu, actions[static_cast<int>(item)], static_cast<int>(item)};
}

void ReportSelect(QAction* action) {
  TMenuListener* listener = ListenerAbove(action->parent());
  if (listener == nullptr) return;
  auto* holder = qobject_cast<QWidget*>(action->parent());
  if (QMenu* popup = action->menu()) {
    QWidget* parentMenu = popup->parentWidget();
    // The bar's own titles light up without any menu open (keyboard navigation), and
    // nothing would take their hint away again: only items inside pop-ups count.
    if (qobject_cast<QMenuBar*>(parentMenu) != nullptr) return;
    const int pos =
        parentMenu != nullptr ? static_cast<int>(parentMenu->actions().indexOf(action)) : 0;
    listener->MenuSelect(static_cast<UINT>(pos), MF_POPUP, MenuHandle(parentMenu));
  } else {
    listener->MenuSelect(MenuActionId(action), action->isSeparator() ? MF_SEPARATOR : 0,
                         MenuHandle(holder));
  }
}

// Commands and highlights go to whoever listens above the item when they happen.
void Wire(QAction* action) {
  QObject::connect(action, &QAction::triggered, action, [action] {
    const UINT id = MenuActionId(action);
    if (id == 0 || action->menu() != nullptr) return;
    if (TMenuListener* listener = ListenerAbove(action->parent())) listener->MenuCommand(id);
  });
  QObject::connect(action, &QAction::hovered, action, [action] { ReportSelect(action); });
  TellAsMenuItem(*action);
}

QMenu* NewPopup(QWidget* parent) {
  auto* popup = new QMenu(parent);  // owned by its parent menu, or by a TMenu until then
  QObject::connect(popup, &QMenu::aboutToShow, popup, [popup] {
    if (TMenuListener* listener = ListenerAbove(popup)) listener->MenuOpening(popup);
  });
  QObject::connect(popup, &QMenu::aboutToHide, popup, [popup] {
    // Moving from one pop-up to the next hides one and shows another: the menu has
    // closed only when no pop-up is left once the events have settled.
    QTimer::singleShot(0, popup, [popup] {
      if (QApplication::activePopupWidget() != nullptr) return;
      if (TMenuListener* listener = ListenerAbove(popup)) listener->MenuClosed();
    });
  });
  Wire(popup->menuAction());
  return popup;
}

void SetCheck(QAction* action, bool checked) {
  // Only checked items are checkable, so unchecked ones show no box; a screen reader
  // still hears that they are off.
  action->setCheckable(checked);
  action->setChecked(checked);
  TellAsToggle(*action);
}

// The widest label a menu shows, in average characters of its font: a longer one (a deep
// path among the recent files) is shortened in its middle, or the menu would reach across
// the screen and push the shortcut column off it.
constexpr int WidestLabel = 60;

void SetItemText(QAction* action, const QString& text) {
  const qsizetype tab = text.indexOf('\t');
  const QString label = text.left(tab);
  const QFontMetrics metrics(action->font());
  const int widest = WidestLabel * metrics.averageCharWidth();
  if (metrics.horizontalAdvance(label) <= widest) {
    action->setText(text);
    action->setProperty(FullTextProperty, QVariant());
    return;
  }
  const QString shown = metrics.elidedText(label, Qt::ElideMiddle, widest);
  action->setText(tab < 0 ? shown : shown + text.mid(tab));
  action->setProperty(FullTextProperty, text);
}

QString ItemText(const QAction& action) {
  const QVariant full = action.property(FullTextProperty);
  return full.isValid() ? full.toString() : action.text();
}

// Makes the item that flags describe; null when a pop-up handle is missing.
QAction* MakeItem(QWidget* menu, UINT flags, std::uintptr_t idOrPopup, const char* text) {
  QAction* action = nullptr;
  if ((flags & MF_POPUP) != 0) {
    auto* popup = qobject_cast<QMenu*>(MenuWidget(reinterpret_cast<HMENU>(idOrPopup)));
    if (popup == nullptr) return nullptr;
    popup->setParent(menu, popup->windowFlags());
    popup->setTitle(QString::fromUtf8(text != nullptr ? Translate(text) : ""));
    action = popup->menuAction();
  } else {
    action = new QAction(menu);  // owned by the menu
    if ((flags & MF_SEPARATOR) != 0) {
      action->setSeparator(true);
    } else {
      SetItemText(action, QString::fromUtf8(text != nullptr ? Translate(text) : ""));
      action->setData(static_cast<uint>(idOrPopup));
    }
    Wire(action);
  }
  action->setEnabled((flags & (MF_GRAYED | MF_DISABLED)) == 0);
  if ((flags & MF_CHECKED) != 0) SetCheck(action, true);
  return action;
}

void BuildItems(QWidget* menu, const std::vector<TMenuItemResource>& items) {
  for (const TMenuItemResource& item : items) {
    switch (item.Kind) {
      case TMenuItemResource::Separator:
        menu->addAction(MakeItem(menu, MF_SEPARATOR, 0, nullptr));
        break;
      case TMenuItemResource::Popup: {
        QMenu* popup = NewPopup(menu);
        BuildItems(popup, item.Items);
        menu->addAction(
            MakeItem(menu, MF_POPUP, reinterpret_cast<std::uintptr_t>(popup), item.Text.c_str()));
        break;
      }
      default:
        menu->addAction(MakeItem(menu, MF_STRING, item.Id, item.Text.c_str()));
        break;
    }
  }
}

void RemoveItem(const TItem& found, bool destroyPopup) {
  found.Menu->removeAction(found.Action);
  if (QMenu* popup = found.Action->menu()) {
    if (destroyPopup) popup->deleteLater();
  } else {
    delete found.Action;
  }
}

void AddStandardSystemItems(QWidget* menu) {
  const std::pair<UINT, const char*> items[] = {
      {SC_RESTORE, "&Restore"},     {SC_MOVE, "&Move"},         {SC_SIZE, "&Size"},
      {SC_MINIMIZE, "Mi&nimize"},   {SC_MAXIMIZE, "Ma&ximize"}, {0, nullptr},
      {SC_CLOSE, "&Close\tAlt+F4"},
  };
  for (const auto& [id, text] : items) {
    menu->addAction(MakeItem(menu, text != nullptr ? MF_STRING : MF_SEPARATOR, id, text));
  }
}

}  // namespace

// --- Private helpers --------------------------------------------------------------------

UINT MenuActionId(const QAction* action) {
  if (action == nullptr || action->isSeparator() || action->menu() != nullptr) return 0;
  return action->data().toUInt();
}

void SetMenuListener(QWidget* bar, TMenuListener* listener) {
  if (bar == nullptr) return;
  bar->setProperty(ListenerProperty,
                   listener != nullptr ? QVariant::fromValue<void*>(listener) : QVariant());
}

void BuildMenu(QWidget* menu, int resourceId) {
  if (const TMenuResource* resource = TResources::FindMenu(resourceId)) BuildItems(menu, *resource);
}

// --- TMenu --------------------------------------------------------------------------------

struct TMenu::TImpl {
  QPointer<QWidget> Menu;
  std::unique_ptr<QWidget> Owned;  // until Release
};

TMenu::TMenu() : Pimpl(std::make_unique<TImpl>()) {}

TMenu::TMenu(HMENU handle) : TMenu() {
  Pimpl->Menu = MenuWidget(handle);
}

TMenu::TMenu(TModule*, int resourceId) : TMenu() {
  Pimpl->Owned = std::make_unique<QMenuBar>();
  Pimpl->Menu = Pimpl->Owned.get();
  BuildMenu(Pimpl->Owned.get(), resourceId);
}

TMenu::TMenu(TMenu&& other) noexcept
    : Pimpl(std::exchange(other.Pimpl, std::make_unique<TImpl>())) {}

TMenu& TMenu::operator=(TMenu&& other) noexcept {
  std::swap(Pimpl, other.Pimpl);
  return *this;
}

TMenu::~TMenu() = default;

TMenu TMenu::CreatePopupMenu() {
  TMenu menu;
  menu.Pimpl->Owned.reset(NewPopup(nullptr));
  menu.Pimpl->Menu = menu.Pimpl->Owned.get();
  return menu;
}

HMENU TMenu::GetHandle() const {
  return MenuHandle(Pimpl->Menu.data());
}

HMENU TMenu::Release() {
  static_cast<void>(Pimpl->Owned.release());  // its new owner deletes it
  return GetHandle();
}

int TMenu::GetMenuItemCount() const {
  return Pimpl->Menu != nullptr ? static_cast<int>(Pimpl->Menu->actions().size()) : -1;
}

UINT TMenu::GetMenuItemID(int pos) const {
  const TItem found = Find(Pimpl->Menu, static_cast<UINT>(pos), MF_BYPOSITION);
  if (found.Action == nullptr || found.Action->menu() != nullptr) return MenuItemNotFound;
  return MenuActionId(found.Action);
}

UINT TMenu::GetMenuState(UINT item, UINT flags) const {
  const TItem found = Find(Pimpl->Menu, item, flags);
  if (found.Action == nullptr) return MenuItemNotFound;
  UINT state = 0;
  if (found.Action->isSeparator()) state |= MF_SEPARATOR;
  if (found.Action->isChecked()) state |= MF_CHECKED;
  if (!found.Action->isEnabled()) state |= MF_GRAYED;
  if (QMenu* popup = found.Action->menu()) {
    state |= MF_POPUP | (static_cast<UINT>(popup->actions().size()) << 8);
  }
  return state;
}

int TMenu::GetMenuString(UINT item, char* text, int size, UINT flags) const {
  const TItem found = Find(Pimpl->Menu, item, flags);
  return CopyText(found.Action != nullptr ? ItemText(*found.Action).toStdString() : std::string(),
                  text, size);
}

HMENU TMenu::GetSubMenu(int pos) const {
  const TItem found = Find(Pimpl->Menu, static_cast<UINT>(pos), MF_BYPOSITION);
  return found.Action != nullptr ? MenuHandle(found.Action->menu()) : nullptr;
}

bool TMenu::AppendMenu(UINT flags, std::uintptr_t idOrPopup, const char* text) {
  if (Pimpl->Menu == nullptr) return false;
  QAction* action = MakeItem(Pimpl->Menu, flags, idOrPopup, text);
  if (action == nullptr) return false;
  Pimpl->Menu->addAction(action);
  return true;
}

bool TMenu::InsertMenu(UINT item, UINT flags, std::uintptr_t idOrPopup, const char* text) {
  if (Pimpl->Menu == nullptr) return false;
  const TItem before = Find(Pimpl->Menu, item, flags);
  // Past the end (by position) appends, as Windows does.
  QWidget* menu = before.Menu != nullptr ? before.Menu : Pimpl->Menu.data();
  if (before.Action == nullptr && (flags & MF_BYPOSITION) == 0) return false;
  QAction* action = MakeItem(menu, flags, idOrPopup, text);
  if (action == nullptr) return false;
  menu->insertAction(before.Action, action);
  return true;
}

bool TMenu::ModifyMenu(UINT item, UINT flags, std::uintptr_t idOrPopup, const char* text) {
  const TItem found = Find(Pimpl->Menu, item, flags);
  if (found.Action == nullptr) return false;
  QAction* action = MakeItem(found.Menu, flags, idOrPopup, text);
  if (action == nullptr) return false;
  found.Menu->insertAction(found.Action, action);
  RemoveItem(found, true);
  return true;
}

bool TMenu::DeleteMenu(UINT item, UINT flags) {
  const TItem found = Find(Pimpl->Menu, item, flags);
  if (found.Action == nullptr) return false;
  RemoveItem(found, true);
  return true;
}

bool TMenu::RemoveMenu(UINT item, UINT flags) {
  const TItem found = Find(Pimpl->Menu, item, flags);
  if (found.Action == nullptr) return false;
  RemoveItem(found, false);
  return true;
}

UINT TMenu::CheckMenuItem(UINT item, UINT check) {
  const TItem found = Find(Pimpl->Menu, item, check);
  if (found.Action == nullptr) return MenuItemNotFound;
  const UINT previous = found.Action->isChecked() ? MF_CHECKED : MF_UNCHECKED;
  SetCheck(found.Action, (check & MF_CHECKED) != 0);
  return previous;
}

UINT TMenu::EnableMenuItem(UINT item, UINT enable) {
  const TItem found = Find(Pimpl->Menu, item, enable);
  if (found.Action == nullptr) return MenuItemNotFound;
  const UINT previous = found.Action->isEnabled() ? MF_ENABLED : MF_GRAYED;
  found.Action->setEnabled((enable & (MF_GRAYED | MF_DISABLED)) == 0);
  return previous;
}

// --- TSystemMenu ------------------------------------------------------------------------------

TSystemMenu::TSystemMenu(TWindow& window, bool revert) {
  TWindow::TImpl& impl = *window.Impl();
  if (impl.SystemMenu == nullptr) {
    impl.SystemMenu = std::make_unique<QMenu>();
    revert = true;
  }
  if (revert) {
    impl.SystemMenu->clear();
    AddStandardSystemItems(impl.SystemMenu.get());
  }
  static_cast<TMenu&>(*this) = TMenu(MenuHandle(impl.SystemMenu.get()));
}
