// The name entry after a solved game that set a best time.
#pragma once

#include <string>

#include "puzzle/puzzle.h"

class TWindow;

// Asks the player's name in the framework's input dialog on parent (caption "Kavro", at
// most 28 characters), offering the name entered last in this run. On OK records the time
// (seconds, as shown by the clock) for the board of columns x rows in the list listName of
// type, then runs the best-times dialog for that list, and returns true. On Cancel records
// nothing, shows nothing more and returns false. Call it only when TBestTimes::IsBestTime
// said yes; a picture pasted from the clipboard has no list and never comes here. A screen
// reader hears solved (the solved puzzle and its time) when the dialog opens.
bool AskNameAndRecord(TWindow* parent, const char* listName, TGameType type, int columns, int rows,
                      int seconds, const std::string& solved = {});
