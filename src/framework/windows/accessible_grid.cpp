// The Qt side of accessible grids: a table interface over the window's widget, and one cell
// interface a place, made when a screen reader first asks for it.
#include "framework/windows/accessible_grid.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <map>

#include "framework/graphics/qt_bridge.h"
#include "framework/windows/accessibility_test_hooks.h"
#include "framework/windows/accessible_part.h"
#include "framework/windows/window_impl.h"

namespace {

class TGridTable;

class TGridCell : public TAccessiblePart, public QAccessibleTableCellInterface {
 public:
  TGridCell(TGridTable* table, int column, int row) : Table(table), Column(column), Row(row) {}

  bool isValid() const override;
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QString text(QAccessible::Text t) const override;
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::TableCellInterface
               ? static_cast<QAccessibleTableCellInterface*>(this)
               : nullptr;
  }

  bool isSelected() const override;
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return Column; }
  int rowIndex() const override { return Row; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override;

 private:
  TGridTable* Table;
  int Column;
  int Row;
};

class TGridTable : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit TGridTable(TWindowWidget* widget) : QAccessibleWidget(widget, QAccessible::Table) {}
  ~TGridTable() override { DropCells(); }

  QWidget* Widget() const { return widget(); }
  // Null once the window is gone or has no grid any more.
  const TAccessibleGrid* Grid() const {
    const TWindow* owner = static_cast<TWindowWidget*>(widget())->GetOwner();
    return owner != nullptr ? owner->Impl()->Grid : nullptr;
  }
  bool Holds(int column, int row) const {
    const TAccessibleGrid* grid = Grid();
    return grid != nullptr && column >= 0 && row >= 0 && column < grid->GridColumns() &&
           row < grid->GridRows();
  }

  QString text(QAccessible::Text t) const override {
    const TAccessibleGrid* grid = Grid();
    if (t == QAccessible::Name && grid != nullptr) return QString::fromStdString(grid->GridName());
    return QAccessibleWidget::text(t);
  }
  int childCount() const override { return rowCount() * columnCount(); }
  QAccessibleInterface* child(int index) const override {
    const int columns = columnCount();
    return columns > 0 && index >= 0 ? cellAt(index / columns, index % columns) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const QAccessibleTableCellInterface* cell =
        child != nullptr ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
    if (cell == nullptr || cell->table() != this) return -1;
    return cell->rowIndex() * columnCount() + cell->columnIndex();
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const TAccessibleGrid* grid = Grid();
    if (grid == nullptr) return nullptr;
    const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
    for (int row = 0; row < grid->GridRows(); ++row) {
      for (int column = 0; column < grid->GridColumns(); ++column) {
        if (ToQRect(grid->CellRect(column, row)).contains(at)) return cellAt(row, column);
      }
    }
    return nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    const TAccessibleGrid* grid = Grid();
    if (grid == nullptr) return nullptr;
    const TPoint cursor = grid->CursorCell();
    return cellAt(cursor.y, cursor.x);
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override {
    if (!Holds(column, row)) return nullptr;
    const int index = row * columnCount() + column;
    if (auto it = Cells.find(index); it != Cells.end()) {
      return QAccessible::accessibleInterface(it->second);
    }
    auto* cell = new TGridCell(const_cast<TGridTable*>(this), column, row);
    Cells[index] = QAccessible::registerAccessibleInterface(cell);
    return cell;
  }
  int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
  QList<QAccessibleInterface*> selectedCells() const override {
    QList<QAccessibleInterface*> selected;
    const TAccessibleGrid* grid = Grid();
    for (int row = 0; row < rowCount(); ++row) {
      for (int column = 0; column < columnCount(); ++column) {
        if (grid->CellSelected(column, row)) selected.append(cellAt(row, column));
      }
    }
    return selected;
  }
  QString columnDescription(int) const override { return {}; }
  QString rowDescription(int) const override { return {}; }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return 0; }
  int columnCount() const override {
    const TAccessibleGrid* grid = Grid();
    return grid != nullptr ? grid->GridColumns() : 0;
  }
  int rowCount() const override {
    const TAccessibleGrid* grid = Grid();
    return grid != nullptr ? grid->GridRows() : 0;
  }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override { return {}; }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int) const override { return false; }
  bool selectRow(int) override { return false; }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  // Cells are told by place: after any change of the model the old ones go.
  void modelChange(QAccessibleTableModelChangeEvent*) override { DropCells(); }

 private:
  void DropCells() {
    for (const auto& [index, id] : Cells) QAccessible::deleteAccessibleInterface(id);
    Cells.clear();
  }
  mutable std::map<int, QAccessible::Id> Cells;  // row * columns + column -> cell
};

