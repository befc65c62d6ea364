// The panel the Open Image dialog adds for its preview.
#include "framework/resources/resources.h"
#include "framework/text/translation.h"
#include "resources/game_resources.h"

void AddPreviewDialogResource() {
  TDialogResource panel;
  panel.W = 310;
  panel.H = 119;
  panel.Style = WS_CHILD | WS_VISIBLE;
  panel.Items = {
      {TControlClass::Static, stc32, 4, 4, 204, 112, "", SS_LEFT, 0},
      {TControlClass::Static, 101, 212, 16, 50, 8, N_("Preview Image"), SS_LEFT, 0},
  };
  TResources::AddDialog(300, panel);
}
