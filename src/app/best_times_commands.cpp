// The best-times list of the board in play.
#include "app/main_window.h"

void TMyWindow::CmBestTimes() {}
