// Tests hear what a screen reader would be told (private to the framework and its tests):
// Qt tells only a screen reader that is listening, and a test has none.
#pragma once

#include <QAccessible>

// While set, the framework's accessibility events go to listener instead of to Qt.
void SetAccessibilityListener(QAccessible::UpdateHandler listener);
