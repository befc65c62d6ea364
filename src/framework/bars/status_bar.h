// TStatusBar: a gadget window along the bottom of a frame. Its gadget 0 is its own message
// area, as wide as the bar allows; inserted gadgets follow it. A hint shown over the
// message area leaves its text alone, so the text comes back when the hint goes.
#pragma once

#include "framework/bars/gadget_window.h"

class TTextGadget;

// The status bar's window id, which is also the command that shows or hides it.
constexpr int StatusBarId = 32040;

class TStatusBar : public TGadgetWindow {
 public:
  // modeIndicators asks for keyboard-mode indicators after the gadgets; the bar shows
  // none of them.
  explicit TStatusBar(TWindow* parent = nullptr,
                      TGadget::TBorderStyle borderStyle = TGadget::Recessed,
                      UINT modeIndicators = 0, std::unique_ptr<TFont> font = nullptr,
                      TModule* module = nullptr);

  // The gadget at a position; position 0 is the message area.
  TGadget& operator[](int position) const { return *GetGadget(position); }
  TTextGadget& GetMessageGadget() const;

  void SetText(const char* text);
  const char* GetText() const;
  // Shows text over the message area; null shows the message area's own text again.
  void SetHintText(const char* text);
  // What the message area shows now: the hint while there is one, else the text.
  const char* GetShownText() const;
};
