// Where logical pixels fall on a screen's device pixels, at every ratio a desktop offers.
#include <QRect>

#include <cmath>

#include <gtest/gtest.h>

#include "framework/graphics/device_pixels.h"

namespace {

int Edge(int x, double ratio) {
  return static_cast<int>(std::floor(x * ratio + 0.5));
}

constexpr double Ratios[] = {1.0, 1.25, 1.5, 1.75, 2.0, 3.0};

// A click on a device pixel acts on the logical pixel drawn there, from device positions
// as Qt reports them.
TEST(DevicePixels, AClickLandsOnTheLogicalPixelDrawnUnderIt) {
  for (const double ratio : Ratios) {
    int x = -4;
    for (int device = Edge(-4, ratio); device < Edge(60, ratio); ++device) {
      while (Edge(x + 1, ratio) <= device) ++x;
      ASSERT_EQ(LogicalPixelAt(device / ratio, ratio), x) << device << " at " << ratio;
      ASSERT_EQ(LogicalPixelAt((device + 0.75) / ratio, ratio), x) << device << " at " << ratio;
    }
  }
}

// Rectangles side by side share their device edges; a rectangle sized as another of the
// same logical size covers as many device pixels, wherever it starts.
TEST(DevicePixels, RectanglesTileAndCopiesKeepTheirSize) {
  for (const double ratio : Ratios) {
    for (int x = -3; x < 12; ++x) {
      for (int width = 1; width < 5; ++width) {
        const QRect left = DeviceRect(QRect(x, 0, width, 1), ratio);
        const QRect right = DeviceRect(QRect(x + width, 0, 3, 1), ratio);
        ASSERT_EQ(left.x() + left.width(), right.x()) << x << " at " << ratio;
        ASSERT_EQ(left.x(), Edge(x, ratio));
        const QRect like(x + 1, 0, width, 1);
        const QRect sized = DeviceRectSizedAs(QRect(x, 5, width, 1), like, ratio);
        ASSERT_EQ(sized.size(), DeviceRect(like, ratio).size()) << x << " at " << ratio;
        ASSERT_EQ(sized.topLeft(), QPoint(Edge(x, ratio), Edge(5, ratio)));
      }
    }
  }
}

}  // namespace
