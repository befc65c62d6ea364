// TDialog: a window built from a dialog template. Positions and sizes in dialog units
// become pixels through the template font's average character size; controls are made
// from the template and may be bound to control objects by id. Execute runs it modally
// until OK, Cancel or CloseWindow ends it; Enter presses the default button, Escape and
// the close box cancel.
#pragma once

#include <memory>
#include <string>

#include "framework/windows/responder.h"
#include "framework/windows/window.h"

struct TDialogResource;

class TDialog : public TWindow {
 public:
  TDialog(TWindow* parent, int resourceId, TModule* module = nullptr);
  ~TDialog() override;

  // Creates the dialog, asks the modal responder or shows it and waits; returns the
  // result it was closed with (IDOK, IDCANCEL, ...), or -1 when it cannot be made.
  virtual int Execute();
  // While Execute runs, ends it with retVal; otherwise destroys the window.
  void Destroy(int retVal = 0) override;

  int GetResourceId() const { return ResourceId; }
  // Dialog units to pixels: x by a quarter of the font's average character width, y by
  // an eighth of its height, rounded.
  void MapDialogRect(TRect& rect) const;
  // The average character width and height of the dialog's font, in pixels.
  TSize GetBaseUnits() const;

  // What a screen reader says of the dialog when it opens, besides its caption and texts
  // (already in the player's language). Set before Execute.
  void SetDescription(std::string text);

  // Controls by id, bound to an object or not.
  HWND GetDlgItem(int id) const;
  bool SetDlgItemText(int id, const char* text);
  int GetDlgItemText(int id, char* text, int size) const;

  struct TDialogImpl;
  TDialogImpl& DialogImpl() const { return *D; }

 protected:
  void CreateWidget() override;
  void SetupWindow() override;
  TResult DefWindowProc(UINT msg, TParam1 p1, TParam2 p2) override;

  virtual void CmOk();      // CloseWindow(IDOK), which asks CanClose
  virtual void CmCancel();  // ends with IDCANCEL
  TResult EvClose(TParam1, TParam2);

  // What the modal responder is told, and how its answer is carried out: texts and
  // selections first, then the button.
  virtual void DescribeForResponder(TModalRequest& request) const;
  virtual void ApplyAnswer(const TModalAnswer& answer);

 private:
  int ResourceId;
  std::unique_ptr<TDialogImpl> D;

  DECLARE_RESPONSE_TABLE(TDialog);
};
