// Program entry: the application object makes the main window and runs the loop.
// For now the main window is a plain frame around a 4 x 4 letter board; F2 scrambles it.
#include <ctime>
#include <memory>

#include "framework/application.h"
#include "framework/window.h"
#include "media/sound.h"
#include "platform/winconst.h"
#include "puzzle/puzzle.h"
#include "puzzle/random.h"

namespace {

class TBoardFrame : public TWindow {
 public:
  TBoardFrame() : TWindow(nullptr, "Kavro") {
    // A child window belongs to its parent, which deletes it.
    Board = new TPuzzle(4, 4, this);
  }

  void SetupWindow() override {
    TWindow::SetupWindow();
    Board->SetSize(4, 4);
    Board->MoveWindow(GetClientRect());
  }

  bool TranslateAccelerator(UINT key, bool ctrl, bool shift, bool alt) override {
    if (key != VK_F2 || ctrl || shift || alt) return false;
    Board->Scramble();
    return true;
  }

 protected:
  TResult EvSize(TParam1, TParam2) {
    Board->MoveWindow(GetClientRect());
    return 0;
  }
  TResult EvSetFocus(TParam1, TParam2) {
    Board->SetFocus();
    return 0;
  }
  TResult EvPuzzleSolved(TParam1, TParam2) {
    if (Board->SoundOn) PlaySoundName("SystemStart");
    return 0;
  }

 private:
  TPuzzle* Board;
  DECLARE_RESPONSE_TABLE(TBoardFrame);
};

// clang-format off
DEFINE_RESPONSE_TABLE1(TBoardFrame, TWindow)
  EV_MESSAGE(WM_SIZE, &TBoardFrame::EvSize),
  EV_MESSAGE(WM_SETFOCUS, &TBoardFrame::EvSetFocus),
  EV_MESSAGE(WM_PUZZLESOLVED, &TBoardFrame::EvPuzzleSolved),
END_RESPONSE_TABLE;
// clang-format on

class TAppSaya : public TApplication {
 public:
  TAppSaya() : TApplication("Kavro") { nCmdShow = SW_SHOWMAXIMIZED; }

  void InitMainWindow() override {
    SeedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    SetMainWindow(std::make_unique<TBoardFrame>());
  }
};

}  // namespace

int main() {
  TAppSaya app;
  return app.Run();
}
