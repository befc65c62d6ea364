// Gadgets: the small parts of a gadget window (bar or status bar) that lay themselves out
// in a row or column and paint through a device context in their own coordinates.
#pragma once

#include <string>

#include "framework/graphics/geometry.h"
#include "platform/wintypes.h"

class TDC;
class TGadgetWindow;

class TGadget {
 public:
  enum TBorderStyle { None, Plain, Raised, Recessed, Embossed };
  struct TMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
  };

  explicit TGadget(int id = 0, TBorderStyle borderStyle = None);
  TGadget(const TGadget&) = delete;
  TGadget& operator=(const TGadget&) = delete;
  virtual ~TGadget();

  int GetId() const { return Id; }
  TBorderStyle GetBorderStyle() const { return BorderStyle; }
  void SetBorderStyle(TBorderStyle style);
  // Width of the border on each side, in pixels.
  int GetBorderWidth() const { return BorderStyle == None ? 0 : 1; }
  const TMargins& GetMargins() const { return Margins; }
  void SetMargins(const TMargins& margins);

  // Bounds in the gadget window's client pixels, set by its layout.
  const TRect& GetBounds() const { return Bounds; }
  virtual void SetBounds(const TRect& bounds);
  // Bounds less border and margins, in the gadget's own coordinates (its top-left is 0, 0).
  void GetInnerRect(TRect& rect) const;

  bool GetEnabled() const { return Enabled; }
  virtual void SetEnabled(bool enabled);
  // Takes all the width a row leaves (a status bar's message area).
  bool FillsRow = false;

  TGadgetWindow* GetGadgetWindow() const { return Window; }

  // The size the gadget asks of its window: border and margins; gadgets add their content.
  virtual void GetDesiredSize(TSize& size);
  // Draws the inside; the window has drawn the border already. The context's origin is
  // the gadget's top-left corner.
  virtual void Paint(TDC& dc);
  virtual void PaintBorder(TDC& dc);

  // Marks the gadget for painting, its background erased first with erase.
  void Invalidate(bool erase = true);
  void InvalidateRect(const TRect& rect, bool erase = true);  // gadget coordinates
  void Update();                                              // paints what is invalid now

  // Command enabling when the loop is idle (buttons ask their command's enabler).
  virtual void UpdateEnabling();

  // How a screen reader meets the gadget: not at all (a blank), or as a button or a label
  // named by what it does or shows.
  enum class TAccessibleRole { None, PushButton, Label };
  virtual TAccessibleRole GetAccessibleRole() const { return TAccessibleRole::None; }
  virtual std::string GetAccessibleName() const { return {}; }
  // What GetAccessibleName says, or whether the gadget is enabled, changed: a screen
  // reader listening hears of it.
  void TellChanged();

  // The pointer, in gadget coordinates.
  virtual void MouseEnter(UINT modKeys, const TPoint& point);
  virtual void MouseMove(UINT modKeys, const TPoint& point);
  virtual void MouseLeave(UINT modKeys, const TPoint& point);
  virtual void LButtonDown(UINT modKeys, const TPoint& point);
  virtual void LButtonUp(UINT modKeys, const TPoint& point);

 private:
  friend class TGadgetWindow;
  int Id;
  TBorderStyle BorderStyle;
  TMargins Margins;
  TRect Bounds;
  bool Enabled = true;
  TGadgetWindow* Window = nullptr;
};

// A blank of a given size in pixels between other gadgets.
class TSeparatorGadget : public TGadget {
 public:
  explicit TSeparatorGadget(int size = 6);
  void GetDesiredSize(TSize& size) override;

 private:
  int Size;
};

// A line of text in a box as wide as a number of average characters of the window's font.
class TTextGadget : public TGadget {
 public:
  enum TAlign { Left, Center, Right };

  TTextGadget(int id = 0, TBorderStyle borderStyle = Recessed, TAlign align = Left,
              UINT numChars = 10, const char* text = nullptr);

  void SetText(const char* text);
  const char* GetText() const { return Text.c_str(); }
  TAlign GetAlign() const { return Align; }

  void GetDesiredSize(TSize& size) override;
  void Paint(TDC& dc) override;
  TAccessibleRole GetAccessibleRole() const override { return TAccessibleRole::Label; }
  std::string GetAccessibleName() const override { return ShownText(); }

 protected:
  // What Paint shows; a status bar's message area shows a hint over its text.
  virtual const std::string& ShownText() const { return Text; }

 private:
  TAlign Align;
  UINT NumChars;
  std::string Text;
};
