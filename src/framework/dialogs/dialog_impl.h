// The Qt side of dialogs and their controls (private to the framework).
#pragma once

#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QStyledItemDelegate>

#include <map>
#include <vector>

#include "framework/dialogs/dialog.h"
#include "framework/resources/resources.h"
#include "framework/windows/window_impl.h"

// The dialog's window: Escape and the close box cancel through the dialog's messages,
// Enter presses the focused or default button (or sends IDOK without one).
class TDialogWidget : public QDialog {
 public:
  TDialogWidget(TWindowWidget* client, QWidget* parent, Qt::WindowFlags flags);
  void SetClient(TWindowWidget* client) { Client = client; }
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  TWindow* Owner() const { return Client != nullptr ? Client->GetOwner() : nullptr; }
  QPointer<TWindowWidget> Client;
};

// Draws a list line's tab-separated parts from tab stop to tab stop.
class TTabbedLineDelegate : public QStyledItemDelegate {
 public:
  TTabbedLineDelegate(QObject* parent, int defaultStop)
      : QStyledItemDelegate(parent), DefaultStop(defaultStop) {}
  void SetStops(std::vector<int> stops) { Stops = std::move(stops); }
  void SetStep(int step) { DefaultStop = step; }
  // The first stop right of x (pixels from the line's text start).
  int NextStop(int x) const;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  std::vector<int> Stops;
  int DefaultStop;
};

struct TDialog::TDialogImpl {
  const TDialogResource* Template = nullptr;
  QFont Font;
  TSize BaseUnits;
  std::map<int, QPointer<QWidget>> Controls;  // the Qt controls by id
  std::vector<QPointer<QWidget>> TabOrder;    // in template order
  bool Running = false;
  int Result = IDCANCEL;
  std::string Description;  // told to a screen reader when the dialog opens
  // Dialog units the controls move left by (a child template's controls beside the
  // stand-in of the dialog's own controls).
  int ShiftX = 0;

  const TDialogItemResource* FindItem(int id) const;
};

// a * b / c rounded half away from zero, as Windows scales dialog units.
int MulDiv(int a, int b, int c);

// An item's place in pixels: position and size each scaled from dialog units on its own,
// as Windows places dialogs and their controls.
TRect ItemPixels(const TDialog& dialog, int x, int y, int w, int h);

// Makes the control an item describes inside parent, at its place in pixels; its
// notifications reach dialog as WM_COMMAND naming handle as the sender.
QWidget* MakeControl(TDialog& dialog, const TDialogItemResource& item, QWidget* parent,
                     HWND handle);
std::string ControlText(const QWidget* control);
// Names each edit and list for a screen reader by the label before it in the template, as
// the player reads it.
void NameByLabels(TDialog& dialog);
void SetControlText(QWidget* control, const char* text);
// Selects a list line (index -1: none) as the program does (quiet) or as the player does.
void SelectListLine(QWidget* list, int index, bool quiet);
// The dialog font for a template's face and point size: the desktop's sans-serif stands
// in for the classic dialog faces.
QFont DialogFont(const std::string& face, int pointSize);
