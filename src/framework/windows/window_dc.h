// TClientDC: a device context on a window's client area; what it draws shows at once.
#pragma once

#include "framework/graphics/dc.h"

class TWindow;

class TClientDC : public TDC {
 public:
  explicit TClientDC(TWindow& window);
};
