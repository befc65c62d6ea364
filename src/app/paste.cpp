// Paste from clipboard: a picture on the clipboard becomes the board's picture.
#include "app/main_window.h"

void TMyWindow::CmPaste() {}
