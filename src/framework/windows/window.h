// TWindow: a window object that exists before its window is created and is harmless when
// it never is, so that models built on it run without a display.
//
// Focus and activation. A top-level window's client gets WM_SETFOCUS and WM_KILLFOCUS when
// the desktop activates and deactivates the window; they come in the order the desktop
// sends them, which is not the order of a system that activates synchronously:
// - Modal dialogs, message boxes and the common dialogs: the owner gets WM_KILLFOCUS once
//   the dialog is shown, but WM_SETFOCUS only after the dialog has closed and the command
//   that opened it has returned, not while Execute or MessageBox returns. A dialog the
//   desktop never activates leaves the owner with no WM_KILLFOCUS and then a WM_SETFOCUS
//   it already had.
// - Owned windows (floating bars, the thumbnail): a click activates the owned window; the
//   owner gets WM_KILLFOCUS first and its command runs while it is inactive.
// - Minimise sends WM_KILLFOCUS; restore sends WM_SETFOCUS after the window is shown, and
//   paints may come before it.
// The framework passes the events on as they come and does not reorder them: code that
// cares keeps its own state so that any order, repetition or missing half gives the same
// result.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/geometry.h"
#include "framework/windows/response_table.h"
#include "platform/winconst.h"
#include "platform/wintypes.h"

class TDC;
class TModule;

// SetWindowPos flags.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;

class TWindow {
 public:
  // Creation attributes: style and placement (CW_USEDEFAULT lets the desktop choose).
  struct TWindowAttr {
    DWORD Style = 0;
    int X = CW_USEDEFAULT;
    int Y = CW_USEDEFAULT;
    int W = CW_USEDEFAULT;
    int H = CW_USEDEFAULT;
    int Id = 0;
  };

  // A window with a parent is a child: the parent owns it and deletes it with itself.
  explicit TWindow(TWindow* parent, const char* title = nullptr, TModule* module = nullptr);
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;
  virtual ~TWindow();

  TWindowAttr Attr;

  // Whether creating the parent creates this window too (dialogs wait for Execute).
  void SetAutoCreate(bool on) { AutoCreate = on; }

  // Lifetime of the window itself. Creating a window creates its children, then runs
  // SetupWindow. Destroy runs CleanupWindow and removes the window and its children.
  bool Create();
  bool IsWindow() const;
  virtual void Destroy(int retVal = 0);
  bool ShowWindow(int cmdShow);
  bool IsWindowVisible() const;
  bool IsIconic() const;
  bool IsZoomed() const;
  HWND GetHandle() const;

  TWindow* GetParentO() const { return Parent; }
  // Moves the window to another parent, which owns it from then on (a frame adopts its
  // client this way); none makes it a top-level window owned by the caller again.
  void SetParent(TWindow* parent);
  int GetId() const { return Attr.Id; }
  TModule* GetModule() const { return Module; }
  const std::vector<TWindow*>& GetChildren() const { return Children; }
  void SetCaption(const char* title);
  const std::string& GetCaption() const { return Title; }

  // Client area and placement (pixels; a child relative to its parent's client area).
  TRect GetClientRect() const;
  // How many logical pixels the pattern of device pixels takes to repeat on the window's
  // screen: 1 at whole scales, 2 at 1.5, 4 at 1.25 and 1.75 (a logical pixel there covers
  // one device pixel or two, by where it lies).
  int GetDevicePixelCycle() const;
  // The window's rectangle on the screen (a top-level window's frame included).
  TRect GetWindowRect() const;
  bool ClientToScreen(TPoint& point) const;
  bool ScreenToClient(TPoint& point) const;
  // The size the window asks for when a layout places it (a decoration's thickness);
  // by default its present size.
  virtual void GetDesiredSize(TSize& size);
  bool MoveWindow(int x, int y, int width, int height, bool repaint = true);
  // Moves and sizes as the SWP_ flags allow (the z-order is the window manager's).
  bool SetWindowPos(int x, int y, int width, int height, UINT flags);
  // Brings the window's top-level window to the front and activates it.
  bool SetForegroundWindow();
  bool MoveWindow(const TRect& r, bool repaint = true) {
    return MoveWindow(r.left, r.top, r.Width(), r.Height(), repaint);
  }

  // Painting: invalidated areas are erased with the background colour when asked, then
  // painted by Paint, clipped to what was invalidated.
  void Invalidate(bool erase = true);
  void InvalidateRect(const TRect& rect, bool erase = true);
  void UpdateWindow();  // paints pending invalid areas now
  void SetBkgndColor(COLORREF color) { BkgndColor = color; }
  COLORREF GetBkgndColor() const { return BkgndColor; }
  virtual void Paint(TDC& dc, bool erase, TRect& rect);

  // Messages. SendMessage runs the handler now and returns its result; PostMessage runs
  // it after the current handler has returned (false when there is no window).
  TResult SendMessage(UINT msg, TParam1 p1 = 0, TParam2 p2 = 0);
  bool PostMessage(UINT msg, TParam1 p1 = 0, TParam2 p2 = 0);
  // The framework's own handling of the message being handled now.
  TResult DefaultProcessing();

  virtual void SetupWindow();
  virtual void CleanupWindow();
  // Asked before the window closes; false keeps it open.
  virtual bool CanClose();
  // Closes the window through CanClose (as the close box does).
  void CloseWindow(int retVal = 0);

  // Timers deliver WM_TIMER with the id in wParam; only a created window has them.
  bool SetTimer(UINT id, UINT milliseconds);
  bool KillTimer(UINT id);

  void SetCapture();
  void ReleaseCapture();
  bool HasCapture() const;
  void SetFocus();
  // IDC_ARROW, IDC_WAIT, ... (the module is unused: all cursors are the system's).
  void SetCursor(TModule* module, int cursorId);

  // Shows a message box owned by this window and returns the button pressed.
  int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

  // Keys for the main window's accelerators, before any window sees them; true eats
  // the key. Frames with an accelerator table override it.
  virtual bool TranslateAccelerator(UINT virtualKey, bool ctrl, bool shift, bool alt);

  // Runs when the application's loop goes idle (command enabling of menus and bars);
  // a window passes it on to its children. True asks to be called again.
  virtual bool IdleAction(long idleCount);

  // The entry for every message: records it for DefaultProcessing and dispatches.
  TResult HandleMessage(UINT msg, TParam1 p1, TParam2 p2);

  struct TImpl;
  TImpl* Impl() const { return Pimpl.get(); }

 protected:
  // Dispatch through the response tables; classes with a table override it.
  virtual TResult WindowProc(UINT msg, TParam1 p1, TParam2 p2);
  // What Windows does when nobody handles the message.
  virtual TResult DefWindowProc(UINT msg, TParam1 p1, TParam2 p2);
  // Makes the Qt side; a frame builds a richer one.
  virtual void CreateWidget();
  // Called with the window's old and new parent after SetParent.
  virtual void ParentChanged(TWindow* oldParent);

  TWindow* Parent;
  TModule* Module;

 private:
  void AddChild(TWindow* child);
  void RemoveChild(TWindow* child);
  void DestroyWidgets();

  std::string Title;
  bool AutoCreate = true;
  COLORREF BkgndColor = 0xFFFFFF;
  std::vector<TWindow*> Children;
  std::unique_ptr<TImpl> Pimpl;
};
