// Every modal loop (message boxes, dialogs, common dialogs) asks here first, so tests can
// answer it: a responder sees what would be shown and gives the answer to use.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/wintypes.h"

struct TModalRequest {
  enum TKind { MessageBox, Dialog, FileOpen, FileSave, ChooseColor, ChooseFont, Input };
  TKind Kind = MessageBox;
  std::string Caption;
  std::string Text;  // message text, prompt, or initial file name
  UINT Flags = 0;    // MB_ flags of a message box
  int ResourceId = 0;
};

struct TModalAnswer {
  int Button = 0;    // IDOK, IDCANCEL, IDYES, ...
  std::string Text;  // chosen file name or typed text
  COLORREF Color = 0;
};

using TModalResponder = std::function<TModalAnswer(const TModalRequest&)>;

// The installed responder's answer, or none when no responder is installed.
std::optional<TModalAnswer> AskModalResponder(const TModalRequest& request);

// Installs a responder for its lifetime and restores the previous one afterwards.
class TScopedModalResponder {
 public:
  explicit TScopedModalResponder(TModalResponder responder);
  TScopedModalResponder(const TScopedModalResponder&) = delete;
  TScopedModalResponder& operator=(const TScopedModalResponder&) = delete;
  ~TScopedModalResponder();

 private:
  TModalResponder Previous;
};
