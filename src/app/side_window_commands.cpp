// The thumbnail window and the About box.
#include "app/main_window.h"

void TMyWindow::CmThumbnail() {}

void TMyWindow::UpdateThumbnail() {}

void TMyWindow::CmAbout() {}
