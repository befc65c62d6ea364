// The Qt widgets of a dialog: its window, which turns Enter, Escape and the close box into
// the dialog's commands, and list lines laid out at tab stops.
#include "framework/dialogs/dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

#include "framework/dialogs/dialog_impl.h"
#include "framework/windows/messages.h"

// --- The dialog's window ----------------------------------------------------------------------

TDialogWidget::TDialogWidget(TWindowWidget* client, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), Client(client) {}

void TDialogWidget::reject() {
  if (TWindow* owner = Owner()) owner->HandleMessage(WM_COMMAND, IDCANCEL, 0);
}

void TDialogWidget::closeEvent(QCloseEvent* e) {
  e->ignore();
  if (TWindow* owner = Owner()) owner->HandleMessage(WM_CLOSE, 0, 0);
}

void TDialogWidget::keyPressEvent(QKeyEvent* e) {
  if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter) {
    QDialog::keyPressEvent(e);
    return;
  }
  // The focused push button, else the default one, else IDOK.
  auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
  if (focused == nullptr || !isAncestorOf(focused)) {
    focused = nullptr;
    for (QPushButton* button : findChildren<QPushButton*>()) {
      if (button->isDefault()) focused = button;
    }
  }
  if (focused != nullptr) {
    if (focused->isEnabled()) focused->click();
  } else if (TWindow* owner = Owner()) {
    owner->HandleMessage(WM_COMMAND, IDOK, 0);
  }
}

void TDialogWidget::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  if (TWindow* owner = Owner(); owner != nullptr && owner->Impl()->PlaceClient) {
    owner->Impl()->PlaceClient();
  }
}

// --- Tab stops --------------------------------------------------------------------------------

int TTabbedLineDelegate::NextStop(int x) const {
  for (const int stop : Stops) {
    if (stop > x) return stop;
  }
  const int last = Stops.empty() ? 0 : Stops.back();
  const int step = std::max(1, DefaultStop);
  return last + ((std::max(x, last) - last) / step + 1) * step;
}

void TTabbedLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QString text = opt.text;
  opt.text.clear();
  const QWidget* widget = opt.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
  const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
  painter->save();
  painter->setFont(opt.font);
  painter->setPen(opt.palette.color(
      (opt.state & QStyle::State_Selected) != 0 ? QPalette::HighlightedText : QPalette::Text));
  painter->setClipRect(area);
  const QFontMetrics metrics(opt.font);
  int x = 0;
  const QStringList parts = text.split('\t');
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (i > 0) x = NextStop(x);
    QString part = parts[i];
    // A part that would run into the next stop the list set is cut short with an
    // ellipsis, so the parts after it stay under their headers and in sight.
    const int next = NextStop(x);
    if (i + 1 < parts.size() && std::find(Stops.begin(), Stops.end(), next) != Stops.end()) {
      part = metrics.elidedText(part, Qt::ElideRight, next - x - metrics.averageCharWidth() / 2);
    }
    const QRect cell(area.left() + x, area.top(), area.width() - x, area.height());
    painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, part);
    x += metrics.horizontalAdvance(part);
  }
  painter->restore();
}
