// One call that registers every resource of the game.
#include "resources/game_resources.h"

#include "resources/best_dialog_resource.h"
#include "resources/bitmaps.h"

void AddGameResources() {
  AddAboutDialogResource();
  AddMenuResources();
  AddHintStrings();
  AddBitmapResources();
  AddPreviewDialogResource();
  AddEmptyDialogResource();
  AddBestTimesDialogResource();
}
