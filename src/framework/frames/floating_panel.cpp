// Floating bars inside their frame: the caption, dragging it, staying inside the frame.
#include "framework/frames/floating_panel.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

bool FloatsInFrame() {
  return QGuiApplication::platformName() == QLatin1String("wayland");
}

TFloatingPanel::TFloatingPanel(TWindowWidget* client, QWidget* frame)
    : TOuterWidget(client, frame, Qt::Widget), Grab(-1, -1) {
  QFont bold = font();
  bold.setBold(true);
  setFont(bold);
}

int TFloatingPanel::CaptionHeight() const {
  return fontMetrics().height() + 6;
}

void TFloatingPanel::MoveInFrame(QPoint at) {
  const QWidget* frame = parentWidget();
  if (frame != nullptr) {
    at.setX(std::clamp(at.x(), 0, std::max(0, frame->width() - width())));
    at.setY(std::clamp(at.y(), 0, std::max(0, frame->height() - height())));
  }
  move(at);
}

void TFloatingPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect caption(0, 0, width(), CaptionHeight());
  painter.fillRect(caption, palette().color(QPalette::Active, QPalette::Highlight));
  painter.setPen(palette().color(QPalette::Active, QPalette::HighlightedText));
  painter.drawText(caption.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   fontMetrics().elidedText(windowTitle(), Qt::ElideRight, width() - 8));
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TFloatingPanel::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || e->position().y() >= CaptionHeight()) return;
  Grab = e->position().toPoint();
  raise();
}

void TFloatingPanel::mouseMoveEvent(QMouseEvent* e) {
  if (Grab.x() < 0) return;
  MoveInFrame(mapToParent(e->position().toPoint()) - Grab);
}

void TFloatingPanel::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) Grab = QPoint(-1, -1);
}
