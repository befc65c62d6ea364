// The one-line input dialog.
#include "framework/input_dialog.h"

#include <QLineEdit>

#include <algorithm>
#include <cstring>

#include "framework/dialog_impl.h"

namespace {

QLineEdit* Field(const TDialog& dialog) {
  const auto& controls = dialog.DialogImpl().Controls;
  const auto it = controls.find(ID_INPUT);
  return it != controls.end() ? qobject_cast<QLineEdit*>(it->second.data()) : nullptr;
}

}  // namespace

TInputDialog::TInputDialog(TWindow* parent, const char* title, const char* prompt, char* buffer,
                           int bufferSize, TModule* module, int resourceId)
    : TDialog(parent, resourceId, module),
      Prompt(prompt != nullptr ? prompt : ""),
      Buffer(buffer),
      BufferSize(std::max(0, bufferSize)) {
  SetCaption(title);
}

void TInputDialog::SetupWindow() {
  TDialog::SetupWindow();
  SetDlgItemText(ID_PROMPT, Prompt.c_str());
  if (QLineEdit* field = Field(*this)) {
    field->setMaxLength(std::max(0, BufferSize - 1));
    if (Buffer != nullptr && BufferSize > 0) {
      field->setText(
          QString::fromUtf8(Buffer, static_cast<qsizetype>(strnlen(Buffer, BufferSize))));
    }
    field->selectAll();
  }
}

void TInputDialog::CmOk() {
  if (!CanClose()) return;
  if (QLineEdit* field = Field(*this); field != nullptr && Buffer != nullptr && BufferSize > 0) {
    const QByteArray text = field->text().toUtf8();
    // Cut on a character boundary so the buffer never ends in half a character.
    int length = std::min(static_cast<int>(text.size()), BufferSize - 1);
    while (length > 0 && length < text.size() &&
           (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
      --length;
    }
    std::memcpy(Buffer, text.constData(), static_cast<std::size_t>(length));
    Buffer[length] = '\0';
  }
  TDialog::CmOk();
}

void TInputDialog::DescribeForResponder(TModalRequest& request) const {
  TDialog::DescribeForResponder(request);
  request.Kind = TModalRequest::Input;
  request.Text = Prompt;
  request.MaxLength = std::max(0, BufferSize - 1);
}

void TInputDialog::ApplyAnswer(const TModalAnswer& answer) {
  // The answer's text is what the player typed into the field.
  if (QLineEdit* field = Field(*this);
      field != nullptr && answer.ControlTexts.count(ID_INPUT) == 0) {
    field->setText(QString::fromUtf8(answer.Text.c_str()));
  }
  TDialog::ApplyAnswer(answer);
}
