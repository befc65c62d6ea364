#include "framework/graphics/device_pixels.h"

QRegion DeviceRegion(const QRegion& logical, qreal ratio) {
  if (ratio == 1) return logical;
  QRegion device;
  for (const QRect& r : logical) device += DeviceRect(r, ratio);
  return device;
}
