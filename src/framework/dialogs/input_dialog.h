// TInputDialog: the framework's one-line input dialog (its own template 32514): a prompt,
// an edit field showing the buffer's text, OK and Cancel. OK copies the field back into
// the buffer as UTF-8. bufferSize counts bytes, terminator included; the field takes at
// most bufferSize - 1 characters, or fewer after SetMaxChars, and what comes back is cut
// to the buffer on a character, never inside one.
#pragma once

#include <string>

#include "framework/dialogs/dialog.h"
#include "framework/resources/resources.h"

class TInputDialog : public TDialog {
 public:
  TInputDialog(TWindow* parent, const char* title, const char* prompt, char* buffer, int bufferSize,
               TModule* module = nullptr, int resourceId = IDD_INPUTDIALOG);

  const char* GetBuffer() const { return Buffer; }
  int GetBufferSize() const { return BufferSize; }
  // The characters (not bytes) the field takes; call before the dialog runs.
  void SetMaxChars(int count) { MaxChars = count; }
  int GetMaxChars() const { return MaxChars; }

 protected:
  void SetupWindow() override;
  void CmOk() override;
  void DescribeForResponder(TModalRequest& request) const override;
  void ApplyAnswer(const TModalAnswer& answer) override;

 private:
  std::string Prompt;
  char* Buffer;
  int BufferSize;
  int MaxChars;
};
