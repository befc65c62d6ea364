// The base of the accessible objects of parts a window draws itself, a board's cell or a
// bar's gadget (private to the framework): no Qt object of their own and no children.
#pragma once

#include <QAccessibleInterface>

class TAccessiblePart : public QAccessibleInterface {
 public:
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  void setText(QAccessible::Text, const QString&) override {}
};
