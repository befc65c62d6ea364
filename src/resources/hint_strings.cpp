// The status-bar hints of the commands, numbered like the commands.
#include "resources/game_resources.h"

#include <string>

#include "framework/resources.h"
#include "resources/command_ids.h"

void AddHintStrings() {
  static const struct {
    UINT Id;
    const char* Text;
  } hints[] = {
      {CM_SCRAMBLE, "Scramble the puzzle"},
      {CM_UNSCRAMBLE, "Unscramble the puzzle"},
      {CM_OPENIMAGE, "Open a BMP or JPEG file from a disk"},
      {CM_PASTE, "Paste an image from clipboard"},
      {CM_BESTTIMES, "Display Best Times dialog box"},
      {CM_3DEFFECT, "Add or remove 3 dimension effect on each piece"},
      {CM_FALSEPIECES, "Mark or unmark the misplaced pieces"},
      {CM_SLIDING, "Play with sliding puzzle"},
      {CM_JIGSAW, "Play with jigsaw puzzle"},
      {CM_PIECESCOLOR, "Set the color of pieces of alphabet or numeric puzzle"},
      {CM_NORMAL, "Resize the image to normal size"},
      {CM_THUMBNAIL, "Show or hide a window showing the whole image"},
      {CM_FONT, "Set the font of alphabet or numeric puzzle"},
      {CM_BKCOLOR, "Set the color of client window"},
      {CM_GRID, "Show or hide the grid"},
      {CM_WEBSITE, "Visit Kavro Web site"},
      {CM_LOADGAME, "Load a saved game from hard disk"},
      {CM_HELP, "Display the contents of the help file"},
      {CM_ABOUT, "Display some information about this program"},
      {CM_ZOOMIN, "Zoom in the image"},
      {CM_ALPHABET, "Play with alphabet puzzle"},
      {CM_NUMERIC, "Play with numeric puzzle"},
      {CM_ZOOMOUT, "Zoom out the image"},
      {CM_FITINWINDOW, "Resize the image so that it fits in the window"},
      {CM_SAVEGAME, "Save the current game"},
      {CM_SOUND, "Turn on or turn off the sound effect"},
      {CM_EMPTYSPACE, "Set the position of the empty space"},
      {CM_CUSTOMPIECES, "Change the number of pieces"},
      {CM_TOOLBARTOP, "Toolbar is displayed at the top of the window"},
      {CM_TOOLBARFLOAT, "Toolbar is displayed in a floating window"},
      {CM_TOOLBARLEFT, "Toolbar is displayed at the left of the window"},
      {CM_EXIT, "Exit from this program"},
      {CM_STATUSBAR, "Show or hide status bar"},
  };
  for (const auto& hint : hints) TResources::AddString(hint.Id, hint.Text);
  for (UINT id = CM_PIECES3; id <= CM_PIECES15; ++id) {
    const int side = static_cast<int>(id - CM_PIECES3) + 3;
    TResources::AddString(id, "Create a puzzle with " + std::to_string(side * side) + " pieces");
  }
}
