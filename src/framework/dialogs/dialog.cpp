// Dialogs from templates: fonts and dialog units, the dialog's window and modal execution.
#include "framework/dialogs/dialog.h"

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include <vector>

#include "framework/dialogs/dialog_impl.h"
#include "framework/dialogs/text_room.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/graphics/sys_colors.h"
#include "framework/text/text_units.h"
#include "framework/windows/messages.h"

namespace {
constexpr int MaxResponderRounds = 32;
}  // namespace

// --- TDialog ------------------------------------------------------------------------------------

// clang-format off
DEFINE_RESPONSE_TABLE1(TDialog, TWindow)
  EV_COMMAND(IDOK, &TDialog::CmOk),
  EV_COMMAND(IDCANCEL, &TDialog::CmCancel),
  EV_MESSAGE(WM_CLOSE, &TDialog::EvClose),
END_RESPONSE_TABLE;
// clang-format on

TDialog::TDialog(TWindow* parent, int resourceId, TModule* module)
    : TWindow(parent, nullptr, module), ResourceId(resourceId), D(std::make_unique<TDialogImpl>()) {
  Attr.Style = WS_POPUP | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU;
  // A dialog lives for one use: it is made when it runs, not with its parent.
  SetAutoCreate(false);
  SetBkgndColor(ColorFace());
}

TDialog::~TDialog() = default;

void TDialog::SetDescription(std::string text) {
  D->Description = std::move(text);
}

TSize TDialog::GetBaseUnits() const {
  return D->BaseUnits;
}

void TDialog::MapDialogRect(TRect& rect) const {
  const TSize units = D->BaseUnits;
  rect = TRect(MulDiv(rect.left, units.cx, 4), MulDiv(rect.top, units.cy, 8),
               MulDiv(rect.right, units.cx, 4), MulDiv(rect.bottom, units.cy, 8));
}

void TDialog::CreateWidget() {
  D->Template = TResources::FindDialog(ResourceId);
  if (D->Template == nullptr) return;
  const TDialogResource& t = *D->Template;
  D->Font = DialogFont(t.FaceName, t.PointSize);
  D->BaseUnits = AverageCharSize(D->Font);
  if (GetCaption().empty()) SetCaption(t.Caption.c_str());

  const TRect area = ItemPixels(*this, t.X, t.Y, t.W, t.H);
  // The template places the dialog relative to its owner's client area.
  QWidget* owner = OwnerWindow(GetParentO());
  QPoint origin;
  if (owner != nullptr) origin = GetParentO()->Impl()->Widget->mapToGlobal(QPoint(0, 0));
  Attr.X = origin.x() + area.left;
  Attr.Y = origin.y() + area.top;
  Attr.W = area.Width();
  Attr.H = area.Height();

  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if ((t.Style & WS_SYSMENU) != 0) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  // Owned by the owner's window, or by this window until DestroyWidgets.
  auto* outer = new TDialogWidget(nullptr, owner, flags);
  outer->setFont(D->Font);
  outer->setModal(true);
  outer->setFixedSize(area.Width(), area.Height());
  auto* client = new TWindowWidget(this, outer);
  // The controls take the keys; the area they stand on is no stop of its own.
  client->setFocusPolicy(Qt::NoFocus);
  outer->SetClient(client);
  if (!D->Description.empty())
    outer->setAccessibleDescription(QString::fromStdString(D->Description));
  TImpl& impl = *Impl();
  impl.Outer = outer;
  impl.Widget = client;
  impl.PlaceClient = [this] {
    TImpl& d = *Impl();
    if (d.Outer != nullptr) d.Widget->setGeometry(0, 0, d.Outer->width(), d.Outer->height());
  };

  // Controls without an object are made here; bound ones when their object is created.
  D->Controls.clear();
  for (const TDialogItemResource& item : t.Items) {
    const bool bound =
        std::any_of(GetChildren().begin(), GetChildren().end(),
                    [&](const TWindow* c) { return c->GetId() == item.Id && item.Id != -1; });
    if (bound) continue;
    QWidget* control = MakeControl(*this, item, client, nullptr);
    control->show();
    if (item.Id != -1) D->Controls[item.Id] = control;
  }
}

void TDialog::SetupWindow() {
  TWindow::SetupWindow();
  if (D->Template == nullptr) return;
  // Tab order and first focus follow the template, bound controls or not.
  QWidget* previous = nullptr;
  QWidget* first = nullptr;
  std::vector<QWidget*> order;
  for (const TDialogItemResource& item : D->Template->Items) {
    auto it = D->Controls.find(item.Id);
    if (it == D->Controls.end() || it->second == nullptr) continue;
    QWidget* control = it->second;
    if (control->focusPolicy() == Qt::NoFocus) continue;
    order.push_back(control);
    if (first == nullptr && (item.Style & WS_TABSTOP) != 0) first = control;
  }
  for (QWidget* control : order) {
    if (previous != nullptr) QWidget::setTabOrder(previous, control);
    previous = control;
  }
  if (first != nullptr) first->setFocus();
}

