// Bar buttons: bitmap, look of each state, clicks, groups and command enabling.
#include "framework/bars/button_gadget.h"

#include <algorithm>
#include <cstdint>

#include "framework/bars/gadget_window.h"
#include "framework/graphics/dc.h"
#include "framework/graphics/dib.h"
#include "framework/graphics/gdi.h"
#include "framework/graphics/sys_colors.h"
#include "framework/resources/resources.h"
#include "framework/text/translation.h"
#include "framework/windows/messages.h"

namespace {

constexpr int GlyphPadding = 2;  // between the glyph and the button's edge
constexpr int NoGlyphSize = 16;

// The greyed look: every dark pixel of the glyph becomes an engraved line, a shadow with
// a light edge below and to the right; the rest is face. Worked on the rows directly: a
// bar greys all its buttons' glyphs before it first shows. A monochrome glyph, which has
// no rows to read, stays as it is.
std::unique_ptr<TBitmap> GreyedCopy(TBitmap& glyph) {
  const int w = glyph.Width();
  const int h = glyph.Height();
  if (glyph.IsMonochrome() || w <= 0 || h <= 0) return std::make_unique<TBitmap>(glyph);
  const auto word = [](COLORREF c) {
    return 0xFF000000u | std::uint32_t{GetRValue(c)} << 16 | std::uint32_t{GetGValue(c)} << 8 |
           std::uint32_t{GetBValue(c)};
  };
  const auto dark = [face = word(ColorFace())](std::uint32_t p) {
    if ((p | 0xFF000000u) == face) return false;
    const std::uint32_t r = (p >> 16) & 0xFF;
    const std::uint32_t g = (p >> 8) & 0xFF;
    const std::uint32_t b = p & 0xFF;
    return r * 30 + g * 59 + b * 11 < 160 * 100;
  };
  auto grey = std::make_unique<TBitmap>(w, h, TBitmap::TUnfilled{});
  const auto row = [](TBitmap& bitmap, int y) {
    return reinterpret_cast<std::uint32_t*>(bitmap.ScanLine(y));
  };
  for (int y = 0; y < h; ++y) std::fill_n(row(*grey, y), w, word(ColorFace()));
  for (int y = 0; y + 1 < h; ++y) {
    const std::uint32_t* from = row(glyph, y);
    std::uint32_t* below = row(*grey, y + 1);
    for (int x = 0; x + 1 < w; ++x) {
      if (dark(from[x])) below[x + 1] = word(ColorHighlight());
    }
  }
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* from = row(glyph, y);
    std::uint32_t* to = row(*grey, y);
    for (int x = 0; x < w; ++x) {
      if (dark(from[x])) to[x] = word(ColorShadow());
    }
  }
  return grey;
}

}  // namespace

TButtonGadget::TButtonGadget(int bitmapResId, int id, TType type, bool enabled, TState state)
    : TGadget(id, Raised), BitmapResId(bitmapResId), Type(type), State(state) {
  SetEnabled(enabled);
}

TButtonGadget::~TButtonGadget() = default;

void TButtonGadget::LoadGlyphs() {
  if (GlyphsLoaded) return;
  GlyphsLoaded = true;
  const TDib* dib = TResources::FindBitmap(BitmapResId);
  if (dib == nullptr) return;
  try {
    TScreenDC screen;
    Glyph = std::make_unique<TBitmap>(screen, *dib);
    GreyGlyph = GreyedCopy(*Glyph);
  } catch (const TXGdi&) {
    // A picture that cannot be made leaves a button without a glyph.
    Glyph.reset();
    GreyGlyph.reset();
  }
}

void TButtonGadget::SetButtonState(TState state) {
  if (state == Down && Type == Exclusive && GetGadgetWindow() != nullptr) {
    // The exclusive buttons right next to this one, on both sides, are its group.
    TGadgetWindow& window = *GetGadgetWindow();
    const int here = window.PositionOf(*this);
    for (const int step : {-1, 1}) {
      for (int i = here + step;; i += step) {
        auto* other = dynamic_cast<TButtonGadget*>(window.GetGadget(i));
        if (other == nullptr || other->Type != Exclusive) break;
        if (other->State != Up) {
          other->State = Up;
          other->Invalidate(false);
        }
      }
    }
  }
  if (state == State) return;
  State = state;
  Invalidate(false);
}

void TButtonGadget::GetDesiredSize(TSize& size) {
  TGadget::GetDesiredSize(size);
  LoadGlyphs();
  const int w = Glyph != nullptr ? Glyph->Width() : NoGlyphSize;
  const int h = Glyph != nullptr ? Glyph->Height() : NoGlyphSize;
  size.cx += w + 2 * GlyphPadding;
  size.cy += h + 2 * GlyphPadding;
}

