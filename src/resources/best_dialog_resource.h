// Dialog 5, the best-times list, and the ids of its controls.
#pragma once

constexpr int IDD_BESTTIMES = 5;
constexpr int IDC_BESTLIST = 102;
constexpr int IDC_RESETSCORES = 107;
constexpr int IDC_BESTFILENAME = 120;

// Registers dialog 5 with TResources (an existing template of that id is replaced).
void AddBestTimesDialogResource();
