// The About box's dialog resource.
#pragma once

constexpr int IDD_ABOUT = 4;
