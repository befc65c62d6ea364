#include "framework/graphics/sys_colors.h"

#include <QGuiApplication>
#include <QPalette>

#include "framework/graphics/qt_bridge.h"

namespace {
COLORREF FromPalette(QPalette::ColorRole role) {
  return ToColorRef(QGuiApplication::palette().color(QPalette::Active, role).rgb());
}
}  // namespace

COLORREF ColorFace() {
  return FromPalette(QPalette::Window);
}
COLORREF ColorShadow() {
  return FromPalette(QPalette::Dark);
}
COLORREF ColorHighlight() {
  return FromPalette(QPalette::Light);
}
COLORREF ColorDarkShadow() {
  return FromPalette(QPalette::Shadow);
}
COLORREF ColorText() {
  return FromPalette(QPalette::WindowText);
}
COLORREF ColorCheckedFace() {
  return FromPalette(QPalette::Midlight);
}
