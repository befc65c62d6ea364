// Control objects bound to a dialog's controls by id: the dialog's template makes the
// control, the object reads and changes it. The dialog owns its control objects.
#pragma once

#include <string>

#include "framework/windows/window.h"

class TControl : public TWindow {
 public:
  TControl(TWindow* parent, int resourceId, TModule* module = nullptr);

  void SetText(const char* text);
  std::string GetText() const;
  // Copies the text (cut to size - 1 characters) and returns its length.
  int GetText(char* text, int size) const;
  int GetTextLen() const;
  void EnableWindow(bool enable);
  bool IsWindowEnabled() const;
  // The control's rectangle in its dialog's client pixels.
  TRect GetPlacement() const;

 protected:
  void CreateWidget() override;
};

class TStatic : public TControl {
 public:
  using TControl::TControl;
};

class TButton : public TControl {
 public:
  using TControl::TControl;
  // Presses the button as a click would.
  void Click();
};

class TGroupBox : public TControl {
 public:
  using TControl::TControl;
};

class TEdit : public TControl {
 public:
  using TControl::TControl;
  // At most length characters can be typed or set.
  void LimitText(int length);
  int GetLimit() const;
};

// A list of lines. A sorted list box keeps its lines in order, ignoring case; with tab
// stops a line's tab-separated parts stand in aligned columns.
class TListBox : public TControl {
 public:
  using TControl::TControl;

  void Clear();
  // Returns the new line's index, or LB_ERR.
  int AddString(const char* text);
  int InsertString(const char* text, int index);
  int DeleteString(int index);
  int GetCount() const;
  // Copies line index into text, which holds GetStringLen(index) + 1 characters; returns
  // its length or LB_ERR.
  int GetString(char* text, int index) const;
  std::string GetString(int index) const;
  int GetStringLen(int index) const;
  // The selected line, or LB_ERR without one. Setting -1 clears the selection; setting it
  // sends no notification.
  int GetSelection() const;
  int SetSelection(int index);
  // Tab stops in dialog units (quarters of the average character width).
  bool SetTabStops(int numTabs, const int* tabs);
};
