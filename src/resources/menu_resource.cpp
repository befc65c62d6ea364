// The main window's menu bar and accelerator keys.
#include "resources/game_resources.h"

#include "framework/resources/resources.h"
#include "resources/command_ids.h"

void AddMenuResources() {
  TResources::AddMenu(
      IDM_MAIN,
      {
          MenuPopup("&Game",
                    {MenuItem("&Scramble\tF2", CM_SCRAMBLE), MenuItem("&Unscramble", CM_UNSCRAMBLE),
                     MenuSeparator(), MenuItem("&Open image...\tCtrl+O", CM_OPENIMAGE),
                     MenuItem("&Paste from clipboard", CM_PASTE), MenuSeparator(),
                     MenuItem("&Load game...\tCtrl+L", CM_LOADGAME),
                     MenuItem("S&ave game...\tCtrl+S", CM_SAVEGAME), MenuSeparator(),
                     MenuItem("&Best times...", CM_BESTTIMES), MenuSeparator(),
                     MenuItem("&Exit\tAlt+F4", CM_EXIT)}),
          MenuPopup(
              "&Pieces",
              {MenuItem("&3 x 3 (9 pieces)", 11850), MenuItem("&4 x 4 (16 pieces)", 11851),
               MenuItem("&5 x 5 (25 pieces)", 11852), MenuItem("&6 x 6 (36 pieces)", 11853),
               MenuItem("&7 x 7 (49 pieces)", 11854), MenuItem("&8 x 8 (64 pieces)", 11855),
               MenuItem("&9 x 9 (81 pieces)", 11856), MenuItem("&10 x 10 (100 pieces)", 11857),
               MenuItem("&A  11 x 11 (121 pieces)", 11858),
               MenuItem("&B  12 x 12 (144 pieces)", 11859),
               MenuItem("&C  13 x 13 (169 pieces)", 11860),
               MenuItem("&D  14 x 14 (196 pieces)", 11861),
               MenuItem("&E  15 x 15 (225 pieces)", 11862),
               MenuItem("Custom &pieces...", CM_CUSTOMPIECES), MenuSeparator(),
               MenuItem("Set empty &space...", CM_EMPTYSPACE)}),
          MenuPopup("&Type",
                    {MenuItem("&Sliding puzzle", CM_SLIDING), MenuItem("&Jigsaw puzzle", CM_JIGSAW),
                     MenuSeparator(), MenuItem("&Alphabet puzzle", CM_ALPHABET),
                     MenuItem("&Numeric puzzle", CM_NUMERIC)}),
          MenuPopup("&View",
                    {MenuItem("&Normal", CM_NORMAL), MenuItem("&Fit in window", CM_FITINWINDOW),
                     MenuItem("Zoom &out\tCtrl+PgUp", CM_ZOOMOUT),
                     MenuItem("Zoom &in\tCtrl+PgDn", CM_ZOOMIN), MenuSeparator(),
                     MenuPopup("&Toolbar",
                               {MenuItem("&Left", CM_TOOLBARLEFT), MenuItem("&Top", CM_TOOLBARTOP),
                                MenuItem("&Floating", CM_TOOLBARFLOAT)}),
                     MenuItem("&Status bar", CM_STATUSBAR)}),
          MenuPopup("&Options", {MenuItem("Show f&alse pieces", CM_FALSEPIECES),
                                 MenuItem("Show &thumbnail", CM_THUMBNAIL), MenuSeparator(),
                                 MenuItem("Set &font...", CM_FONT),
                                 MenuItem("Set &pieces color...", CM_PIECESCOLOR), MenuSeparator(),
                                 MenuItem("Set &background color...", CM_BKCOLOR),
                                 MenuItem("Add &3D effect", CM_3DEFFECT),
                                 MenuItem("Show &grid", CM_GRID), MenuItem("&Sound on", CM_SOUND)}),
          MenuPopup("&Help", {MenuItem("&Help contents\tF1", CM_HELP), MenuSeparator(),
                              MenuItem("&Kavro Web site", CM_WEBSITE), MenuSeparator(),
                              MenuItem("&About...", CM_ABOUT)}),
      });

  TResources::AddAccelerators(IDA_MAIN, {
                                            {FVIRTKEY, VK_F2, CM_SCRAMBLE},
                                            {FVIRTKEY, VK_F1, CM_HELP},
                                            {FVIRTKEY | FCONTROL, 'O', CM_OPENIMAGE},
                                            {FVIRTKEY | FCONTROL, 'L', CM_LOADGAME},
                                            {FVIRTKEY | FCONTROL, 'S', CM_SAVEGAME},
                                            {FVIRTKEY | FCONTROL, VK_PRIOR, CM_ZOOMOUT},
                                            {FVIRTKEY | FCONTROL, VK_NEXT, CM_ZOOMIN},
                                        });
}
