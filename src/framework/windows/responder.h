// Every modal loop (message boxes, dialogs, common dialogs) asks here first, so tests can
// answer it: a responder sees what would be shown and gives the answer to use.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/wintypes.h"

class TWindow;

struct TModalRequest {
  enum TKind { MessageBox, Dialog, FileOpen, FileSave, ChooseColor, ChooseFont, Input };
  TKind Kind = MessageBox;
  std::string Caption;
  std::string Text;  // message text, prompt, or initial file name
  UINT Flags = 0;    // MB_ flags of a message box; OFN_, CC_ or CF_ flags of a common dialog
  int ResourceId = 0;

  // A dialog, set up and about to show (the panel of a file dialog), and its controls as
  // they are now: texts by control id, and each list box's lines and selection (-1: none).
  TWindow* Window = nullptr;
  std::map<int, std::string> ControlTexts;
  std::map<int, std::vector<std::string>> ListItems;
  std::map<int, int> ListSelections;
  int MaxLength = 0;  // how many characters the input dialog's field takes

  // File dialogs: start directory, filter pairs (text, pattern) and the 1-based filter.
  std::string Directory;
  std::vector<std::pair<std::string, std::string>> Filters;
  int FilterIndex = 0;

  // Colour and font dialogs: the starting choice.
  COLORREF Color = 0;
  std::vector<COLORREF> CustomColors;
  LOGFONT LogFont{};
};

struct TModalAnswer {
  TModalAnswer() = default;
  TModalAnswer(int button, std::string text = {}, COLORREF color = 0)
      : Button(button), Text(std::move(text)), Color(color) {}

  int Button = 0;    // IDOK, IDCANCEL, IDYES, ...; for a dialog, the control id to press
  std::string Text;  // chosen file name or typed text
  COLORREF Color = 0;

  // Dialogs: what the player types and chooses before pressing Button. A dialog that is
  // still open afterwards asks the responder again.
  std::map<int, std::string> ControlTexts;
  std::map<int, int> ListSelections;
  // File dialogs: files the selection moves through before the answer (each one told to
  // the dialog as a selection change).
  std::vector<std::string> BrowsePaths;
  // Font dialogs: the chosen font.
  LOGFONT LogFont{};
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
