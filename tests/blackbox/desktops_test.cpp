// Placeholder until the shared flows land.
#include "compositor.h"
