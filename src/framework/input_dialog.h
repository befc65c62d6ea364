// TInputDialog: the framework's one-line input dialog (its own template 32514): a prompt,
// an edit field showing the buffer's text and taking at most bufferSize - 1 characters,
// OK and Cancel. OK copies the field back into the buffer.
#pragma once

#include <string>

#include "framework/dialog.h"
#include "framework/resources.h"

class TInputDialog : public TDialog {
 public:
  TInputDialog(TWindow* parent, const char* title, const char* prompt, char* buffer, int bufferSize,
               TModule* module = nullptr, int resourceId = IDD_INPUTDIALOG);

  const char* GetBuffer() const { return Buffer; }
  int GetBufferSize() const { return BufferSize; }

 protected:
  void SetupWindow() override;
  void CmOk() override;
  void DescribeForResponder(TModalRequest& request) const override;
  void ApplyAnswer(const TModalAnswer& answer) override;

 private:
  std::string Prompt;
  char* Buffer;
  int BufferSize;
};
