// The colour dialog over Qt's own.
#include "framework/common_dialogs/color_dialog.h"

#include <QColorDialog>

#include "framework/graphics/qt_bridge.h"
#include "framework/text/translation.h"
#include "framework/windows/window_impl.h"

namespace {
constexpr int CustomColorCount = 16;
}  // namespace

TChooseColorDialog::TChooseColorDialog(TWindow* parent, TData& data, const char* title,
                                       TModule* module)
    : TCommonDialog(parent, title, 0, module), Data(data) {}

int TChooseColorDialog::Execute() {
  const COLORREF start = (Data.Flags & CC_RGBINIT) != 0 ? Data.Color : 0;
  TModalRequest request;
  request.Kind = TModalRequest::ChooseColor;
  request.Caption = GetCaption();
  request.Flags = Data.Flags;
  request.Color = start;
  if (Data.CustColors != nullptr)
    request.CustomColors.assign(Data.CustColors, Data.CustColors + CustomColorCount);
  if (std::optional<TModalAnswer> answer = AskModalResponder(request)) {
    if (answer->Button != IDOK) return IDCANCEL;
    Data.Color = answer->Color & 0xFFFFFF;
    return IDOK;
  }

  // Qt keeps one table of custom colours for all its colour dialogs: fill it from ours
  // and read it back, so the caller's table is the one that lasts.
  if (Data.CustColors != nullptr) {
    for (int i = 0; i < CustomColorCount; ++i)
      QColorDialog::setCustomColor(i, QColor(ToQRgb(Data.CustColors[i])));
  }
  QWidget* owner = OwnerWindow(GetParentO());
  QColorDialog box(QColor(ToQRgb(start)), owner);
  box.setOption(QColorDialog::DontUseNativeDialog);
  if (!GetCaption().empty()) box.setWindowTitle(QString::fromUtf8(Translate(GetCaption().c_str())));
  const bool chosen = box.exec() == QDialog::Accepted;
  if (Data.CustColors != nullptr) {
    for (int i = 0; i < CustomColorCount; ++i)
      Data.CustColors[i] = ToColorRef(QColorDialog::customColor(i).rgb());
  }
  if (!chosen) return IDCANCEL;
  Data.Color = ToColorRef(box.selectedColor().rgb());
  return IDOK;
}
