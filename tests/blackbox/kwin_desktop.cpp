// Placeholder until the driver lands.
#include "compositor.h"

std::unique_ptr<TCompositor> StartKwin(double) {
  return nullptr;
}
