// Gadgets: borders, inner rectangles, invalidation, separators and text gadgets.
#include "framework/bars/gadgets.h"

#include "framework/bars/gadget_window.h"
#include "framework/graphics/dc.h"
#include "framework/graphics/sys_colors.h"
#include "framework/text/translation.h"

// --- TGadget ------------------------------------------------------------------------------

TGadget::TGadget(int id, TBorderStyle borderStyle) : Id(id), BorderStyle(borderStyle) {}

TGadget::~TGadget() = default;

void TGadget::SetBorderStyle(TBorderStyle style) {
  BorderStyle = style;
  if (Window != nullptr) Window->Relayout();
}

void TGadget::SetMargins(const TMargins& margins) {
  Margins = margins;
  if (Window != nullptr) Window->Relayout();
}

void TGadget::SetBounds(const TRect& bounds) {
  if (bounds == Bounds) return;
  Invalidate(true);
  Bounds = bounds;
  Invalidate(true);
}

void TGadget::GetInnerRect(TRect& rect) const {
  const int b = GetBorderWidth();
  rect = TRect(b + Margins.Left, b + Margins.Top, Bounds.Width() - b - Margins.Right,
               Bounds.Height() - b - Margins.Bottom);
}

void TGadget::SetEnabled(bool enabled) {
  if (enabled == Enabled) return;
  Enabled = enabled;
  Invalidate(false);
  TellChanged();
}

void TGadget::GetDesiredSize(TSize& size) {
  const int b = 2 * GetBorderWidth();
  size = TSize(b + Margins.Left + Margins.Right, b + Margins.Top + Margins.Bottom);
}

void TGadget::Paint(TDC&) {}

void TGadget::PaintBorder(TDC& dc) {
  if (BorderStyle == None) return;
  const int w = Bounds.Width();
  const int h = Bounds.Height();
  COLORREF topLeft = ColorShadow();
  COLORREF bottomRight = ColorHighlight();
  if (BorderStyle == Raised || BorderStyle == Embossed) std::swap(topLeft, bottomRight);
  if (BorderStyle == Plain) topLeft = bottomRight = ColorDarkShadow();
  dc.FillRect(TRect(0, 0, w, 1), TBrush(topLeft));
  dc.FillRect(TRect(0, 0, 1, h), TBrush(topLeft));
  dc.FillRect(TRect(0, h - 1, w, h), TBrush(bottomRight));
  dc.FillRect(TRect(w - 1, 0, w, h), TBrush(bottomRight));
}

void TGadget::Invalidate(bool erase) {
  InvalidateRect(TRect(0, 0, Bounds.Width(), Bounds.Height()), erase);
}

void TGadget::InvalidateRect(const TRect& rect, bool erase) {
  if (Window != nullptr) Window->InvalidateRect(rect.OffsetBy(Bounds.left, Bounds.top), erase);
}

void TGadget::Update() {
  if (Window != nullptr) Window->UpdateWindow();
}

void TGadget::UpdateEnabling() {}
void TGadget::MouseEnter(UINT, const TPoint&) {}
void TGadget::MouseMove(UINT, const TPoint&) {}
void TGadget::MouseLeave(UINT, const TPoint&) {}
void TGadget::LButtonDown(UINT, const TPoint&) {}
void TGadget::LButtonUp(UINT, const TPoint&) {}

// --- TSeparatorGadget -----------------------------------------------------------------------

TSeparatorGadget::TSeparatorGadget(int size) : TGadget(0, None), Size(size) {}

void TSeparatorGadget::GetDesiredSize(TSize& size) {
  size = TSize(Size, Size);
}

// --- TTextGadget --------------------------------------------------------------------------------

TTextGadget::TTextGadget(int id, TBorderStyle borderStyle, TAlign align, UINT numChars,
                         const char* text)
    : TGadget(id, borderStyle),
      Align(align),
      NumChars(numChars),
      Text(text != nullptr ? Translate(text) : "") {
  SetMargins({2, 1, 2, 1});
}

void TTextGadget::SetText(const char* text) {
  const std::string next = text != nullptr ? Translate(text) : "";
  if (next == Text) return;
  Text = next;
  Invalidate(false);
  TellChanged();
}

void TTextGadget::GetDesiredSize(TSize& size) {
  TGadget::GetDesiredSize(size);
  const TSize chars =
      GetGadgetWindow() != nullptr ? GetGadgetWindow()->GetFontCharSize() : TSize(7, 14);
  size.cx += static_cast<LONG>(NumChars) * chars.cx;
  size.cy += chars.cy;
}

void TTextGadget::Paint(TDC& dc) {
  TRect inner;
  GetInnerRect(inner);
  dc.FillRect(inner, TBrush(ColorFace()));
  if (GetGadgetWindow() != nullptr) dc.SelectObject(GetGadgetWindow()->GetFont());
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(GetEnabled() ? ColorText() : ColorShadow());
  const UINT align = Align == Center ? DT_CENTER : Align == Right ? DT_RIGHT : DT_LEFT;
  const std::string& shown = ShownText();
  dc.DrawText(shown.c_str(), static_cast<int>(shown.size()), inner,
              align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.RestoreFont();
}
