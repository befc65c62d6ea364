// Resources as plain tables: menus, accelerator tables, strings, dialog templates,
// bitmaps and icons. The program declares its own and adds them at start; the framework
// looks them up by id. The framework's own resources (the input dialog) are always there.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/graphics/dib.h"
#include "platform/winconst.h"
#include "platform/wintypes.h"

// --- Menus -----------------------------------------------------------------------------

// An item of a menu: a command with its id, a separator, or a pop-up with items. Texts are
// shown as given: "&" marks the mnemonic, the text after "\t" is the shortcut shown.
struct TMenuItemResource {
  enum TKind { Command, Separator, Popup };
  TKind Kind = Command;
  std::string Text;
  UINT Id = 0;
  std::vector<TMenuItemResource> Items;
};
using TMenuResource = std::vector<TMenuItemResource>;

inline TMenuItemResource MenuItem(std::string text, UINT id) {
  return {TMenuItemResource::Command, std::move(text), id, {}};
}
inline TMenuItemResource MenuSeparator() {
  return {TMenuItemResource::Separator, {}, 0, {}};
}
inline TMenuItemResource MenuPopup(std::string text, std::vector<TMenuItemResource> items) {
  return {TMenuItemResource::Popup, std::move(text), 0, std::move(items)};
}

// --- Accelerators ------------------------------------------------------------------------

constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;

// A key (a virtual-key code with FVIRTKEY, else a character) with its modifiers, and the
// command it sends.
struct TAccelResource {
  BYTE Flags = FVIRTKEY;
  WORD Key = 0;
  WORD Command = 0;
};
using TAccelTableResource = std::vector<TAccelResource>;

// --- Dialog templates ----------------------------------------------------------------------

// Dialog and control styles (Windows' values).
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_ICON = 0x0003;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_NOPREFIX = 0x0080;
// One line; a text too wide loses the middle of its folders, keeping the file name.
constexpr DWORD SS_PATHELLIPSIS = 0x8000;
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_USETABSTOPS = 0x0080;

// The child template's stand-in for a common dialog's own controls.
constexpr int stc32 = 1119;

enum class TControlClass { Button, Edit, Static, ListBox };

// One control: class, id (-1 for none), position and size in dialog units, text, style.
// An icon (Static with SS_ICON) shows the icon resource IconId.
struct TDialogItemResource {
  TControlClass Class = TControlClass::Static;
  int Id = -1;
  int X = 0;
  int Y = 0;
  int W = 0;
  int H = 0;
  std::string Text;
  DWORD Style = 0;
  int IconId = 0;
};

// A dialog: position and size in dialog units (a quarter of the font's average character
// width, an eighth of its height), style, caption, font and controls.
struct TDialogResource {
  int X = 0;
  int Y = 0;
  int W = 0;
  int H = 0;
  DWORD Style = WS_POPUP | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU;
  std::string Caption;
  std::string FaceName = "MS Sans Serif";
  int PointSize = 8;
  std::vector<TDialogItemResource> Items;
};

// --- The framework's own resources -----------------------------------------------------------

constexpr int IDD_INPUTDIALOG = 32514;
constexpr int ID_PROMPT = 4091;
constexpr int ID_INPUT = 4090;

// --- Lookup ----------------------------------------------------------------------------------

// Adding an id that exists replaces it. Find returns null for an id nobody added. An icon
// is the exception: it keeps one image of each width, so adding a width it has replaces
// that image and adding another width adds one, for the desktop to choose from; an empty
// DIB adds nothing.
class TResources {
 public:
  static void AddMenu(int id, TMenuResource menu);
  static void AddAccelerators(int id, TAccelTableResource table);
  static void AddString(UINT id, std::string text);
  static void AddDialog(int id, TDialogResource dialog);
  static void AddBitmap(int id, TDib dib);
  static void AddIcon(int id, TDib dib);

  static const TMenuResource* FindMenu(int id);
  static const TAccelTableResource* FindAccelerators(int id);
  static const std::string* FindString(UINT id);
  static const TDialogResource* FindDialog(int id);
  static const TDib* FindBitmap(int id);
  // The icon's image whose width is nearest size (of two as near, the larger).
  static const TDib* FindIcon(int id, int size = 32);
  // Every image of the icon, narrowest first.
  static const std::vector<TDib>* FindIconImages(int id);
};
