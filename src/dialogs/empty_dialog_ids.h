// Numbers of the empty-space and pieces dialog's template and of its controls, shared by
// the dialog and the template.
#pragma once

constexpr int IDD_EMPTYSPACE = 6;
constexpr int IDC_EMPTYLISTS = 101;    // the group box around the lists
constexpr int IDC_EMPTYROWS = 102;     // the row list
constexpr int IDC_EMPTYCOLUMNS = 103;  // the column list
constexpr int IDC_EMPTYPREVIEW = 104;  // the group box of the preview
