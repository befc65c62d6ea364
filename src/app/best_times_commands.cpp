// The best-times list of the board in play.
#include "app/main_window.h"
#include "dialogs/best_dialog.h"

std::string TMyWindow::ListName() const {
  switch (Puzzle->ContentKind) {
    case TContentKind::Alphabet:
      return "Alphabet";
    case TContentKind::Numeric:
      return "Numeric";
    case TContentKind::Picture:
      break;
  }
  return CurrentFile.value_or("");
}

void TMyWindow::CmBestTimes() {
  TBestDialog(this, ListName().c_str(), Puzzle->GameType).Execute();
}
