// Gadget windows as a screen reader meets them: a tool bar or a status bar whose gadgets
// are buttons and labels, named by what they do or show. The gadgets are drawn, not
// widgets: each has an accessible object of its own, made when first asked for.
#include <QAccessible>
#include <QAccessibleWidget>

#include <algorithm>
#include <map>
#include <vector>

#include "framework/bars/accessible_gadgets.h"
#include "framework/bars/gadget_window.h"
#include "framework/bars/status_bar.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/text/translation.h"
#include "framework/windows/accessible_part.h"
#include "framework/windows/window_impl.h"

namespace {

class TBarAccessible;

class TGadgetAccessible : public TAccessiblePart {
 public:
  TGadgetAccessible(TBarAccessible* bar, const TGadget* gadget) : Bar(bar), Gadget(gadget) {}

  bool isValid() const override;
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QString text(QAccessible::Text t) const override {
    if (!isValid() || t != QAccessible::Name) return {};
    return QString::fromStdString(Gadget->GetAccessibleName());
  }
  QRect rect() const override;
  QAccessible::Role role() const override {
    return isValid() && Gadget->GetAccessibleRole() == TGadget::TAccessibleRole::PushButton
               ? QAccessible::Button
               : QAccessible::StaticText;
  }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.invalid = !isValid();
    s.disabled = isValid() && !Gadget->GetEnabled();
    return s;
  }

 private:
  TBarAccessible* Bar;
  const TGadget* Gadget;
};

class TBarAccessible : public QAccessibleWidget {
 public:
  TBarAccessible(TWindowWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}
  ~TBarAccessible() override {
    for (const auto& [gadget, id] : Made) QAccessible::deleteAccessibleInterface(id);
  }

  QWidget* Widget() const { return widget(); }
  // A bar is named by its caption, where it has one.
  QString text(QAccessible::Text t) const override {
    const TWindow* owner = static_cast<TWindowWidget*>(widget())->GetOwner();
    if (t == QAccessible::Name && owner != nullptr && !owner->GetCaption().empty()) {
      return QString::fromUtf8(Translate(owner->GetCaption().c_str()));
    }
    return QAccessibleWidget::text(t);
  }
  // The bar's gadgets a screen reader meets, in their order; none once the bar is gone.
  std::vector<const TGadget*> Told() const {
    std::vector<const TGadget*> told;
    const auto* bar =
        dynamic_cast<const TGadgetWindow*>(static_cast<TWindowWidget*>(widget())->GetOwner());
    if (bar == nullptr) return told;
    for (int i = 0; i < bar->GadgetCount(); ++i) {
      const TGadget* g = bar->GetGadget(i);
      if (g->GetAccessibleRole() != TGadget::TAccessibleRole::None) told.push_back(g);
    }
    return told;
  }
  QAccessibleInterface* For(const TGadget* gadget) const {
    if (auto it = Made.find(gadget); it != Made.end()) {
      return QAccessible::accessibleInterface(it->second);
    }
    auto* made = new TGadgetAccessible(const_cast<TBarAccessible*>(this), gadget);
    Made[gadget] = QAccessible::registerAccessibleInterface(made);
    return made;
  }

  int childCount() const override { return static_cast<int>(Told().size()); }
  QAccessibleInterface* child(int index) const override {
    const std::vector<const TGadget*> told = Told();
    return index >= 0 && index < static_cast<int>(told.size()) ? For(told[index]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const std::vector<const TGadget*> told = Told();
    for (std::size_t i = 0; i < told.size(); ++i) {
      if (child == For(told[i])) return static_cast<int>(i);
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
    for (const TGadget* g : Told()) {
      if (ToQRect(g->GetBounds()).contains(at)) return For(g);
    }
    return nullptr;
  }

 private:
  mutable std::map<const TGadget*, QAccessible::Id> Made;
};

bool TGadgetAccessible::isValid() const {
  const std::vector<const TGadget*> told = Bar->Told();
  return std::find(told.begin(), told.end(), Gadget) != told.end();
}

QWindow* TGadgetAccessible::window() const {
  return Bar->window();
}

QAccessibleInterface* TGadgetAccessible::parent() const {
  return Bar;
}

QRect TGadgetAccessible::rect() const {
  if (!isValid()) return {};
  return ToQRect(Gadget->GetBounds()).translated(Bar->Widget()->mapToGlobal(QPoint(0, 0)));
}

QAccessibleInterface* BarFactory(const QString&, QObject* object) {
  auto* widget = dynamic_cast<TWindowWidget*>(object);
  auto* bar = widget != nullptr ? dynamic_cast<TGadgetWindow*>(widget->GetOwner()) : nullptr;
  if (bar == nullptr) return nullptr;
  return new TBarAccessible(widget, dynamic_cast<TStatusBar*>(bar) != nullptr
                                        ? QAccessible::StatusBar
                                        : QAccessible::ToolBar);
}

}  // namespace

void InstallBarAccessibility() {
  static const bool installed = (QAccessible::installFactory(BarFactory), true);
  (void)installed;
}

void TGadget::TellChanged() {
  if (!QAccessible::isActive() || Window == nullptr) return;
  QWidget* widget = Window->Impl()->Widget;
  auto* bar = widget != nullptr
                  ? dynamic_cast<TBarAccessible*>(QAccessible::queryAccessibleInterface(widget))
                  : nullptr;
  if (bar == nullptr || GetAccessibleRole() == TAccessibleRole::None) return;
  QAccessibleInterface* told = bar->For(this);
  QAccessibleEvent named(told, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&named);
  QAccessible::State changed;
  changed.disabled = true;
  QAccessibleStateChangeEvent state(told, changed);
  QAccessible::updateAccessibility(&state);
}
