// The About box's dialog resource and its controls.
#pragma once

constexpr int IDD_ABOUT = 4;
// The lines filled in when the box opens, in the player's language.
constexpr int IDC_ABOUTTITLE = 101;
constexpr int IDC_ABOUTVERSION = 102;
