#include "framework/graphics/desktop_text.h"

#include <QFontDatabase>

#include <algorithm>

double DesktopTextScale() {
  constexpr double UsualPoints = 11;
  const double points = QFontDatabase::systemFont(QFontDatabase::GeneralFont).pointSizeF();
  return std::max(1.0, points / UsualPoints);
}
