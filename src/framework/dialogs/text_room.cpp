#include "framework/dialogs/text_room.h"

#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QStyle>
#include <QWidget>

#include <algorithm>

#include "framework/text/translation.h"

namespace {

// The rightmost pixel any control reaches.
int RightmostEdge(const QList<QWidget*>& controls) {
  int right = 0;
  for (const QWidget* control : controls) right = std::max(right, control->geometry().right());
  return right;
}

// Taller: what lies wholly below the label moves down, a frame around it grows.
int GrowDown(QLabel& label, const QList<QWidget*>& controls) {
  const int needed = label.heightForWidth(label.width());
  const int grow = needed - label.height();
  if (grow <= 0) return 0;
  const QRect was = label.geometry();
  for (QWidget* control : controls) {
    if (control == &label) continue;
    const QRect at = control->geometry();
    if (at.top() > was.bottom()) {
      control->move(at.x(), at.y() + grow);
    } else if (at.contains(was)) {
      control->resize(at.width(), at.height() + grow);
    }
  }
  label.resize(was.width(), needed);
  return grow;
}

// Wider: what lies to the right of the button in its row moves right. A button needs its
// text and the style's margin on each side (its size hint asks more: a least width).
void GrowRight(QPushButton& button, const QList<QWidget*>& controls) {
  const QRect was = button.geometry();
  const QString text = QString(button.text()).remove('&');
  const int needed = button.fontMetrics().horizontalAdvance(text) +
                     2 * button.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button);
  const int grow = needed - was.width();
  if (grow <= 0) return;
  for (QWidget* control : controls) {
    const QRect at = control->geometry();
    const bool sameRow = at.top() <= was.bottom() && at.bottom() >= was.top();
    if (control != &button && sameRow && at.left() > was.right()) {
      control->move(at.x() + grow, at.y());
    }
  }
  button.resize(was.width() + grow, was.height());
}

}  // namespace

void MakeRoomForTexts(QWidget& outer, QWidget& client) {
  if (PlayersLanguage().empty()) return;
  const QList<QWidget*> controls = client.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  // The client fills the window, whose size is final before it is first shown.
  const int margin = std::max(0, outer.width() - 1 - RightmostEdge(controls));
  int taller = 0;
  for (QWidget* control : controls) {
    auto* label = qobject_cast<QLabel*>(control);
    if (label != nullptr && label->wordWrap() && label->pixmap().isNull() &&
        !label->text().isEmpty()) {
      taller += GrowDown(*label, controls);
    }
  }
  for (QWidget* control : controls) {
    if (auto* button = qobject_cast<QPushButton*>(control)) GrowRight(*button, controls);
  }
  const int width = std::max(outer.width(), RightmostEdge(controls) + 1 + margin);
  if (taller > 0 || width > outer.width()) outer.setFixedSize(width, outer.height() + taller);
}
