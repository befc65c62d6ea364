// TGadgetWindow: a window that lays its gadgets out in a row (or a column) and paints
// them; it owns them. TGadgetWindowFont is the font its text is measured and drawn in.
#pragma once

#include <memory>
#include <vector>

#include "framework/bars/gadgets.h"
#include "framework/graphics/gdi.h"
#include "framework/windows/window.h"

class TGadgetWindowFont : public TFont {
 public:
  explicit TGadgetWindowFont(int pointSize = 8, bool bold = false, bool italic = false);
};

class TGadgetWindow : public TWindow {
 public:
  enum TDirection { Horizontal, Vertical };
  // When a button's hint shows: while it is pressed, never, or as soon as the pointer is
  // over it.
  enum THintMode { HintOnPress, NoHints, HintOnEnter };

  // Without a font the window uses a TGadgetWindowFont of its own.
  explicit TGadgetWindow(TWindow* parent = nullptr, TDirection direction = Horizontal,
                         std::unique_ptr<TFont> font = nullptr, TModule* module = nullptr);
  ~TGadgetWindow() override;

  // The window owns the gadget from now on; it goes before the gadget given, or at the
  // end. Returns the gadget.
  template <class G>
  G* Insert(std::unique_ptr<G> gadget, TGadget* before = nullptr) {
    G* inserted = gadget.get();
    InsertGadget(std::move(gadget), before);
    return inserted;
  }
  // Hands a gadget back to the caller; null when it is not here.
  std::unique_ptr<TGadget> Remove(TGadget& gadget);

  int GadgetCount() const { return static_cast<int>(Gadgets.size()); }
  TGadget* GetGadget(int position) const;       // null out of range
  int PositionOf(const TGadget& gadget) const;  // -1 when not here
  TGadget* FindGadget(int id) const;
  TGadget* GadgetAt(const TPoint& point) const;  // client pixels

  TDirection GetDirection() const { return Direction; }
  virtual void SetDirection(TDirection direction);
  THintMode GetHintMode() const { return HintMode; }
  void SetHintMode(THintMode mode) { HintMode = mode; }
  // Asks the frame above to show a command's hint (negative: show the text again).
  void ShowHint(int id);

  const TFont& GetFont() const { return *Font; }
  // The font's average character width and its height, in pixels.
  TSize GetFontCharSize() const;

  // Lays the gadgets out again, after gadgets came, went or changed their size; tells the
  // parent when the window's own desired size changed.
  virtual void Relayout();
  void GetDesiredSize(TSize& size) override;
  void Paint(TDC& dc, bool erase, TRect& rect) override;
  // Command enabling of the gadgets (buttons follow their commands' enablers).
  bool IdleAction(long idleCount) override;

  // True while the gadget holds the pointer (between its button down and up).
  bool IsCapturing(const TGadget& gadget) const { return Captured == &gadget; }

 protected:
  TResult WindowProc(UINT msg, TParam1 p1, TParam2 p2) override;
  // Sets every gadget's bounds for the present client size.
  virtual void PositionGadgets();

  TGadget::TMargins Margins{2, 2, 2, 2};
  int Spacing = 0;  // between neighbouring gadgets

 private:
  void InsertGadget(std::unique_ptr<TGadget> gadget, TGadget* before);
  TPoint ToGadget(const TGadget& gadget, LPARAM point) const;
  std::vector<std::unique_ptr<TGadget>> Gadgets;
  std::unique_ptr<TFont> Font;
  TDirection Direction;
  THintMode HintMode = HintOnPress;
  TGadget* Captured = nullptr;
  TGadget* AtMouse = nullptr;
  TSize LastDesired;
};
