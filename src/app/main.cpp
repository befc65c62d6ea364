// Program entry: the application object makes the main window and runs the loop.
#include <memory>

#include "framework/application.h"
#include "framework/window.h"
#include "platform/winconst.h"

namespace {

class TAppSaya : public TApplication {
 public:
  TAppSaya() : TApplication("Kavro") { nCmdShow = SW_SHOWMAXIMIZED; }

  void InitMainWindow() override {
    auto frame = std::make_unique<TWindow>(nullptr, "Kavro");
    frame->SetBkgndColor(0x808080);
    SetMainWindow(std::move(frame));
  }
};

}  // namespace

int main() {
  TAppSaya app;
  return app.Run();
}
