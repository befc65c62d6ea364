// TWindow: a window object that exists before its window is created and is harmless when
// it never is, so that models built on it run without a display.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/geometry.h"
#include "framework/response_table.h"
#include "platform/winconst.h"
#include "platform/wintypes.h"

class TDC;
class TModule;

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
  TModule* GetModule() const { return Module; }
  const std::vector<TWindow*>& GetChildren() const { return Children; }
  void SetCaption(const char* title);
  const std::string& GetCaption() const { return Title; }

  // Client area and placement (pixels; a child relative to its parent's client area).
  TRect GetClientRect() const;
  TRect GetWindowRect() const;
  bool MoveWindow(int x, int y, int width, int height, bool repaint = true);
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

  TWindow* Parent;
  TModule* Module;

 private:
  void AddChild(TWindow* child);
  void RemoveChild(TWindow* child);
  void DestroyWidgets();

  std::string Title;
  COLORREF BkgndColor = 0xFFFFFF;
  std::vector<TWindow*> Children;
  std::unique_ptr<TImpl> Pimpl;
};
