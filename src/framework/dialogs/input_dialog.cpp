// The one-line input dialog.
#include "framework/dialogs/input_dialog.h"

#include <QLineEdit>
#include <QValidator>

#include <algorithm>
#include <cstring>

#include "framework/dialogs/dialog_impl.h"
#include "platform/utf8.h"

namespace {

QLineEdit* Field(const TDialog& dialog) {
  const auto& controls = dialog.DialogImpl().Controls;
  const auto it = controls.find(ID_INPUT);
  return it != controls.end() ? qobject_cast<QLineEdit*>(it->second.data()) : nullptr;
}

// Keys that would make the text longer than Max characters are refused. QLineEdit's own
// limit counts UTF-16 units, so a character beyond the first plane would count twice.
class TCharLimit : public QValidator {
 public:
  TCharLimit(int max, QObject* parent) : QValidator(parent), Max(max) {}
  State validate(QString& input, int&) const override {
    return input.toUcs4().size() <= Max ? Acceptable : Invalid;
  }

 private:
  int Max;
};

}  // namespace

TInputDialog::TInputDialog(TWindow* parent, const char* title, const char* prompt, char* buffer,
                           int bufferSize, TModule* module, int resourceId)
    : TDialog(parent, resourceId, module),
      Prompt(prompt != nullptr ? prompt : ""),
      Buffer(buffer),
      BufferSize(std::max(0, bufferSize)),
      MaxChars(BufferSize - 1) {
  SetCaption(title);
}

void TInputDialog::SetupWindow() {
  TDialog::SetupWindow();
  SetDlgItemText(ID_PROMPT, Prompt.c_str());
  if (QLineEdit* field = Field(*this)) {
    const int chars = std::max(0, MaxChars);
    field->setMaxLength(2 * chars);
    field->setValidator(new TCharLimit(chars, field));
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
    const QByteArray bytes = field->text().toUtf8();
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    // Whole characters only: the field's limit, and what the buffer holds.
    const std::size_t length =
        std::min(Utf8CharsLength(text, static_cast<std::size_t>(std::max(0, MaxChars))),
                 Utf8CutLength(text, static_cast<std::size_t>(BufferSize - 1)));
    std::memcpy(Buffer, text.data(), length);
    Buffer[length] = '\0';
  }
  TDialog::CmOk();
}

void TInputDialog::DescribeForResponder(TModalRequest& request) const {
  TDialog::DescribeForResponder(request);
  request.Kind = TModalRequest::Input;
  request.Text = Prompt;
  request.MaxLength = std::max(0, MaxChars);
}

void TInputDialog::ApplyAnswer(const TModalAnswer& answer) {
  // The answer's text is what the player typed into the field.
  if (QLineEdit* field = Field(*this);
      field != nullptr && answer.ControlTexts.count(ID_INPUT) == 0) {
    field->setText(QString::fromUtf8(answer.Text.c_str()));
  }
  TDialog::ApplyAnswer(answer);
}
