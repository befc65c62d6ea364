// The accessible objects of the framework's menu items. Qt's own read an unchecked toggle
// as a plain item and the shortcut after the tab as part of the name.
#include "framework/menus/accessible_menu_items.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "framework/menus/menu_impl.h"

namespace {

constexpr char ItemProperty[] = "kavroAccessibleItem";
constexpr char ToggleProperty[] = "kavroToggle";

class TMenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  explicit TMenuItemAccessible(QAction* action) : Action(action) {}

  bool isValid() const override { return Action != nullptr && Holder() != nullptr; }
  QObject* object() const override { return Action; }
  QWindow* window() const override {
    QWidget* holder = Holder();
    return holder != nullptr ? holder->window()->windowHandle() : nullptr;
  }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(Holder());
  }
  QAccessibleInterface* child(int index) const override {
    return index == 0 && Action->menu() != nullptr
               ? QAccessible::queryAccessibleInterface(Action->menu())
               : nullptr;
  }
  int childCount() const override { return Action != nullptr && Action->menu() != nullptr; }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child == this->child(0) ? 0 : -1;
  }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    if (!isValid()) return {};
    const QVariant full = Action->property(FullTextProperty);
    const QString text = full.isValid() ? full.toString() : Action->text();
    const qsizetype tab = text.indexOf('\t');
    if (t == QAccessible::Accelerator) return tab < 0 ? QString() : text.mid(tab + 1);
    if (t != QAccessible::Name) return {};
    QString name;
    const QString label = text.left(tab);
    for (qsizetype i = 0; i < label.size(); ++i) {
      if (label[i] == '&' && i + 1 < label.size()) ++i;  // "&&" is one ampersand
      name += label[i];
    }
    return name;
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    QWidget* holder = Holder();
    if (holder == nullptr) return {};
    QRect at;
    if (auto* menu = qobject_cast<QMenu*>(holder)) at = menu->actionGeometry(Action);
    if (auto* bar = qobject_cast<QMenuBar*>(holder)) at = bar->actionGeometry(Action);
    return at.translated(holder->mapToGlobal(QPoint(0, 0)));
  }
  QAccessible::Role role() const override {
    if (Action->isSeparator()) return QAccessible::Separator;
    return Toggle() ? QAccessible::CheckBox : QAccessible::MenuItem;
  }
  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) {
      s.invalid = true;
      return s;
    }
    s.disabled = !Action->isEnabled();
    s.invisible = !Action->isVisible();
    s.focusable = !Action->isSeparator();
    s.checkable = Toggle();
    s.checked = Action->isChecked();
    s.hasPopup = Action->menu() != nullptr;
    if (auto* menu = qobject_cast<QMenu*>(Holder())) s.focused = menu->activeAction() == Action;
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
  }

  QStringList actionNames() const override {
    if (!isValid() || Action->isSeparator() || !Action->isEnabled()) return {};
    return {Toggle() ? toggleAction() : pressAction()};
  }
  void doAction(const QString& name) override {
    if (actionNames().contains(name)) Action->trigger();
  }
  QStringList keyBindingsForAction(const QString&) const override {
    const QString shortcut = text(QAccessible::Accelerator);
    return shortcut.isEmpty() ? QStringList() : QStringList{shortcut};
  }

 private:
  QWidget* Holder() const {
    return Action != nullptr ? qobject_cast<QWidget*>(Action->parent()) : nullptr;
  }
  bool Toggle() const { return Action->property(ToggleProperty).toBool(); }
  QPointer<QAction> Action;
};

QAccessibleInterface* MenuItemFactory(const QString&, QObject* object) {
  auto* action = qobject_cast<QAction*>(object);
  if (action == nullptr || !action->property(ItemProperty).toBool()) return nullptr;
  return new TMenuItemAccessible(action);
}

}  // namespace

void TellAsMenuItem(QAction& action) {
  static const bool installed = (QAccessible::installFactory(MenuItemFactory), true);
  (void)installed;
  action.setProperty(ItemProperty, true);
}

void TellAsToggle(QAction& action) {
  action.setProperty(ToggleProperty, true);
}
