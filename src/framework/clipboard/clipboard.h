// TClipboard: the desktop's clipboard, opened by one window at a time. A bitmap is any
// picture the clipboard offers; a DIB is BMP data ("image/bmp", a BMP file or a packed
// DIB) read into a TDib by the BMP reader; there is never a palette on a true-colour
// desktop.
#pragma once

#include <memory>
#include <optional>

#include "framework/graphics/dib.h"
#include "framework/graphics/gdi.h"
#include "platform/winconst.h"
#include "platform/wintypes.h"

class TWindow;

class TClipboard {
 public:
  TClipboard() = default;
  // Opens the clipboard for the window at once (IsOpen tells whether that worked).
  explicit TClipboard(const TWindow& owner);
  TClipboard(const TClipboard&) = delete;
  TClipboard& operator=(const TClipboard&) = delete;
  ~TClipboard();  // closes it when this object has it open

  // The one clipboard object the application's windows share.
  static TClipboard& GetClipboard();

  // Fails while another clipboard object has it open.
  bool OpenClipboard(const TWindow* owner);
  bool CloseClipboard();
  bool IsOpen() const;

  // Whether the clipboard offers CF_BITMAP, CF_DIB, CF_PALETTE or CF_TEXT now; the
  // clipboard need not be open.
  bool IsClipboardFormatAvailable(UINT format) const;

  // The data of the clipboard while it is open; none when the format is not there (or
  // cannot be read). A picture too large to make throws TXGdi, as any bitmap does.
  std::unique_ptr<TBitmap> GetBitmap() const;
  std::optional<TDib> GetDib() const;
  std::unique_ptr<TPalette> GetPalette() const;

  // Replaces the clipboard's data; the clipboard must be open.
  bool EmptyClipboard();
  bool SetBitmap(const TBitmap& bitmap);
  bool SetDib(const TDib& dib);
};
