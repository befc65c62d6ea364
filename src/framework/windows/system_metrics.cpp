// Desktop measures from Qt's screen and style.
#include "framework/windows/system_metrics.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

#include "framework/graphics/qt_bridge.h"

int GetSystemMetrics(int index) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  switch (index) {
    case SM_CXSCREEN:
      return screen != nullptr ? screen->geometry().width() : 0;
    case SM_CYSCREEN:
      return screen != nullptr ? screen->geometry().height() : 0;
    case SM_CYCAPTION:
      return QApplication::style() != nullptr
                 ? QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight)
                 : 0;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    default:
      return 0;
  }
}

TRect GetWorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? ToTRect(screen->availableGeometry()) : TRect();
}
