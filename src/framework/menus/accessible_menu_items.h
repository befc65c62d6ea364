// Menu items told to screen readers (private to the framework): a toggle as a check item
// with its state, on or off, and each item named by its text alone, its shortcut told as
// its accelerator.
#pragma once

class QAction;

// Makes action one of the items told this way; toggle: it is checked or unchecked by the
// program, so "off" is a state of its own.
void TellAsMenuItem(QAction& action);
void TellAsToggle(QAction& action);
