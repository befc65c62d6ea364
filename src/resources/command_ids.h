// The game's command ids: menu items, accelerators and toolbar buttons send them to the
// main window. Each command's status-bar hint is the string with the same number.
#pragma once

#include "platform/winconst.h"

constexpr UINT CM_SCRAMBLE = 11840;
constexpr UINT CM_UNSCRAMBLE = 11841;
constexpr UINT CM_OPENIMAGE = 11842;
constexpr UINT CM_PASTE = 11843;
constexpr UINT CM_BESTTIMES = 11844;
constexpr UINT CM_3DEFFECT = 11845;
constexpr UINT CM_FALSEPIECES = 11846;
constexpr UINT CM_SLIDING = 11847;
constexpr UINT CM_JIGSAW = 11848;
constexpr UINT CM_PIECESCOLOR = 11849;
constexpr UINT CM_PIECES3 = 11850;
constexpr UINT CM_PIECES15 = 11862;
constexpr UINT CM_NORMAL = 11863;
constexpr UINT CM_THUMBNAIL = 11864;
constexpr UINT CM_FONT = 11865;
constexpr UINT CM_BKCOLOR = 11866;
constexpr UINT CM_GRID = 11867;
constexpr UINT CM_WEBSITE = 11868;
constexpr UINT CM_LOADGAME = 11869;
constexpr UINT CM_HELP = 11870;
constexpr UINT CM_ABOUT = 11871;
constexpr UINT CM_ZOOMIN = 11872;
constexpr UINT CM_ALPHABET = 11873;
constexpr UINT CM_NUMERIC = 11874;
constexpr UINT CM_ZOOMOUT = 11875;
constexpr UINT CM_FITINWINDOW = 11876;
constexpr UINT CM_SAVEGAME = 11877;
constexpr UINT CM_SOUND = 11888;
constexpr UINT CM_EMPTYSPACE = 11889;
constexpr UINT CM_CUSTOMPIECES = 11890;
constexpr UINT CM_TOOLBARTOP = 11895;
constexpr UINT CM_TOOLBARFLOAT = 11896;
constexpr UINT CM_TOOLBARLEFT = 11897;
constexpr UINT CM_RECENT1 = 11950;
constexpr UINT CM_RECENT4 = 11953;
constexpr UINT CM_STATUSBAR = 32040;
// CM_EXIT (24310) comes with the framework's constants.

// Resource numbers of the main window.
constexpr int IDM_MAIN = 1;
constexpr int IDA_MAIN = 1;
constexpr int IDI_KAVRO = 3;