bool TGridCell::isValid() const {
  return Table->Holds(Column, Row);
}

QWindow* TGridCell::window() const {
  return Table->window();
}

QAccessibleInterface* TGridCell::parent() const {
  return Table;
}

QAccessibleInterface* TGridCell::table() const {
  return Table;
}

QString TGridCell::text(QAccessible::Text t) const {
  if (t != QAccessible::Name || !isValid()) return {};
  return QString::fromStdString(Table->Grid()->CellName(Column, Row));
}

QRect TGridCell::rect() const {
  if (!isValid()) return {};
  const QRect inWidget = ToQRect(Table->Grid()->CellRect(Column, Row));
  return inWidget.translated(Table->Widget()->mapToGlobal(QPoint(0, 0)));
}

bool TGridCell::isSelected() const {
  return isValid() && Table->Grid()->CellSelected(Column, Row);
}

QAccessible::State TGridCell::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  s.selectable = true;
  s.selected = isSelected();
  s.focusable = true;
  const TPoint cursor = Table->Grid()->CursorCell();
  s.focused = cursor.x == Column && cursor.y == Row && Table->Widget()->hasFocus();
  return s;
}

QAccessibleInterface* GridFactory(const QString&, QObject* object) {
  auto* widget = dynamic_cast<TWindowWidget*>(object);
  if (widget == nullptr || widget->GetOwner() == nullptr) return nullptr;
  if (widget->GetOwner()->Impl()->Grid == nullptr) return nullptr;
  return new TGridTable(widget);
}

QAccessible::UpdateHandler& TestListener() {
  static QAccessible::UpdateHandler listener = nullptr;
  return listener;
}

void Tell(QAccessibleEvent& event) {
  if (TestListener() == nullptr) {
    QAccessible::updateAccessibility(&event);
    return;
  }
  // What Qt does first with a change of a table's model, before it tells anyone.
  if (event.type() == QAccessible::TableModelChanged) {
    event.accessibleInterface()->tableInterface()->modelChange(
        static_cast<QAccessibleTableModelChangeEvent*>(&event));
  }
  TestListener()(&event);
}

// The grid's table as Qt knows it, when a screen reader may be listening: nothing is made
// for one while none is.
TGridTable* ListenedTable(TWindow& window) {
  if (!QAccessible::isActive() && TestListener() == nullptr) return nullptr;
  if (window.Impl()->Grid == nullptr) return nullptr;
  QWidget* widget = window.Impl()->Widget;
  if (widget == nullptr) return nullptr;
  return dynamic_cast<TGridTable*>(QAccessible::queryAccessibleInterface(widget));
}

}  // namespace

void SetAccessibleGrid(TWindow& window, const TAccessibleGrid* grid) {
  static const bool installed = (QAccessible::installFactory(GridFactory), true);
  (void)installed;
  window.Impl()->Grid = grid;
}

void TellCellChanged(TWindow& window, int column, int row) {
  TGridTable* table = ListenedTable(window);
  QAccessibleInterface* cell = table != nullptr ? table->cellAt(row, column) : nullptr;
  if (cell == nullptr) return;
  QAccessibleEvent named(cell, QAccessible::NameChanged);
  Tell(named);
  QAccessible::State changed;
  changed.selected = true;
  QAccessibleStateChangeEvent selection(cell, changed);
  Tell(selection);
}

void TellCursorMoved(TWindow& window) {
  TGridTable* table = ListenedTable(window);
  QAccessibleInterface* cell = table != nullptr ? table->focusChild() : nullptr;
  if (cell == nullptr) return;
  QAccessibleEvent focus(cell, QAccessible::Focus);
  Tell(focus);
}

void TellGridChanged(TWindow& window) {
  TGridTable* table = ListenedTable(window);
  if (table == nullptr) return;
  QAccessibleTableModelChangeEvent reset(table, QAccessibleTableModelChangeEvent::ModelReset);
  Tell(reset);
}

void SetAccessibilityListener(QAccessible::UpdateHandler listener) {
  TestListener() = listener;
}
