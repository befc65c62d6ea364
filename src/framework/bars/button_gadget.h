// TButtonGadget: a bar button showing a bitmap resource that sends its command when
// clicked. Command buttons only send; exclusive buttons standing next to each other form
// a group with one button down; non-exclusive buttons toggle. A button starts disabled
// until command enabling says otherwise; the game sets the state of its own buttons.
#pragma once

#include <memory>
#include <string>

#include "framework/bars/gadgets.h"

class TBitmap;

class TButtonGadget : public TGadget {
 public:
  enum TType { Command, Exclusive, NonExclusive };
  enum TState { Up, Down, Indeterminate };

  TButtonGadget(int bitmapResId, int id, TType type = Command, bool enabled = false,
                TState state = Up);
  ~TButtonGadget() override;

  TType GetType() const { return Type; }
  TState GetButtonState() const { return State; }
  // Down on an exclusive button puts the others of its group up.
  void SetButtonState(TState state);
  // True while the pointer holds the button down.
  bool IsPressed() const { return Pressed; }

  void GetDesiredSize(TSize& size) override;
  void Paint(TDC& dc) override;
  void PaintBorder(TDC& dc) override;
  void UpdateEnabling() override;
  // Named by its command's hint.
  TAccessibleRole GetAccessibleRole() const override { return TAccessibleRole::PushButton; }
  std::string GetAccessibleName() const override;

  void MouseEnter(UINT modKeys, const TPoint& point) override;
  void MouseMove(UINT modKeys, const TPoint& point) override;
  void MouseLeave(UINT modKeys, const TPoint& point) override;
  void LButtonDown(UINT modKeys, const TPoint& point) override;
  void LButtonUp(UINT modKeys, const TPoint& point) override;

 protected:
  // The click: the state changes as the type says, then the command goes out.
  virtual void Activate();

 private:
  void LoadGlyphs();
  int BitmapResId;
  TType Type;
  TState State;
  bool Pressed = false;
  bool GlyphsLoaded = false;
  std::unique_ptr<TBitmap> Glyph;
  std::unique_ptr<TBitmap> GreyGlyph;
};
