// The status bar and its message area.
#include "framework/bars/status_bar.h"
#include "framework/text/translation.h"

#include <optional>
#include <string>

namespace {

class TMessageGadget : public TTextGadget {
 public:
  explicit TMessageGadget(TBorderStyle style) : TTextGadget(0, style, Left, 10, nullptr) {
    FillsRow = true;
  }
  void SetHint(const char* text) {
    std::optional<std::string> next;
    if (text != nullptr) next = Translate(text);
    if (next == Hint) return;
    Hint = std::move(next);
    Invalidate(false);
    TellChanged();
  }
  const std::string& ShownText() const override { return Hint ? *Hint : TTextGadget::ShownText(); }

 private:
  std::optional<std::string> Hint;
};

}  // namespace

TStatusBar::TStatusBar(TWindow* parent, TGadget::TBorderStyle borderStyle, UINT,
                       std::unique_ptr<TFont> font, TModule* module)
    : TGadgetWindow(parent, Horizontal, std::move(font), module) {
  Attr.Id = StatusBarId;
  Spacing = 2;
  Insert(std::make_unique<TMessageGadget>(borderStyle));
}

TTextGadget& TStatusBar::GetMessageGadget() const {
  return static_cast<TTextGadget&>(*GetGadget(0));
}

void TStatusBar::SetText(const char* text) {
  GetMessageGadget().SetText(text);
}

const char* TStatusBar::GetText() const {
  return GetMessageGadget().GetText();
}

void TStatusBar::SetHintText(const char* text) {
  static_cast<TMessageGadget&>(GetMessageGadget()).SetHint(text);
}

const char* TStatusBar::GetShownText() const {
  return static_cast<const TMessageGadget&>(GetMessageGadget()).ShownText().c_str();
}
