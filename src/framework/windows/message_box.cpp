#include "framework/windows/message_box.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <string>
#include <vector>

#include "framework/text/translation.h"
#include "framework/windows/program.h"
#include "framework/windows/responder.h"
#include "framework/windows/window_impl.h"

namespace {

struct TButtonChoice {
  QMessageBox::StandardButton Qt;
  int Id;
};

std::vector<TButtonChoice> ButtonsFor(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
      return {{QMessageBox::Abort, IDABORT},
              {QMessageBox::Retry, IDRETRY},
              {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
      return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
      return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
      return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
      return {{QMessageBox::Ok, IDOK}};
  }
}

QMessageBox::Icon IconFor(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONSTOP:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QIcon ProgramIcon() {
  const TWindow* main = ProgramMainWindow();
  const QWidget* widget = main != nullptr ? main->Impl()->Widget : nullptr;
  return widget != nullptr ? widget->window()->windowIcon() : QApplication::windowIcon();
}

}  // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  TModalRequest request;
  request.Kind = TModalRequest::MessageBox;
  request.Text = text != nullptr ? text : "";
  request.Caption = caption != nullptr ? caption : "Error";
  request.Flags = type;
  if (auto answer = AskModalResponder(request)) return answer->Button;

  // The handle of a window is its widget.
  auto* ownerWidget = reinterpret_cast<QWidget*>(owner);
  QWidget* parent = ownerWidget != nullptr ? ownerWidget->window() : QApplication::activeWindow();
  QMessageBox box(IconFor(type), QString::fromUtf8(Translate(request.Caption.c_str())),
                  QString::fromUtf8(Translate(request.Text.c_str())), QMessageBox::NoButton,
                  parent);
  // An owned box shows its owner's icon; one without (a reader's error at start-up) shows
  // the main window's, like every other window of the program.
  if (parent == nullptr) box.setWindowIcon(ProgramIcon());
  const std::vector<TButtonChoice> buttons = ButtonsFor(type);
  for (const TButtonChoice& choice : buttons) box.addButton(choice.Qt);
  const std::size_t defaultIndex = (type & MB_DEFMASK) >> 8;
  if (defaultIndex < buttons.size()) box.setDefaultButton(buttons[defaultIndex].Qt);
  box.exec();
  const auto clicked = box.standardButton(box.clickedButton());
  for (const TButtonChoice& choice : buttons) {
    if (choice.Qt == clicked) return choice.Id;
  }
  // Closed without a button: Cancel where there is one, else the only button.
  for (const TButtonChoice& choice : buttons) {
    if (choice.Id == IDCANCEL) return IDCANCEL;
  }
  return buttons.size() == 1 ? buttons.front().Id : IDCANCEL;
}
