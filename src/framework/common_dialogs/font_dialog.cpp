// The font dialog over Qt's own, with the text colour offered among the effects.
#include "framework/common_dialogs/font_dialog.h"

#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/graphics/gdi.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/text/text_units.h"
#include "framework/text/translation.h"
#include "framework/windows/window_impl.h"

namespace {

struct TNamedColour {
  const char* Name;
  COLORREF Color;
};

// The sixteen colours of the classic palette, by their usual names.
constexpr TNamedColour TextColours[] = {
    {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
};

int PixelsOf(const QFont& font) {
  return font.pixelSize() > 0 ? font.pixelSize()
                              : static_cast<int>(std::lround(font.pointSizeF() * ScreenDpi / 72.0));
}

// The dialog lists sizes in points, so the starting font gets one. It lists the faces
// installed, so it starts on the one the font is drawn with: a face that is missing
// (Arial, say) has another stand in for it.
QFont StartFont(const LOGFONT& log) {
  QFont font = FontFromLogFont(log);
  font.setFamily(QFontInfo(font).family());
  font.setPointSizeF(PixelsOf(font) * 72.0 / ScreenDpi);
  return font;
}

LOGFONT LogFontOf(const QFont& font) {
  LOGFONT log{};
  log.lfHeight = -PixelsOf(font);
  log.lfWeight = font.weight();
  log.lfItalic = font.italic() ? 1 : 0;
  log.lfUnderline = font.underline() ? 1 : 0;
  log.lfStrikeOut = font.strikeOut() ? 1 : 0;
  log.lfCharSet = DEFAULT_CHARSET;
  log.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  SetFaceName(log, font.family().toUtf8().constData());
  return log;
}

int TenthsOfAPoint(const LOGFONT& log) {
  return static_cast<int>(std::lround(std::abs(log.lfHeight) * 720.0 / ScreenDpi));
}

// A list of colours in the effects box of the dialog.
QComboBox* AddColourChoice(QFontDialog& box, COLORREF current) {
  auto* choice = new QComboBox;  // owned by the layout's widget once added
  bool found = false;
  for (const TNamedColour& c : TextColours) {
    QPixmap swatch(12, 12);
    swatch.fill(QColor(ToQRgb(c.Color)));
    choice->addItem(QIcon(swatch), c.Name, static_cast<uint>(c.Color));
    if (c.Color == (current & 0xFFFFFF)) {
      choice->setCurrentIndex(choice->count() - 1);
      found = true;
    }
  }
  if (!found) {
    QPixmap swatch(12, 12);
    swatch.fill(QColor(ToQRgb(current)));
    choice->addItem(QIcon(swatch), "Custom", static_cast<uint>(current & 0xFFFFFF));
    choice->setCurrentIndex(choice->count() - 1);
  }
  auto* label = new QLabel("&Color:");
  label->setBuddy(choice);
  const QList<QGroupBox*> groups = box.findChildren<QGroupBox*>();
  QLayout* layout = !groups.isEmpty() && groups.front()->layout() != nullptr
                        ? groups.front()->layout()
                        : box.layout();
  layout->addWidget(label);
  layout->addWidget(choice);
  return choice;
}

// The dialog's sample shows its text in the colour chosen, as the game will draw it.
void ShowColourInSample(QFontDialog& box, QComboBox& choice) {
  QLineEdit* sample = nullptr;
  for (const QGroupBox* group : box.findChildren<QGroupBox*>()) {
    if (auto* edit = group->findChild<QLineEdit*>()) sample = edit;
  }
  if (sample == nullptr) return;
  auto paint = [sample, &choice] {
    QPalette palette = sample->palette();
    palette.setColor(QPalette::Text, QColor(ToQRgb(choice.currentData().toUInt())));
    sample->setPalette(palette);
  };
  paint();
  QObject::connect(&choice, &QComboBox::currentIndexChanged, sample, paint);
}

}  // namespace

TChooseFontDialog::TChooseFontDialog(TWindow* parent, TData& data, const char* title,
                                     TModule* module)
    : TCommonDialog(parent, title, 0, module), Data(data) {}

int TChooseFontDialog::Execute() {
  LOGFONT start{};
  if ((Data.Flags & CF_INITTOLOGFONTSTRUCT) != 0) start = Data.LogFont;
  TModalRequest request;
  request.Kind = TModalRequest::ChooseFont;
  request.Caption = GetCaption();
  request.Flags = Data.Flags;
  request.LogFont = start;
  request.Color = Data.Color;
  if (std::optional<TModalAnswer> answer = AskModalResponder(request)) {
    if (answer->Button != IDOK) return IDCANCEL;
    Data.LogFont = answer->LogFont;
    if ((Data.Flags & CF_EFFECTS) != 0) Data.Color = answer->Color & 0xFFFFFF;
    Data.PointSize = TenthsOfAPoint(Data.LogFont);
    return IDOK;
  }

  QWidget* owner = OwnerWindow(GetParentO());
  QFontDialog box(StartFont(start), owner);
  box.setOption(QFontDialog::DontUseNativeDialog);
  if ((Data.Flags & CF_TTONLY) != 0) box.setOption(QFontDialog::ScalableFonts);
  if (!GetCaption().empty()) box.setWindowTitle(QString::fromUtf8(Translate(GetCaption().c_str())));
  QComboBox* colour = (Data.Flags & CF_EFFECTS) != 0 ? AddColourChoice(box, Data.Color) : nullptr;
  if (colour != nullptr) ShowColourInSample(box, *colour);
  if (box.exec() != QDialog::Accepted) return IDCANCEL;
  Data.LogFont = LogFontOf(box.selectedFont());
  Data.PointSize = TenthsOfAPoint(Data.LogFont);
  if (colour != nullptr) Data.Color = colour->currentData().toUInt();
  return IDOK;
}