void TButtonGadget::PaintBorder(TDC& dc) {
  const int w = GetBounds().Width();
  const int h = GetBounds().Height();
  const bool sunk = Pressed || State == Down;
  const COLORREF topLeft = sunk ? ColorDarkShadow() : ColorHighlight();
  const COLORREF bottomRight = sunk ? ColorHighlight() : ColorDarkShadow();
  dc.FillRect(TRect(0, 0, w, 1), TBrush(topLeft));
  dc.FillRect(TRect(0, 0, 1, h), TBrush(topLeft));
  dc.FillRect(TRect(0, h - 1, w, h), TBrush(bottomRight));
  dc.FillRect(TRect(w - 1, 0, w, h), TBrush(bottomRight));
}

void TButtonGadget::Paint(TDC& dc) {
  TRect inner;
  GetInnerRect(inner);
  const bool sunk = Pressed || State == Down;
  const bool checkedLook = State == Down && !Pressed;
  dc.FillRect(inner, TBrush(checkedLook ? ColorCheckedFace() : ColorFace()));
  // The second, softer edge inside the first.
  if (sunk) {
    dc.FillRect(TRect(inner.left, inner.top, inner.right, inner.top + 1), TBrush(ColorShadow()));
    dc.FillRect(TRect(inner.left, inner.top, inner.left + 1, inner.bottom), TBrush(ColorShadow()));
  } else {
    dc.FillRect(TRect(inner.left, inner.bottom - 1, inner.right, inner.bottom),
                TBrush(ColorShadow()));
    dc.FillRect(TRect(inner.right - 1, inner.top, inner.right, inner.bottom), TBrush(ColorShadow()));
  }
  LoadGlyphs();
  TBitmap* glyph = GetEnabled() ? Glyph.get() : GreyGlyph.get();
  if (glyph == nullptr) return;
  const int shift = sunk ? 1 : 0;
  const int x = inner.left + (inner.Width() - glyph->Width()) / 2 + shift;
  const int y = inner.top + (inner.Height() - glyph->Height()) / 2 + shift;
  TMemoryDC source(*glyph);
  if (!checkedLook) {
    dc.BitBlt(x, y, glyph->Width(), glyph->Height(), source, 0, 0, SRCCOPY);
    return;
  }
  // On the lighter face of a button that stays down, the glyph's face pixels let it show.
  dc.TransparentBlt(x, y, glyph->Width(), glyph->Height(), source, 0, 0, glyph->Width(),
                    glyph->Height(), ColorFace());
}

void TButtonGadget::UpdateEnabling() {
  TGadgetWindow* window = GetGadgetWindow();
  if (window == nullptr) return;
  TCommandEnabler enabler(static_cast<UINT>(GetId()));
  window->HandleMessage(WM_COMMAND_ENABLE, static_cast<TParam1>(GetId()),
                        reinterpret_cast<TParam2>(&enabler));
  SetEnabled(enabler.IsEnabled());
  if (Type != Command && enabler.GetCheck() != TCommandEnabler::NoCheck) {
    const int check = enabler.GetCheck();
    SetButtonState(check == TCommandEnabler::Checked     ? Down
                   : check == TCommandEnabler::Unchecked ? Up
                                                         : Indeterminate);
  }
}

void TButtonGadget::MouseEnter(UINT, const TPoint&) {
  if (GetGadgetWindow()->GetHintMode() == TGadgetWindow::HintOnEnter) {
    GetGadgetWindow()->ShowHint(GetId());
  }
}

void TButtonGadget::MouseMove(UINT, const TPoint& point) {
  // While held, the button looks pressed only with the pointer over it.
  if (!GetGadgetWindow()->IsCapturing(*this)) return;
  const bool inside = TRect(0, 0, GetBounds().Width(), GetBounds().Height()).Contains(point);
  if (inside != Pressed) {
    Pressed = inside;
    Invalidate(false);
  }
}

void TButtonGadget::MouseLeave(UINT, const TPoint&) {
  if (GetGadgetWindow()->GetHintMode() == TGadgetWindow::HintOnEnter) {
    GetGadgetWindow()->ShowHint(-1);
  }
}

void TButtonGadget::LButtonDown(UINT, const TPoint&) {
  Pressed = true;
  Invalidate(false);
  if (GetGadgetWindow()->GetHintMode() != TGadgetWindow::NoHints) {
    GetGadgetWindow()->ShowHint(GetId());
  }
}

void TButtonGadget::LButtonUp(UINT, const TPoint& point) {
  const bool clicked =
      Pressed && TRect(0, 0, GetBounds().Width(), GetBounds().Height()).Contains(point);
  Pressed = false;
  Invalidate(false);
  if (GetGadgetWindow()->GetHintMode() == TGadgetWindow::HintOnPress) {
    GetGadgetWindow()->ShowHint(-1);
  }
  if (clicked) Activate();
}

void TButtonGadget::Activate() {
  if (Type == Exclusive) SetButtonState(Down);
  if (Type == NonExclusive) SetButtonState(State == Down ? Up : Down);
  GetGadgetWindow()->PostMessage(WM_COMMAND, static_cast<TParam1>(GetId()), 0);
}

std::string TButtonGadget::GetAccessibleName() const {
  const std::string* hint = TResources::FindString(static_cast<UINT>(GetId()));
  return hint != nullptr ? Translate(hint->c_str()) : std::string();
}