int TDialog::Execute() {
  if (IsWindow() || !Create()) return -1;
  MakeRoomForTexts(*Impl()->Outer, *Impl()->Widget);
  // Once set up, labels hold what the player reads.
  NameByLabels(*this);
  D->Result = IDCANCEL;
  D->Running = true;
  TModalRequest request;
  DescribeForResponder(request);
  std::optional<TModalAnswer> answer = AskModalResponder(request);
  if (answer) {
    for (int round = 0; answer && D->Running && round < MaxResponderRounds; ++round) {
      ApplyAnswer(*answer);
      if (!D->Running) break;
      request = TModalRequest();
      DescribeForResponder(request);
      answer = AskModalResponder(request);
    }
  } else {
    static_cast<QDialog*>(Impl()->Outer)->exec();
  }
  // A dialog nobody closed counts as cancelled.
  D->Running = false;
  const int result = D->Result;
  TWindow::Destroy(result);
  return result;
}

void TDialog::Destroy(int retVal) {
  if (!D->Running) {
    TWindow::Destroy(retVal);
    return;
  }
  D->Result = retVal;
  D->Running = false;
  if (auto* outer = qobject_cast<QDialog*>(Impl()->Outer); outer != nullptr && outer->isVisible()) {
    outer->done(retVal);
  }
}

TResult TDialog::DefWindowProc(UINT msg, TParam1 p1, TParam2 p2) {
  // A dialog's commands and its controls' notifications stop here.
  if (msg == WM_COMMAND || msg == WM_COMMAND_ENABLE || msg == WM_SETHINTCOMMAND) return 0;
  return TWindow::DefWindowProc(msg, p1, p2);
}

void TDialog::CmOk() {
  CloseWindow(IDOK);
}

void TDialog::CmCancel() {
  Destroy(IDCANCEL);
}

TResult TDialog::EvClose(TParam1, TParam2) {
  HandleMessage(WM_COMMAND, IDCANCEL, 0);
  return 0;
}

HWND TDialog::GetDlgItem(int id) const {
  for (TWindow* child : GetChildren()) {
    if (child->GetId() == id) return child->GetHandle();
  }
  const auto it = D->Controls.find(id);
  return it != D->Controls.end() ? reinterpret_cast<HWND>(it->second.data()) : nullptr;
}

bool TDialog::SetDlgItemText(int id, const char* text) {
  const auto it = D->Controls.find(id);
  if (it == D->Controls.end() || it->second == nullptr) return false;
  SetControlText(it->second, text);
  return true;
}

int TDialog::GetDlgItemText(int id, char* text, int size) const {
  const auto it = D->Controls.find(id);
  return CopyText(it != D->Controls.end() ? ControlText(it->second) : std::string(), text, size);
}

void TDialog::DescribeForResponder(TModalRequest& request) const {
  request.Kind = TModalRequest::Dialog;
  request.Caption = GetCaption();
  request.ResourceId = ResourceId;
  request.Window = const_cast<TDialog*>(this);
  for (const auto& [id, control] : D->Controls) {
    if (control == nullptr) continue;
    if (const auto* list = qobject_cast<const QListWidget*>(control.data())) {
      std::vector<std::string>& lines = request.ListItems[id];
      for (int i = 0; i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
      const bool selected = list->currentItem() != nullptr && list->currentItem()->isSelected();
      request.ListSelections[id] = selected ? list->currentRow() : -1;
    } else {
      request.ControlTexts[id] = ControlText(control);
    }
  }
}

void TDialog::ApplyAnswer(const TModalAnswer& answer) {
  for (const auto& [id, text] : answer.ControlTexts) SetDlgItemText(id, text.c_str());
  for (const auto& [id, index] : answer.ListSelections) {
    if (auto it = D->Controls.find(id); it != D->Controls.end())
      SelectListLine(it->second, index, false);
  }
  const int button = answer.Button != 0 ? answer.Button : IDCANCEL;
  const auto it = D->Controls.find(button);
  if (auto* push =
          it != D->Controls.end() ? qobject_cast<QPushButton*>(it->second.data()) : nullptr) {
    push->click();  // nothing when it is greyed, as for the player
  } else if (button == IDOK || button == IDCANCEL) {
    // Enter and Escape work without buttons of those ids.
    HandleMessage(WM_COMMAND, static_cast<TParam1>(button), 0);
  }
}
