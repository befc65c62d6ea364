// TFrameWindow: a top-level window with a client window that fills it, a menu bar built
// from a menu resource, an accelerator table whose keys it turns into commands, and an
// icon. A frame with a parent is a top-level window owned by that parent.
#pragma once

#include <memory>

#include "framework/menus/menu.h"
#include "framework/windows/layout_window.h"

class TFrameWindow : public TLayoutWindow {
 public:
  // The frame adopts clientWnd (its parent becomes the frame, which deletes it).
  TFrameWindow(TWindow* parent, const char* title = nullptr, TWindow* clientWnd = nullptr,
               TModule* module = nullptr);
  ~TFrameWindow() override;

  TWindow* GetClientWindow() const { return ClientWnd; }
  // Adopts a new client and returns the old one, which stays a child of the frame.
  TWindow* SetClientWindow(TWindow* clientWnd);

  // Menu resource id: its menu bar is built when the window is created, or at once.
  bool AssignMenu(int menuResId);
  // The menu bar, null before the window exists or without a menu.
  HMENU GetMenu() const;
  // Takes over a menu bar (a TMenu's released handle); the old one is destroyed.
  bool SetMenu(HMENU menu);

  // Accelerator resource id whose keys the frame translates while it is the main window.
  void SetAcceleratorTable(int accelResId);
  bool TranslateAccelerator(UINT virtualKey, bool ctrl, bool shift, bool alt) override;

  // Icon resource id for the window's caption and the desktop's task list.
  bool SetIcon(TModule* module, int iconResId);

  // Runs the command enablers of every menu item, then those of the children (bars).
  bool IdleAction(long idleCount) override;

  // Runs the command enablers of a menu's items (and of its pop-ups' items with deep).
  void EnableMenuItems(HMENU menu, bool deep);

  // A frame with a parent can be a side window of it (set before the window is created),
  // part of the parent's window as a thumbnail beside a board is: showing or clicking it
  // leaves the keyboard with the parent, keys typed while a desktop focuses it anyway go
  // to the parent, and the parent does not lose its focus to it.
  void SetSideWindow(bool on) { SideWindow = on; }

  struct TFrameImpl;

 protected:
  void CreateWidget() override;
  void SetupWindow() override;
  void CleanupWindow() override;

 private:
  void ApplyIcon();
  TWindow* ClientWnd = nullptr;
  int MenuResId = 0;
  int IconResId = 0;
  bool SideWindow = false;
  std::unique_ptr<TFrameImpl> Frame;
};
