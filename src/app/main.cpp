// Program entry: the application object makes the board and the main window and runs
// the message loop until the main window is gone.
#include <ctime>
#include <memory>

#include "app/main_window.h"
#include "framework/application/application.h"
#include "puzzle/puzzle.h"
#include "puzzle/random.h"
#include "resources/command_ids.h"
#include "resources/game_resources.h"

namespace {

class TAppSaya : public TApplication {
 public:
  TAppSaya() : TApplication("Kavro") {}

  void InitMainWindow() override {
    nCmdShow = SW_SHOWMAXIMIZED;
    SeedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    // The frame adopts the board and deletes it with itself.
    auto* puzzle = new TPuzzle(3, 3, nullptr);
    auto frame = std::make_unique<TMyWindow>(nullptr, "Kavro", puzzle);
    frame->SetIcon(this, IDI_KAVRO);
    SetMainWindow(std::move(frame));
  }
};

}  // namespace

int main() {
  AddGameResources();
  TAppSaya app;
  return app.Run();
}
