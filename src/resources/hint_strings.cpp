// The status-bar hints of the commands, numbered like the commands.
#include "resources/game_resources.h"

#include "framework/resources/resources.h"
#include "framework/text/translation.h"
#include "resources/command_ids.h"

void AddHintStrings() {
  static const struct {
    UINT Id;
    const char* Text;
  } hints[] = {
      {CM_SCRAMBLE, N_("Scramble the puzzle")},
      {CM_UNSCRAMBLE, N_("Unscramble the puzzle")},
      {CM_OPENIMAGE, N_("Open a BMP or JPEG file from a disk")},
      {CM_PASTE, N_("Paste an image from clipboard")},
      {CM_BESTTIMES, N_("Display Best Times dialog box")},
      {CM_3DEFFECT, N_("Add or remove 3 dimension effect on each piece")},
      {CM_FALSEPIECES, N_("Mark or unmark the misplaced pieces")},
      {CM_SLIDING, N_("Play with sliding puzzle")},
      {CM_JIGSAW, N_("Play with jigsaw puzzle")},
      {CM_PIECESCOLOR, N_("Set the color of pieces of alphabet or numeric puzzle")},
      {CM_NORMAL, N_("Resize the image to normal size")},
      {CM_THUMBNAIL, N_("Show or hide a window showing the whole image")},
      {CM_FONT, N_("Set the font of alphabet or numeric puzzle")},
      {CM_BKCOLOR, N_("Set the color of client window")},
      {CM_GRID, N_("Show or hide the grid")},
      {CM_WEBSITE, N_("Visit Kavro Web site")},
      {CM_LOADGAME, N_("Load a saved game from hard disk")},
      {CM_HELP, N_("Display the contents of the help file")},
      {CM_ABOUT, N_("Display some information about this program")},
      {CM_ZOOMIN, N_("Zoom in the image")},
      {CM_ALPHABET, N_("Play with alphabet puzzle")},
      {CM_NUMERIC, N_("Play with numeric puzzle")},
      {CM_ZOOMOUT, N_("Zoom out the image")},
      {CM_FITINWINDOW, N_("Resize the image so that it fits in the window")},
      {CM_SAVEGAME, N_("Save the current game")},
      {CM_SOUND, N_("Turn on or turn off the sound effect")},
      {CM_EMPTYSPACE, N_("Set the position of the empty space")},
      {CM_CUSTOMPIECES, N_("Change the number of pieces")},
      {CM_TOOLBARTOP, N_("Toolbar is displayed at the top of the window")},
      {CM_TOOLBARFLOAT, N_("Toolbar is displayed in a floating window")},
      {CM_TOOLBARLEFT, N_("Toolbar is displayed at the left of the window")},
      {CM_EXIT, N_("Exit from this program")},
      {CM_STATUSBAR, N_("Show or hide status bar")},
  };
  for (const auto& hint : hints) TResources::AddString(hint.Id, hint.Text);
  // Whole sentences, one a size: the status bar translates what it shows as it stands.
  static const char* const sizeHints[] = {
      N_("Create a puzzle with 9 pieces"),   N_("Create a puzzle with 16 pieces"),
      N_("Create a puzzle with 25 pieces"),  N_("Create a puzzle with 36 pieces"),
      N_("Create a puzzle with 49 pieces"),  N_("Create a puzzle with 64 pieces"),
      N_("Create a puzzle with 81 pieces"),  N_("Create a puzzle with 100 pieces"),
      N_("Create a puzzle with 121 pieces"), N_("Create a puzzle with 144 pieces"),
      N_("Create a puzzle with 169 pieces"), N_("Create a puzzle with 196 pieces"),
      N_("Create a puzzle with 225 pieces"),
  };
  UINT id = CM_PIECES3;
  for (const char* hint : sizeHints) TResources::AddString(id++, hint);
}
