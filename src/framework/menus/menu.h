// Menus: a menu bar or pop-up and its items, addressed by position or by command id as
// Windows addresses them. A TMenu either borrows a menu that a window owns or owns the
// one it made until it hands it over.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/wintypes.h"

class TModule;
class TWindow;

using HMENU = struct HMENU__*;

// Menu flags.
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MenuItemNotFound = 0xFFFFFFFF;

// System-menu commands.
constexpr UINT SC_SIZE = 0xF000;
constexpr UINT SC_MOVE = 0xF010;
constexpr UINT SC_MINIMIZE = 0xF020;
constexpr UINT SC_MAXIMIZE = 0xF030;
constexpr UINT SC_CLOSE = 0xF060;
constexpr UINT SC_RESTORE = 0xF120;

class TMenu {
 public:
  TMenu();
  // Borrows a menu that someone else owns.
  explicit TMenu(HMENU handle);
  // Builds menu resource id as a menu bar (an empty one when there is no such resource);
  // owned until Release.
  TMenu(TModule* module, int resourceId);
  TMenu(TMenu&& other) noexcept;
  TMenu& operator=(TMenu&& other) noexcept;
  TMenu(const TMenu&) = delete;
  TMenu& operator=(const TMenu&) = delete;
  virtual ~TMenu();

  // An empty pop-up, owned by the returned object until it is appended to a menu.
  static TMenu CreatePopupMenu();

  HMENU GetHandle() const;
  operator HMENU() const { return GetHandle(); }
  bool IsOK() const { return GetHandle() != nullptr; }
  // Gives up ownership: a window or a parent menu owns the menu from now on.
  HMENU Release();

  int GetMenuItemCount() const;
  // The command id at pos; 0 for a separator, MenuItemNotFound for a pop-up or nothing.
  UINT GetMenuItemID(int pos) const;
  // MF_CHECKED, MF_GRAYED, MF_SEPARATOR and MF_POPUP (a pop-up's item count in the high
  // byte); MenuItemNotFound when there is no such item.
  UINT GetMenuState(UINT item, UINT flags) const;
  // Copies the item's text ("&" and "\t" included) and returns its length.
  int GetMenuString(UINT item, char* text, int size, UINT flags) const;
  HMENU GetSubMenu(int pos) const;

  // flags: MF_STRING, MF_SEPARATOR or MF_POPUP (idOrPopup then is the pop-up's handle,
  // which this menu takes over), with MF_CHECKED and MF_GRAYED; MF_BYPOSITION or
  // MF_BYCOMMAND say how item is meant.
  bool AppendMenu(UINT flags, std::uintptr_t idOrPopup = 0, const char* text = nullptr);
  bool InsertMenu(UINT item, UINT flags, std::uintptr_t idOrPopup = 0, const char* text = nullptr);
  bool ModifyMenu(UINT item, UINT flags, std::uintptr_t idOrPopup = 0, const char* text = nullptr);
  // Removes the item; DeleteMenu also destroys a pop-up, RemoveMenu leaves it alive.
  bool DeleteMenu(UINT item, UINT flags);
  bool RemoveMenu(UINT item, UINT flags);
  // Return the previous state (MF_CHECKED or MF_UNCHECKED, MF_ENABLED or MF_GRAYED), or
  // MenuItemNotFound.
  UINT CheckMenuItem(UINT item, UINT check);
  UINT EnableMenuItem(UINT item, UINT enable);

  struct TImpl;

 private:
  std::unique_ptr<TImpl> Pimpl;
};

// A window's system menu (Restore, Move, Size, Minimize, Maximize, Close). The desktop's
// window manager draws the real one; this one is what the window says it offers.
class TSystemMenu : public TMenu {
 public:
  // revert restores the standard items.
  explicit TSystemMenu(TWindow& window, bool revert = false);
};
