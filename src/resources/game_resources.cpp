// One call that registers every resource of the game.
#include "resources/game_resources.h"

void AddGameResources() {
  AddMenuResources();
  AddHintStrings();
}
