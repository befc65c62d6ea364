// Custom pieces and Set empty space: the board-size and empty-space dialog.
#include "app/main_window.h"

void TMyWindow::CmCustomPieces() {}

void TMyWindow::CmEmptySpace() {}
