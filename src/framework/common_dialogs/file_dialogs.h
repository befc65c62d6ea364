// The open and save dialogs. A TData block carries the flags, the filter list (pairs of
// text and pattern, each ended by a zero, the list by a second zero), the 1-based filter,
// the start directory, the default extension and the file-name buffer, which holds the
// chosen path after OK. A derived open dialog can add a panel from a child template; it
// hears every change of the selection as WM_NOTIFY with CDN_SELCHANGE.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "framework/common_dialogs/common_dialog.h"
#include "platform/winconst.h"

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
constexpr DWORD OFN_ENABLETEMPLATE = 0x00000040;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
constexpr DWORD OFN_LONGNAMES = 0x00200000;
// The error a dialog leaves when the chosen path does not fit its buffer.
constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

// Notification codes of the file dialogs (in NMHDR::code).
constexpr UINT CDN_INITDONE = 0U - 601U;
constexpr UINT CDN_SELCHANGE = 0U - 602U;
constexpr UINT CDN_FOLDERCHANGE = 0U - 603U;

class TOpenSaveDialog : public TCommonDialog {
 public:
  class TData {
   public:
    explicit TData(DWORD flags = 0, const char* filter = nullptr, const char* initialDir = nullptr,
                   const char* defExt = nullptr, int filterIndex = 1);

    // Takes a list of zero-ended strings ended by a second zero.
    void SetFilter(const char* filter);
    // The filter's (text, pattern) pairs.
    std::vector<std::pair<std::string, std::string>> GetFilterPairs() const;
    void SetFileName(const char* name);

    DWORD Flags;
    DWORD Error = 0;  // 0, or a reason: the chosen path did not fit the buffer
    std::string Filter;
    int FilterIndex;
    std::string InitialDir;
    std::string DefExt;
    char FileName[MAX_PATH] = {};
  };

  // templateId names a child template whose controls stand in a panel beside the
  // dialog's own; 0 for none.
  TOpenSaveDialog(TWindow* parent, TData& data, bool save, int templateId = 0,
                  const char* title = nullptr, TModule* module = nullptr);
  ~TOpenSaveDialog() override;

  int Execute() override;

  // The path selected now: copies it when it fits and returns the characters it needs
  // with the terminating zero; 0 when nothing is selected.
  int GetFilePath(char* buffer, int size) const;

  TData& GetData() const { return Data; }

 protected:
  void CreateWidget() override;
  // The selection moved: tells this dialog's own window.
  void SelectionChanged(const std::string& path);

 private:
  bool Accept(const std::string& path);
  TData& Data;
  bool Save;
  std::string Selected;
};

class TFileOpenDialog : public TOpenSaveDialog {
 public:
  TFileOpenDialog(TWindow* parent, TData& data, int templateId = 0, const char* title = nullptr,
                  TModule* module = nullptr)
      : TOpenSaveDialog(parent, data, false, templateId, title, module) {}
};

class TFileSaveDialog : public TOpenSaveDialog {
 public:
  TFileSaveDialog(TWindow* parent, TData& data, int templateId = 0, const char* title = nullptr,
                  TModule* module = nullptr)
      : TOpenSaveDialog(parent, data, true, templateId, title, module) {}
};
