// Device contexts: drawing with Windows' conventions onto a bitmap or the screen (a
// window's client area has its contexts among the windows). A context lives for one drawing; on
// destruction it restores what was selected into it and shows what it drew.
//
// Coordinates and sizes are the desktop's logical pixels. On a screen that gives each of
// them several device pixels, a window's context, and a memory context and the bitmaps
// made compatible with it, draw at the screen's own resolution: text, lines and shapes
// are as sharp as the rest of the desktop, and a stretched picture fills every device
// pixel from the picture's own.
#pragma once

#include <memory>

#include "framework/graphics/gdi.h"
#include "framework/graphics/geometry.h"
#include "platform/winconst.h"
#include "platform/wintypes.h"

// DrawText formats.
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_NOPREFIX = 0x0800;

class TDC {
 public:
  TDC(const TDC&) = delete;
  TDC& operator=(const TDC&) = delete;
  virtual ~TDC();

  // Selection. The context borrows the object, which must outlive the selection.
  void SelectObject(const TPen& pen);
  void SelectObject(const TBrush& brush);
  void SelectObject(const TFont& font);
  void SelectObject(TBitmap& bitmap);  // memory contexts only
  void SelectObject(const TPalette& palette, bool forceBackground = false);
  void SelectNullPen();
  void SelectNullBrush();
  void RestorePen();
  void RestoreBrush();
  void RestoreFont();
  void RestoreBitmap();
  void RestorePalette();
  void RestoreObjects();
  // Maps the selected palette into the system palette; 0 entries change on true colour.
  UINT RealizePalette();
  bool UpdateColors();

  // Moves the origin: logical (0, 0) lands on the target's point origin. Returns the old
  // origin.
  TPoint SetViewportOrg(const TPoint& origin);
  TPoint GetViewportOrg() const;

  // Modes; each returns the previous value.
  int SetMapMode(int mode);
  int SetBkMode(int mode);
  COLORREF SetBkColor(COLORREF color);
  COLORREF SetTextColor(COLORREF color);
  int SetStretchBltMode(int mode);
  int GetStretchBltMode() const;

  // Lines leave out their end point, as Windows draws them.
  bool MoveTo(int x, int y);
  bool MoveTo(const TPoint& p) { return MoveTo(p.x, p.y); }
  bool LineTo(int x, int y);
  bool LineTo(const TPoint& p) { return LineTo(p.x, p.y); }
  TPoint GetCurrentPosition() const;
  // Filled with the brush and outlined with the pen; fills pixel centres inside.
  bool Polygon(const TPoint* points, int count);
  // Outline inside left..right-1, top..bottom-1; with the null pen the fill stops one
  // pixel short on the right and bottom.
  bool Rectangle(int left, int top, int right, int bottom);
  bool Rectangle(const TRect& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
  bool FillRect(const TRect& rect, const TBrush& brush);
  COLORREF GetPixel(int x, int y) const;
  COLORREF SetPixel(int x, int y, COLORREF color);

  // Text with its top-left corner at (x, y); count -1 means up to the terminator.
  bool TextOut(int x, int y, const char* text, int count = -1);
  TSize GetTextExtent(const char* text, int count = -1) const;
  // The selected font's average character width (the letters A to Z and a to z, halved
  // and rounded) and its height: what dialog units and text gadgets measure by.
  TSize GetAverageCharSize() const;
  // Text placed in rect by the DT_ flags, "&" underlining the next character unless
  // DT_NOPREFIX; clipped to rect unless DT_NOCLIP. Returns the text's height.
  int DrawText(const char* text, int count, const TRect& rect, UINT format);

  bool BitBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy,
              DWORD rop = SRCCOPY);
  bool StretchBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy,
                  int sWidth, int sHeight, DWORD rop = SRCCOPY);
  // A copy that leaves the destination as it was wherever the source has the colour
  // transparent.
  bool TransparentBlt(int x, int y, int width, int height, const TDC& source, int sx, int sy,
                      int sWidth, int sHeight, COLORREF transparent);
  // Copies a rectangle of a DIB (header, colour table and bits given apart, as Windows
  // takes them). Returns the number of scan lines copied, 0 on failure.
  int StretchDIBits(const TRect& dest, const TRect& source, const void* bits,
                    const BITMAPINFO& info, UINT usage = DIB_RGB_COLORS, DWORD rop = SRCCOPY);

  int GetDeviceCaps(int index) const;
  // True when this context draws nowhere (a window that was never created).
  bool IsNull() const;

  struct TImpl;
  TImpl& Impl() const { return *Pimpl; }

 protected:
  explicit TDC(std::unique_ptr<TImpl> impl);

 private:
  std::unique_ptr<TImpl> Pimpl;
};

// Draws on the bitmap selected into it (a 1 x 1 monochrome one until then).
class TMemoryDC : public TDC {
 public:
  TMemoryDC();
  explicit TMemoryDC(const TDC& compatible);
  explicit TMemoryDC(TBitmap& bitmap);
};

// The whole screen: for capabilities and compatible objects; drawing goes nowhere.
class TScreenDC : public TDC {
 public:
  TScreenDC();
};
